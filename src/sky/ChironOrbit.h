// Chiron's orbit: a numerical integration of its heliocentric motion under the Sun and the four
// giant planets (to make the monthly corrections of "chiron.dat"), and the plain Kepler orbit of
// an extra body's elements as the chart computes it (to which the corrections are added).
//
// Frames and units: heliocentric rectangular ecliptic coordinates of J2000 in AU, velocities in
// AU per day, times Julian days of dynamical time (TT ≈ TDB).
#pragma once

#include "core/AstroDat.h"
#include "core/AstroMath.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

constexpr double kGaussK2 = 0.01720209895 * 0.01720209895; // GM of the Sun, AU³/day²

struct OrbitState {
    Vec3 r; // AU
    Vec3 v; // AU per day
};

// Osculating heliocentric elements: a (AU), e, i, node, argument of perihelion, mean anomaly
// at the epoch (radians), epoch (Julian day).
struct OsculatingElements {
    double a = 0, e = 0, incl = 0, node = 0, argPeri = 0, meanAnomaly = 0, epoch = 0;
};

// The eccentric anomaly of a mean anomaly (Newton's method, |error| < 1e-15 rad), e < 1.
double SolveKepler(double meanAnomaly, double e);
// Position and velocity of the elements at Julian day jd on the unperturbed ellipse of the
// gravitational parameter mu (AU³/day²).
OrbitState StateFromElements(const OsculatingElements& el, double mu, double jd);

// The perturbing bodies: GM (AU³/day²) and a source of their heliocentric J2000 positions.
struct Perturber {
    double gm = 0;
    std::function<Vec3(double jd)> position;
};

// Integrates the heliocentric motion with the classical Runge-Kutta method of order 4 at a fixed
// step: central attraction muSun, plus for each perturber its direct attraction and the
// indirect term of the Sun's acceleration towards it. Perturber positions are evaluated once per
// half step and shared between stages.
class OrbitIntegrator {
public:
    OrbitIntegrator(double muSun, std::vector<Perturber> perturbers, double stepDays);
    // Moves `state` from jd0 to jd1 (either direction) in whole steps; jd1 - jd0 must be a
    // multiple of the step.
    void Propagate(OrbitState& state, double jd0, double jd1) const;
    Vec3 Acceleration(const Vec3& r, const std::vector<Vec3>& planets) const;
    // Specific orbital energy v²/2 − muSun/r (conserved without perturbers).
    double Energy(const OrbitState& s) const;

private:
    std::vector<Vec3> PlanetsAt(double jd) const;
    double mu_;
    std::vector<Perturber> perturbers_;
    double step_;
};

// The bodies the integrated orbits of Chiron and Pluto move under: the Sun with the masses of
// Mercury to Mars added to it (GM, AU³/day²), and Jupiter, Saturn, Uranus and Neptune (each
// with its satellites) at their places of the planet series loaded in `s`, J2000.
double SunWithInnerPlanetsGM();
std::vector<Perturber> GiantPlanets(const AstroDat& s);

// For the orbit generators: loads the planet series and "asteroid.csv" of s's program folder
// and gives the osculating elements of the catalogue's body `name` (e.g. "2060 Chiron");
// nullopt with the reason in `error`.
std::optional<OsculatingElements> CatalogueOrbit(AstroDat& s, const std::string& name,
                                                 std::string& error);

// The plain Kepler orbit of extra-body elements as the chart computation uses them: the
// elements taken as ecliptic of date, Kepler's equation solved by bisection, the Earth of the
// planet series (body 3) of date, one light-time step. Returns the geometric geocentric
// ecliptic longitude of date (no nutation or aberration), radians. T: centuries of TT.
double ElementBodyGeoLongitude(const AstroDat& s, const OsculatingElements& el, double T);

// A J2000 ecliptic vector turned to the mean ecliptic and equinox of date T.
Vec3 EclipticJ2000ToDate(const Vec3& v, double T);
// A mean-of-date ecliptic vector turned to J2000.
Vec3 EclipticDateToJ2000(const Vec3& v, double T);

} // namespace qor
