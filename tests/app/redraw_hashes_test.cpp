// The screens' redraws pixel for pixel: the natal wheel (single and double chart), the
// celestial sphere (equatorial and horizontal), the cosmos view (the Sun, Saturn, a star), the
// stars-and-asteroids strip (whole and at full zoom) and the world map (world and Europe, with
// astro-carto-graphy) at 1920 x 1080 on fixed moments, each picture's hash against the stored
// ones (tests/fixtures/redraw_hashes.txt). Each picture is drawn twice into one bitmap after
// pictures of other moments, so that what a redraw keeps between calls cannot show through.
// The hashes hold for the fonts and the Qt of this system's packages; after a deliberate change
// of a picture, QOR_WRITE_REDRAW_HASHES=1 writes them anew. The land the map keeps between its
// drawings is checked against a map drawn afresh after every change it must follow.
#include "chart/Kart.h"
#include "core/Aspects.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/SymbolFont.h"
#include "core/TimeStep.h"
#include "geo/Atlas.h"
#include "geo/GeoMap.h"
#include "sky/Asteroids.h"
#include "sky/BodyPoles.h"
#include "sky/CelestialSphere.h"
#include "sky/CosmosScene.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "sky/StarStrip.h"
#include "sky/Surface.h"
#include "support/QtApp.h"
#include "ui/GlyphFonts.h"
#include "ui/OffscreenBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace qor {
namespace {

namespace fs = std::filesystem;

const fs::path kHashes = fs::path(QOR_SOURCE_DIR) / "tests" / "fixtures" / "redraw_hashes.txt";

// FNV-1a over the picture's rows.
std::string PictureHash(const QImage& img) {
    uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* row = img.constScanLine(y);
        for (int i = 0; i < img.width() * 4; ++i) {
            h ^= row[i];
            h *= 1099511628211ull;
        }
    }
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// The chart state with every planet series, computed for a moment at Moscow.
struct ChartAt {
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
    ChartAt() {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    }
    void Compute(int y, int mo, int d, int hour = 12) {
        s.ChartYear = y;
        s.ChartMonth = mo;
        s.ChartDay = d;
        s.ChartHour = hour;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        s.ChartZone = 180;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
    }
};

struct Moment {
    int y, mo, d;
};
// The moment each picture is hashed on, and one drawn before it.
constexpr Moment kFixed{1985, 6, 12};
constexpr Moment kOther{2026, 12, 10};

class RedrawHashes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::QtApp();
        ChartAt c;
        ui::RegisterGlyphFonts(c.s);
    }
    void SetUp() override {
        std::ifstream in(chart.s.ProgramFolder / "font16.fnt", std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        SymbolFontFromBytes(bytes, font.Glyphs);
        LoadYaleCatalogue(chart.s, stars);
        LoadDeepObj(chart.s, deep);
    }
    void At(const Moment& m) {
        chart.Compute(m.y, m.mo, m.d);
        ComputeStarPositions(chart.s, stars, &deep);
    }
    // Draws the other moment, then the fixed one twice into the same bitmap; the hash of the
    // last, checked to equal the first of the fixed moment's.
    std::string Hash(int w, int h, const std::function<void(ui::OffscreenBitmap&)>& draw) {
        ui::OffscreenBitmap bitmap(font);
        bitmap.Resize(w, h);
        At(kOther);
        draw(bitmap);
        At(kFixed);
        draw(bitmap);
        const std::string first = PictureHash(bitmap.image());
        draw(bitmap);
        const std::string again = PictureHash(bitmap.image());
        EXPECT_EQ(first, again) << "a redraw of the same moment differs";
        return again;
    }
    // The sky over the world map from the chart, with the lines' input when `acg`.
    GeoSky MapSky(bool acg) {
        GeoSky sky;
        sky.chartLat = chart.s.ChartLat;
        sky.chartLong = chart.s.ChartLong;
        sky.lstRad = chart.s.SiderealTimeSec * 15 / kRadToArcSec;
        for (int i = 1; i <= 10; ++i) {
            sky.ra[i] = chart.s.Bodies[i][kBodyRA];
            sky.dec[i] = chart.s.Bodies[i][kBodyDec];
            sky.glyph[i] = BodyName(chart.s, i);
        }
        if (acg) sky.acg = AcgInputOf(chart.s, chart.gen.HorParallax);
        return sky;
    }
    void Check(const std::string& name, const std::string& hash) { found[name] = hash; }
    void TearDown() override {
        std::map<std::string, std::string> stored;
        std::ifstream in(kHashes);
        std::string key, value;
        while (in >> key >> value) stored[key] = value;
        if (std::getenv("QOR_WRITE_REDRAW_HASHES")) {
            for (const auto& [k, v] : found) stored[k] = v;
            std::ofstream out(kHashes);
            for (const auto& [k, v] : stored) out << k << ' ' << v << '\n';
            return;
        }
        for (const auto& [k, v] : found) {
            ASSERT_TRUE(stored.contains(k)) << "no stored hash for " << k;
            EXPECT_EQ(v, stored.at(k)) << k << " is no longer the same picture";
        }
    }

    ChartAt chart;
    StarCatalogue stars;
    DeepCatalogue deep;
    ui::Font16State font;
    std::map<std::string, std::string> found;
};

