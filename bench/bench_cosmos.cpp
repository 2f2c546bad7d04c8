// One full redraw of the cosmos screen at 1920 x 1080: the Sun's view with every catalogue star,
// deep-sky object and orbit; Saturn with its rings, moons and surface; the view from Sirius; each
// redraw on the next of four moments a season apart.
#include "SkyState.h"

#include "sky/CosmosScene.h"
#include "sky/Surface.h"
#include "ui/OffscreenBitmap.h"

#include <benchmark/benchmark.h>

namespace {

// The arguments: the view's mode (1 the Sun, 7 Saturn, -1 the star view).
void BM_DrawCosmos1920(benchmark::State& state) {
    using namespace qor;
    const auto moments = bench::SkyMoments(4);
    AstroDat& s = moments[0]->s;
    CosmosBodies bodies;
    LoadPlanetsMdb(s, bodies);
    LoadCosmosSettings(bodies, DefaultOrbitMemo());
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
    std::size_t next = 0;
    for (auto _ : state) {
        bench::SkyMoment& m = *moments[next++ % moments.size()];
        CosmosInputs in{m.s, bodies, m.stars, m.deep, options};
        in.Surface = [&](int k) -> const SurfaceRegions* { return k == 7 ? &saturn : nullptr; };
        CosmosRedraw(view, in, bitmap);
        benchmark::DoNotOptimize(bitmap.image().constBits());
    }
    state.counters["stars"] = view.ScreenStars.Count;
}
BENCHMARK(BM_DrawCosmos1920)->Arg(1)->Arg(7)->Arg(-1)->Unit(benchmark::kMillisecond);

} // namespace
