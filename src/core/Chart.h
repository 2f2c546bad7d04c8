// The whole chart: positions of the Sun, the Moon, the planets, the lunar points and the
// extra bodies with their daily motions, the house cusps, and the body records the screens
// read; the chart of an observer on Mercury, Venus or Mars. The orbits of the extra bodies and
// the asteroids are in Kepler.h, the rise and set searches in RiseSet.h.
//
// Every routine here works on the moment prepared by the time step (CalcAstroTime or
// CalcTimeScales): ChartJD, ChartT (dynamical time), nutation, obliquity, SiderealTimeSec.
#pragma once

#include "core/AstroDat.h"
#include "core/Kepler.h"
#include "core/TimeStep.h"

#include <string>
#include <vector>

namespace qor {

// The one second of the speed differences, in days.
constexpr double kSecondInDays = 1.0 / 86400;

// The inclination of the equator of Mercury (3), Venus (4) or Mars (5) to its orbit, radians:
// the obliquity of the chart of an observer on that planet. 0 for any other body.
// (IAU Working Group on Cartographic Coordinates and Rotational Elements, 2015: obliquities
// 0.034°, 177.36° and 25.19°.)
double PlanetEquatorInclination(int exterrBody);

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

// The apparent places alone: PlanetLon and PlanetLat of points 1..14 + NExtra (with BodyRA,
// BodyDec), bit for bit as CalcChartBodies gives them, without their speeds, horizontal places
// and body records (not current afterwards). For tables that keep the longitudes alone.
void CalcChartPlaces(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// The chart for an observer on the planet opt.ExterrBody (3, 4 or 5).
void CalcChartAltFrame(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen);

// The Arabic parts that fit before the cusps beside `nExtra` extra bodies.
inline int MaxActiveParts(int nExtra) {
    const int room = kFirstCuspPoint - kFirstExtraPoint - nExtra;
    return room < 0 ? 0 : (room > kMaxParts ? kMaxParts : room);
}

} // namespace qor
