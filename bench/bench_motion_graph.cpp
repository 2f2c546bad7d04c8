// Speed of the planet-motion graph at 1920x1080, as the screen draws it: a transit year of the
// 15 bodies read from the annual file of 2024 (the file read in each iteration) with every natal
// body and house cusp marked; and progressions over 36 years, a chart computed for each of the
// 37 samples. The aim is the wheel's: under 8 ms a picture.
#include "BenchApplication.h"
#include "LoadedState.h"
#include "core/ChartEngine.h"
#include "core/Stepping.h"
#include "core/SymbolFont.h"
#include "forecast/MotionGraph.h"
#include "ui/OffscreenBitmap.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>

namespace {

using namespace qor;
using namespace qor::forecast;

ui::Font16State ShippedFont() {
    ui::Font16State f;
    std::ifstream in(fs::path(QOR_SOURCE_DIR) / "data" / "font16.fnt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SymbolFontFromBytes(bytes, f.Glyphs);
    return f;
}

// A birth on 15 May 1990 at 12:00, zone +03:00, at Moscow, computed.
struct Birth {
    AstroDat s = bench::LoadedState();
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart chart{s, opt, gen};
    Birth() {
        s.ChartYear = 1990;
        s.ChartMonth = 5;
        s.ChartDay = 15;
        s.ChartHour = 12;
        s.ChartZone = 180;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        UpdateCalendarForYear(s);
        chart.CalcAstroTime();
        chart.CalcChart(0);
    }
};

void BM_MotionGraphYear1920(benchmark::State& state) {
    bench::EnsureOffscreenApplication();
    Birth b;
    const fs::path dir =
        fs::temp_directory_path() / ("qor_bench_motion_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "Tab2024.wrk";
    {
        AstroDat e = bench::LoadedState();
        const auto fixed = EphemerisChart(e);
        std::ofstream(file, std::ios::binary)
            << ComputeEphemeris(e, *fixed, EphemerisKind::Annual, 2024);
    }
    const ui::Font16State font = ShippedFont();
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080);
    MotionChoices c;
    c.year = 2024;
    c.natal = std::string(16, '.');
    c.houses = std::string(12, '.');
    for (auto _ : state) {
        ui::ClearBuffer(bitmap, ui::kWhite);
        std::vector<EphemerisRecord> records;
        if (!ReadEphemerisFile(file, records).ok()) state.SkipWithError("cannot read the file");
        const MotionResult r =
            DrawTransitGraph(b.s, bitmap.canvas(), font, c, records, b.s.PlanetLon, 1080);
        benchmark::DoNotOptimize(r.samples);
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_MotionGraphYear1920)->Unit(benchmark::kMillisecond);

void BM_ProgressionDecades1920(benchmark::State& state) {
    bench::EnsureOffscreenApplication();
    Birth b;
    const ui::Font16State font = ShippedFont();
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080);
    MotionChoices c;
    c.kind = 1;
    c.period = 3;
    c.year = 2000;
    c.natal = std::string(16, '.');
    c.houses = std::string(12, '.');
    for (auto _ : state) {
        ui::ClearBuffer(bitmap, ui::kWhite);
        const MotionResult r = DrawChartMotionGraph(b.s, b.chart, bitmap.canvas(), font, c, 1080);
        benchmark::DoNotOptimize(r.samples);
    }
    state.SetItemsProcessed(state.iterations() * 37);
}
BENCHMARK(BM_ProgressionDecades1920)->Unit(benchmark::kMillisecond);

} // namespace
