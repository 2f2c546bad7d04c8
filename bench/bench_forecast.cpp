// Speed of the forecast tables: the ephemeris cache files' records of a year (366 days) and of
// a century (1212 months), computed as the ephemeris window computes them, without the disk
// (the save is one atomic write of 49 or 162 kB); the year tables of 2024 at 55.75°N with the
// chart's own options (parallax on), without the disk.
#include "LoadedState.h"
#include "forecast/EphemerisFiles.h"
#include "forecast/YearTables.h"

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

// The state and the chart computation of the year tables: Moscow, zone +03:00.
struct TableSetup {
    AstroDat s = LoadedState();
    ChartOptions opt;
    GeneralOptions gen;
    CurrentChart chart{s, opt, gen};
    YearTableInput in;
    TableSetup() {
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        s.ChartZone = 180;
        in.year = 2024;
    }
};

// Makes a table (`make` gives it) once per iteration.
template <class Make> void RunTables(benchmark::State& state, Make make) {
    for (auto _ : state) {
        const std::unique_ptr<YearTable> table = make();
        table->Run();
        benchmark::DoNotOptimize(table->Lines().data());
    }
}

void BM_MoonDayLog(benchmark::State& state) {
    TableSetup t;
    AstroDat e = t.s;
    const auto fixed = EphemerisChart(e);
    const std::string bytes = ComputeEphemeris(e, *fixed, EphemerisKind::Annual, 2024);
    std::vector<EphemerisRecord> annual;
    LeReader in(bytes);
    while (in.remaining() > 0) annual.push_back(ReadEphemerisRecord(in));
    RunTables(state, [&] { return MakeMoonDayLog(t.s, t.chart, t.in, annual); });
}
BENCHMARK(BM_MoonDayLog)->Unit(benchmark::kMillisecond);

void BM_SunTable(benchmark::State& state) {
    TableSetup t;
    RunTables(state, [&] { return MakeSunRiseSetTable(t.s, t.chart, t.in); });
}
BENCHMARK(BM_SunTable)->Unit(benchmark::kMillisecond);

void BM_MoonApsides(benchmark::State& state) {
    TableSetup t;
    RunTables(state, [&] { return MakeMoonApsidesTable(t.s, t.chart, t.in); });
}
BENCHMARK(BM_MoonApsides)->Unit(benchmark::kMillisecond);

void BM_IngressLog(benchmark::State& state) {
    TableSetup t; // Mercury
    RunTables(state, [&] { return MakePlanetIngressLog(t.s, t.chart, t.in, 3, 1, false); });
}
BENCHMARK(BM_IngressLog)->Unit(benchmark::kMillisecond);

} // namespace
