// The atlas and coastline work the windows repeat: loading, filtering, a screenful of cells,
// a zone look-up, and the walk over all coastline polygons.
#include "core/AstroDat.h"
#include "core/Text.h"
#include "geo/Atlas.h"
#include "geo/Coast.h"
#include "geo/Zones.h"

#include <benchmark/benchmark.h>

namespace {

qor::AstroDat Shipped(bool english) {
    qor::AstroDat s;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    s.EnglishMode = english;
    return s;
}

void BM_LoadAtlas(benchmark::State& st) {
    qor::AstroDat s = Shipped(true);
    for (auto _ : st) {
        qor::Atlas a;
        benchmark::DoNotOptimize(qor::LoadAtlas(s, a));
    }
}
BENCHMARK(BM_LoadAtlas)->Unit(benchmark::kMillisecond);

void BM_FilterAtlas(benchmark::State& st) {
    qor::AstroDat s = Shipped(true);
    qor::Atlas a;
    qor::LoadAtlas(s, a);
    for (auto _ : st) benchmark::DoNotOptimize(qor::FilterAtlas(s, a));
}
BENCHMARK(BM_FilterAtlas)->Unit(benchmark::kMillisecond);

// Forty rows of the six columns, as one repaint of the grid reads them.
void BM_AtlasScreenOfCells(benchmark::State& st) {
    qor::AstroDat s = Shipped(false);
    qor::Atlas a;
    qor::LoadAtlas(s, a);
    qor::FilterAtlas(s, a);
    for (auto _ : st)
        for (int r = 1000; r < 1040; ++r)
            for (int c = 0; c < 6; ++c) benchmark::DoNotOptimize(qor::AtlasCellText(s, a, c, r));
}
BENCHMARK(BM_AtlasScreenOfCells)->Unit(benchmark::kMillisecond);

void BM_RegionZone(benchmark::State& st) {
    qor::AstroDat s = Shipped(true);
    for (auto _ : st) benchmark::DoNotOptimize(qor::RegionZone(s, {1991, 3, 31, 12}, " 6"));
}
BENCHMARK(BM_RegionZone)->Unit(benchmark::kMicrosecond);

void BM_DatabaseZone(benchmark::State& st) {
    qor::AstroDat s = Shipped(true);
    for (auto _ : st)
        benchmark::DoNotOptimize(qor::DatabaseZone(s, {2020, 7, 15, 12}, "America/New_York"));
}
BENCHMARK(BM_DatabaseZone)->Unit(benchmark::kMicrosecond);

void BM_CoastPolygonsWithPoints(benchmark::State& st) {
    qor::AstroDat s = Shipped(true);
    qor::CoastFiles c;
    qor::OpenCoastFiles(s, c);
    std::vector<qor::CoastPoint> pts;
    for (auto _ : st) {
        const auto p = qor::CollectCoastPolygons(s, c);
        for (const auto& poly : p.polygons) {
            pts.clear();
            for (int ch : poly.chains) qor::CoastChainPoints(c, ch, pts);
            benchmark::DoNotOptimize(pts.data());
        }
    }
}
BENCHMARK(BM_CoastPolygonsWithPoints)->Unit(benchmark::kMillisecond);

// One keystroke in the atlas window's search field: the list filtered again from the names
// file and the first name with the typed beginning found, over the whole atlas; the Russian
// edition and a beginning near the end of the alphabet, so that the search runs far.
void BM_AtlasTyping(benchmark::State& st) {
    qor::AstroDat s = Shipped(false);
    qor::Atlas a;
    qor::LoadAtlas(s, a);
    const std::string typed = qor::Cp("Ярослав");
    for (auto _ : st) {
        qor::FilterAtlas(s, a);
        benchmark::DoNotOptimize(qor::FindAtlasRow(s, a, typed));
    }
}
BENCHMARK(BM_AtlasTyping)->Unit(benchmark::kMillisecond);
} // namespace

