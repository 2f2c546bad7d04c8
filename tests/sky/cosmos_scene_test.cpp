// The cosmos view's numbers (Kepler's equation, magnitudes, distance texts) and its picture of
// a computed chart: the planets where python3-ephem puts them, the thresholds of discs, orbits,
// rings and the angle read-out, the lit half towards the Sun.
#include "CosmosTestSupport.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace qor::test {
namespace {

constexpr ui::Colour kBlackPixel = 0;

// --- Numbers -----------------------------------------------------------------------------------

TEST(CosmosNumbers, KeplersEquationAsInMeeus) {
    // Meeus, Astronomical Algorithms, example 30.a: e = 0.1, M = 5° gives E = 5.554589°.
    const KeplerSolution k = SolveKepler(1, 0.1, 5 * kDegToRad);
    EXPECT_NEAR(k.E / kDegToRad, 5.554589, 1e-6);
    // Any orbit: the equation holds, and the true anomaly follows Meeus (30.1).
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 500; ++i) {
        const double e = 0.97 * u(rng), M = 2 * kPi * u(rng), a = 0.1 + 40 * u(rng);
        const KeplerSolution s = SolveKepler(a, e, M);
        EXPECT_NEAR(s.E - e * std::sin(s.E) - M, 0, 1e-9) << e << " " << M;
        const double nu = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(s.E / 2));
        EXPECT_NEAR(std::remainder(s.trueAnomaly - nu, 2 * kPi), 0, 1e-9) << e << " " << M;
        EXPECT_GE(s.trueAnomaly, 0);
        EXPECT_LT(s.trueAnomaly, 2 * kPi);
        EXPECT_NEAR(s.r, a * (1 - e * std::cos(s.E)), 1e-12 * a);
    }
}

TEST(CosmosNumbers, TheSunAtOneAuAndSiriusFromItsCatalogueRecord) {
    EXPECT_NEAR(SunMagnitude(1), -26.72, 0.005);
    // the Sun's magnitude falls by 5 for each factor 10 of distance
    EXPECT_NEAR(SunMagnitude(10) - SunMagnitude(1), 5, 1e-9);
    SkyState t;
    StarCatalogue c;
    ASSERT_TRUE(LoadYaleCatalogue(t.s, c));
    const int sirius = StarIndexOfBS(c, 2491);
    ASSERT_GT(sirius, 0);
    const YaleRec& y = c.YaleStars[sirius];
    // m = -1.46 at 2.637 pc (Hipparcos, new reduction): M = +1.43
    EXPECT_NEAR(StarModelOf(-1.46, 2637, y.Spectrum).absMag, 1.43, 0.005);
    // the catalogue's own record (2.668 pc) gives its own figure the same way
    EXPECT_NEAR(StarModelOf(y.Mag, y.Distance, y.Spectrum).absMag,
                y.Mag + 5 - 5 * std::log10(y.Distance / 1000.0), 1e-6);
    // a body half lit: brighter by 5 magnitudes for each factor 10 closer to the eye
    EXPECT_NEAR(BodyMagnitudeOf(6792, 1.52, 0.5) - BodyMagnitudeOf(6792, 1.52, 5), -5, 1e-9);
    // the distance from the Sun never counts less than 10 000 km
    EXPECT_EQ(BodyMagnitudeOf(100, 0, 1), BodyMagnitudeOf(100, 10000 / kCosmosKmPerAu, 1));
}

TEST(CosmosNumbers, DistanceTextsOverEveryUnitAndThreshold) {
    SkyState ru, en;
    en.s.EnglishMode = true;
    struct Case {
        double au;
        const char* ru;
        const char* en;
    };
    const double pc = kCosmosAuPerParsec;
    const Case cases[] = {
        {1000 * pc, "1000,0 пс", "1000,0 ps"},
        {2.26 * pc, "2,3 пс", "2,3 ps"},
        {pc, "1,0 пс", "1,0 ps"},
        {pc - 1, "206 000 ае", "206 000 au"}, // three digits kept, then zeros
        {12345.6, "12 300 ае", "12 300 au"},
        {1234.5, "1 230 ае", "1 230 au"},
        {150, "150 ае", "150 au"},
        {100, "100 ае", "100 au"},
        {55.44, "55,4 ае", "55,4 au"},
        {10, "10,0 ае", "10,0 au"},
        {5.726, "5,73 ае", "5,73 au"},
        {1, "1,00 ае", "1,00 au"},
        {0.5, "74 800 000 км", "74 800 000 km"},
        {0.004, "598 000 км", "598 000 km"},
        {6370 / kCosmosKmPerAu, "6 370 км", "6 370 km"},
        {150 / kCosmosKmPerAu, "150 км", "150 km"},
        {50 / kCosmosKmPerAu, "50,0 км", "50,0 km"},
        {5 / kCosmosKmPerAu, "5,00 км", "5,00 km"},
        {0.5 / kCosmosKmPerAu, "0,50 км", "0,50 km"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DistanceText(ru.s, c.au), Cp(c.ru)) << c.au;
        EXPECT_EQ(DistanceText(en.s, c.au), c.en) << c.au;
    }
}