TEST_F(RedrawHashes, NatalWheel) {
    AspDefTable table;
    std::vector<std::string> lines = BuiltInAspectLines();
    ReadAspectTable(table, lines);
    PrepareAspectWindows(table);
    for (const bool dbl : {false, true}) {
        AspectMatrix matrix;
        chart::KartOptions o;
        o.MinorCheck = true;
        o.StarsCheck = !dbl;
        o.AfetBox = true;
        o.OutHsCheck = dbl;
        o.AspectingMode = dbl ? 'X' : 'I';
        chart::KartChartState c;
        c.DoubleChart = dbl;
        c.HouseSystemName = "Placidus";
        chart::KartServices sv;
        sv.Aspects = &table;
        sv.Matrix = &matrix;
        sv.Stars = &stars;
        sv.Deep = &deep;
        sv.EquatorPoleLon = [this](int k) { return BodyEquatorPole(chart.s, k).lon; };
        chart::KartScreen screen;
        screen.ScreenWidth = 1920;
        screen.ScreenHeight = 1080;
        chart::NatalWheel wheel;
        const std::string hash = Hash(1920, 1080 - 40 - 52, [&](ui::OffscreenBitmap& b) {
            if (dbl) {
                // the second chart: the moment a year on
                const AstroDat first = chart.s;
                chart.Compute(chart.s.ChartYear + 1, chart.s.ChartMonth, chart.s.ChartDay);
                const auto lon = chart.s.PlanetLon;
                const auto speed = chart.s.PlanetSpeed;
                chart.s = first;
                chart.s.PlanetLonBck = lon;
                chart.s.PlanetSpeedBck = speed;
            }
            screen.ScrWidth = b.Width() - 5;
            screen.ScrHeight = b.Height();
            wheel.DrawKart(chart.s, o, c, sv, screen, b);
        });
        Check(dbl ? "wheel_double" : "wheel_single", hash);
    }
}

TEST_F(RedrawHashes, CelestialSphere) {
    for (const int system : {1, 0}) {
        SkyView view;
        SkyOptions o;
        o.System = system;
        o.Stars = true;
        o.Houses = true;
        o.Zodiac = true;
        o.Axes = true;
        const std::string hash = Hash(1920, 1080, [&](ui::OffscreenBitmap& b) {
            SkyInputs in{chart.s, stars, deep, o, "", 0, true, 1080, &font};
            RedrawSky(view, in, b);
        });
        Check(system == 1 ? "sphere_equatorial" : "sphere_horizontal", hash);
    }
}

TEST_F(RedrawHashes, CosmosView) {
    CosmosBodies bodies;
    LoadPlanetsMdb(chart.s, bodies);
    LoadCosmosSettings(bodies, DefaultOrbitMemo());
    SurfaceRegions saturn;
    LoadSurfaceRegions(chart.s, 7, CosmosModeSlot(7), saturn);
    for (const int mode : {1, 7, -1}) {
        bodies.CosmosMode = mode;
        if (mode == 1) bodies.CosmosScale(1) = 80;
        if (mode == 7) bodies.CosmosScale(7) = 0.03;
        if (mode == -1) {
            bodies.CosmosStarBS = 2491;
            bodies.CosmosScale(-1) = 0.02;
        }
        for (int k = 1; k <= 21; ++k) bodies.OrbitFlags[mode < 0 ? 0 : mode][k] = 1;
        CosmosView view;
        CosmosDrawOptions options;
        options.EqatorBox = true;
        const std::string hash = Hash(1920, 1080 - 40 - 52, [&](ui::OffscreenBitmap& b) {
            CosmosInputs in{chart.s, bodies, stars, deep, options};
            in.Surface = [&](int m) -> const SurfaceRegions* { return m == 7 ? &saturn : nullptr; };
            CosmosRedraw(view, in, b);
        });
        Check("cosmos_" + std::to_string(mode), hash);
    }
}

