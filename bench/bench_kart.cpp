// The natal chart screen at 1920 x 1080 (wheel, planet table with the star column, texts): the
// drawing that follows every recompute and every option change; and the printed chart page.
// The glyph font is registered as the start-up registers it, and each redraw takes the next of
// a set of charts of different moments, so that nothing of one drawing serves the next.
#include "BenchApplication.h"
#include "chart/Kart.h"
#include "chart/PrnKart.h"
#include "core/Aspects.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "sky/BodyPoles.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "ui/GlyphFonts.h"
#include "ui/OffscreenBitmap.h"

#include <QApplication>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// A computed chart (with a second one for a double chart), the catalogues, the aspect page and
// the wheel's options, as the screen and the printed page read them.
struct KartBenchChart {
    qor::AstroDat s;
    qor::StarCatalogue stars;
    qor::DeepCatalogue deep;
    qor::AspDefTable table;
    qor::AspectMatrix matrix;
    qor::chart::KartOptions o;
    qor::chart::KartChartState c;
    qor::chart::KartServices sv;

    // The chart states of the other moments the screen benchmark turns through.
    std::vector<qor::AstroDat> moments;

    explicit KartBenchChart(bool dbl, int momentCount = 1) {
        using namespace qor;
        s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
        ChartOptions opt;
        GeneralOptions gen;
        auto compute = [&](int y, int mo, int d) {
            s.ChartYear = y;
            s.ChartMonth = mo;
            s.ChartDay = d;
            s.ChartLat = 55.75 * kDegToRad;
            s.ChartLong = 37.62 * kDegToRad;
            s.ChartZone = 180;
            CalcAstroTime(s, TimeOptionsFor(opt, gen));
            CalcChart(s, opt, gen, 0);
        };
        if (dbl) {
            compute(2026, 12, 10);
            s.PlanetLonBck = s.PlanetLon;
            s.PlanetSpeedBck = s.PlanetSpeed;
        }
        for (int i = 1; i < momentCount; ++i) {
            compute(1930 + 7 * i, 1 + (5 * i) % 12, 1 + (11 * i) % 28);
            moments.push_back(s);
        }
        compute(1985, 6, 12);
        moments.insert(moments.begin(), s);
        LoadYaleCatalogue(s, stars);
        LoadDeepObj(s, deep);
        ComputeStarPositions(s, stars, &deep);
        std::vector<std::string> lines = BuiltInAspectLines();
        ReadAspectTable(table, lines);
        PrepareAspectWindows(table);
        o.MinorCheck = true;
        o.StarsCheck = !dbl;
        o.AfetBox = true;
        o.OutHsCheck = dbl;
        o.AspectingMode = dbl ? 'X' : 'I';
        c.DoubleChart = dbl;
        c.HouseSystemName = "Placidus";
        sv.Aspects = &table;
        sv.Matrix = &matrix;
        sv.Stars = &stars;
        sv.Deep = &deep;
        sv.EquatorPoleLon = [this](int k) { return BodyEquatorPole(s, k).lon; };
    }
};

// The arguments: 0 the single chart, 1 the double chart.
void BM_DrawKart1920(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    KartBenchChart k(state.range(0) != 0, 16);
    ui::RegisterGlyphFonts(k.s);
    ui::Font16State font;
    std::ifstream in(k.s.ProgramFolder / "font16.fnt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SymbolFontFromBytes(bytes, font.Glyphs);
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080 - 40 - 52);
    chart::KartScreen screen;
    screen.ScreenWidth = 1920;
    screen.ScreenHeight = 1080;
    screen.ScrWidth = bitmap.Width() - 5;
    screen.ScrHeight = bitmap.Height();
    chart::NatalWheel wheel;
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        k.s = k.moments[next++ % k.moments.size()];
        state.ResumeTiming();
        wheel.DrawKart(k.s, k.o, k.c, k.sv, screen, bitmap);
        benchmark::DoNotOptimize(wheel.KartSpots.data());
    }
    state.counters["spots"] = static_cast<double>(wheel.KartSpots.size());
}
BENCHMARK(BM_DrawKart1920)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One printed page of a double chart at 600 dpi into a PDF file (written and closed each time).
void BM_PrintKart(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    KartBenchChart k(true);
    ui::RegisterGlyphFonts(k.s);
    const std::filesystem::path pdf =
        std::filesystem::temp_directory_path() / ("qor-bench-" + std::to_string(getpid()) + ".pdf");
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(600);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageOrientation(QPageLayout::Landscape);
        if (!chart::PrintKart(k.s, k.o, k.c, k.sv, kQorGlyphFace, printer)) {
            state.SkipWithError("the page could not be printed");
            break;
        }
        bytes = std::filesystem::file_size(pdf);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    std::error_code ec;
    std::filesystem::remove(pdf, ec);
}
BENCHMARK(BM_PrintKart)->Unit(benchmark::kMillisecond);

} // namespace
