// The heliocentric planets: the VSOP87-type series read from "PLANETS.NDX" and "PLANETS.DAT"
// (records 0 the Earth in the J2000 frame, 1 Mercury .. 8 Neptune of date) and Meeus' periodic
// theory of Pluto, behind one entry point for the chart computation.
//
// Body numbers: 0 the Sun (heliocentric position zero), 1 Mercury, 2 Venus, 3 the Earth,
// 4 Mars, 5 Jupiter, 6 Saturn, 7 Uranus, 8 Neptune, 9 Pluto. Results are heliocentric
// ecliptic longitude (radians, [0, 2π)), latitude (radians) and radius vector (AU) of the
// mean equinox of date (series record 0: of J2000), corrected to the FK5 system. T is Julian
// centuries of dynamical time from J2000.0; rates are per Julian century.
#pragma once

#include "core/AstroDat.h"
#include "core/AstroMath.h"

#include <string>

namespace qor {

struct PlanetLoadResult {
    bool ok = false;
    std::string message; // what was reported (empty when ok), for the start log
};

// Loads series record i (0..8) from the program folder into s.Planets; any other i does
// nothing and succeeds. A missing, short, truncated or damaged file (an index other than nine
// records, a term whose amplitude, phase or frequency no VSOP87 series has), or more than 700
// terms, is reported through the state's UserReport and leaves the body without terms.
PlanetLoadResult LoadPlanetTerms(AstroDat& s, int i);
// Loads every series record, reading each of the two files once (their sizes checked before
// they are read); stops at the first record that fails, which is reported once.
// Then Pluto's table (PlutoTable.h), whose absence is only a warning.
PlanetLoadResult LoadPlanetSeries(AstroDat& s);

// How closely the series are summed. Exact: every term's sine and cosine to the last bit, the
// same bits always (the ephemeris files are written from these, byte for byte). Chart: the
// terms of small amplitude take shorter polynomials, within 1e-14 rad (or AU) of Exact, for
// the charts, whose places are shown to the second of arc.
enum class SeriesFit { Exact, Chart };

// Position of body i (see above): 0 gives zeros, 9 Pluto (zeros where it is not available,
// PlutoTable.h), 1..8 the series (body 3, the Earth,
// places the Sun); any other i gives zeros.
Spherical PlanetHelio(const PlanetSeries& series, int i, double T);
// The same with the rates of L, B, R from the same pass.
Spherical PlanetHelioRate(const PlanetSeries& series, int i, double T, Spherical& rate,
                          SeriesFit fit = SeriesFit::Exact);

// Series record i (0..8) with the FK5 correction. A record not loaded sums no terms.
Spherical PlanetPositionVsop(const PlanetSeries& series, int i, double T);
Spherical PlanetPositionVsopRate(const PlanetSeries& series, int i, double T, Spherical& rate,
                                 SeriesFit fit = SeriesFit::Exact);

// The bare sums of series record i: L (not reduced), B, R, with no FK5 correction.
Spherical PlanetSeriesSums(const PlanetSeries& p, int i, double T);

// Pluto, Meeus' 43-term theory (1st edition, ch. 36), heliocentric of J2000. Valid only for
// about 1885..2099; outside it the error grows quickly.
Spherical PlutoPosition(double T);
Spherical PlutoPositionRate(double T, Spherical& rate);

// The 18 sums of a body's series (coordinate c, power p at 6c + p) at τ and their rates by
// τ, with the kernel that takes a block of eight terms in `lanes` lanes at once: 8 (only where
// the processor has AVX-512) or 4. False when that kernel cannot run here. Either width gives
// the same bits; the evaluation itself picks the wider where it can.
bool PlanetSeriesKernelSums(const PlanetBodyTerms& b, double tau, int lanes, double* sums,
                            double* rates, SeriesFit fit = SeriesFit::Exact);

// sin and cos of n angles B[k] + C[k]·tau, vectorised; for the series and their tests.
void SinCosPhases(const double* B, const double* C, double tau, int n, double* sinOut,
                  double* cosOut);

} // namespace qor