TEST(CosmosNumbers, SunViewSatellitesMapToEveryChartBody) {
    const int want[22] = {-1, 3,  4,  0,  5,  6,  7,  8,  9,  10, 15,
                          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    for (int k = 0; k < 22; ++k) EXPECT_EQ(SunViewPoint(k), want[k]) << k;
    EXPECT_EQ(SunViewPoint(22), -1);
}

// --- The picture --------------------------------------------------------------------------------

struct HelioRow {
    int y, mo, d, h, point;
    double lonDeg, latDeg, r;
};

std::vector<HelioRow> ReadHelioFixture() {
    std::ifstream in(std::string(QOR_FIXTURES_DIR) + "/../fixtures/cosmos_helio.txt");
    std::vector<HelioRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        HelioRow r;
        ss >> r.y >> r.mo >> r.d >> r.h >> r.point >> r.lonDeg >> r.latDeg >> r.r;
        rows.push_back(r);
    }
    return rows;
}

// Where a heliocentric place (AU) falls on the Sun view's screen.
QPointF SunViewScreen(CosmosFixture& f, double x, double y, double z) {
    const double ppa = f.view.PixelsPerAu;
    x *= ppa;
    y *= ppa;
    z *= ppa;
    ApplyRotationN(f.bodies.Bank, 1, x, y, z);
    PerspectiveDivide(f.bodies.Bank, x, y, z, f.view.DrawWidth);
    if (!f.bodies.Bank.InFront) return {-1, -1}; // behind the eye
    return {f.bodies.Bank.ScreenCX - x, f.bodies.Bank.ScreenCY + y};
}

TEST(CosmosPicture, PlanetsOfTheSunsViewStandWherePythonEphemPutsThem) {
    CosmosFixture f(1280, 720);
    const std::vector<HelioRow> rows = ReadHelioFixture();
    ASSERT_EQ(rows.size(), 27u);
    // inner planets on a view 4 AU wide (320 px to the AU), all on one 80 AU wide
    for (double scale : {4.0, 80.0}) {
        int checked = 0;
        for (const HelioRow& r : rows) {
            f.SetMoment(r.y, r.mo, r.d, r.h, 0);
            f.bodies.CosmosScale(1) = scale;
            f.Draw(1);
            if (r.point != 0 && r.point < 3) continue;
            int k = 0;
            for (int i = 1; i <= 9; ++i)
                if (SunViewPoint(i) == r.point) k = i;
            ASSERT_GT(k, 0);
            const SatFrame& fr = f.view.SatFrames[k];
            const double lon = r.lonDeg * kDegToRad, lat = r.latDeg * kDegToRad;
            const QPointF want =
                SunViewScreen(f, r.r * std::cos(lat) * std::cos(lon),
                              r.r * std::cos(lat) * std::sin(lon), r.r * std::sin(lat));
            if (want.x() < 0 || want.y() < 0 || want.x() >= 1280 || want.y() >= 720) continue;
            ASSERT_NE(fr.Magnitude, 999) << r.point;
            EXPECT_NEAR(fr.ScreenX, want.x(), 1.0) << r.y << " point " << r.point << " " << scale;
            EXPECT_NEAR(fr.ScreenY, want.y(), 1.0) << r.y << " point " << r.point << " " << scale;
            // and a mark is drawn there
            EXPECT_NE(f.Pixel(fr.ScreenX, fr.ScreenY), kBlackPixel) << r.point;
            ++checked;
        }
        EXPECT_GE(checked, scale < 10 ? 9 : 20) << scale;
    }
}

// A picture without stars: only the bodies and the read-out.
struct BareFixture : CosmosFixture {
    BareFixture() : CosmosFixture(1280, 720) {
        options.SelectedSozv = "---";
        options.ImageBox = false;
    }
    int Count(ui::Colour c) const {
        int n = 0;
        const QImage& img = bitmap.image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += Pixel(x, y) == c;
        return n;
    }
    // Scale of mode `mode` that gives its centre body a disc of `radius` pixels.
    double ScaleForRadius(int mode, double radius) const {
        const double d = bodies.PlanetsMdb[CosmosModeSlot(mode)].Diameter;
        return d / 2 / kCosmosKmPerAu * bitmap.Width() / radius;
    }
};

