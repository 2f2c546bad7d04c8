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
