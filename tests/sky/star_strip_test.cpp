// The stars-and-asteroids strip: its projection and inverse, the zoom limits, the placing of
// labels, what it draws and picks, and the object search of the strip and the sphere.
#include "CosmosTestSupport.h"

#include "core/AstroMath.h"
#include "core/Kepler.h"
#include "core/Text.h"
#include "sky/ObjectSearch.h"
#include "sky/StarStrip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor::test {
namespace {

StripView ViewOf(int w, int h, double centre, double zoom) {
    StripView v;
    SetStripGeometry(v, w, h);
    v.CentreLon = centre;
    v.Zoom = zoom;
    return v;
}

TEST(StripProjection, InverseRoundTrip) {
    struct Case {
        int w, h;
        double centre, zoom;
    };
    const Case cases[] = {{1280, 720, 0, 1},
                          {1920, 1080, 3.0, 7.5},
                          {1005, 600, 6.2, 100},
                          {805, 518, -12.0, 1.3},
                          {1920, 1080, 1.0, 100}};
    for (const Case& c : cases) {
        const StripView v = ViewOf(c.w, c.h, c.centre, c.zoom);
        const double perPixel = 1 / (StripPixelsPerRadian(v) * c.zoom);
        for (double dl = -3.0; dl <= 3.0; dl += 0.37)
            for (double lat = -1.4; lat <= 1.4; lat += 0.35) {
                const double lon = NormAngle(c.centre + dl / c.zoom);
                double l2, b2;
                StripInverse(v, StripX(v, lon), StripY(v, lat), l2, b2);
                EXPECT_NEAR(NormAngleSigned(l2 - lon), 0, perPixel) << c.w << " " << c.zoom;
                EXPECT_NEAR(b2, lat, kPi / c.h);
            }
        // the centre's longitude lies at the screen's middle; east (greater longitude) to the left
        EXPECT_EQ(StripX(v, c.centre), v.cx);
        EXPECT_LT(StripX(v, c.centre + 0.01 / c.zoom), v.cx);
        EXPECT_EQ(StripY(v, 0), v.cy);
    }
}

TEST(StripProjection, ZoomLimitsAndPan) {
    const std::tuple<double, double, double> cases[] = {{90, 1.3, 100}, {1.2, 0.7, 1},
                                                        {50, 1.3, 65},  {100, 0.7, 70},
                                                        {1, 0.7, 1},    {99.95, 1.001, 100}};
    for (const auto& [from, factor, to] : cases) {
        StripView v;
        v.Zoom = from;
        StarAstrZoom(v, factor);
        EXPECT_NEAR(v.Zoom, to, 1e-9) << from << " x " << factor;
    }
    StripView v;
    v.Zoom = 4;
    v.CentreLon = 1;
    StarAstrPan(v, -0.1);
    EXPECT_DOUBLE_EQ(v.CentreLon, 1 - 0.025);
}

TEST(StripLabels, OverlapsMoveDownByWholeHeightsAndTheTableStopsAt300) {
    StripView v;
    int y = 100;
    PlaceStripLabel(v, 10, y, 50, 13);
    EXPECT_EQ(y, 100);
    y = 105; // overlaps the first: one height below where it was asked
    PlaceStripLabel(v, 30, y, 50, 13);
    EXPECT_EQ(y, 118);
    y = 100; // overlaps the first, then the second twice
    PlaceStripLabel(v, 20, y, 20, 13);
    EXPECT_EQ(y, 139);
    y = 100; // beside them: stays
    PlaceStripLabel(v, 200, y, 20, 13);
    EXPECT_EQ(y, 100);
    for (int k = 0; k < 400; ++k) {
        int ly = 0;
        PlaceStripLabel(v, 1000 + 30 * k, ly, 20, 13);
    }
    EXPECT_EQ(v.Labels.size(), static_cast<std::size_t>(kStripMaxLabels));
}

struct StripFixture : CosmosFixture {
    AsteroidCatalogue asteroids;
    StripView view;
    int warnings = 0;
    explicit StripFixture(int w = 1280, int h = 720) : CosmosFixture(w, h) {
        LoadAsteroidCatalogue(s, asteroids);
        GeneralOptions gen;
        CalcCatalogueAsteroids(s, gen, asteroids);
    }
    void Redraw() {
        StripInputs in{s, stars, deep, asteroids, true, &font};
        RedrawStarAstr(view, in, bitmap, [this] { ++warnings; });
    }
};

TEST(StripDrawing, OnlyNamedStarsAndEveryKindOfObjectPlaced) {
    StripFixture f;
    ASSERT_GT(f.asteroids.AstCount, 2000);
    f.Redraw();
    const ScreenStarTable& t = f.view.ScreenStars;
    ASSERT_GT(t.Count, 100);
    for (int k = 1; k <= t.Count; ++k) {
        const int i = t.StarIndex[k];
        EXPECT_NE(f.stars.YaleStars[i].NameOffset, 0) << i;
        EXPECT_EQ(t.X[k], StripX(f.view, f.stars.StarLon[i]));
        EXPECT_EQ(t.Y[k], StripY(f.view, f.stars.StarLat[i]));
    }
    EXPECT_EQ(f.warnings, 0);
    const AstRec& ceres = f.asteroids.AstCatalogue[1];
    EXPECT_EQ(ceres.ScreenX, StripX(f.view, ceres.Lon));
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(f.view.BodySpots[i].X, StripX(f.view, f.s.Bodies[i][kBodyLon])) << i;
    EXPECT_TRUE(f.view.Labels.empty()); // labels only at full zoom
    f.view.Zoom = 100;
    f.view.CentreLon = ceres.Lon;
    f.Redraw();
    EXPECT_FALSE(f.view.Labels.empty());
    f.view.AllNames = false;
    f.Redraw();
    EXPECT_TRUE(f.view.Labels.empty());
}

TEST(StripDrawing, MoonIsACircleAtFullZoomOnAThousandPixels) {
    StripFixture f(1005, 600);
    f.view.Zoom = 100;
    f.view.CentreLon = f.s.Bodies[2][kBodyLon];
    f.Redraw();
    const double r = BodyAngularSize(f.s, 2) * StripPixelsPerRadian(f.view) * 100 / 2;
    EXPECT_NEAR(StripPixelsPerRadian(f.view) * 100, 15915, 1);
    EXPECT_GT(r, 60);
    EXPECT_LT(r, 80);
    const int x = f.view.BodySpots[2].X, y = f.view.BodySpots[2].Y;
    int dark = 0; // the black circle crosses the row near x + r
    for (int dx = -2; dx <= 2; ++dx)
        dark += f.Pixel(x + static_cast<int>(std::lround(r)) + dx, y) == 0;
    EXPECT_GT(dark, 0);
    EXPECT_NE(f.Pixel(x + 5, y + 20), 0u); // inside stays light
}

TEST(StripHover, StarBeforeDeepSkyBeforeBodyBeforeAsteroid) {
    StripFixture f;
    f.Redraw();
    StripView& v = f.view;
    // Put one of each at the same point and take them away in turn.
    const int star = v.ScreenStars.StarIndex[1];
    v.ScreenStars.Count = 1;
    v.ScreenStars.X[1] = 300;
    v.ScreenStars.Y[1] = 300;
    f.deep.DeepObjs[1].ScreenX = 301;
    f.deep.DeepObjs[1].ScreenY = 300;
    v.BodySpots[6] = {300, 301, 0, 0};
    f.asteroids.AstCatalogue[5].ScreenX = 299;
    f.asteroids.AstCatalogue[5].ScreenY = 300;
    const auto pick = [&f, &v] {
        return StripHitTest(v, f.s, f.stars, f.deep, f.asteroids, 300, 300);
    };
    EXPECT_EQ(pick(), StripPick::Star);
    EXPECT_EQ(v.Picked, star);
    EXPECT_DOUBLE_EQ(v.FoundLon, f.stars.StarLon[star]);
    v.ScreenStars.Count = 0;
    EXPECT_EQ(pick(), StripPick::Deep);
    EXPECT_EQ(v.Picked, 1);
    f.deep.DeepObjs[1].ScreenX = -500;
    EXPECT_EQ(pick(), StripPick::Body);
    EXPECT_EQ(v.Picked, 6);
    EXPECT_EQ(v.HoverText, Cp("Юпитер"));
    v.BodySpots[6].X = -500;
    EXPECT_EQ(pick(), StripPick::Asteroid);
    EXPECT_EQ(v.Picked, 5);
    EXPECT_DOUBLE_EQ(v.FoundLon, f.asteroids.AstCatalogue[5].Lon);
    f.asteroids.AstCatalogue[5].ScreenX = -500;
    for (int i = 1; i <= f.asteroids.AstCount; ++i)
        if (std::abs(f.asteroids.AstCatalogue[i].ScreenX - 300) +
                std::abs(f.asteroids.AstCatalogue[i].ScreenY - 300) <
            5)
            f.asteroids.AstCatalogue[i].ScreenX = -500;
    for (int i = 1; i <= f.deep.DeepCount; ++i) f.deep.DeepObjs[i].ScreenX = -500;
    for (auto& b : v.BodySpots) b.X = -500;
    EXPECT_EQ(pick(), StripPick::None);
    EXPECT_TRUE(v.HoverText.empty());
}

// --- Search
// ----------------------------------------------------------------------------------------

TEST(ObjectSearch, NamesOnTheSphereAndTheStrip) {
    StripFixture f;
    int vega = 0, antares = 0;
    for (int i = 1; i <= f.stars.StarCount; ++i) {
        if (f.stars.YaleStars[i].BS == 7001) vega = i;
        if (f.stars.YaleStars[i].BS == 6134) antares = i;
    }
    ASSERT_GT(vega, 0);
    struct Case {
        const char* name; // UTF-8
        FoundKind sky;
        FoundKind strip;
        int index; // 0: not checked
    };
    const Case cases[] = {
        {"Юпитер", FoundKind::Body, FoundKind::Body, 6},
        {"юпитер", FoundKind::None, FoundKind::None, 0},
        {"Луна", FoundKind::Body, FoundKind::Body, 2},
        {"*7001", FoundKind::Star, FoundKind::Star, vega},
        {"*6134", FoundKind::Star, FoundKind::Star, antares},
        {"*", FoundKind::None, FoundKind::None, 0},
        {"*70019", FoundKind::Star, FoundKind::Star, vega}, // characters 2..5: BS 7001
        {"1 Ce", FoundKind::None, FoundKind::Asteroid, 1},
        {"M 31", FoundKind::Deep, FoundKind::Deep, 31},
        {"Крабовидная", FoundKind::Deep, FoundKind::Deep, 1},
        {"M31", FoundKind::None, FoundKind::None, 0},
        {"Антарес", FoundKind::Star, FoundKind::Star, antares},
        {"", FoundKind::None, FoundKind::None, 0},
        {"Нет такого", FoundKind::None, FoundKind::None, 0},
    };
    for (const Case& c : cases) {
        const std::string name = Cp(c.name);
        const FoundObject sky = FindSkyObject(f.s, f.stars, f.deep, name);
        const FoundObject strip = FindStripObject(f.s, f.stars, f.deep, f.asteroids, name);
        EXPECT_EQ(sky.kind, c.sky) << c.name;
        EXPECT_EQ(strip.kind, c.strip) << c.name;
        if (c.index) EXPECT_EQ(strip.index, c.index) << c.name;
    }
    EXPECT_EQ(SearchedBS("*abc"), 0);
    EXPECT_EQ(SearchedBS("*70011"), 7001);
    EXPECT_EQ(SearchedBS("*  42"), 42); // right-aligned, as the star table sends it
    EXPECT_EQ(SearchedBS("* 4 2"), 0);
    EXPECT_EQ(SearchedBS("Vega"), -1);
}

TEST(ObjectSearch, SearchWindowLines) {
    const std::vector<std::string> lines = {Cp("Иапет"), Cp("Ио"), "Alpha_Centauri_B", ""};
    EXPECT_EQ(SearchLine(lines, 1), Cp("Ио")); // the whole line, not a prefix found above
    EXPECT_EQ(SearchLine(lines, 0), Cp("Иапет"));
    EXPECT_EQ(SearchLine(lines, 2), "Alpha Centauri_B"); // only the first "_"
    EXPECT_EQ(SearchLine(lines, 3), "");
    EXPECT_EQ(SearchLine(lines, 7), "");
    EXPECT_EQ(SearchText("a_b_c"), "a b_c");
}

} // namespace
} // namespace qor::test

