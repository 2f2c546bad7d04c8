// Speed of the forecast tables: the ephemeris cache files of a year (366 daily records) and of
// a century (1212 monthly records), built and saved as the ephemeris window builds them (one
// atomic write of 49 or 162 kB into a scratch folder under the temporary folder, so the
// figure holds that folder's flush); the year tables of 2024 and 2028 at 55.75°N with the
// chart's own options (parallax on), without the disk. Every iteration takes other moments
// than the one before it, so nothing the computation keeps can carry over.
#include "LoadedState.h"
#include "forecast/EphemerisFiles.h"
#include "forecast/YearTables.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace qor;
using namespace qor::forecast;

using bench::LoadedState;

// The benchmark state with its program folder in a scratch folder of its own, removed after.
class ScratchState {
public:
    explicit ScratchState(const char* name)
        : s(LoadedState()),
          dir_(fs::temp_directory_path() /
               (std::string("qor_bench_") + name + "_" + std::to_string(getpid()))) {
        fs::create_directories(dir_);
        s.ProgramFolder = dir_;
    }
    ~ScratchState() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    ScratchState(const ScratchState&) = delete;
    ScratchState& operator=(const ScratchState&) = delete;

    void Build(benchmark::State& state, EphemerisKind kind, int year) {
        const IoResult r = kind == EphemerisKind::Annual ? BuildAnnualEphemeris(s, year)
                                                         : BuildCenturyEphemeris(s, year);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
    }

    AstroDat s;

private:
    fs::path dir_;
};

// Leap years of one century: 366 records each, a different year every iteration.
constexpr std::array<int, 24> kLeapYears = {2004, 2008, 2012, 2016, 2020, 2024, 2028, 2032,
                                            2036, 2040, 2044, 2048, 2052, 2056, 2060, 2064,
                                            2068, 2072, 2076, 2080, 2084, 2088, 2092, 2096};

void BM_AnnualEphemeris(benchmark::State& state) {
    ScratchState scratch("annual");
    std::size_t k = 0;
    for (auto _ : state) {
        scratch.Build(state, EphemerisKind::Annual, kLeapYears[k]);
        k = (k + 1) % kLeapYears.size();
    }
    state.SetItemsProcessed(state.iterations() * 366);
}
BENCHMARK(BM_AnnualEphemeris)->Unit(benchmark::kMillisecond);

// The centuries 1700..1800 .. 2200..2300 in turn: Pluto's table covers them all.
void BM_CenturyEphemeris(benchmark::State& state) {
    ScratchState scratch("century");
    int century = 18;
    for (auto _ : state) {
        scratch.Build(state, EphemerisKind::Century, CenturyFirstYear(century));
        century = century == 23 ? 18 : century + 1;
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

// Makes a table (`make` gives it the year) once per iteration, of 2024 and 2028 in turn.
template <class Make> void RunTables(benchmark::State& state, TableSetup& t, Make make) {
    for (auto _ : state) {
        const std::unique_ptr<YearTable> table = make();
        table->Run();
        benchmark::DoNotOptimize(table->Lines().data());
        t.in.year = t.in.year == 2024 ? 2028 : 2024;
    }
}

std::vector<EphemerisRecord> AnnualRecords(const AstroDat& s, int year) {
    AstroDat e = s;
    const auto fixed = EphemerisChart(e);
    const std::string bytes = ComputeEphemeris(e, *fixed, EphemerisKind::Annual, year);
    std::vector<EphemerisRecord> annual;
    LeReader in(bytes);
    while (in.remaining() > 0) annual.push_back(ReadEphemerisRecord(in));
    return annual;
}

// The annual files exist (the window has them built first); the log reads them.
void BM_MoonDayLog(benchmark::State& state) {
    TableSetup t;
    const std::vector<EphemerisRecord> y2024 = AnnualRecords(t.s, 2024);
    const std::vector<EphemerisRecord> y2028 = AnnualRecords(t.s, 2028);
    RunTables(state, t, [&] {
        return MakeMoonDayLog(t.s, t.chart, t.in, t.in.year == 2024 ? y2024 : y2028);
    });
}
BENCHMARK(BM_MoonDayLog)->Unit(benchmark::kMillisecond);

void BM_SunTable(benchmark::State& state) {
    TableSetup t;
    RunTables(state, t, [&] { return MakeSunRiseSetTable(t.s, t.chart, t.in); });
}
BENCHMARK(BM_SunTable)->Unit(benchmark::kMillisecond);

void BM_MoonApsides(benchmark::State& state) {
    TableSetup t;
    RunTables(state, t, [&] { return MakeMoonApsidesTable(t.s, t.chart, t.in); });
}
BENCHMARK(BM_MoonApsides)->Unit(benchmark::kMillisecond);

void BM_IngressLog(benchmark::State& state) {
    TableSetup t; // Mercury
    RunTables(state, t, [&] { return MakePlanetIngressLog(t.s, t.chart, t.in, 3, 1, false); });
}
BENCHMARK(BM_IngressLog)->Unit(benchmark::kMillisecond);

} // namespace
