// The small theories of the chart computation: nutation, the Sun's true longitude, annual
// aberration, the geocentric Moon, rigorous precession, delta T, and the spherical
// transformations between ecliptic, equatorial and horizontal coordinates.
//
// Each routine keeps no state and has its constants compiled in. Angles are radians, T is
// Julian centuries of 36525 days from J2000.0 (terrestrial time unless a routine says UT).
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <cstdint>

namespace qor {

// κ, the constant of annual aberration: 20.49552".
constexpr double kAberrationConstant = 9.936508497454117e-05;

// --- Tables (published values; see Ephemeris.cpp for the sources) -----------------------------

// Nutation, IAU 1980: multipliers of M', M, F, D, Ω; Δψ sine coefficient (0.0001") and its rate
// (0.00001" per century); Δε cosine coefficient (0.0001") and its rate. The leading Ω term
// is computed apart.
extern const std::array<std::array<int32_t, 9>, 62> NutTerms;
// The Moon: multipliers of D, M, M', F; longitude sine (1e-6 degree); distance cosine (1e-3 km).
extern const std::array<std::array<int32_t, 6>, 60> MoonLRTerms;
// The Moon: multipliers of D, M, M', F; latitude sine (1e-6 degree).
extern const std::array<std::array<int32_t, 5>, 60> MoonBTerms;

// --- Nutation, Sun, aberration ------------------------------------------------------------------

struct NutationAngles {
    double psi = 0; // Δψ, nutation in longitude
    double eps = 0; // Δε, nutation in obliquity
};

// The arguments of the nutation series, radians in [0, 2π) (Meeus 22).
struct NutationArgs {
    double Omega = 0, M = 0, Mp = 0, F = 0, D = 0;
};
NutationArgs NutationArguments(double T);

// Nutation in longitude and obliquity (IAU 1980, the 63 terms above 0.0003"). Meeus, ch. 22.
NutationAngles Nutation(double T);

// Applies nutation to a mean place of date (α, δ), eps the mean obliquity. Near the poles
// (|δ| >= 1.54 rad) through ecliptic coordinates, elsewhere to first order (Meeus 23.1).
void NutationRaDec(double& ra, double& dec, double eps, double dEps, double dPsi);

struct SunLongitude {
    double lon = 0;          // true geometric longitude, not reduced
    double eccentricity = 0; // of the Earth's orbit
};
// The Sun's true longitude from its mean longitude and the equation of the centre (Meeus 25).
SunLongitude SunTrueLongitude(double T);

// Annual aberration of a star place (Meeus 23.3); mode 2 includes the e-terms (the
// eccentricity of the Earth's orbit).
void AberrationRaDec(int mode, double& ra, double& dec, double eps, double T);

// The same in two steps, for many places of one moment: the terms of the moment once, then
// each place (the same results as AberrationRaDec).
struct AberrationTerms {
    double cl = 0, sl = 0; // the Sun's direction, less the e-terms in mode 2
    double se = 0, ce = 0; // sine and cosine of the obliquity
};
AberrationTerms AberrationTermsAt(int mode, double eps, double T);
void ApplyAberration(const AberrationTerms& t, double& ra, double& dec);

// --- The Moon -----------------------------------------------------------------------------------

// The Moon's mean arguments, radians in [0, 2π), and E, the eccentricity factor of the
// Earth's orbit that multiplies the terms in M.
struct MoonArgs {
    double Omega = 0; // longitude of the ascending node
    double D = 0;     // mean elongation
    double M = 0;     // the Sun's mean anomaly
    double Mp = 0;    // the Moon's mean anomaly (M')
    double F = 0;     // argument of latitude
    double E = 1;
};
MoonArgs MoonArguments(double T);

struct MoonPos {
    double lon = 0;    // λ, [0, 2π), mean equinox of date (no nutation)
    double lat = 0;    // β
    double distKm = 0; // Δ, centre to centre
};
// The geocentric Moon (Meeus 47, an abridged ELP-2000/82): about 10" in longitude, 4" in
// latitude.
MoonPos MoonPosition(double T);
// The same, and the rates of λ, β (radians per Julian century) and Δ (km per century) in `rate`,
// from the same pass over the series.
MoonPos MoonPositionRate(double T, MoonPos& rate);

// --- Precession, delta T -------------------------------------------------------------------

// Rigorous precession of (α, δ) from the epoch T0 to the epoch T (Lieske 1977, Meeus 21.2-21.4).
// α is not reduced above 2π.
void PrecessRaDec(double& ra, double& dec, double T, double T0);

// ΔT = TT − UT in seconds for T in Julian centuries (UT). Observed values from 1620 to the
// last year of the table (Bessel interpolation); a smooth continuation after it; the classical
// parabolas before 1620.
double DeltaT(double T);

// --- Coordinate transformations ---------------------------------------------------------------

struct EquPos {
    double ra = 0;  // α, [0, 2π)
    double dec = 0; // δ
};
struct EclPos {
    double lon = 0; // λ, [0, 2π)
    double lat = 0; // β
};
struct HorPos {
    double az = 0;  // A, from the south through the west, [0, 2π)
    double alt = 0; // h
};

// Ecliptic (β, λ) to equatorial with the obliquity eps.
EquPos EclToEqu(double eps, double lat, double lon);
// The same with the sines and cosines of ε and β given, for many places of one moment.
EquPos EclToEquOf(double sinEps, double cosEps, double sinLat, double cosLat, double lon);
// Equatorial (δ, α) to ecliptic with the true obliquity of the chart (EpsMean + NutEps).
EclPos EquToEclTrue(const AstroDat& s, double dec, double ra);
// The same with the sine and cosine of the true obliquity given, for many places of a moment.
EclPos EquToEclTrue(double sinEps, double cosEps, double dec, double ra);
// The same with the sine and cosine of δ given too, for a place that goes on to the horizon.
EclPos EquToEclTrueOf(double sinEps, double cosEps, double sinDec, double cosDec, double ra);
// Equatorial to horizontal for latitude φ and local sidereal time θ (radians).
HorPos EquToHorizon(double phi, double lst, double dec, double ra);
// The same with sin φ and cos φ given, for many places seen from one observer.
HorPos EquToHorizon(double sinPhi, double cosPhi, double lst, double dec, double ra);
// The same with the sine and cosine of δ given too.
HorPos EquToHorizonOf(double sinPhi, double cosPhi, double lst, double dec, double sinDec,
                      double cosDec, double ra);

} // namespace qor
