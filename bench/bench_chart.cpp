// The whole chart and the house systems.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/ChartMoment.h"
#include "core/Houses.h"
#include "core/Parses.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace qor;

// A chart state with the planets' series loaded, at Moscow, in its zone.
AstroDat MoscowChartState() {
    AstroDat s;
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    s.ChartZone = 180;
    return s;
}

// The next moment of a run: 1.37 days on, back to 1968 after 2080, so that nothing carries over
// from one chart to the next.
void NextChartMoment(AstroDat& s, double& jd) {
    if (jd > 2470000) jd = 2440000.5;
    jd += 1.37;
    SetChartMoment(s, MomentAtJD(MomentOf(s), jd));
}

ChartOptions PlacidusChart() {
    ChartOptions opt;
    opt.HouseSystem = kHousesPlacidus;
    return opt;
}

AspDefTable BuiltInAspects() {
    AspDefTable aspects;
    auto lines = BuiltInAspectLines();
    ReadAspectTable(aspects, lines);
    return aspects;
}

// One full chart: the time step, every body with light time, aberration, parallax and speed,
// twelve Placidus cusps with their speeds, and the aspect matrix; the moment moves by 1.37
// days at each iteration so that nothing carries over from one chart to the next.
void BM_FullChart(benchmark::State& state) {
    AstroDat s = MoscowChartState();
    const ChartOptions opt = PlacidusChart();
    GeneralOptions gen;
    const TimeStepOptions time = TimeOptionsFor(opt, gen);
    const AspDefTable aspects = BuiltInAspects();
    AspectOptions aspOpt;
    aspOpt.MinorCheck = true;
    AspectMatrix matrix;
    double jd = 2440000.5;
    for (auto _ : state) {
        NextChartMoment(s, jd);
        CalcAstroTime(s, time);
        CalcChart(s, opt, gen, 0);
        CalcAspects(aspects, aspOpt, {&s.PlanetLon, &s.PlanetSpeed}, matrix);
        benchmark::DoNotOptimize(matrix);
    }
}
BENCHMARK(BM_FullChart);

// The bodies' share of a full chart: the time step and every body with light time,
// aberration, parallax, speed, equatorial and horizontal places, without houses or aspects;
// the same moments as BM_FullChart.
void BM_ChartBodies(benchmark::State& state) {
    AstroDat s = MoscowChartState();
    ChartOptions opt;
    GeneralOptions gen;
    const TimeStepOptions time = TimeOptionsFor(opt, gen);
    double jd = 2440000.5;
    for (auto _ : state) {
        NextChartMoment(s, jd);
        CalcAstroTime(s, time);
        CalcChartBodies(s, opt, gen);
        benchmark::DoNotOptimize(s.Bodies);
    }
}
BENCHMARK(BM_ChartBodies);

// The chart as the program computes it with the Arabic parts of the shipped English page
// (nine parts, each with its speed), without the aspect matrix; fresh moments as above.
void BM_ChartWithParts(benchmark::State& state) {
    AstroDat s = MoscowChartState();
    std::vector<std::string> lines;
    if (!ReadParsPage(s, "Parses-e", lines).ok()) {
        state.SkipWithError("the parts page was not read");
        return;
    }
    ParsSetActive(s, "Parses-e", lines, 0);
    ChartOptions opt = PlacidusChart();
    opt.ComputeParts = &ParsComputeChart;
    GeneralOptions gen;
    const TimeStepOptions time = TimeOptionsFor(opt, gen);
    double jd = 2440000.5;
    for (auto _ : state) {
        NextChartMoment(s, jd);
        CalcAstroTime(s, time);
        CalcChart(s, opt, gen, 0);
        benchmark::DoNotOptimize(s.PlanetSpeed);
    }
    state.counters["parts"] = s.ParsCount;
}
BENCHMARK(BM_ChartWithParts);

// The aspect matrix alone, on the points of real charts: 256 charts a few days apart are
// computed once, and each iteration takes the next one, so that no matrix repeats the one
// before. Argument 0: one chart, major and minor aspects (the 26 points of a natal chart);
// 1: two charts against each other, every ordered pair.
void BM_AspectMatrix(benchmark::State& state) {
    struct Places {
        PointArray lon{}, speed{};
    };
    std::vector<Places> charts;
    {
        AstroDat s = MoscowChartState();
        const ChartOptions opt = PlacidusChart();
        GeneralOptions gen;
        for (int k = 0; k < 256; ++k) {
            SetChartMoment(s, MomentAtJD(MomentOf(s), 2444000.5 + k * 3.71));
            CalcAstroTime(s, TimeOptionsFor(opt, gen));
            CalcChart(s, opt, gen, 0);
            charts.push_back({s.PlanetLon, s.PlanetSpeed});
        }
    }
    const AspDefTable aspects = BuiltInAspects();
    AspectOptions aspOpt;
    aspOpt.MinorCheck = true;
    AspectMatrix matrix;
    std::size_t k = 0;
    for (auto _ : state) {
        const Places& a = charts[k % charts.size()];
        const Places& b = charts[(k + 97) % charts.size()];
        AspectCharts ch{&a.lon, &a.speed};
        if (state.range(0) == 1) {
            ch.lonBck = &b.lon;
            ch.speedBck = &b.speed;
            ch.doubleChart = true;
        }
        CalcAspects(aspects, aspOpt, ch, matrix);
        benchmark::DoNotOptimize(matrix);
        ++k;
    }
}
BENCHMARK(BM_AspectMatrix)->Arg(0)->Arg(1);

// The twelve cusps of one system (argument 1..18) at a moving meridian, latitude 51.5°.
void BM_CalcHouses(benchmark::State& state) {
    const int system = static_cast<int>(state.range(0));
    HouseFrame f;
    f.lat = 51.5 * kDegToRad;
    f.sun = 1.0;
    f.moon = 2.0;
    f.northNode = 3.0;
    const SunArcs arcs{10.25, 10.0, 11.0, 10.6};
    double ramc = 0;
    for (auto _ : state) {
        ramc += 0.37;
        f.ramc = NormAngle(ramc);
        benchmark::DoNotOptimize(ComputeHouseCusps(system, f, &arcs));
    }
    state.SetLabel(Cp1251ToUtf8(HouseSystemName(system, true)));
}
BENCHMARK(BM_CalcHouses)->DenseRange(1, kHouseSystemCount);

} // namespace
