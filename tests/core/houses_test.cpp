// House systems checked against their geometric definitions: each cusp is turned back into a
// point on the sky of the observer (hour angle, altitude, its great circle through the north
// and south points of the horizon) and the construction of its system is verified there.
#include "core/AstroMath.h"
#include "core/Houses.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qor {
namespace {

constexpr double kEps = 23.4392911 * kDegToRad;
// Cusps are built from closed formulas or an iteration run to 1e-13 rad, then shifted by
// 1e-9 rad (6e-8°) so that 360° becomes 0°; the constructions below magnify that shift a few
// times at most, so 1e-6° leaves room for it and for rounding only.
constexpr double kTolDeg = 1e-6;

HouseFrame Frame(double ramcDeg, double latDeg) {
    HouseFrame f;
    f.ramc = ramcDeg * kDegToRad;
    f.sinEps = std::sin(kEps);
    f.cosEps = std::cos(kEps);
    f.lat = latDeg * kDegToRad;
    return f;
}

// An ecliptic point seen by the observer: right ascension, declination, hour angle (west
// positive) and its vector in the frame (meridian point of the equator, east point, pole).
struct SkyPoint {
    double ra, dec, hourAngle;
    Vec3 v;
    double zenithDot, eastDot;
};

SkyPoint Sky(const HouseFrame& f, double lon, double ramc) {
    SkyPoint p;
    const double x = std::cos(lon), y = std::sin(lon) * f.cosEps, z = std::sin(lon) * f.sinEps;
    p.ra = std::atan2(y, x);
    p.dec = std::asin(z);
    p.hourAngle = NormAngleSigned(ramc - p.ra);
    p.v = {std::cos(p.dec) * std::cos(p.hourAngle), -std::cos(p.dec) * std::sin(p.hourAngle),
           std::sin(p.dec)};
    p.zenithDot = p.v.x * std::cos(f.lat) + p.v.z * std::sin(f.lat);
    p.eastDot = p.v.y;
    return p;
}

double DiffDeg(double a, double b) {
    return NormAngleSigned(a - b) / kDegToRad;
}

// Angle of the point about the north-south axis of the horizon, from the zenith to the east.
double AxisAngle(const SkyPoint& p) {
    return std::atan2(p.eastDot, p.zenithDot);
}

// Difference of two axis angles modulo π (a great circle holds a point and its opposite).
double AxisDiffDeg(double a, double b) {
    double d = std::remainder(a - b, kPi);
    return d / kDegToRad;
}

const std::vector<double> kLatitudes = {0, 30, -30, 51.5, -51.5, 60, -60};
const std::vector<double> kRamcs = {0, 45, 100, 180, 200, 300, 359};

class HouseDefinition : public ::testing::TestWithParam<std::pair<double, double>> {
protected:
    HouseFrame f = Frame(GetParam().first, GetParam().second);
    HouseCusps Cusps(int system) {
        auto c = ComputeHouseCusps(system, f);
        EXPECT_TRUE(c.has_value());
        return c.value_or(HouseCusps{});
    }
};

std::vector<std::pair<double, double>> AllFrames() {
    std::vector<std::pair<double, double>> v;
    for (double lat : kLatitudes)
        for (double ramc : kRamcs) v.push_back({ramc, lat});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Frames, HouseDefinition, ::testing::ValuesIn(AllFrames()));

// The midheaven culminates; the ascendant is on the eastern horizon.
TEST_P(HouseDefinition, MidheavenAndAscendant) {
    const double mc = MidheavenOf(f);
    EXPECT_NEAR(DiffDeg(Sky(f, mc, f.ramc).ra, f.ramc), 0, kTolDeg);
    const auto asc = Sky(f, HouseCuspAngle(f.ramc, f), f.ramc);
    EXPECT_NEAR(asc.zenithDot, 0, 1e-12);
    EXPECT_GT(asc.eastDot, 0);
    for (int system : {2, 3, 4, 5, 6, 7}) {
        auto c = Cusps(system);
        EXPECT_NEAR(DiffDeg(c[1], HouseCuspAngle(f.ramc, f)), 0, kTolDeg) << "system " << system;
        EXPECT_NEAR(DiffDeg(c[10], mc), 0, kTolDeg) << "system " << system;
        for (int h = 1; h <= 6; ++h)
            EXPECT_NEAR(DiffDeg(c[h + 6], c[h] + kPi), 0, kTolDeg) << system << " cusp " << h;
    }
}

// Placidus: a cusp's hour angle is a fixed fraction of its own semi-arc, diurnal for 11 and 12,
// nocturnal for 2 and 3.
TEST_P(HouseDefinition, PlacidusSemiArcRatios) {
    auto c = Cusps(kHousesPlacidus);
    struct Case {
        int cusp;
        double dayFraction, nightFraction; // H = −(dayFraction·DSA + nightFraction·NSA)
    } cases[] = {{11, 1.0 / 3, 0}, {12, 2.0 / 3, 0}, {2, 1, 1.0 / 3}, {3, 1, 2.0 / 3}};
    for (const auto& k : cases) {
        auto p = Sky(f, c[k.cusp], f.ramc);
        const double dsa = std::acos(-std::tan(f.lat) * std::tan(p.dec));
        const double nsa = kPi - dsa;
        const double expected = -(k.dayFraction * dsa + k.nightFraction * nsa);
        EXPECT_NEAR(DiffDeg(p.hourAngle, expected), 0, kTolDeg) << "cusp " << k.cusp;
    }
}

// Koch: cusps 11, 12, 2, 3 were (or will be) rising when the meridian stood 2/3, 1/3 of the
// midheaven's diurnal semi-arc earlier (later).
TEST_P(HouseDefinition, KochRisesAtThirdsOfTheMidheavenArc) {
    auto c = Cusps(kHousesKoch);
    auto mc = Sky(f, MidheavenOf(f), f.ramc);
    const double dsa = std::acos(-std::tan(f.lat) * std::tan(mc.dec));
    struct Case {
        int cusp;
        double shift;
    } cases[] = {{11, -2.0 / 3}, {12, -1.0 / 3}, {2, 1.0 / 3}, {3, 2.0 / 3}};
    for (const auto& k : cases) {
        const double ramc = f.ramc + k.shift * dsa;
        auto p = Sky(f, c[k.cusp], ramc);
        EXPECT_NEAR(p.zenithDot, 0, 1e-8) << "cusp " << k.cusp;
        EXPECT_GT(p.eastDot, 0) << "cusp " << k.cusp;
    }
}

// Regiomontanus: the circle through the horizon's north and south points and cusp 10+k meets
// the equator 30°·k from the meridian towards the east.
TEST_P(HouseDefinition, RegiomontanusDividesTheEquator) {
    auto c = Cusps(kHousesRegiomontanus);
    for (int k = 1; k <= 5; ++k) {
        const int cusp = (9 + k) % 12 + 1;
        const double t = k * 30 * kDegToRad;
        const double expected = std::atan2(std::sin(t), std::cos(t) * std::cos(f.lat));
        EXPECT_NEAR(AxisDiffDeg(AxisAngle(Sky(f, c[cusp], f.ramc)), expected), 0, kTolDeg)
            << "cusp " << cusp;
    }
}

// Campanus: the same circles divide the prime vertical in equal 30° steps from the zenith.
TEST_P(HouseDefinition, CampanusDividesThePrimeVertical) {
    auto c = Cusps(kHousesCampanus);
    for (int k = 1; k <= 5; ++k) {
        const int cusp = (9 + k) % 12 + 1;
        EXPECT_NEAR(AxisDiffDeg(AxisAngle(Sky(f, c[cusp], f.ramc)), k * 30 * kDegToRad), 0, kTolDeg)
            << "cusp " << cusp;
    }
    // Cusp 1 is the ascendant on the eastern horizon, not the descendant.
    auto asc = Sky(f, c[1], f.ramc);
    EXPECT_GT(asc.eastDot, 0);
}

// Porphyry trisects the ecliptic quadrants, Alcabitius the right-ascension quadrants.
TEST_P(HouseDefinition, PorphyryAndAlcabitiusTrisections) {
    auto p = Cusps(kHousesPorphyry);
    const double q = NormAngle(p[1] - p[10]) / 3;
    EXPECT_NEAR(DiffDeg(p[11], p[10] + q), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(p[12], p[10] + 2 * q), 0, kTolDeg);
    const double q2 = NormAngle(p[4] - p[1]) / 3;
    EXPECT_NEAR(DiffDeg(p[2], p[1] + q2), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(p[3], p[1] + 2 * q2), 0, kTolDeg);

    auto a = Cusps(kHousesAlcabitius);
    auto ra = [&](double lon) { return Sky(f, lon, f.ramc).ra; };
    const double arc = NormAngle(ra(a[1]) - f.ramc) / 3;
    EXPECT_NEAR(DiffDeg(ra(a[11]), f.ramc + arc), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(ra(a[12]), f.ramc + 2 * arc), 0, kTolDeg);
    const double arc2 = NormAngle(f.ramc + kPi - ra(a[1])) / 3;
    EXPECT_NEAR(DiffDeg(ra(a[2]), ra(a[1]) + arc2), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(ra(a[3]), ra(a[1]) + 2 * arc2), 0, kTolDeg);
}

// Morinus: cusp n is the ecliptic longitude of the equator point RAMC + 90° + 30°·(n − 1),
// projected along the ecliptic meridians; it does not depend on the latitude.
TEST_P(HouseDefinition, MorinusProjectsTheEquator) {
    auto c = Cusps(kHousesMorinus);
    for (int n = 1; n <= 12; ++n) {
        const double h = f.ramc + kPi / 2 + (n - 1) * kPi / 6;
        // Equator point rotated about the equinox line into ecliptic coordinates.
        const double y = std::sin(h) * std::cos(kEps);
        const double x = std::cos(h);
        EXPECT_NEAR(DiffDeg(c[n], std::atan2(y, x)), 0, kTolDeg) << "cusp " << n;
    }
}

// Polich-Page: cusp 11 and 12 are ascendants of the meridian 60° and 30° back, for poles
// whose tangents are a third and two thirds of the latitude's.
TEST_P(HouseDefinition, PolichPagePoles) {
    auto c = Cusps(kHousesPolichPage);
    auto ascFor = [&](double ramc, double tanPole) {
        HouseFrame g = f;
        g.lat = std::atan(tanPole);
        return HouseCuspAngle(ramc, g);
    };
    const double t = std::tan(f.lat);
    EXPECT_NEAR(DiffDeg(c[11], ascFor(f.ramc - kPi / 3, t / 3)), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(c[12], ascFor(f.ramc - kPi / 6, 2 * t / 3)), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(c[1], HouseCuspAngle(f.ramc, f)), 0, kTolDeg);
    EXPECT_NEAR(DiffDeg(c[10], MidheavenOf(f)), 0, kTolDeg);
}

// At the equator the Placidus cusps 11 and 12 lie between the midheaven and the ascendant.
TEST(Houses, PlacidusAtTheEquatorDoesNotCollapseOnTheMidheaven) {
    auto c = ComputeHouseCusps(kHousesPlacidus, Frame(0, 0)).value();
    EXPECT_GT(DiffDeg(c[11], c[10]), 20);
    EXPECT_GT(DiffDeg(c[12], c[11]), 20);
    auto k = ComputeHouseCusps(kHousesKoch, Frame(30, 45)).value();
    EXPECT_GT(std::fabs(DiffDeg(k[11], k[1])), 20);
    EXPECT_GT(std::fabs(DiffDeg(k[3], k[1])), 20);
}

// Near the polar circle the semi-arc condition still holds (the iteration converges slowly).
TEST(Houses, PlacidusHoldsNearThePolarCircle) {
    for (double lat : {56.0, 65.0, 66.0, -66.0}) {
        for (double ramc : {10.0, 95.0, 170.0, 260.0}) {
            HouseFrame f = Frame(ramc, lat);
            auto c = ComputeHouseCusps(kHousesPlacidus, f).value();
            for (auto [cusp, frac] : {std::pair{11, 1.0 / 3}, std::pair{12, 2.0 / 3}}) {
                auto p = Sky(f, c[cusp], f.ramc);
                const double dsa = std::acos(-std::tan(f.lat) * std::tan(p.dec));
                EXPECT_NEAR(DiffDeg(p.hourAngle, -frac * dsa), 0, kTolDeg)
                    << lat << " " << ramc << " cusp " << cusp;
            }
        }
    }
}

// A Placidus computation started where the same frame stood a moment earlier (a second's turn
// of the sky, or a whole hour's) finds the cusps of a fresh start but for their last bits, in
// the mid latitudes as inside the polar circles (the plain iteration there).
TEST(Houses, PlacidusStartedFromAnEarlierMomentFindsTheSameCusps) {
    for (double lat : {0.0, 30.0, -51.5, 60.0, 66.0, -66.0, 70.0})
        for (double ramc : {0.0, 10.0, 95.0, 170.0, 260.0, 359.99})
            for (double turnDeg : {15.0 / 3600, 15.0, -15.0 / 3600}) {
                SCOPED_TRACE(testing::Message() << lat << " " << ramc << " " << turnDeg);
                PlacidusStart start;
                ASSERT_TRUE(ComputeHouseCusps(kHousesPlacidus, Frame(ramc - turnDeg, lat), nullptr,
                                              &start));
                EXPECT_TRUE(start.known);
                const HouseFrame f = Frame(ramc, lat);
                const HouseCusps fresh = ComputeHouseCusps(kHousesPlacidus, f).value();
                const HouseCusps warm =
                    ComputeHouseCusps(kHousesPlacidus, f, nullptr, &start).value();
                for (int h = 1; h <= 12; ++h)
                    EXPECT_NEAR(std::remainder(warm[h] - fresh[h], kTwoPi), 0, 1e-12) << h;
            }
}

TEST(Houses, EqualSystems) {
    HouseFrame f = Frame(123, 48);
    f.sun = 1.1;
    f.moon = 4.0;
    f.northNode = 5.5;
    struct Case {
        int system, cusp;
        double at;
    } cases[] = {{kHousesEqualMC, 10, MidheavenOf(f)},
                 {kHousesEqualAsc, 1, HouseCuspAngle(f.ramc, f)},
                 {kHousesSolarBalance, 1, 1.1},
                 {kHousesDraconic, 1, 5.5},
                 {kHousesEarth, 7, 0},
                 {kHousesEarth, 10, kPi / 2},
                 {kHousesSolar, 4, 1.1},
                 {kHousesLunar, 10, 4.0}};
    for (const auto& k : cases) {
        auto c = ComputeHouseCusps(k.system, f).value();
        EXPECT_NEAR(DiffDeg(c[k.cusp], k.at), 0, 1e-6) << k.system;
        for (int h = 1; h <= 12; ++h) {
            EXPECT_GE(c[h], 0);
            EXPECT_LT(c[h], kTwoPi);
            EXPECT_NEAR(DiffDeg(c[h % 12 + 1], c[h]), 30, 1e-6) << k.system << " " << h;
        }
    }
}

// Jamaspa: the Sun rises on the ascendant and sets on the descendant; by day the ascendant
// moves ahead of the Sun in proportion to the day arc run.
TEST(Houses, JamaspaFromTheSunsArcs) {
    HouseFrame f = Frame(200, 50);
    f.sun = 1.0;
    SunArcs day{10.25, 10.0, 11.0, 10.5}; // half of the day arc run
    auto c = ComputeHouseCusps(kHousesJamaspaEqual, f, &day).value();
    EXPECT_NEAR(DiffDeg(c[1], 1.0 + kPi / 2), 0, 1e-6);
    SunArcs night{10.75, 10.0, 11.0, 10.5}; // half of the night arc run
    c = ComputeHouseCusps(kHousesJamaspaEqual, f, &night).value();
    EXPECT_NEAR(DiffDeg(c[1], 1.0 - kPi / 2), 0, 1e-6);
    // System 16 puts the midheaven on the Sun at local noon.
    SunArcs noon{10.25, 10.0, 11.0, 10.5};
    c = ComputeHouseCusps(kHousesJamaspa, f, &noon).value();
    EXPECT_NEAR(DiffDeg(c[10], 1.0), 0, 1e-6);
    // System 18 keeps the midheaven of the meridian.
    c = ComputeHouseCusps(kHousesJamaspaMC, f, &noon).value();
    EXPECT_NEAR(DiffDeg(c[10], MidheavenOf(f)), 0, 1e-6);
    EXPECT_FALSE(ComputeHouseCusps(kHousesJamaspa, f).has_value());
}

TEST(Houses, SystemNames) {
    EXPECT_EQ(HouseSystemFromText("Плацидус"_cp), 2);
    EXPECT_EQ(HouseSystemFromText("Джамаспа (МС)"_cp), 18);
    EXPECT_EQ(HouseSystemFromText("Koch"), 3);
    EXPECT_FALSE(HouseSystemFromText("*----").has_value());
    EXPECT_EQ(HouseSystemName(8, false), "Моринус"_cp);
    EXPECT_FALSE(ComputeHouseCusps(0, Frame(0, 0)).has_value());
    EXPECT_FALSE(ComputeHouseCusps(19, Frame(0, 0)).has_value());
}

} // namespace
} // namespace qor