TEST_F(RedrawHashes, StarStrip) {
    AsteroidCatalogue asteroids;
    LoadAsteroidCatalogue(chart.s, asteroids);
    for (const int zoom : {1, 100}) {
        StripView view;
        view.Zoom = zoom;
        const std::string hash = Hash(1920, 1080, [&](ui::OffscreenBitmap& b) {
            CalcCatalogueAsteroids(chart.s, chart.gen, asteroids);
            view.CentreLon = chart.s.PlanetLon[1];
            StripInputs in{chart.s, stars, deep, asteroids, true, &font};
            RedrawStarAstr(view, in, b);
        });
        Check("strip_" + std::to_string(zoom), hash);
    }
}

TEST_F(RedrawHashes, WorldMap) {
    Atlas atlas;
    LoadAtlas(chart.s, atlas);
    for (const int level : {1, 3}) {
        for (const bool acg : {false, true}) {
            if (acg && level != 1) continue;
            GeoMapState map;
            OpenCoastFiles(chart.s, map.coast);
            map.land = DecodeLandPolygons(chart.s, map.coast);
            map.view.Init();
            GeoMapOptions o;
            o.cityNames = true;
            if (acg) {
                o.acg = o.acgAscDsc = o.acgMcIc = o.acgMajor = o.acgHouses = true;
                o.planetMask = "||||||||||";
            }
            bool zoomed = false;
            const std::string hash = Hash(1920, 1080 - 40 - 30, [&](ui::OffscreenBitmap& b) {
                if (!zoomed) {
                    map.view.SetBitmap(b.Width(), b.Height());
                    for (int l = 1; l < level; ++l)
                        map.view.ZoomAt(b.Width() * 53 / 100, b.Height() / 4, b.Height());
                    zoomed = true;
                }
                DrawGeoMap(chart.s, map, o, atlas, MapSky(acg), b, font);
            });
            Check("map_" + std::to_string(level) + (acg ? "_acg" : ""), hash);
        }
    }
}

// The map keeps its sea and land between drawings: after a change of view, bitmap, colours or
// coastlines the picture must equal that of a map drawn afresh with the change.
TEST_F(RedrawHashes, WorldMapKeptLandFollowsEveryChange) {
    Atlas atlas;
    LoadAtlas(chart.s, atlas);
    At(kFixed);
    const GeoSky sky = MapSky(false);
    GeoMapOptions o;
    o.cityNames = true;
    auto fresh = [&](GeoMapState& m, const ui::OffscreenBitmap& b) {
        OpenCoastFiles(chart.s, m.coast);
        m.land = DecodeLandPolygons(chart.s, m.coast);
        m.view.Init();
        m.view.SetBitmap(b.Width(), b.Height());
    };
    using Change = std::function<void(GeoMapState&, ui::OffscreenBitmap&)>;
    const std::pair<const char*, Change> changes[] = {
        {"none", [](GeoMapState&, ui::OffscreenBitmap&) {}},
        {"zoom",
         [](GeoMapState& m, ui::OffscreenBitmap& b) {
             m.view.ZoomAt(b.Width() * 53 / 100, b.Height() / 4, b.Height());
         }},
        {"pan", [](GeoMapState& m, ui::OffscreenBitmap&) { m.view.Pan(GeoPanDirection::East, 1); }},
        {"land colour", [](GeoMapState& m, ui::OffscreenBitmap&) { m.colors.land = 0x00A0FF; }},
        {"ocean colour", [](GeoMapState& m, ui::OffscreenBitmap&) { m.colors.ocean = 0x402000; }},
        {"bitmap size", [](GeoMapState&, ui::OffscreenBitmap& b) { b.Resize(1600, 900); }},
        {"coastlines",
         [](GeoMapState& m, ui::OffscreenBitmap&) { m.land.resize(m.land.size() / 2); }},
    };
    for (const auto& [name, change] : changes) {
        ui::OffscreenBitmap b(font);
        b.Resize(1920, 1080 - 40 - 30);
        GeoMapState kept;
        fresh(kept, b);
        DrawGeoMap(chart.s, kept, o, atlas, sky, b, font);
        change(kept, b);
        DrawGeoMap(chart.s, kept, o, atlas, sky, b, font);

        ui::OffscreenBitmap b2(font);
        b2.Resize(1920, 1080 - 40 - 30);
        GeoMapState anew;
        fresh(anew, b2);
        change(anew, b2);
        DrawGeoMap(chart.s, anew, o, atlas, sky, b2, font);
        EXPECT_TRUE(b.image() == b2.image()) << "after the change: " << name;
    }
}

} // namespace
} // namespace qor
