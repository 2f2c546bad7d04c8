// The celestial sphere: the projection against rotation matrices, the bodies where an
// independent ephemeris puts them, the stars where their places of date project, the key
// steps, the saved view, the fixed Sun, the hover priorities and the constellation filter.
#include "CosmosTestSupport.h"

#include "core/AstroMath.h"
#include "core/Text.h"
#include "sky/CelestialSphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>

namespace qor::test {
namespace {

// The orthographic picture of a unit sphere turned about the screen's horizontal axis by the
// tilt: an independent construction by rotation matrices (x to the left of the screen, z up,
// y toward the eye after the turn).
SkyPoint OracleProject(const SkyView& v, double lon, double lat) {
    const double lam = lon + kPi / 2;
    const double x = std::cos(lat) * std::cos(lam), y = std::cos(lat) * std::sin(lam),
                 z = std::sin(lat);
    const double t = v.Tilt;
    // rotation about the x axis by -t
    const double y2 = std::cos(t) * y + std::sin(t) * z;
    const double z2 = -std::sin(t) * y + std::cos(t) * z;
    return {static_cast<int>(std::nearbyint(v.cx - v.R * x)),
            static_cast<int>(std::nearbyint(v.cy - v.R * z2)),
            static_cast<int>(std::nearbyint(v.R * y2))};
}

SkyView ViewOf(double tilt, int w = 1280, int h = 720, int zoom = 240) {
    SkyView v;
    v.Tilt = tilt;
    v.Zoom = zoom;
    SkyGeometry(v, w, h, 1080, zoom);
    return v;
}

TEST(SkyProjection, MatchesRotationMatricesAtRandomPointsAndTilts) {
    std::mt19937 rng(58);
    std::uniform_real_distribution<double> lon(0, kTwoPi), lat(-kPi / 2, kPi / 2),
        tilt(-kPi / 2, kPi / 2);
    for (int k = 0; k < 2000; ++k) {
        const SkyView v = ViewOf(k % 10 == 0 ? 0.0 : tilt(rng));
        const double l = lon(rng), b = lat(rng);
        const SkyPoint p = SkyProject(v, l, b), q = OracleProject(v, l, b);
        ASSERT_NEAR(p.X, q.X, 1) << l << " " << b << " " << v.Tilt;
        ASSERT_NEAR(p.Y, q.Y, 1);
        ASSERT_NEAR(p.Depth, q.Depth, 1);
    }
}

TEST(SkyProjection, UntiltedEqualsTiltedFormulaAtZero) {
    // The tilted branch written out with φ = 0 (the projection takes its own branch there).
    const SkyView v = ViewOf(0);
    for (double l = 0.01; l < kTwoPi; l += 0.37)
        for (double b = -1.5; b <= 1.5; b += 0.25) {
            const double lam = l + kPi / 2;
            const double s = std::sin(b); // cos 0 · sin β − sin 0 · …
            const double c = std::sqrt(1 - s * s);
            const double cosL = std::cos(b) * std::cos(lam) / c;
            const double sinL = std::cos(b) * std::sin(lam) / c;
            const SkyPoint p = SkyProject(v, l, b);
            EXPECT_EQ(p.X, ClampCoord(v.cx - v.R * cosL * c));
            EXPECT_EQ(p.Y, ClampCoord(v.cy - v.R * s));
            EXPECT_EQ(p.Depth, ClampCoord(v.R * c * sinL));
        }
}

TEST(SkyProjection, HugeSphereIsClampedNotAnError) {
    SkyView v = ViewOf(0.3, 1280, 720, 6400);
    v.R = 2000000000;
    const SkyPoint p = SkyProject(v, 1.0, -0.5);
    EXPECT_LE(std::abs(p.X), 2000000000);
    EXPECT_LE(std::abs(p.Depth), 2000000000);
}

TEST(SkyProjection, RadiusGuardsATinyDisplay) {
    SkyView v;
    SkyGeometry(v, 400, 300, 40, 240); // a display of 40 px: the bitmap stands in
    EXPECT_EQ(v.R, 240 * 300 / (300 - 52));
    SkyGeometry(v, 400, 30, 0, 240); // nothing usable: the bitmap's own height
    EXPECT_EQ(v.R, 240);
    SkyGeometry(v, 1285, 1080, 1080, 240);
    EXPECT_EQ(v.R, 240 * 1080 / 1028);
    EXPECT_EQ(v.cx, 640);
    EXPECT_EQ(v.cy, 540);
}

// --- The drawing over the shipped catalogues -----------------------------------------------

struct SphereFixture : CosmosFixture {
    SkyView view;
    SkyOptions opt;
    std::string only;
    int displayHeight = 1080;
    int warnings = 0;
    explicit SphereFixture(int w = 1280, int h = 720) : CosmosFixture(w, h) {}
    void Redraw() {
        SkyInputs in{s, stars, deep, opt, only, 0, true, displayHeight, &font};
        RedrawSky(view, in, bitmap, [this] { ++warnings; });
    }
    void CentreOn(double lon, double lat) {
        view.CentreLon = NormAngle(lon);
        view.Tilt = lat;
    }
};

TEST(SkyDrawing, ObjectAtTheCentreProjectsToTheCentreInEverySystem) {
    SphereFixture f;
    f.Redraw();
    const SkyFrame frame = SkyFrame::Of(f.s);
    for (int system : {kSkyHorizontal, kSkyEquatorial, kSkyEcliptic})
        for (int body : {1, 2, 6}) {
            double lon, lat;
            SkyBodyCoord(f.s, system, body, lon, lat);
            f.CentreOn(lon, lat);
            const SkyPoint p = SkyProject(f.view, SkyRelativeLon(f.view, system, lon), lat);
            EXPECT_EQ(p.X, f.view.cx);
            EXPECT_EQ(p.Y, f.view.cy);
            EXPECT_EQ(p.Depth, f.view.R);
            // The same body's place converted from the ecliptic agrees with its own record.
            double cl, cb;
            frame.Convert(kSkyEcliptic, f.s.Bodies[body][kBodyLon], f.s.Bodies[body][kBodyLat],
                          system, cl, cb);
            EXPECT_NEAR(std::remainder(cl - lon, kTwoPi), 0, 2e-4) << system << " " << body;
            EXPECT_NEAR(cb, lat, 2e-4);
        }
}

// Apparent topocentric right ascension and declination of date (python3-ephem 4.1.4, an
// observer at 51.5° N, 0° E, sea level, no refraction) for 2024-03-20 12:00 UT: the chart's
// bodies are seen from the chart's place (the Moon's parallax is near a degree).
struct EphemPlace {
    int body;
    double ra, dec;
};
const EphemPlace kEphem[] = {{1, 0.005895607, 0.002524476},  {2, 2.312913944, 0.385399207},
                             {3, 0.278847617, 0.148113682},  {4, 5.979836347, -0.153295346},
                             {5, 5.770929872, -0.231266226}, {6, 0.746230069, 0.270692416},
                             {7, 6.008927132, -0.147983272}, {8, 0.836094832, 0.306242781},
                             {9, 6.251191239, -0.037017622}, {10, 5.316460407, -0.394897374}};

TEST(SkyDrawing, BodiesLieWhereAnIndependentEphemerisProjectsThemAtZoom1600) {
    // One pixel at zoom 1600 is about 2': the Moon's and the planets' places of the chart
    // must agree with ephem's to that.
    SphereFixture f(1920, 1080);
    f.opt.System = kSkyEquatorial;
    f.view.Zoom = 1600;
    for (const EphemPlace& e : kEphem) {
        // The body off the centre, so the whole projection takes part.
        f.CentreOn(e.ra + 0.15, e.dec - 0.1);
        f.Redraw();
        const BodySpot& spot = f.view.BodySpots[e.body];
        const SkyPoint want =
            SkyProject(f.view, SkyRelativeLon(f.view, kSkyEquatorial, e.ra), e.dec);
        ASSERT_NE(spot.X, 0) << e.body;
        EXPECT_NEAR(spot.X, want.X, 1) << e.body;
        EXPECT_NEAR(spot.Y, want.Y, 1) << e.body;
    }
}

TEST(SkyDrawing, StarsLieWhereTheirPlacesOfDateProjectInEachSystem) {
    SphereFixture f;
    f.opt.Stars = true;
    for (int system : {kSkyHorizontal, kSkyEquatorial, kSkyEcliptic}) {
        f.opt.System = system;
        f.Redraw();
        const ScreenStarTable& t = f.view.ScreenStars;
        ASSERT_GT(t.Count, 500) << system;
        const SkyFrame frame = SkyFrame::Of(f.s);
        for (int k = 1; k <= t.Count; k += 37) {
            const int i = t.StarIndex[k];
            double lon, lat;
            frame.Convert(kSkyEquatorial, f.stars.StarRADate[i], f.stars.StarDecDate[i], system,
                          lon, lat);
            const SkyPoint p = SkyProject(f.view, SkyRelativeLon(f.view, system, lon), lat);
            EXPECT_NEAR(t.X[k], p.X, 1) << system << " star " << i;
            EXPECT_NEAR(t.Y[k], p.Y, 1) << system << " star " << i;
            EXPECT_GE(p.Depth, 0);
        }
    }
}

TEST(SkyDrawing, HorizontalPlacesAreRecomputedOnlyWhenTheSiderealTimeChanges) {
    SphereFixture f;
    f.opt.Stars = true;
    f.opt.System = kSkyHorizontal;
    f.Redraw();
    const double az = f.stars.StarAzimuth[100];
    f.stars.StarAzimuth[100] = az + 1; // a stale value stays while the time stands
    f.Redraw();
    EXPECT_EQ(f.stars.StarAzimuth[100], az + 1);
    f.SetMoment(2024, 3, 20, 13, 0);
    f.Redraw();
    EXPECT_NE(f.stars.StarAzimuth[100], az + 1);
    EXPECT_NE(f.stars.StarAzimuth[100], az);
}

TEST(SkyDrawing, MagnitudeLimitAndConstellationFilter) {
    SphereFixture f;
    f.opt.Stars = true;
    f.opt.System = kSkyEquatorial;
    // Ursa Major near the centre.
    f.CentreOn(165 * kDegToRad, 55 * kDegToRad);
    f.only = "UMa";
    f.Redraw();
    ASSERT_GT(f.view.ScreenStars.Count, 20);
    for (int k = 1; k <= f.view.ScreenStars.Count; ++k)
        EXPECT_EQ(f.stars.YaleStars[f.view.ScreenStars.StarIndex[k]].ConstellationCode(), "UMa");
    for (int i = 1; i <= f.deep.DeepCount; ++i) {
        if (f.deep.DeepObjs[i].ScreenX > 0) {
            EXPECT_EQ(Trim(f.deep.DeepObjs[i].Constellation), "UMa");
        }
    }
    f.only.clear();
    f.opt.Magn = 0;
    f.Redraw();
    for (int k = 1; k <= f.view.ScreenStars.Count; ++k)
        EXPECT_LE(f.stars.YaleStars[f.view.ScreenStars.StarIndex[k]].Mag, 0);
}

TEST(SkyDrawing, TooManyStarsIsSaidOncePerDrawing) {
    // 6000 stars in a small field: the table takes 5001, the warning comes once.
    SphereFixture f;
    f.opt.Stars = true;
    f.opt.System = kSkyEquatorial;
    StarCatalogue& c = f.stars;
    const int n = 6000;
    c.StarCount = n;
    c.YaleStars.assign(n + 1, YaleRec{});
    c.StarRADate.assign(n + 1, 0);
    c.StarDecDate.assign(n + 1, 0);
    for (int i = 1; i <= n; ++i) {
        c.YaleStars[i].Mag = 3;
        c.StarRADate[i] = 1.0 + (i % 80) * 0.002;
        c.StarDecDate[i] = 0.2 + (i / 80) * 0.002;
    }
    f.CentreOn(1.08, 0.28);
    f.Redraw();
    EXPECT_EQ(f.view.ScreenStars.Count, kSkyScreenStarsMax);
    EXPECT_EQ(f.warnings, 1);
    f.Redraw();
    EXPECT_EQ(f.warnings, 2);
}

TEST(SkyDrawing, PlanetsBoxAndObserverElsewhere) {
    SphereFixture f;
    f.opt.System = kSkyEcliptic;
    f.Redraw();
    const auto spots = f.view.BodySpots;
    f.opt.Planets = false;
    f.view.CentreLon += 0.5;
    f.Redraw();
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(f.view.BodySpots[i].X, spots[i].X) << i;
    // Observer on Mercury: the Earth is drawn, Mercury and the Moon are not.
    f.opt.Planets = true;
    f.view.BodySpots = {};
    SkyInputs in{f.s, f.stars, f.deep, f.opt, "", 3, true, 1080, &f.font};
    for (double c = 0; c < kTwoPi; c += 0.5) {
        f.view.CentreLon = c;
        RedrawSky(f.view, in, f.bitmap);
        EXPECT_EQ(f.view.BodySpots[3].X, 0);
        EXPECT_EQ(f.view.BodySpots[2].X, 0);
    }
}

TEST(SkyDrawing, SunDiscFromThreePixels) {
    SphereFixture f;
    f.opt.System = kSkyEcliptic;
    double lon, lat;
    SkyBodyCoord(f.s, kSkyEcliptic, 1, lon, lat);
    f.CentreOn(lon, lat);
    for (const auto& [zoom, disc] : {std::pair{240, false}, {6400, true}}) {
        f.view.Zoom = zoom;
        f.Redraw();
        const double r = BodyAngularSize(f.s, 1) * f.view.PixelsPerDegree / kDegToRad / 2;
        EXPECT_EQ(std::nearbyint(r) >= 3, disc) << zoom;
        // A disc is filled yellow 15 pixels right of the centre; a star mark is not so wide.
        EXPECT_EQ(f.Pixel(f.view.cx + 15, f.view.cy) == 0x00FFFF, disc) << zoom;
    }
}

// --- Steering and the saved view ----------------------------------------------------------------

TEST(SkySteering, ZoomTable) {
    struct Case {
        int zoom, num, den;
        bool taken;
        int after, step;
    };
    const Case cases[] = {{6000, 10, 9, false, 6000, 1}, {5800, 10, 9, false, 5800, 1},
                          {5700, 10, 9, true, 6333, 1},  {1500, 10, 9, true, 1666, 1},
                          {1600, 9, 10, true, 1440, 10}, {21, 9, 10, false, 21, 10},
                          {30, 2, 3, true, 20, 10},      {20, 3, 2, true, 30, 10}};
    for (const Case& c : cases) {
        SkyView v;
        v.Zoom = c.zoom;
        v.Step = c.zoom >= 1600 ? 1 : 10;
        EXPECT_EQ(ZoomSky(v, c.num, c.den), c.taken) << c.zoom;
        EXPECT_EQ(v.Zoom, c.after) << c.zoom;
        EXPECT_EQ(v.Step, c.step) << c.zoom;
    }
}

TEST(SkySteering, TurnAndTiltSteps) {
    struct Case {
        int system, step;
        char sign;
        double change; // of the centre, degrees
    };
    const Case cases[] = {{kSkyEquatorial, 10, '+', 1},
                          {kSkyEcliptic, 10, '-', -1},
                          {kSkyHorizontal, 10, '+', -1},
                          {kSkyHorizontal, 1, '-', 0.1},
                          {kSkyEquatorial, 1, '+', 0.1}};
    for (const Case& c : cases) {
        SkyView v;
        v.CentreLon = 1;
        v.Step = c.step;
        v.HoverText = "x";
        EXPECT_TRUE(RotateSkyLon(v, c.system, c.sign, 0.1));
        EXPECT_NEAR(v.CentreLon, 1 + c.change * kDegToRad, 1e-12);
        EXPECT_TRUE(v.HoverText.empty());
    }
    SkyView v;
    v.CentreLon = 0.01;
    RotateSkyLon(v, kSkyEquatorial, '-', 0.1);
    EXPECT_NEAR(v.CentreLon, kTwoPi + 0.01 - kDegToRad, 1e-12);
    // The tilt stops at ±π/2: steps up to it are taken, the one beyond is refused.
    v.Tilt = 0;
    v.Step = 10;
    int taken = 0;
    while (TiltSky(v, '+', 1)) ++taken;
    EXPECT_EQ(taken, 9);
    EXPECT_NEAR(v.Tilt, kPi / 2, 1e-12);
    v.Tilt = -kPi / 2 + 0.05;
    EXPECT_FALSE(TiltSky(v, '-', 1));
    EXPECT_DOUBLE_EQ(v.Tilt, -kPi / 2 + 0.05);
    EXPECT_TRUE(TiltSky(v, '+', 1));
}

TEST(SkySteering, SavedViewRoundTripAndBadTexts) {
    SkyView v;
    ReadSkyEdit(v, "0.28376;0.64535;240");
    EXPECT_DOUBLE_EQ(v.Tilt, 0.28376);
    EXPECT_DOUBLE_EQ(v.CentreLon, 0.64535);
    EXPECT_EQ(v.Zoom, 240);
    EXPECT_EQ(SkyEditText(v), "0.28376;0.64535;240");
    ReadSkyEdit(v, "-1.2;6.1;3000");
    EXPECT_EQ(SkyEditText(v), "-1.20000;6.10000;3000");
    EXPECT_EQ(v.Step, 1);
    for (const char* bad : {"", "x;0.6;240", "0.2;0,6;240", "0.2;0.6;19", "0.2;0.6;6401", "0.2;0.6",
                            "0.2;0.6;240;1", "0.2;0.6;240.5", "2;0.6;240", "nan;1;240"}) {
        SkyView w;
        w.Zoom = 999;
        ReadSkyEdit(w, bad);
        EXPECT_EQ(SkyEditText(w), "0.28376;0.64535;240") << bad;
    }
}

TEST(SkySteering, FixedSunKeepsTheTiltInRangeAndTheSunInPlace) {
    SphereFixture f;
    f.opt.System = kSkyEquatorial;
    f.opt.Outside = true;
    double ra, dec;
    SkyBodyCoord(f.s, kSkyEquatorial, 1, ra, dec);
    f.CentreOn(ra + 0.2, -0.1); // tilt slightly below the equator
    f.Redraw();
    ASSERT_TRUE(SkyFixSun(f.view, true));
    const int x = f.view.SunX, y = f.view.SunY;
    // Time runs on a day: the Sun moves and the view follows it.
    f.SetMoment(2024, 3, 21, 12, 0);
    f.Redraw();
    EXPECT_NEAR(f.view.SunX, x, 2);
    EXPECT_NEAR(f.view.SunY, y, 2);
    EXPECT_GE(f.view.Tilt, -kPi / 2);
    EXPECT_LE(f.view.Tilt, kPi / 2);
    EXPECT_LT(f.view.Tilt, 0); // still below, not wrapped to 2π − 0.1
    EXPECT_TRUE(TiltSky(f.view, '+', 0.1));
    // The Sun off the screen: the mode is refused.
    SkyView off;
    EXPECT_FALSE(SkyFixSun(off, true));
    EXPECT_FALSE(off.FixedSun);
}

TEST(SkySteering, FixedSunSkippedOnASphereTooSmallForADegree) {
    SphereFixture f(40, 40);
    f.opt.System = kSkyEquatorial;
    f.view.Zoom = 20;
    f.Redraw();
    f.view.FixedSun = true;
    f.view.SunX = f.view.SunY = 5;
    f.view.SunFixX = f.view.SunFixY = 1;
    const double tilt = f.view.Tilt, centre = f.view.CentreLon;
    f.Redraw();
    EXPECT_EQ(f.view.PixelsPerDegree, 0);
    EXPECT_EQ(f.view.Tilt, tilt);
    EXPECT_EQ(f.view.CentreLon, centre);
}

// --- Hover
// ----------------------------------------------------------------------------------------

struct HoverFixture {
    SkyState t;
    StarCatalogue c;
    DeepCatalogue d;
    SkyView v;
    HoverFixture() {
        LoadYaleCatalogue(t.s, c);
        d.DeepCount = 1;
        d.DeepObjs.resize(2);
        d.DeepObjs[1].Code = "M13";
        d.DeepObjs[1].Mag = 5.8;
        v.ScreenStars.X.assign(10, 0);
        v.ScreenStars.Y.assign(10, 0);
        v.ScreenStars.StarIndex.assign(10, 0);
    }
    int StarOfMag(double lo, double hi, int skip = 0) const {
        for (int i = 1; i <= c.StarCount; ++i)
            if (c.YaleStars[i].Mag >= lo && c.YaleStars[i].Mag < hi && i != skip) return i;
        return 0;
    }
    void AddStar(int k, int x, int y, int star) {
        v.ScreenStars.Count = k;
        v.ScreenStars.X[k] = x;
        v.ScreenStars.Y[k] = y;
        v.ScreenStars.StarIndex[k] = star;
    }
};

TEST(SkyHover, Priorities) {
    HoverFixture f;
    const int faint = f.StarOfMag(5, 6), bright = f.StarOfMag(1, 2),
              faint2 = f.StarOfMag(5, 6, faint);
    ASSERT_TRUE(faint && bright && faint2);
    f.c.YaleStars[faint2].Mag = f.c.YaleStars[faint].Mag;
    // Two stars near the pointer: the brighter wins, wherever it stands in the table.
    f.AddStar(1, 100, 100, faint);
    f.AddStar(2, 102, 101, bright);
    ASSERT_TRUE(SkyHitTest(f.v, f.t.s, f.c, f.d, true, 101, 100));
    EXPECT_TRUE(f.v.StarFound);
    EXPECT_EQ(f.v.Picked, bright);
    EXPECT_EQ(f.v.HoverX, 102);
    EXPECT_NE(f.v.HoverText.find("  m "), std::string::npos);
    // Equal magnitudes: the first stays.
    f.AddStar(2, 102, 101, faint2);
    SkyHitTest(f.v, f.t.s, f.c, f.d, true, 101, 100);
    EXPECT_EQ(f.v.Picked, faint);
    // A star over a body: the star.
    f.v.BodySpots[5] = {100, 100, 1, 10};
    SkyHitTest(f.v, f.t.s, f.c, f.d, true, 100, 100);
    EXPECT_TRUE(f.v.StarFound);
    EXPECT_FALSE(f.v.BodyFound);
    // Stars not shown: the body.
    SkyHitTest(f.v, f.t.s, f.c, f.d, false, 100, 100);
    EXPECT_TRUE(f.v.BodyFound);
    EXPECT_EQ(f.v.Picked, 5);
    // A body over a deep-sky object: the body.
    f.v.ScreenStars.Count = 0;
    f.d.DeepObjs[1].ScreenX = 101;
    f.d.DeepObjs[1].ScreenY = 101;
    SkyHitTest(f.v, f.t.s, f.c, f.d, true, 101, 101);
    EXPECT_TRUE(f.v.BodyFound);
    EXPECT_FALSE(f.v.DeepFound);
    // The deep-sky object alone.
    f.v.BodySpots[5] = {};
    ASSERT_TRUE(SkyHitTest(f.v, f.t.s, f.c, f.d, true, 103, 102));
    EXPECT_TRUE(f.v.DeepFound);
    EXPECT_EQ(f.v.HoverText.rfind("M13 ", 0), 0u);
    // Nothing within 4 px (the distance is |dx| + |dy| < 5).
    EXPECT_FALSE(SkyHitTest(f.v, f.t.s, f.c, f.d, true, 104, 103));
    EXPECT_TRUE(f.v.HoverText.empty());
}

TEST(SkyHover, PleiadesFoundByCatalogueNumberAfterASort) {
    HoverFixture f;
    // Sort the catalogue by name, as the short catalogue and the star table may.
    std::vector<int> order(f.c.StarCount + 1);
    for (int i = 0; i <= f.c.StarCount; ++i) order[i] = i;
    std::sort(order.begin() + 1, order.end(),
              [&f](int a, int b) { return StarName(f.c, a) < StarName(f.c, b); });
    ReorderStars(f.c, order);
    int members = 0;
    const double m45ra = (3 + 47.0 / 60) * 15 * kDegToRad, m45dec = 24.12 * kDegToRad;
    for (int i = 1; i <= f.c.StarCount; ++i) {
        if (!IsPleiadesStar(f.c.YaleStars[i].BS)) continue;
        ++members;
        EXPECT_NEAR(f.c.StarRA2000[i], m45ra, 1.2 * kDegToRad) << f.c.YaleStars[i].BS;
        EXPECT_NEAR(f.c.StarDec2000[i], m45dec, 1.2 * kDegToRad) << f.c.YaleStars[i].BS;
        EXPECT_EQ(f.c.YaleStars[i].ConstellationCode(), "Tau");
    }
    EXPECT_EQ(members, 10);
}

// --- Constellations ------------------------------------------------------------------------------

TEST(Constellations, TheEightyEightAgainstTheCatalogueList) {
    std::ifstream in(std::filesystem::path(QOR_SOURCE_DIR) /
                     "tests/fixtures/constellation-names.txt");
    ASSERT_TRUE(in);
    std::map<std::string, std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto a = line.find(','), b = line.find(',', a + 1);
        names[line.substr(0, a)] = line.substr(a + 1, b - a - 1);
    }
    ASSERT_EQ(names.size(), 88u);
    ASSERT_EQ(Constellations().size(), 88u);
    // Where the list writes a name otherwise: its diaeresis, its older form, its slip of the
    // pen, its mark on the constellation of two parts.
    const std::map<std::string, std::string> written = {
        {"Boo", "Bo\xC3\xB6tes"}, {"Cam", "Camelopardus"}, {"Psc", "Pices"}, {"Ser", "Serpens*"}};
    const std::map<std::string, std::string> ours = {
        {"Boo", "Bootes"}, {"Cam", "Camelopardalis"}, {"Psc", "Pisces"}, {"Ser", "Serpens"}};
    for (const std::string& row : Constellations()) {
        const std::string code = row.substr(0, 3);
        ASSERT_TRUE(names.count(code)) << code;
        if (written.count(code)) {
            EXPECT_EQ(names[code], written.at(code));
            EXPECT_EQ(Trim(row.substr(23)), ours.at(code));
            continue;
        }
        EXPECT_EQ(Trim(row.substr(23)), names[code]) << code;
        EXPECT_FALSE(Trim(row.substr(4, 19)).empty()) << code;
    }
}

TEST(Constellations, SortByCodeAndByRussianNameInByteOrder) {
    std::vector<std::string> rows = Constellations();
    SozvSort(rows, 0, 87, 2);
    ASSERT_EQ(rows.size(), 88u);
    for (int i = 1; i < 88; ++i) {
        const auto a = static_cast<unsigned char>(rows[i - 1][4]),
                   b = static_cast<unsigned char>(rows[i][4]);
        EXPECT_LE(a, b) << i;
        EXPECT_LE(SozvKey(rows[i - 1], 2), SozvKey(rows[i], 2));
    }
    // Cyrillic initials in code page 1251 order: А (0xC0) first, Я (0xDF) last.
    EXPECT_EQ(static_cast<unsigned char>(rows.front()[4]), 0xC0);
    EXPECT_EQ(Trim(rows.front().substr(23)), "Andromeda");
    SozvSort(rows, 0, 87, 1);
    for (int i = 1; i < 88; ++i)
        EXPECT_LT(SozvKey(rows[i - 1], 1), SozvKey(rows[i], 1)) << rows[i].substr(0, 3);
    // Upper-casing takes Latin letters only: "CMa" and "Cma" share a key, Cyrillic stays.
    EXPECT_EQ(SozvKey("cma", 1), SozvKey("CMA", 1));
    EXPECT_EQ(SozvKey("Abc \xE0\xE1\xE2", 2), (0xE0 << 16) + (0xE1 << 8) + 0xE2);
}

} // namespace
} // namespace qor::test
