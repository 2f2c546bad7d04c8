// The searches under the texts of the moment: the day of the Moon (the new Moon, two moonrise
// searches) and the planetary hours (two sunrise or sunset searches).
#include "LoadedState.h"

#include "core/AstroMath.h"
#include "core/MoonSunDays.h"
#include "core/Stepping.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qor;

// The chart at Moscow, the moment moved by 1.37 days at each iteration.
template <class Search> void RunAtMoscow(benchmark::State& state, Search search) {
    AstroDat s = bench::LoadedState();
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    s.ChartZone = 180;
    s.ChartYear = 2024;
    s.ChartMonth = 1;
    s.ChartDay = 1;
    s.ChartHour = 12;
    UpdateCalendarForYear(s);
    ChartOptions opt;
    GeneralOptions gen;
    for (auto _ : state) {
        IncDay(s, 1);
        IncHour(s, 9);
        benchmark::DoNotOptimize(search(s, opt, gen));
    }
}

void BM_MoonDayCount(benchmark::State& state) {
    RunAtMoscow(state, [](AstroDat& s, const ChartOptions& o, const GeneralOptions& g) {
        return MoonDayCount(s, o, g).day;
    });
}
BENCHMARK(BM_MoonDayCount)->Unit(benchmark::kMillisecond);

void BM_PlanetaryHours(benchmark::State& state) {
    RunAtMoscow(state, [](AstroDat& s, const ChartOptions& o, const GeneralOptions& g) {
        return FindPlanetaryHours(s, o, g).current;
    });
}
BENCHMARK(BM_PlanetaryHours)->Unit(benchmark::kMillisecond);

} // namespace
