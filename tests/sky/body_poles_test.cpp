// The poles of the bodies' equators against the IAU's rotation elements, brought to the
// ecliptic of date by ERFA (eraEqec06, IAU 2006 precession).
#include "SkyTestSupport.h"

#include "core/AstroMath.h"
#include "sky/BodyPoles.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

namespace qor::test {
namespace {

// Angle between two directions given as longitude and latitude, radians.
double Separation(double lon1, double lat1, double lon2, double lat2) {
    return eraSeps(lon1, lat1, lon2, lat2);
}

// An IAU pole (right ascension and declination on the ICRF, degrees) on the ecliptic of date.
PoleDirection IauPoleOfDate(double raDeg, double decDeg, double jdTT) {
    PoleDirection p;
    eraEqec06(jdTT, 0, raDeg * kDegToRad, decDeg * kDegToRad, &p.lon, &p.lat);
    return p;
}

void SetMoment(AstroDat& s, double jd) {
    s.ChartJD = jd;
    s.ChartT = (jd - 2451545.0) / 36525;
}

TEST(BodyPoles, VenusAndUranusTurnOverToTheirCounterClockwisePole) {
    SkyState t;
    SetMoment(t.s, 2448621.5); // the epoch of the stored poles: no precession
    const double dms = (88 * 60 + 45) * 60 + 41;
    const PoleDirection venus = BodyEquatorPole(t.s, 4);
    EXPECT_NEAR(venus.lat, -dms * kArcsecToRad, 1e-12);
    EXPECT_NEAR(venus.lon, ((32 * 60 + 22) * 60 + 47) * kArcsecToRad + kPi, 1e-12);
    const PoleDirection uranus = BodyEquatorPole(t.s, 8);
    EXPECT_NEAR(uranus.lat, -((7 * 60 + 59) * 60 + 16) * kArcsecToRad, 1e-12);
    EXPECT_NEAR(uranus.lon, ((257 * 60 + 37) * 60 + 54) * kArcsecToRad - kPi, 1e-12);
    // ten years on, the general precession has moved the longitude by 502.9"
    SetMoment(t.s, 2448621.5 + 3652.5);
    EXPECT_NEAR(BodyEquatorPole(t.s, 4).lon - venus.lon, 502.9 * kArcsecToRad, 1e-12);
}

TEST(BodyPoles, PlutoTheNodesAndTheCuspsTakeTheEclipticPole) {
    SkyState t;
    SetMoment(t.s, 2460000.5);
    for (int k : {10, 11, 12, 15, 26, 27, 38, -1, 41}) {
        const PoleDirection p = BodyEquatorPole(t.s, k);
        EXPECT_EQ(p.lat, kPi / 2) << k;
        EXPECT_EQ(p.lon, 0) << k;
    }
    const PoleDirection earth = BodyEquatorPole(t.s, 0);
    EXPECT_DOUBLE_EQ(earth.lat, 66.558 * kDegToRad);
    EXPECT_DOUBLE_EQ(earth.lon, kPi / 2);
}

TEST(BodyPoles, MarsAndTheSunLieWithinAFifthOfADegreeOfTheIauPoles) {
    SkyState t;
    for (double jd : {2433282.5, 2451545.0, 2460000.5, 2469807.5}) {
        SetMoment(t.s, jd);
        const double T = (jd - 2451545.0) / 36525;
        // Mars: IAU 2009 (Archinal et al. 2011), alpha0 = 317.68143 - 0.1061 T,
        // delta0 = 52.88650 - 0.0609 T
        const PoleDirection iau = IauPoleOfDate(317.68143 - 0.1061 * T, 52.88650 - 0.0609 * T, jd);
        const PoleDirection mars = BodyEquatorPole(t.s, 5);
        EXPECT_LT(Separation(mars.lon, mars.lat, iau.lon, iau.lat), 0.2 * kDegToRad) << jd;
        // the Sun: alpha0 = 286.13, delta0 = 63.87
        const PoleDirection sunIau = IauPoleOfDate(286.13, 63.87, jd);
        const PoleDirection sun = BodyEquatorPole(t.s, 1);
        EXPECT_LT(Separation(sun.lon, sun.lat, sunIau.lon, sunIau.lat), 0.2 * kDegToRad) << jd;
    }
}

TEST(BodyPoles, TheMoonsPoleCirclesTheEclipticPoleWithItsNode) {
    SkyState t;
    // Every 40 days over one turn of the node (18.6 years) from 2020.
    for (double jd = 2458849.5; jd < 2458849.5 + 6800; jd += 40) {
        SetMoment(t.s, jd);
        const double T = t.s.ChartT, d = jd - 2451545.0;
        // the mean ascending node (Meeus, Astronomical Algorithms, 47.7)
        t.s.PlanetLon[11] = NormAngle((125.0445479 - 1934.1362891 * T) * kDegToRad);
        // IAU 2009 lunar pole with its periodic terms (Archinal et al. 2011, table 2)
        auto sinD = [](double deg) { return std::sin(deg * kDegToRad); };
        auto cosD = [](double deg) { return std::cos(deg * kDegToRad); };
        const double E1 = 125.045 - 0.0529921 * d, E2 = 250.089 - 0.1059842 * d,
                     E3 = 260.008 + 13.0120009 * d, E4 = 176.625 + 13.3407154 * d,
                     E6 = 311.589 + 26.4057084 * d, E7 = 134.963 + 13.0649930 * d,
                     E10 = 15.134 - 0.1589763 * d, E13 = 25.053 + 12.9590088 * d;
        const double ra = 269.9949 + 0.0031 * T - 3.8787 * sinD(E1) - 0.1204 * sinD(E2) +
                          0.0700 * sinD(E3) - 0.0172 * sinD(E4) + 0.0072 * sinD(E6) -
                          0.0052 * sinD(E10) + 0.0043 * sinD(E13);
        const double dec = 66.5392 + 0.0130 * T + 1.5419 * cosD(E1) + 0.0239 * cosD(E2) -
                           0.0278 * cosD(E3) + 0.0068 * cosD(E4) - 0.0029 * cosD(E6) +
                           0.0009 * cosD(E7) + 0.0008 * cosD(E10) - 0.0009 * cosD(E13);
        const PoleDirection iau = IauPoleOfDate(ra, dec, jd);
        const PoleDirection moon = BodyEquatorPole(t.s, 2);
        ASSERT_LT(Separation(moon.lon, moon.lat, iau.lon, iau.lat), 0.1 * kDegToRad) << jd;
    }
}

} // namespace
} // namespace qor::test
