// The star and deep-sky catalogues brought to the chart's date, as every recompute with the
// star windows open runs it; the moment moves by 3.3 days at each iteration.
#include "core/AstroMath.h"
#include "core/TimeStep.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qor;

void BM_StarPlaces(benchmark::State& state) {
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    StarCatalogue stars;
    DeepCatalogue deep;
    if (!LoadYaleCatalogue(s, stars) || !LoadDeepObj(s, deep)) {
        state.SkipWithError("the catalogues were not read");
        return;
    }
    s.UseLightTime = true;
    double jd = 2440000.5;
    for (auto _ : state) {
        jd += 3.3;
        s.ChartJD = jd;
        CalcTimeScales(s);
        ComputeStarPositions(s, stars, &deep);
        benchmark::DoNotOptimize(stars.StarLon.data());
    }
    state.counters["stars"] = stars.StarCount;
}
BENCHMARK(BM_StarPlaces)->Unit(benchmark::kMicrosecond);

} // namespace
