#include "chart/EquatorPoles.h"

#include "core/AstroMath.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

namespace {

// Right ascension and declination of the north poles at J2000, degrees, for chart bodies
// 1..10. Report of the IAU Working Group on Cartographic Coordinates and Rotational Elements
// 2015 (Archinal et al. 2018), constant terms; the Moon's mean pole.
constexpr double kPoles[11][2] = {
    {0, 90},                 // the Earth (handled apart)
    {286.13, 63.87},         // Sun
    {269.9949, 66.5392},     // Moon
    {281.0103, 61.4155},     // Mercury
    {272.76, 67.16},         // Venus
    {317.269202, 54.432516}, // Mars
    {268.056595, 64.495303}, // Jupiter
    {40.589, 83.537},        // Saturn
    {257.311, -15.175},      // Uranus
    {299.36, 43.46},         // Neptune
    {132.993, -6.163},       // Pluto
};

// General precession in longitude, arc-seconds per Julian century (IAU 2006).
constexpr double kPrecessionPerCentury = 5028.796195;

} // namespace

PoleDirection BodyEquatorPole(const AstroDat& s, int k) {
    PoleDirection p;
    if (k < 0 || k > 10) {
        p.lat = kPi / 2;
        return p;
    }
    if (k == 0) {
        p.lon = kPi / 2;
        p.lat = kPi / 2 - s.EpsMean;
        return p;
    }
    const double ra = kPoles[k][0] * kDegToRad, dec = kPoles[k][1] * kDegToRad;
    const double eps = EpsJ2000;
    const double sinLat =
        std::sin(dec) * std::cos(eps) - std::cos(dec) * std::sin(eps) * std::sin(ra);
    p.lat = std::asin(std::clamp(sinLat, -1.0, 1.0));
    const double y = std::sin(ra) * std::cos(eps) + std::tan(dec) * std::sin(eps);
    p.lon =
        NormAngle(ArcTan2Pos(y, std::cos(ra)) + s.ChartT * kPrecessionPerCentury / kRadToArcSec);
    return p;
}

} // namespace qor::chart
