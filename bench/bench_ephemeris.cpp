// Speed of the ephemerides: each planet series, the Moon, all of them with their rates, and
// the time step.
#include "core/Ephemeris.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "LoadedState.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace qor;

using bench::LoadedState;

// A moment that moves a little each iteration, so nothing is computed once and kept.
double NextT(double& t) {
    t += 1e-7;
    if (t > 0.3) t = 0.2;
    return t;
}

void BM_PlanetHelio(benchmark::State& state) {
    const AstroDat& s = LoadedState();
    const int body = static_cast<int>(state.range(0));
    double t = 0.2;
    for (auto _ : state) {
        Spherical p = PlanetHelio(s.Planets, body, NextT(t));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_PlanetHelio)->DenseRange(1, 9)->ArgName("body");

void BM_PlanetHelioRate(benchmark::State& state) {
    const AstroDat& s = LoadedState();
    const int body = static_cast<int>(state.range(0));
    double t = 0.2;
    for (auto _ : state) {
        Spherical rate;
        Spherical p = PlanetHelioRate(s.Planets, body, NextT(t), rate);
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(rate);
    }
}
BENCHMARK(BM_PlanetHelioRate)->DenseRange(1, 9)->ArgName("body");

void BM_MoonPosition(benchmark::State& state) {
    double t = 0.2;
    for (auto _ : state) {
        MoonPos m = MoonPosition(NextT(t));
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_MoonPosition);

// The series of Mercury..Neptune and the Earth of date, Pluto and the Moon, each with its
// rate, summed as a chart sums them: what one chart needs of the theories. (The series of the Earth of J2000, loaded with
// the others, is not evaluated by a chart; BM_PlanetHelioRate times each series alone.)
void BM_AllSeries(benchmark::State& state) {
    const AstroDat& s = LoadedState();
    double t = 0.2;
    for (auto _ : state) {
        const double T = NextT(t);
        Spherical rate;
        for (int i = 1; i < kPlanetSeriesBodies; ++i) {
            Spherical p = PlanetPositionVsopRate(s.Planets, i, T, rate, SeriesFit::Chart);
            benchmark::DoNotOptimize(p);
        }
        Spherical pluto = PlutoPositionRate(T, rate);
        benchmark::DoNotOptimize(pluto);
        MoonPos moonRate;
        MoonPos moon = MoonPositionRate(T, moonRate);
        benchmark::DoNotOptimize(moon);
        benchmark::DoNotOptimize(moonRate);
    }
}
BENCHMARK(BM_AllSeries)->Unit(benchmark::kMicrosecond);

void BM_CalcAstroTime(benchmark::State& state) {
    AstroDat s;
    s.ChartYear = 2024;
    s.ChartMonth = 3;
    s.ChartDay = 15;
    s.ChartHour = 14;
    s.ChartZone = 180;
    s.ChartLat = 0.97;
    s.ChartLong = 0.65;
    int second = 0;
    for (auto _ : state) {
        s.ChartSecond = second = (second + 1) % 60;
        CalcAstroTime(s, {});
        benchmark::DoNotOptimize(s.SiderealTimeSec);
    }
}
BENCHMARK(BM_CalcAstroTime);

void BM_Nutation(benchmark::State& state) {
    double t = 0.2;
    for (auto _ : state) {
        NutationAngles n = Nutation(NextT(t));
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Nutation);

} // namespace

namespace {

// The vectorised sine and cosine alone, over as many phases as the nine series hold.
void BM_SinCosPhases(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<double> B(n), C(n), S(n), K(n);
    for (int k = 0; k < n; ++k) {
        B[k] = 0.001 * k;
        C[k] = 10.0 * k;
    }
    double t = 0.2;
    for (auto _ : state) {
        SinCosPhases(B.data(), C.data(), NextT(t), n, S.data(), K.data());
        benchmark::DoNotOptimize(S.data());
        benchmark::DoNotOptimize(K.data());
    }
}
BENCHMARK(BM_SinCosPhases)->Arg(5856)->Arg(32)->Arg(8);

} // namespace
