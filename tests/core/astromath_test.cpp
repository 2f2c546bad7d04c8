#include "core/AstroMath.h"

#include <erfa.h>
#include <gtest/gtest.h>
#include <libnova/julian_day.h>

#include <cmath>
#include <random>

namespace qor {
namespace {

DateTimeRec Date(int y, int m, double d) {
    DateTimeRec r;
    r.Year = y;
    r.Month = m;
    r.Day = d;
    return r;
}

// Meeus, Astronomical Algorithms (2nd ed.), examples 7.a, 7.b and the table after them.
TEST(JulianDay, MeeusWorkedExamples) {
    struct Case {
        int y, m;
        double d, jd;
    } cases[] = {
        {1957, 10, 4.81, 2436116.31}, // 7.a
        {333, 1, 27.5, 1842713.0},    // 7.b
        {2000, 1, 1.5, 2451545.0},    {1999, 1, 1.0, 2451179.5},   {1987, 1, 27.0, 2446822.5},
        {1987, 6, 19.5, 2446966.0},   {1988, 1, 27.0, 2447187.5},  {1988, 6, 19.5, 2447332.0},
        {1900, 1, 1.0, 2415020.5},    {1600, 1, 1.0, 2305447.5},   {1600, 12, 31.0, 2305812.5},
        {837, 4, 10.3, 2026871.8},    {-123, 12, 31.0, 1676496.5}, {-122, 1, 1.0, 1676497.5},
        {-1000, 7, 12.5, 1356001.0},  {-1000, 2, 29.0, 1355866.5}, {-1001, 8, 17.9, 1355671.4},
        {-4712, 1, 1.5, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(JulianDayOf(Date(c.y, c.m, c.d)), c.jd, 1e-6)
            << c.y << "-" << c.m << "-" << c.d;
}

TEST(JulianDay, CalendarSwitchAndStateFlags) {
    AstroDat s;
    EXPECT_DOUBLE_EQ(JulianDay(s, Date(1582, 10, 15)), 2299160.5);
    EXPECT_TRUE(s.GregorianCal);
    EXPECT_DOUBLE_EQ(JulianDay(s, Date(1582, 10, 4)), 2299159.5);
    EXPECT_FALSE(s.GregorianCal);
    JulianDay(s, Date(1582, 10, 5));
    EXPECT_TRUE(s.GregorianCal);

    JulianDay(s, Date(2000, 1, 1));
    EXPECT_EQ(s.ChartWeekDay, 6); // Saturday
    EXPECT_TRUE(s.ChartLeapYear);
    EXPECT_EQ(s.MonthDays[2], 29);
    JulianDay(s, Date(1900, 3, 1));
    EXPECT_FALSE(s.ChartLeapYear); // Gregorian century rule
    EXPECT_EQ(s.MonthDays[2], 28);
    JulianDay(s, Date(1500, 3, 1));
    EXPECT_TRUE(s.ChartLeapYear); // Julian: every fourth year
    JulianDay(s, Date(0, 3, 1));
    EXPECT_TRUE(s.ChartLeapYear);
}

// ERFA's eraCal2jd is the proleptic Gregorian calendar: compare over dates after the switch.
TEST(JulianDay, AgreesWithErfaOnGregorianDates) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> year(1583, 3000), month(1, 12), day(1, 28);
    for (int i = 0; i < 5000; ++i) {
        const int y = year(rng), m = month(rng), d = i % 10 == 0 ? 1 : day(rng);
        double djm0, djm;
        ASSERT_EQ(eraCal2jd(y, m, d, &djm0, &djm), 0);
        EXPECT_DOUBLE_EQ(JulianDayOf(Date(y, m, d)), djm0 + djm) << y << "-" << m << "-" << d;
    }
}

// libnova switches calendars on the same day as we do: compare over both calendars.
TEST(JulianDay, AgreesWithLibnovaOnBothCalendars) {
    std::mt19937 rng(2);
    std::uniform_int_distribution<int> year(-4000, 2500), month(1, 12), day(1, 28);
    for (int i = 0; i < 5000; ++i) {
        ln_date d{};
        d.years = year(rng);
        d.months = month(rng);
        d.days = day(rng);
        EXPECT_DOUBLE_EQ(JulianDayOf(Date(d.years, d.months, d.days)), ln_get_julian_day(&d))
            << d.years << "-" << d.months << "-" << d.days;
    }
}

TEST(CalendarFromJD, MeeusAndTheDocumentedEdges) {
    struct Case {
        double jd;
        int y, m, d, h, mi, s;
    } cases[] = {
        {2436116.31, 1957, 10, 4, 19, 26, 24}, // 7.c: 1957 October 4.81
        {1842713.0, 333, 1, 27, 12, 0, 0},     // 7.b reversed
        {1507900.13, -584, 5, 28, 15, 7, 12},  // 7.c: -584 May 28.63
        {2451544.5, 2000, 1, 1, 0, 0, 0},       {2451544.25, 1999, 12, 31, 18, 0, 0},
        {2451179.5, 1999, 1, 1, 0, 0, 0},       // a year start before 2000 is the new year
        {2299160.5, 1582, 10, 15, 0, 0, 0},     // first Gregorian day
        {2299159.5, 1582, 10, 4, 0, 0, 0},      // last Julian day
        {2451544.4999999, 2000, 1, 1, 0, 0, 0}, // rounds up into the next day
    };
    for (const Case& c : cases) {
        const DateTimeRec r = CalendarFromJD(c.jd);
        EXPECT_EQ(r.Year, c.y) << c.jd;
        EXPECT_EQ(r.Month, c.m) << c.jd;
        EXPECT_EQ(r.Day, c.d) << c.jd;
        EXPECT_EQ(r.Hour, c.h) << c.jd;
        EXPECT_EQ(r.Minute, c.mi) << c.jd;
        EXPECT_EQ(r.Second, c.s) << c.jd;
    }
}

TEST(CalendarFromJD, AgreesWithErfaAndRoundTripsOnBothCalendars) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> jd(0.0, 2816787.5); // 4712 BC .. 3000 AD
    for (int i = 0; i < 20000; ++i) {
        // Whole seconds, with every tenth case on a month's first midnight.
        double x = std::round(jd(rng) * 86400.0) / 86400.0;
        if (i % 10 == 0) {
            const DateTimeRec r = CalendarFromJD(x);
            x = JulianDayOf(Date(r.Year, r.Month, 1));
        }
        const DateTimeRec r = CalendarFromJD(x);
        ASSERT_GE(r.Month, 1);
        ASSERT_LE(r.Month, 12);
        const double back = JulianDayOf(Date(r.Year, r.Month, r.Day)) +
                            (r.Hour * 3600 + r.Minute * 60 + r.Second) / 86400.0;
        EXPECT_NEAR(back, x, 0.6 / 86400.0) << x;
        if (x >= 2299160.5) {
            int ey, em, ed;
            double fd;
            ASSERT_EQ(eraJd2cal(x, 0, &ey, &em, &ed, &fd), 0);
            EXPECT_EQ(r.Year, ey) << x;
            EXPECT_EQ(r.Month, em) << x;
            EXPECT_EQ(static_cast<int>(r.Day), ed) << x;
            EXPECT_NEAR(r.Hour * 3600 + r.Minute * 60 + r.Second, fd * 86400.0, 0.51) << x;
        }
    }
}

// Meeus 12.a: 1987 April 10, 0h UT: mean sidereal time 13h10m46.3668s;
// 12.b: 1987 April 10, 19h21m00s UT: 8h34m57.0896s.
TEST(SiderealTime, MeeusExamples) {
    const double t1 = CenturiesJ2000(2446895.5);
    EXPECT_NEAR(SiderealTimeGreenwich(t1) * kTimeSecondsPerRad, 13 * 3600 + 10 * 60 + 46.3668,
                1e-3);
    const double t2 = CenturiesJ2000(2446896.30625);
    EXPECT_NEAR(SiderealTimeGreenwich(t2) * kTimeSecondsPerRad, 8 * 3600 + 34 * 60 + 57.0896, 1e-3);
}

// The same IAU 1982 expression as ERFA's eraGmst82; agreement to a few microarcseconds is
// only rounding (the polynomials are arranged differently).
TEST(SiderealTime, AgreesWithErfaGmst82) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> jd(2415020.5, 2488069.5); // 1900..2100
    for (int i = 0; i < 2000; ++i) {
        const double x = jd(rng);
        const double d =
            NormAngleSigned(SiderealTimeGreenwich(CenturiesJ2000(x)) - eraGmst82(x, 0.0));
        EXPECT_LT(std::fabs(d), 1e-8) << x;
    }
}

// Meeus 22.a: 1987 April 10, 0h TD: ε0 = 23°26'27.407".
TEST(Obliquity, MeeusExampleAndErfa) {
    const double t = CenturiesJ2000(2446895.5);
    EXPECT_NEAR(MeanObliquity(t) * kRadToArcSec, 23 * 3600 + 26 * 60 + 27.407, 0.001);
    // ERFA's eraObl80 is Lieske's cubic; near J2000 the two agree to a few milliarcseconds.
    for (double tt : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        const double jd = JDFromCenturies(tt);
        EXPECT_NEAR(MeanObliquity(tt) * kRadToArcSec, eraObl80(jd, 0) * kRadToArcSec, 0.05) << tt;
    }
}

TEST(Angles, NormalisationAndArcTangent) {
    EXPECT_DOUBLE_EQ(ArcTan2Pos(0, -1), kPi); // atan2 normalised, not the 0 of a plain arctan
    EXPECT_DOUBLE_EQ(ArcTan2Pos(-0.0, -1), kPi);
    EXPECT_DOUBLE_EQ(ArcTan2Pos(1, 0), kPi / 2);
    EXPECT_DOUBLE_EQ(ArcTan2Pos(-1, 0), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(ArcTan2Pos(0, 1), 0);
    EXPECT_DOUBLE_EQ(ArcTan2Pos(0, 0), 0);

    for (double a : {-1e-17, -7.0, -kTwoPi, 0.0, 1.0, kTwoPi, 100.0, -1e6}) {
        const double n = NormAngle(a);
        EXPECT_GE(n, 0) << a;
        EXPECT_LT(n, kTwoPi) << a;
        EXPECT_NEAR(std::remainder(n - a, kTwoPi), 0, 1e-9) << a;
        const double n2 = NormAngle2(a);
        EXPECT_GE(n2, 0) << a;
        EXPECT_LT(n2, kTwoPi) << a;
        const double sgn = NormAngleSigned(a);
        EXPECT_GE(sgn, -kPi) << a;
        EXPECT_LT(sgn, kPi) << a;
    }
    EXPECT_DOUBLE_EQ(NormAngleSigned(kPi), -kPi);
    EXPECT_DOUBLE_EQ(NormAngleSigned2(kPi), kPi); // (−π, π]
    EXPECT_DOUBLE_EQ(NormAngleSigned2(4.0), 4.0 - kTwoPi);
    EXPECT_DOUBLE_EQ(NormAngleSigned2(-4.0), -4.0 + kTwoPi);
}

TEST(Vectors, SphericalRoundTripAndPolynomials) {
    const Vec3 v = SphToRect(2.0, -0.5, 3.0);
    const Spherical s = RectToSph(v.x, v.y, v.z);
    EXPECT_NEAR(s.lon, 2.0, 1e-15);
    EXPECT_NEAR(s.lat, -0.5, 1e-15);
    EXPECT_NEAR(s.r, 3.0, 1e-15);

    const double c[] = {1, -2, 3};
    EXPECT_DOUBLE_EQ(EvalPolynomial(c, 2, 2.0), 1 - 4 + 12);

    double S[9] = {}, C[9] = {};
    SinCosMultiples(8, S, C, 0.3);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_NEAR(S[k], std::sin(k * 0.3), 1e-14);
        EXPECT_NEAR(C[k], std::cos(k * 0.3), 1e-14);
    }
}

// The observer's geocentric place against ERFA's eraGd2gc (GRS80 is within 1e-9 of the
// flattening used here; height 0).
TEST(Observer, GeocentricLatitudeAgreesWithErfa) {
    for (double latDeg : {-89.0, -55.75, -10.0, 0.0, 33.356, 55.75, 89.9}) {
        AstroDat s;
        s.ChartLat = latDeg * kDegToRad;
        ObserverGeocentric(s);
        double xyz[3];
        ASSERT_EQ(eraGd2gc(1, 0.0, s.ChartLat, 0.0, xyz), 0);
        const double r = std::sqrt(xyz[0] * xyz[0] + xyz[1] * xyz[1] + xyz[2] * xyz[2]);
        EXPECT_NEAR(s.GeocLat, std::asin(xyz[2] / r), 1e-8) << latDeg;
        EXPECT_NEAR(s.GeocRadius, r / 6378137.0, 1e-8) << latDeg;
    }
}

// Meeus 40.a: Mars from Palomar, 2003 Aug 28 3h17m UT: α 339.530208°, δ −15.771083°,
// parallax 23.592" (Δ = 0.37276 AU), H = 288.7958°; topocentric
// 22h38m08.54s, δ' = −15°46'30.0". Palomar's 1706 m height is left out here (always 0), which
// moves the result by under 0.01".
TEST(Observer, TopocentricParallaxMeeus40a) {
    AstroDat s;
    s.ChartLat = (33 + 21.0 / 60 + 22.0 / 3600) * kDegToRad;
    ObserverGeocentric(s);
    double ra = 339.530208 * kDegToRad, dec = -15.771083 * kDegToRad;
    double dist = 8.794148 / 23.592; // Meeus: sin π = sin 8.794" / Δ
    const double lst = (288.7958 + 339.530208) * kDegToRad;
    ASSERT_TRUE(TopocentricParallax(s, ra, dec, dist, lst));
    EXPECT_NEAR(ra * kTimeSecondsPerRad, 22 * 3600 + 38 * 60 + 8.54, 0.05);
    EXPECT_NEAR(dec * kRadToArcSec, -(15 * 3600 + 46 * 60 + 30.0), 0.5);

    double far = 31, r2 = 1, d2 = 0.5;
    EXPECT_FALSE(TopocentricParallax(s, r2, d2, far, lst));
    EXPECT_EQ(far, 31);
    EXPECT_EQ(r2, 1);
}

TEST(Houses, HouseOfLongitudeAcrossAries) {
    PointArray p{};
    for (int i = 0; i < 12; ++i) p[27 + i] = NormAngle((200.0 + 30.0 * i) * kDegToRad);
    EXPECT_EQ(HouseOfLongitude(p, 205 * kDegToRad), 1);
    EXPECT_EQ(HouseOfLongitude(p, 350 * kDegToRad), 6); // house 6 runs 350°..20°
    EXPECT_EQ(HouseOfLongitude(p, 5 * kDegToRad), 6);
    EXPECT_EQ(HouseOfLongitude(p, 199 * kDegToRad), 12);
}

TEST(Misc, PlanetRotationAndColour) {
    EXPECT_EQ(MakeRGB(1, 2, 3), 0x030201);
    // Mars turns once per its solar day: after 1.026·Q/(Q+P) days the angle is back to 0.
    const double solarDay = 1.026 * 686.98 / (686.98 + 1.026);
    EXPECT_NEAR(std::remainder(PlanetRotationAngle(5, solarDay / 36525.0), kTwoPi), 0, 1e-9);
}

} // namespace
} // namespace qor
