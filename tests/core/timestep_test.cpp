// The time step of the chart and the physical ephemeris of the Moon.
#include "core/Formats.h"
#include "core/MoonPhys.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor {
namespace {

constexpr double kDeg = kDegToRad;

AstroDat Moment(int y, int mo, int d, int h, int mi, int sec, int zoneMin = 0) {
    AstroDat s;
    s.ChartYear = y;
    s.ChartMonth = mo;
    s.ChartDay = d;
    s.ChartHour = h;
    s.ChartMinute = mi;
    s.ChartSecond = sec;
    s.ChartZone = zoneMin;
    return s;
}

TEST(CalcAstroTime, J2000NoonAndDynamicalTime) {
    AstroDat s = Moment(2000, 1, 1, 12, 0, 0);
    CalcAstroTime(s, {});
    EXPECT_DOUBLE_EQ(s.ChartJD, 2451545.0);
    EXPECT_DOUBLE_EQ(s.UtHours, 12.0);
    EXPECT_NEAR(s.DeltaTSec, 63.83, 0.01);
    // ChartT is the UT-based 0 plus delta T, in centuries.
    EXPECT_DOUBLE_EQ(s.ChartT, s.DeltaTSec * kSecondsToCenturies);
    EXPECT_NEAR(s.EpsMean / kDeg, 23.4392911, 1e-7);
    EXPECT_DOUBLE_EQ(s.SinEps, std::sin(s.EpsMean + s.NutEps));
    EXPECT_DOUBLE_EQ(s.CosEps, std::cos(s.EpsMean + s.NutEps));
    EXPECT_EQ(s.GeocLat, s.ChartLat);
    EXPECT_EQ(s.GeocRadius, 1.0);
}

TEST(CalcAstroTime, LocalTimeBeforeTheZoneOffset) {
    // 01:30 local in a zone 3 h east of Greenwich is 22:30 UT of the day before.
    AstroDat s = Moment(2024, 3, 1, 1, 30, 0, 180);
    CalcAstroTime(s, {});
    EXPECT_DOUBLE_EQ(s.UtHours, -1.5);
    EXPECT_NEAR(s.ChartJD, 2460370.4375, 1e-9); // 2024 Feb 29, 22:30 UT
}

TEST(CalcAstroTime, SiderealTimeMeeusExamples12aAnd12b) {
    // 1987 April 10 at Greenwich: 0h UT apparent 13h10m46.1351s; 19h21m00s UT mean
    // 8h34m57.0896s, to which the equation of the equinoxes Δψ cos ε of that moment adds.
    // Tolerance 0.003 s: Meeus takes the nutation at TT, the time step at UT.
    AstroDat a = Moment(1987, 4, 10, 0, 0, 0);
    CalcAstroTime(a, {});
    EXPECT_NEAR(a.SiderealTimeSec, 13 * 3600 + 10 * 60 + 46.1351, 0.003);
    AstroDat b = Moment(1987, 4, 10, 19, 21, 0);
    CalcAstroTime(b, {});
    const double equinoxes = std::cos(b.EpsMean) * b.NutPsi * kTimeSecondsPerRad;
    EXPECT_NEAR(equinoxes, -0.2317, 0.005);
    EXPECT_NEAR(b.SiderealTimeSec, 8 * 3600 + 34 * 60 + 57.0896 + equinoxes, 0.003);
    // East longitude adds to the local sidereal time.
    AstroDat c = Moment(1987, 4, 10, 19, 21, 0);
    c.ChartLong = 15 * kDeg;
    CalcAstroTime(c, {});
    EXPECT_NEAR(c.SiderealTimeSec - b.SiderealTimeSec, 3600, 1e-6);
}

TEST(CalcAstroTime, KeepsTheCalendarOfTheMoment) {
    AstroDat s = Moment(2000, 1, 1, 12, 0, 0);
    CalcAstroTime(s, {});
    EXPECT_TRUE(s.StepCalendar.LeapYear);
    EXPECT_TRUE(s.StepCalendar.Gregorian);
    AstroDat r = Moment(1501, 6, 1, 0, 0, 0);
    CalcAstroTime(r, {});
    EXPECT_FALSE(r.StepCalendar.LeapYear);
    EXPECT_FALSE(r.StepCalendar.Gregorian);
}

TEST(CalcAstroTime, ObserverOnAnotherPlanet) {
    // Mercury, Venus, Mars: no nutation, the obliquity is that planet's equator inclination.
    for (int body : {3, 4, 5}) {
        AstroDat s = Moment(2010, 5, 5, 10, 0, 0);
        TimeStepOptions o;
        o.ExterrBody = body;
        o.ExterrObliquity = 0.4397;
        CalcAstroTime(s, o);
        EXPECT_EQ(s.NutPsi, 0);
        EXPECT_EQ(s.NutEps, 0);
        EXPECT_EQ(s.EpsMean, 0.4397);
        EXPECT_DOUBLE_EQ(s.SinEps, std::sin(0.4397));
        const double theta = PlanetRotationAngle(body, CenturiesJ2000(s.ChartJD));
        EXPECT_NEAR(s.SiderealTimeSec, NormAngle(theta) / 15 * kRadToArcSec, 1e-6);
    }
}

TEST(CalcAstroTime, EllipsoidOption) {
    AstroDat s = Moment(2010, 5, 5, 10, 0, 0);
    s.ChartLat = 45 * kDeg;
    TimeStepOptions o;
    o.UseEllipsoid = true;
    CalcAstroTime(s, o);
    EXPECT_NEAR((s.ChartLat - s.GeocLat) / kDeg, 0.1924, 1e-3); // Meeus 11: φ − φ' at 45°
    EXPECT_LT(s.GeocRadius, 1.0);
}

TEST(CalcTimeScales, AgreesWithTheFullStep) {
    AstroDat a = Moment(1995, 7, 14, 6, 45, 30, 120);
    a.ChartLong = 37.6 * kDeg;
    CalcAstroTime(a, {});
    AstroDat b;
    b.ChartLong = a.ChartLong;
    b.ChartJD = a.ChartJD;
    CalcTimeScales(b);
    EXPECT_DOUBLE_EQ(b.ChartT, a.ChartT);
    EXPECT_DOUBLE_EQ(b.DeltaTSec, a.DeltaTSec);
    EXPECT_DOUBLE_EQ(b.NutPsi, a.NutPsi);
    EXPECT_DOUBLE_EQ(b.EpsMean, a.EpsMean);
    EXPECT_DOUBLE_EQ(b.SiderealTimeSec, a.SiderealTimeSec);
}

// --- Physical ephemeris of the Moon ---------------------------------------------------------

TEST(MoonPhys, MeeusExample53a) {
    // 1992 April 12, 0h TD: apparent λ = 133.167269°, β = −3.229127°, Δψ = 0.004610°,
    // ε = 23.440636°: l' = −1.206°, b' = +4.194°, l = −1.23°, b = +4.20°, P = 15.08°.
    // Tolerance 0.002° (the first-edition lunar arguments differ slightly).
    const double T = -0.077221081451;
    MoonPos m;
    m.lon = (133.167269 - 0.004610) * kDeg;
    m.lat = -3.229127 * kDeg;
    m.distKm = 368409.7;
    const Spherical sun{22.33 * kDeg, 0, 1.0024977}; // Meeus 48.a's Sun, for the phase only
    const MoonPhysRec r = MoonPhysEphemeris(m, sun, 0, 0.004610 * kDeg, 23.440636 * kDeg, T);
    EXPECT_NEAR(r.lp / kDeg, -1.206, 0.002);
    EXPECT_NEAR(r.bp / kDeg, 4.194, 0.002);
    EXPECT_NEAR(r.l / kDeg, -1.23, 0.005);
    EXPECT_NEAR(r.b / kDeg, 4.20, 0.005);
    EXPECT_NEAR(r.P / kDeg, 15.08, 0.01);
    EXPECT_GE(r.lp, -kPi);
    EXPECT_LT(r.lp, kPi);
}

TEST(MoonPhys, MeeusExample48a) {
    // 1992 April 12, 0h TD: Moon α = 134.688470°, δ = 13.768368°, Δ = 368410 km; Sun
    // α0 = 20.6579°, δ0 = 8.6964°, R = 1.0024977 AU; ε = 23.440636°: i = 69.0756°,
    // k = 0.6786, χ = 285.0°. Positions go in as ecliptic ones of the same obliquity.
    AstroDat e;
    e.EpsMean = 23.440636 * kDeg;
    e.NutEps = 0;
    const EclPos moon = EquToEclTrue(e, 13.768368 * kDeg, 134.688470 * kDeg);
    const EclPos sun = EquToEclTrue(e, 8.6964 * kDeg, 20.6579 * kDeg);
    const MoonPos m{moon.lon, moon.lat, 368410};
    const MoonPhysRec r =
        MoonPhysEphemeris(m, {sun.lon, sun.lat, 1.0024977}, 0, 0, e.EpsMean, -0.077221081451);
    EXPECT_NEAR(r.i / kDeg, 69.0756, 0.01);
    EXPECT_NEAR(r.k, 0.6786, 0.0001);
    EXPECT_NEAR(r.chi / kDeg, 285.0, 0.1);
}

TEST(MoonPhys, FullAndNewMoon) {
    const MoonPos full{kPi, 0, 384400}, fresh{0.001, 0, 384400};
    const Spherical sun{0, 0, 1.0};
    const MoonPhysRec f = MoonPhysEphemeris(full, sun, 0, 0, 0.409, 0.2);
    EXPECT_NEAR(f.i, 0, 0.01);
    EXPECT_NEAR(f.k, 1, 1e-4);
    const MoonPhysRec n = MoonPhysEphemeris(fresh, sun, 0, 0, 0.409, 0.2);
    EXPECT_NEAR(n.i, kPi, 0.01);
    EXPECT_NEAR(n.k, 0, 1e-4);
}

TEST(MoonPhys, OfTheChartUsesTheGeocentricMoon) {
    // For the chart's moment: the illuminated fraction of 1992 April 12, 0h TD (k = 0.6786)
    // comes out of the theories themselves, whatever place the chart is for.
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    ASSERT_TRUE(LoadPlanetTerms(s, 3).ok);
    s.ChartJD = 2448724.5 - 59.0 / 86400;
    CalcTimeScales(s);
    const MoonPhysRec r = MoonPhysOfChart(s);
    EXPECT_NEAR(r.k, 0.6786, 0.0002);
    EXPECT_NEAR(r.lp / kDeg, -1.206, 0.003);
    EXPECT_NEAR(r.bp / kDeg, 4.194, 0.003);
    // The same for an observer elsewhere: the topocentric Moon would move the librations by
    // up to a degree (the parallax), the geocentric one not at all.
    AstroDat t = s;
    t.ChartLat = 60 * kDeg;
    t.ChartLong = 100 * kDeg;
    CalcTimeScales(t);
    const MoonPhysRec u = MoonPhysOfChart(t);
    EXPECT_EQ(u.lp, r.lp);
    EXPECT_EQ(u.bp, r.bp);
    EXPECT_EQ(u.k, r.k);
}

} // namespace
} // namespace qor