TEST(CosmosPicture, ACentreUnderFourPixelsIsAMarkFromFourADisc) {
    BareFixture f;
    const int cx = 1280 / 2 - 5, cy = 360;
    f.bodies.CosmosScale(6) = f.ScaleForRadius(6, 3.2);
    f.Draw(6);
    EXPECT_EQ(f.view.CentreRadius, 3);
    EXPECT_NE(f.Pixel(cx, cy), kBlackPixel);
    EXPECT_EQ(f.Pixel(cx + 2, cy + 2), kBlackPixel); // no mark reaches the diagonal at 2
    f.bodies.CosmosScale(6) = f.ScaleForRadius(6, 4.2);
    f.Draw(6);
    EXPECT_EQ(f.view.CentreRadius, 4);
    EXPECT_NE(f.Pixel(cx + 2, cy + 2), kBlackPixel);
    EXPECT_NE(f.Pixel(cx - 2, cy - 2), kBlackPixel);
}

TEST(CosmosPicture, AMoonsOrbitUnderTenPixelsIsNeitherShownNorDrawn) {
    BareFixture f;
    const double phobos = f.bodies.PlanetsMdb[7].Axis;
    f.bodies.CosmosScale(5) = phobos * 1280 / 9.9;
    f.Draw(5);
    EXPECT_EQ(f.view.SatFrames[1].OrbitRadiusPx, 0);
    EXPECT_EQ(f.view.SatFrames[1].Magnitude, 999);
    f.bodies.CosmosScale(5) = phobos * 1280 / 10.1;
    f.Draw(5);
    EXPECT_GT(f.view.SatFrames[1].OrbitRadiusPx, 9);
}

TEST(CosmosPicture, SaturnsRingsFromTwelvePixels) {
    BareFixture f;
    f.options.SatRingColour = 0xFF00FF;
    f.bodies.CosmosScale(7) = f.ScaleForRadius(7, 11.2);
    f.Draw(7);
    EXPECT_EQ(f.view.CentreRadius, 11);
    EXPECT_EQ(f.Count(0xFF00FF), 0);
    f.bodies.CosmosScale(7) = f.ScaleForRadius(7, 12.2);
    f.Draw(7);
    EXPECT_EQ(f.view.CentreRadius, 12);
    EXPECT_GT(f.Count(0xFF00FF), 100);
}

TEST(CosmosPicture, TheAngleReadOutOnlyAboveATenthOfADegree) {
    BareFixture f;
    const double d = f.bodies.PlanetsMdb[9].Diameter / kCosmosKmPerAu;
    auto readOut = [&] {
        int n = 0;
        for (int y = 35; y < 50; ++y)
            for (int x = 3; x < 60; ++x) n += f.Pixel(x, y) != kBlackPixel;
        return n;
    };
    f.bodies.CosmosScale(6) = d / std::tan(0.09 * kDegToRad);
    f.Draw(6);
    EXPECT_EQ(readOut(), 0);
    f.bodies.CosmosScale(6) = d / std::tan(0.11 * kDegToRad);
    f.Draw(6);
    EXPECT_GT(readOut(), 10);
}

TEST(CosmosPicture, TheLitHalfOfAGlobeFacesTheSun) {
    BareFixture f;
    const int cx = 1280 / 2 - 5, cy = 360;
    for (int mode : {4, 5, 6, 8}) {
        f.bodies.CosmosScale(mode) = f.ScaleForRadius(mode, 200);
        f.bodies.ModeAngleX(mode) = -1.0 + 0.3 * mode;
        f.bodies.ModeAngleZ(mode) = 0.7 * mode;
        f.Draw(mode);
        ASSERT_EQ(f.view.CentreRadius, 200);
        // the Sun from the planet, in the view's axes
        const SpaceVector p = HelioPosition(f.s, CosmosModePoint(mode));
        double sx = -p.x, sy = -p.y, sz = -p.z;
        ApplyRotationN(f.bodies.Bank, mode, sx, sy, sz);
        const double n = std::sqrt(sx * sx + sy * sy + sz * sz);
        sx /= n, sy /= n, sz /= n;
        int lit = 0, dark = 0;
        for (int a = 0; a < 16; ++a) {
            // a point of the globe seen at 0.6 of the radius
            const double u = 0.6 * std::cos(a * kPi / 8), v = 0.6 * std::sin(a * kPi / 8);
            const double w = std::sqrt(1 - u * u - v * v);
            const double cosine = u * sx + v * sy + w * sz; // its normal towards the Sun
            if (std::abs(cosine) < 0.1) continue;
            const ui::Colour c = f.Pixel(cx - static_cast<int>(std::lround(u * 200)),
                                         cy + static_cast<int>(std::lround(v * 200)));
            const ui::Colour light =
                f.Pixel(cx - static_cast<int>(std::lround(sx / std::hypot(sx, sy) * 190)),
                        cy + static_cast<int>(std::lround(sy / std::hypot(sx, sy) * 190)));
            if (cosine > 0) {
                EXPECT_EQ(c, light) << mode << " " << a;
                ++lit;
            } else {
                EXPECT_NE(c, light) << mode << " " << a;
                ++dark;
            }
        }
        EXPECT_GT(lit + dark, 8) << mode;
    }
}

