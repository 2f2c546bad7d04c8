// One full redraw of the natal chart screen (wheel, planet table with the star column, texts)
// on a 1920 x 1080 screen: the drawing that follows every recompute and every option change.
#include "BenchApplication.h"
#include "chart/Kart.h"
#include "core/Aspects.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "sky/BodyPoles.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "ui/OffscreenBitmap.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// The arguments: 0 the single chart, 1 the double chart.
void BM_DrawKart1920(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    AstroDat s;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    ui::Font16State font;
    std::ifstream in(s.ProgramFolder / "font16.fnt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SymbolFontFromBytes(bytes, font.Glyphs);
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080 - 40 - 52);

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
    const bool dbl = state.range(0) != 0;
    if (dbl) {
        compute(2026, 12, 10);
        s.PlanetLonBck = s.PlanetLon;
        s.PlanetSpeedBck = s.PlanetSpeed;
    }
    compute(1985, 6, 12);

    StarCatalogue stars;
    DeepCatalogue deep;
    LoadYaleCatalogue(s, stars);
    LoadDeepObj(s, deep);
    ComputeStarPositions(s, stars, &deep);

    AspDefTable table;
    std::vector<std::string> lines = BuiltInAspectLines();
    ReadAspectTable(table, lines);
    PrepareAspectWindows(table);
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
    sv.EquatorPoleLon = [&](int k) { return BodyEquatorPole(s, k).lon; };
    chart::KartScreen screen;
    screen.ScreenWidth = 1920;
    screen.ScreenHeight = 1080;
    screen.ScrWidth = bitmap.Width() - 5;
    screen.ScrHeight = bitmap.Height();
    chart::NatalWheel wheel;
    for (auto _ : state) {
        wheel.DrawKart(s, o, c, sv, screen, bitmap);
        benchmark::DoNotOptimize(wheel.KartSpots.data());
    }
    state.counters["spots"] = static_cast<double>(wheel.KartSpots.size());
}
BENCHMARK(BM_DrawKart1920)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
