// The whole chart: positions of the Sun, the Moon, the planets, the lunar points and the
// extra bodies with their daily motions, the house cusps, and the body records the screens
// read; the chart of an observer on Mercury, Venus or Mars; the rise and set search.
//
// Every routine here works on the moment prepared by the time step (CalcAstroTime or
// CalcTimeScales): ChartJD, ChartT (dynamical time), nutation, obliquity, SiderealTime.
#pragma once

#include "core/AstroDat.h"
#include "core/TimeStep.h"

#include <string>
#include <vector>

namespace qor {

// The one second of the speed differences, in days.
constexpr double kSecondInDays = 1.0 / 86400;
// The Gaussian gravitational constant k, radians per day.
constexpr double kGaussK = 0.01720209895;

// The inclination of the equator of Mercury (3), Venus (4) or Mars (5) to its orbit, radians:
// the obliquity of the chart of an observer on that planet. 0 for any other body.
// (IAU Working Group on Cartographic Coordinates and Rotational Elements, 2015: obliquities
// 0.034°, 177.36° and 25.19°.)
double PlanetEquatorInclination(int exterrBody);

// Stores the texts of an extra-body line (fields 7..13: mean anomaly, argument of perihelion,
// node, inclination, all in degrees; eccentricity; semi-major axis, AU; epoch, Julian day) as
// FictElements[slot], slot 1..12. An orbit that is not an ellipse (e outside 0..1, a <= 0) or
// a bad slot is refused with a message and leaves the slot as it was.
bool ParseOrbitElementsLine(AstroDat& s, int slot, const std::string& f7, const std::string& f8,
                            const std::string& f9, const std::string& f10, const std::string& f11,
                            const std::string& f12, const std::string& f13);

// Heliocentric ecliptic position (longitude, latitude, radius in AU) of an elliptic orbit at
// the Julian day jd (Kepler's equation solved by bisection to 1e-10 rad).
Triple KeplerPosition(const OrbitElements& el, double jd);

// The time-step options of a chart with these settings.
TimeStepOptions TimeOptionsFor(const ChartOptions& opt, const GeneralOptions& gen);

// The mean orbital elements of date of points 0..10 into Bodies[n] fields 0, 1, 2, 3, 5.
void CalcMeanElements(AstroDat& s, int n);

// The house system the options name; the default one (said on the status line) when they name
// none.
int ChartHouseSystem(AstroDat& s, const ChartOptions& opt);

// The twelve cusps of the chosen system into PlanetLon, PlanetLonSaved, PlanetLat [27..38].
void CalcHouses(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// n = 0: everything; 1..14+NExtra: body n; beyond: the houses, and for n < 27 also all bodies.
void CalcChart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n = 0);

// Every body of the chart (points 1..14 + NExtra) with its speed and body record, as
// CalcChart(0) computes them, without the cusps, the Arabic parts and the mappings of the
// heliocentric and horizontal charts: PlanetLon holds the apparent places seen from the
// observer's planet.
void CalcChartBodies(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// The chart for an observer on the planet opt.ExterrBody (3, 4 or 5).
void CalcChartAltFrame(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// One body, points 0..26.
void CalcBody(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n);

// A catalogue asteroid: its elements (angles in radians, a in AU, epoch a Julian day, mean
// motion in radians per day) and, after CalcAsteroidList, its apparent ecliptic place of date.
struct AsteroidRecord {
    double meanAnomaly = 0, argPerihelion = 0, node = 0, inclination = 0;
    double e = 0, a = 0, epoch = 0, meanMotion = 0;
    double lon = 0, lat = 0; // results, radians
};

// The apparent places of the first `count` asteroids of the list (at most 10000) at the chart
// moment, seen from the Earth of the last CalcChart: light time, nutation, aberration (with
// light time) and the observer's parallax (HorParallax). Sets AsteroidTimeText. Records that
// are not ellipses are skipped.
void CalcAsteroidList(AstroDat& s, const GeneralOptions& gen, std::vector<AsteroidRecord>& list,
                      int count);
std::string AsteroidTimeText(const AstroDat& s);

// The Arabic parts that fit before the cusps beside `nExtra` extra bodies.
inline int MaxActiveParts(int nExtra) {
    const int room = kFirstCuspPoint - kFirstExtraPoint - nExtra;
    return room < 0 ? 0 : (room > kMaxParts ? kMaxParts : room);
}

// The angle below the horizon at which body n rises or sets by the general settings
// (radians): refraction 34', plus the semi-diameter for the upper limb.
double RiseThreshold(const AstroDat& s, const GeneralOptions& gen, int n);

// The moment at which body n rises (FindRiseSet) or sets (FindRiseSet2), searched onward from
// the chart moment or back from it, to the second: the chart moment is left there and the
// chart is computed for it. False when the body does not cross the horizon within 30 hours
// (polar day or night): the moment is left where the search stopped.
bool FindRiseSet(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                 bool forward);
bool FindRiseSet2(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                  bool forward);

} // namespace qor