TEST(CosmosPicture, ExtraBodiesUpToTheTwelfthStandInTheSunsView) {
    CosmosFixture f(1280, 720);
    f.options.SelectedSozv = "---";
    f.s.NExtra = 12;
    for (int n = 15; n <= 26; ++n) {
        BodyRec& b = f.s.Bodies[n];
        b = BodyRec{};
        b[1] = 0.1;                        // e
        b[2] = 2 + 0.1 * (n - 15);         // a
        const double lon = (n - 15) * 0.5; // spread round the Sun
        b[6] = lon;
        b[4] = b[2];
        b[8] = b[2] * std::cos(lon);
        b[9] = b[2] * std::sin(lon);
    }
    f.bodies.CosmosScale(1) = 8;
    f.Draw(1);
    ASSERT_EQ(f.view.SatCount, 21);
    for (int k : {20, 21}) {
        const SatFrame& fr = f.view.SatFrames[k];
        EXPECT_EQ(fr.Point, k + 5);
        const BodyRec& b = f.s.Bodies[k + 5];
        const QPointF want = SunViewScreen(f, b[8], b[9], b[10]);
        EXPECT_NEAR(fr.ScreenX, want.x(), 1.0) << k;
        EXPECT_NEAR(fr.ScreenY, want.y(), 1.0) << k;
    }
}

TEST(CosmosPicture, AModeOutsideTheViewsFallsBackToTheSun) {
    CosmosFixture f(400, 300);
    f.Draw(30);
    EXPECT_EQ(f.bodies.CosmosMode, 1);
    f.bodies.CosmosStarBS = 0;
    f.Draw(-1); // the star view without a star
    EXPECT_EQ(f.bodies.CosmosMode, 1);
}

TEST(CosmosPicture, TheStarViewCentresTheStarAndDrawsTheLineToTheSun) {
    CosmosFixture f(1280, 720);
    f.bodies.CosmosStarBS = 2491;    // Sirius
    f.bodies.CosmosScale(-1) = 0.02; // its disc some 30 pixels wide
    f.Draw(-1);
    const int sirius = StarIndexOfBS(f.stars, 2491);
    EXPECT_NEAR(Length(f.view.Observer - StarXYZ(f.stars, sirius)), 0, 1e-12);
    EXPECT_GE(f.view.CentreRadius, 4);
    const ui::Colour colour = StarDiscColour(f.stars.YaleStars[sirius].Spectrum);
    EXPECT_EQ(f.Pixel(1280 / 2 - 5, 360), colour);
    // the stars drawn are all behind the eye's plane and kept for the picking
    EXPECT_GT(f.view.ScreenStars.Count, 100);
    // every star drawn has a distance (the star view leaves the others out)
    for (int i = 1; i <= f.view.ScreenStars.Count; ++i)
        EXPECT_GE(f.stars.YaleStars[f.view.ScreenStars.StarIndex[i]].Distance, 1);
}

TEST(CosmosPicture, AStarWithoutDistanceStandsAtAHundredParsecsInTheSolarSystem) {
    CosmosFixture f(1280, 720);
    f.Draw(1);
    int without = 0;
    for (int i = 1; i <= f.view.ScreenStars.Count; ++i)
        without += f.stars.YaleStars[f.view.ScreenStars.StarIndex[i]].Distance < 1;
    EXPECT_GT(without, 0);
}

TEST(CosmosPicture, ViewLineOfTheServiceForm) {
    CosmosBodies b;
    LoadCosmosSettings(b, DefaultOrbitMemo());
    b.CosmosMode = 1;
    EXPECT_EQ(CosmosViewLine(b), "1: 5.7260000 4.939 1.517");
    b.CosmosMode = -1;
    EXPECT_EQ(CosmosViewLine(b), "-1: 1000.0000000 0.000 0.000");
}

} // namespace
} // namespace qor::test
