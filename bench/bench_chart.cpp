// The whole chart and the house systems.
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Houses.h"
#include "core/Planets.h"
#include "core/Text.h"
#include "core/TimeStep.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace qor;

// The state of the chart benchmarks: the series loaded, the place Moscow.
void SetUpChartState(AstroDat& s) {
    s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
    for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(s, i);
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    s.ChartZone = 180;
}

// The next moment of a run: 1.37 days on, back to 1968 after 2080.
void NextChartMoment(AstroDat& s, double& jd) {
    jd += 1.37;
    if (jd > 2470000) jd = 2440000.5;
    const DateTimeRec r = CalendarFromJD(jd);
    s.ChartYear = r.Year;
    s.ChartMonth = r.Month;
    s.ChartDay = static_cast<int>(r.Day);
    s.ChartHour = r.Hour;
    s.ChartMinute = r.Minute;
    s.ChartSecond = static_cast<int>(r.Second);
}

// One full chart: the time step, every body with light time, aberration, parallax and speed,
// twelve Placidus cusps with their speeds, and the aspect matrix; the moment moves by 1.37
// days at each iteration so that nothing carries over from one chart to the next.
void BM_FullChart(benchmark::State& state) {
    AstroDat s;
    SetUpChartState(s);
    ChartOptions opt;
    opt.HouseSystem = kHousesPlacidus;
    GeneralOptions gen;
    const TimeStepOptions time = TimeOptionsFor(opt, gen);
    AspDefTable aspects;
    auto lines = BuiltInAspectLines();
    ReadAspectTable(aspects, lines);
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
    AstroDat s;
    SetUpChartState(s);
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
