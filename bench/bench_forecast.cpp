// Speed of the ephemeris cache files: the records of a year (366 days) and of a century (1212
// months), computed as the ephemeris window computes them, without the disk (the save is one
// atomic write of 49 or 162 kB).
#include "LoadedState.h"
#include "forecast/EphemerisFiles.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qor;
using namespace qor::forecast;

using bench::LoadedState;

void BM_AnnualEphemeris(benchmark::State& state) {
    AstroDat s = LoadedState();
    const auto chart = EphemerisChart(s);
    int year = 2024;
    for (auto _ : state) {
        const std::string bytes = ComputeEphemeris(s, *chart, EphemerisKind::Annual, year);
        benchmark::DoNotOptimize(bytes.data());
        year = year == 2024 ? 2028 : 2024; // 366 records each
    }
    state.SetItemsProcessed(state.iterations() * 366);
}
BENCHMARK(BM_AnnualEphemeris)->Unit(benchmark::kMillisecond);

void BM_CenturyEphemeris(benchmark::State& state) {
    AstroDat s = LoadedState();
    const auto chart = EphemerisChart(s);
    for (auto _ : state) {
        const std::string bytes = ComputeEphemeris(s, *chart, EphemerisKind::Century, 2024);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * 1212);
}
BENCHMARK(BM_CenturyEphemeris)->Unit(benchmark::kMillisecond);

} // namespace