#include "core/Chart.h"
#include "core/Planets.h"
#include "core/SymbolFont.h"
#include "core/TimeStep.h"
#include "geo/GeoMap.h"
#include "ui/OffscreenBitmap.h"

#include <QApplication>

#include <fstream>

namespace {

// One redraw of the world map at 1920 x 1080 (the picture under the tool bar): filled land,
// the grid with its labels, the cities (with their names from level 2 on), the chart's place
// and the Sun and Moon overhead, at a zoom level (1 the world view, 3 a view of Europe); with
// `acg` also the astro-carto-graphy lines of all ten planets with the major aspects and the
// house curves. Each redraw shows the next of four moments a season apart. With
// `firstOfView` each redraw is the first of its view (as after a zoom or a pan): the map keeps
// no land picture from the one before.
void RedrawGeoMap1920(benchmark::State& st, int zoomLevel, bool acg, bool firstOfView) {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
    using namespace qor;
    AstroDat s = Shipped(false);
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    ChartOptions opt;
    GeneralOptions gen;
    // The sky over the map on four days a season apart: each redraw takes the next.
    std::vector<GeoSky> skies;
    for (int i = 0; i < 4; ++i) {
        s.ChartYear = 2026 + (11 + 3 * i) / 12;
        s.ChartMonth = 1 + (11 + 3 * i) % 12;
        s.ChartDay = 10;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
        GeoSky sky;
        sky.chartLat = s.ChartLat;
        sky.chartLong = s.ChartLong;
        sky.lstRad = s.SiderealTimeSec * 15 / kRadToArcSec;
        for (int k = 1; k <= 10; ++k) {
            sky.ra[k] = s.Bodies[k][kBodyRA];
            sky.dec[k] = s.Bodies[k][kBodyDec];
            sky.glyph[k] = BodyName(s, k);
        }
        if (acg) sky.acg = AcgInputOf(s, gen.HorParallax);
        skies.push_back(sky);
    }
    ui::Font16State font;
    std::ifstream in(s.ProgramFolder / "font16.fnt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SymbolFontFromBytes(bytes, font.Glyphs);
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080 - 40 - 30);
    Atlas atlas;
    LoadAtlas(s, atlas);
    GeoMapState map;
    OpenCoastFiles(s, map.coast);
    map.land = DecodeLandPolygons(s, map.coast);
    map.view.Init();
    map.view.SetBitmap(bitmap.Width(), bitmap.Height());
    for (int level = 1; level < zoomLevel; ++level)
        map.view.ZoomAt(bitmap.Width() * 53 / 100, bitmap.Height() / 4, bitmap.Height());
    GeoMapOptions o;
    o.cityNames = true;
    if (acg) {
        o.acg = o.acgAscDsc = o.acgMcIc = o.acgMajor = o.acgHouses = true;
        o.planetMask = "||||||||||";
    }
    std::size_t next = 0;
    for (auto _ : st) {
        if (firstOfView) map.landKey = {}; // what a zoom or pan does to the kept picture
        DrawGeoMap(s, map, o, atlas, skies[next++ % skies.size()], bitmap, font);
    }
    if (acg) st.counters["labels"] = static_cast<double>(map.acgLabels.size());
}

void BM_RedrawGeoMap1920(benchmark::State& st) {
    RedrawGeoMap1920(st, static_cast<int>(st.range(0)), false, false);
}
BENCHMARK(BM_RedrawGeoMap1920)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_RedrawGeoMapAcg1920(benchmark::State& st) {
    RedrawGeoMap1920(st, 1, true, false);
}
BENCHMARK(BM_RedrawGeoMapAcg1920)->Unit(benchmark::kMillisecond);

void BM_RedrawGeoMapFirstOfView1920(benchmark::State& st) {
    RedrawGeoMap1920(st, static_cast<int>(st.range(0)), st.range(1) != 0, true);
}
BENCHMARK(BM_RedrawGeoMapFirstOfView1920)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
