#include "sky/BodyPoles.h"

#include "core/AstroMath.h"

namespace qor {

namespace {

constexpr double Dms(double d, double m, double sec) {
    return ((d * 60 + m) * 60 + sec) * kArcsecToRad;
}

// Ecliptic longitude and latitude of the poles of Mercury..Neptune (chart points 3..9) at
// JD 2448621.5 (1992 January 1.0), from the IAU's rotation elements of the time.
struct PoleOf1992 {
    double lon, lat;
};
constexpr PoleOf1992 kPoles1992[7] = {
    {Dms(318, 8, 1), Dms(82, 57, 17)},   // Mercury
    {Dms(32, 22, 47), Dms(88, 45, 41)},  // Venus
    {Dms(352, 49, 10), Dms(63, 16, 57)}, // Mars
    {Dms(247, 40, 47), Dms(87, 46, 38)}, // Jupiter
    {Dms(79, 25, 30), Dms(61, 57, 7)},   // Saturn
    {Dms(257, 37, 54), Dms(7, 59, 16)},  // Uranus
    {Dms(321, 23, 8), Dms(61, 34, 44)},  // Neptune
};
constexpr double kJD1992 = 2448621.5;
constexpr double kPrecessionPerYear = 50.29 * kArcsecToRad; // general precession in longitude

// The Moon's equator to the ecliptic.
constexpr double kMoonEquatorIncl = Dms(1, 32, 47);
// The Sun's equator to the ecliptic, and the node of the solar equator (Carrington).
constexpr double kSunEquatorIncl = 7.25 * kDegToRad;

} // namespace

PoleDirection BodyEquatorPole(const AstroDat& s, int k) {
    PoleDirection p;
    switch (k) {
    case 0:
        p.lat = 66.558 * kDegToRad;
        p.lon = kPi / 2;
        break;
    case 1: {
        const double jd = s.ChartT * 36525 + 2451545;
        const double nodeDeg = 73.6667 + 1.3958333 * (jd - 2396758) / 36525;
        p.lat = kPi / 2 - kSunEquatorIncl;
        p.lon = NormAngle(nodeDeg * kDegToRad - kPi / 2);
        break;
    }
    case 2:
        p.lat = kPi / 2 - kMoonEquatorIncl;
        p.lon = NormAngle(s.PlanetLon[11] + kPi / 2);
        break;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9: {
        const double years = (s.ChartJD - kJD1992) / 365.25;
        const PoleOf1992& t = kPoles1992[k - 3];
        p.lon = NormAngle(t.lon + kPrecessionPerYear * years);
        p.lat = t.lat;
        if (k == 4 || k == 8) {
            p.lon = NormAngle(p.lon + kPi);
            p.lat = -p.lat;
        }
        break;
    }
    default:
        p.lat = kPi / 2;
        p.lon = 0;
        break;
    }
    return p;
}

} // namespace qor
