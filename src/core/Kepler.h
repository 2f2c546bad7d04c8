// Elliptic orbits about the Sun, as the chart draws its extra bodies and the asteroid list:
// the mean motion of a semi-major axis, Kepler's equation, the place and velocity on the
// ellipse, the elements of an extra-body line, and the apparent places of catalogue asteroids.
// Angles in radians, distances in AU, times Julian days.
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <string>
#include <vector>

namespace qor {

// The Gaussian gravitational constant k, radians per day.
constexpr double kGaussK = 0.01720209895;
// Light time per astronomical unit, Julian centuries (499.0048 s).
constexpr double kLightTimeCenturiesPerAU = 1.5812507323750856e-7;

// The mean motion (radians per day) of an orbit of semi-major axis a about the Sun; 0 for
// a <= 0.
double MeanMotionOf(double a);

// Elements with the mean motion of their semi-major axis (angles in radians).
OrbitElements EllipseElements(double epoch, double a, double e, double meanAnomaly,
                              double argPerihelion, double node, double inclination);

// The eccentric anomaly of mean anomaly M (radians, −π..π) for every e < 1, to 1e-13 rad:
// Halley's steps kept inside the bracket that holds the root. Its sine and cosine too when
// asked for.
double EccentricAnomaly(double M, double e, double* sinE = nullptr, double* cosE = nullptr);

// Heliocentric ecliptic position and velocity (AU, AU per day) on the ellipse at Julian day jd.
void KeplerState(const OrbitElements& el, double jd, Triple& pos, Triple& vel);

// Heliocentric ecliptic position (longitude, latitude, radius in AU) on the ellipse at jd.
Triple KeplerPosition(const OrbitElements& el, double jd);

// Stores the texts of an extra-body line (fields 7..13: mean anomaly, argument of perihelion,
// node, inclination, all in degrees; eccentricity; semi-major axis, AU; epoch, Julian day) as
// FictElements[slot], slot 1..12. An orbit that is not an ellipse (e outside 0..1, a <= 0) or
// a bad slot is refused with a message and leaves the slot as it was.
bool ParseOrbitElementsLine(AstroDat& s, int slot, const std::string& f7, const std::string& f8,
                            const std::string& f9, const std::string& f10, const std::string& f11,
                            const std::string& f12, const std::string& f13);

// An orbit's inclination, node and argument of perihelion (radians) referred to the ecliptic
// and equinox of J2000, turned to the mean ecliptic and equinox of Julian day jd.
void OrbitAnglesOfEquinox(double jd, double& inclination, double& node, double& argPerihelion);

// A catalogue asteroid: its elements (angles in radians, referred to the ecliptic and equinox
// of J2000; a in AU, epoch a Julian day, mean motion in radians per day) and, after
// CalcAsteroidList, its apparent ecliptic place of date.
struct AsteroidRecord {
    double meanAnomaly = 0, argPerihelion = 0, node = 0, inclination = 0;
    double e = 0, a = 0, epoch = 0, meanMotion = 0;
    double lon = 0, lat = 0; // results, radians
    // The orbit's two axes in the ecliptic of J2000 (towards the perihelion, and 90° on along
    // the motion), worked out on the first computation; who changes the three angles of a
    // record kept between computations clears axesSet.
    std::array<double, 6> axes{};
    bool axesSet = false;
};

// The apparent places of the first `count` asteroids of the list (at most 10000) at the chart
// moment, seen from the Earth of the last CalcChart: the J2000 place turned to the ecliptic
// of date, light time, nutation, aberration (with light time) and the observer's parallax
// (HorParallax). Sets AsteroidTimeText. Records that
// are not ellipses are skipped.
void CalcAsteroidList(AstroDat& s, const GeneralOptions& gen, std::vector<AsteroidRecord>& list,
                      int count);
std::string AsteroidTimeText(const AstroDat& s);

} // namespace qor
