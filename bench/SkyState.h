// What the sky benchmarks share: an offscreen application for the painters, and the chart of
// 2024-03-20 12:00 UT at Moscow with the star and deep-sky catalogues at their places of date.
#pragma once

#include "LoadedState.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/TimeStep.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <QApplication>

#include <cstdlib>

namespace qor::bench {

inline void EnsureOffscreenApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A fresh chart state (the planet series loaded) with the catalogues placed for its moment.
inline AstroDat SkyChartState(StarCatalogue& stars, DeepCatalogue& deep) {
    EnsureOffscreenApplication();
    AstroDat s = LoadedState();
    LoadYaleCatalogue(s, stars);
    LoadDeepObj(s, deep);
    s.ChartYear = 2024;
    s.ChartMonth = 3;
    s.ChartDay = 20;
    s.ChartHour = 12;
    s.ChartLat = 55.75 * kDegToRad;
    s.ChartLong = 37.62 * kDegToRad;
    ChartOptions opt;
    GeneralOptions gen;
    CalcAstroTime(s, TimeOptionsFor(opt, gen));
    CalcChart(s, opt, gen, 0);
    ComputeStarPositions(s, stars, &deep);
    return s;
}

} // namespace qor::bench
