// The sky screens at 1920 x 1080 and the asteroid places. One full redraw of the celestial sphere
// at 1920 x 1080 with every catalogue star to magnitude 7, the deep-sky objects, the houses, the
// zodiac and the bodies: in the equatorial system and in the horizontal one, each redraw on the
// next of four moments a season apart (so the places of every star and deep-sky object are
// worked out again).
#include "SkyState.h"

#include "sky/CelestialSphere.h"
#include "sky/StarConj.h"
#include "sky/StarStrip.h"
#include "sky/StarTable.h"
#include "ui/OffscreenBitmap.h"

#include <benchmark/benchmark.h>

namespace {

// The argument: the coordinate system (0 horizontal, 1 equatorial).
void BM_DrawSky1920(benchmark::State& state) {
    using namespace qor;
    const auto moments = bench::SkyMoments(4);

    ui::Font16State font;
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080);
    SkyView view;
    SkyOptions o;
    o.System = static_cast<int>(state.range(0));
    o.Stars = true;
    o.Houses = true;
    o.Zodiac = true;
    o.Axes = true;
    std::size_t next = 0;
    for (auto _ : state) {
        bench::SkyMoment& m = *moments[next++ % moments.size()];
        SkyInputs in{m.s, m.stars, m.deep, o, "", 0, true, 1080, &font};
        RedrawSky(view, in, bitmap);
        benchmark::DoNotOptimize(bitmap.image().constBits());
    }
    state.counters["stars"] = view.ScreenStars.Count;
}
BENCHMARK(BM_DrawSky1920)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The stars-and-asteroids strip at 1920 x 1080: zoom 1 (the whole zodiac), and zoom 100 on the
// Sun with every label placed; each redraw on the next of four moments a season apart.
void BM_DrawStarAstr1920(benchmark::State& state) {
    using namespace qor;
    const auto moments = bench::SkyMoments(4);
    std::vector<AsteroidCatalogue> asteroids(moments.size());
    GeneralOptions gen;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        LoadAsteroidCatalogue(moments[i]->s, asteroids[i]);
        CalcCatalogueAsteroids(moments[i]->s, gen, asteroids[i]);
    }
    ui::Font16State font;
    ui::OffscreenBitmap bitmap(font);
    bitmap.Resize(1920, 1080);
    StripView view;
    view.Zoom = static_cast<double>(state.range(0));
    std::size_t next = 0;
    for (auto _ : state) {
        const std::size_t i = next++ % moments.size();
        bench::SkyMoment& m = *moments[i];
        view.CentreLon = m.s.PlanetLon[1];
        StripInputs in{m.s, m.stars, m.deep, asteroids[i], true, &font};
        RedrawStarAstr(view, in, bitmap);
        benchmark::DoNotOptimize(bitmap.image().constBits());
    }
    state.counters["labels"] = static_cast<double>(view.Labels.size());
}
BENCHMARK(BM_DrawStarAstr1920)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

// The apparent places of date of the whole asteroid catalogue.
void BM_CalcAsteroidList(benchmark::State& state) {
    using namespace qor;
    StarCatalogue stars;
    DeepCatalogue deep;
    AstroDat s = bench::SkyChartState(stars, deep);
    AsteroidCatalogue asteroids;
    LoadAsteroidCatalogue(s, asteroids);
    GeneralOptions gen;
    for (auto _ : state) CalcCatalogueAsteroids(s, gen, asteroids);
    state.counters["asteroids"] = asteroids.AstCount;
}
BENCHMARK(BM_CalcAsteroidList)->Unit(benchmark::kMillisecond);

// The planet-star conjunction list of a chart: the Sun to Pluto and Chiron against every named
// star and deep-sky object.
void BM_ListStarConjunctions(benchmark::State& state) {
    using namespace qor;
    StarCatalogue stars;
    DeepCatalogue deep;
    AstroDat s = bench::SkyChartState(stars, deep);
    std::size_t lines = 0;
    for (auto _ : state) {
        const std::vector<std::string> list = ListStarConjunctions(s, stars, deep);
        lines = list.size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ListStarConjunctions)->Unit(benchmark::kMillisecond);

// The whole star catalogue sorted by name, every per-star table moving with its record: from
// the order by BS number (the file's) each time, as the start-up does once.
void BM_SortStarsAll(benchmark::State& state) {
    using namespace qor;
    StarCatalogue stars;
    DeepCatalogue deep;
    AstroDat s = bench::SkyChartState(stars, deep);
    ComputeStarHorizon(s, stars);
    for (auto _ : state) {
        state.PauseTiming();
        SortStarsAll(s, stars, 1);
        state.ResumeTiming();
        SortStarsAll(s, stars, 0);
        benchmark::DoNotOptimize(stars.YaleStars.data());
    }
    state.counters["stars"] = stars.StarCount;
}
BENCHMARK(BM_SortStarsAll)->Unit(benchmark::kMillisecond);

} // namespace
