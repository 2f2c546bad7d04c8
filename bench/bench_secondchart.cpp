// Rise and set of the Sun and the Moon, and the returns of the second chart, on the program's
// own chart computation.
#include "core/AstrClcs.h"
#include "core/RiseSet.h"
#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "core/ChartRecords.h"
#include "core/Directions.h"
#include "core/Planets.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qor;

void Setup(AstroDat& s) {
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    s.DatRec1 = {"", "", "15.05.1990 ", "08:30:00", "+04:00", Cp("55°45'N"), Cp(" 37°37'E")};
    s.DatRec2 = {"", "", " 1.03.2024 ", "12:00:00", "+03:00", Cp("59°56'N"), Cp(" 30°19'E")};
    UnpackDatRecToChart(s, s.DatRec1);
    UpdateCalendarForYear(s);
}

// The Sun's and the Moon's rise, culmination and set for the chart's day.
void BM_SunMoonRiseSet(benchmark::State& state) {
    AstroDat s;
    Setup(s);
    const ChartOptions opt;
    const GeneralOptions gen;
    CurrentChart e(s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SunRiseSet(s, e, gen));
        benchmark::DoNotOptimize(MoonRiseSet(s, e, gen));
    }
}
BENCHMARK(BM_SunMoonRiseSet)->Unit(benchmark::kMicrosecond);

// A solar (0) or lunar (1) return, the birth chart computed again afterwards.
void BM_Return(benchmark::State& state) {
    AstroDat s;
    Setup(s);
    const ChartOptions opt;
    const GeneralOptions gen;
    CurrentChart e(s, opt, gen);
    e.CalcAstroTime();
    e.CalcChart(0);
    s.DynMethod = state.range(0) == 0 ? 'S' : 'L';
    for (auto _ : state) benchmark::DoNotOptimize(DirectionsReport(s, e, {}));
}
BENCHMARK(BM_Return)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