namespace qor::test {
namespace {

// A catalogue asteroid added to the user list carries angles of its epoch's equinox: computed
// as an extra body at its epoch (where the date's equinox is the epoch's) it stands where the
// catalogue's J2000 elements put it.
TEST(CatalogueAsteroidLine, AnglesOfTheEpochsEquinox) {
    StripFixture f;
    std::vector<std::string> lines;
    ASSERT_TRUE(AddAsteroidFromCatalogue(lines, f.asteroids, 1));
    const auto field = [&lines](int n) { return GetAstField(lines, n, 1); };
    ASSERT_TRUE(ParseOrbitElementsLine(f.s, 1, field(7), field(8), field(9), field(10), field(11),
                                       field(12), field(13)));
    f.s.NExtra = 1;
    EXPECT_EQ(field(13), "2459800.5"); // 2022-08-09 0h
    f.SetMoment(2022, 8, 9, 0, 0);
    GeneralOptions gen;
    CalcCatalogueAsteroids(f.s, gen, f.asteroids);
    const AstRec& ceres = f.asteroids.AstCatalogue[1];
    EXPECT_NEAR(NormAngleSigned(f.s.PlanetLon[15] - ceres.Lon) / kArcsecToRad, 0, 2);
    EXPECT_NEAR((f.s.PlanetLat[15] - ceres.Lat) / kArcsecToRad, 0, 2);
    // the J2000 angles as written would miss by the precession since 2000 (about 19')
    const double stated = std::stod(field(9)) * kDegToRad;
    EXPECT_GT(std::fabs(NormAngleSigned(stated - ceres.Node)), 10 * 60 * kArcsecToRad);
    // at J2000 itself nothing turns
    double i = 0.3, node = 1.2, peri = 4.0;
    OrbitAnglesOfEquinox(2451545.0, i, node, peri);
    EXPECT_NEAR(i, 0.3, 1e-7);
    EXPECT_NEAR(node, 1.2, 1e-7);
    EXPECT_NEAR(peri, 4.0, 1e-7);
}

} // namespace
} // namespace qor::test
