// One full redraw of the cosmos screen at 1920 x 1080: the Sun's view with every catalogue star,
// deep-sky object and orbit; Saturn with its rings, moons and surface; the view from Sirius.
#include "BenchApplication.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "sky/CosmosScene.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "sky/Surface.h"
#include "ui/OffscreenBitmap.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The arguments: the view's mode (1 the Sun, 7 Saturn, -1 the star view).
void BM_DrawCosmos1920(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    AstroDat s;
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    CosmosBodies bodies;
    LoadPlanetsMdb(s, bodies);
    LoadCosmosSettings(bodies, DefaultOrbitMemo());
    StarCatalogue stars;
    DeepCatalogue deep;
    LoadYaleCatalogue(s, stars);
    LoadDeepObj(s, deep);
    s.ChartYear = 2024;
    s.ChartMonth = 3;
    s.ChartDay = 20;
    s.ChartHour = 12;
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    ChartOptions opt;
    GeneralOptions gen;
    CalcAstroTime(s, TimeOptionsFor(opt, gen));
    CalcChart(s, opt, gen, 0);
    ComputeStarPositions(s, stars, &deep);
    SurfaceRegions saturn;
    LoadSurfaceRegions(s, 7, CosmosModeSlot(7), saturn);

    ui::Font16State font;
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080 - 40 - 52);
    const int mode = static_cast<int>(state.range(0));
    bodies.CosmosMode = mode;
    if (mode == 1) bodies.CosmosScale(1) = 80; // every planet's orbit
    if (mode == 7) bodies.CosmosScale(7) = 0.03;
    if (mode == -1) {
        bodies.CosmosStarBS = 2491;
        bodies.CosmosScale(-1) = 0.02;
    }
    for (int k = 1; k <= 21; ++k) bodies.OrbitFlags[mode < 0 ? 0 : mode][k] = 1;
    CosmosView view;
    CosmosDrawOptions options;
    options.EqatorBox = true;
    CosmosInputs in{s, bodies, stars, deep, options};
    in.Surface = [&](int m) -> const SurfaceRegions* { return m == 7 ? &saturn : nullptr; };
    for (auto _ : state) {
        CosmosRedraw(view, in, bitmap);
        benchmark::DoNotOptimize(bitmap.image().constBits());
    }
    state.counters["stars"] = view.ScreenStars.Count;
}
BENCHMARK(BM_DrawCosmos1920)->Arg(1)->Arg(7)->Arg(-1)->Unit(benchmark::kMillisecond);

} // namespace
