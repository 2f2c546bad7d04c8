// What the sky benchmarks share: an offscreen application for the painters, and the chart of
// 2024-03-20 12:00 UT at Moscow with the star and deep-sky catalogues at their places of date.
#pragma once

#include "BenchApplication.h"
#include "LoadedState.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/TimeStep.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <memory>
#include <vector>

namespace qor::bench {

// A fresh chart state (the planet series loaded) with the catalogues placed for its moment,
// noon at Moscow on the day given.
inline AstroDat SkyChartState(StarCatalogue& stars, DeepCatalogue& deep, int year = 2024,
                              int month = 3, int day = 20) {
    EnsureOffscreenApplication();
    AstroDat s = LoadedState();
    LoadYaleCatalogue(s, stars);
    LoadDeepObj(s, deep);
    s.ChartYear = year;
    s.ChartMonth = month;
    s.ChartDay = day;
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

// One moment of the sky: the chart state with the catalogues placed for it.
struct SkyMoment {
    StarCatalogue stars;
    DeepCatalogue deep;
    AstroDat s;
};

// The sky on several days a season apart from the given one, so that a benchmark that turns
// through them draws nothing the previous redraw drew. The first is the given day.
inline std::vector<std::unique_ptr<SkyMoment>> SkyMoments(int count, int year = 2024,
                                                          int month = 3, int day = 20) {
    std::vector<std::unique_ptr<SkyMoment>> moments;
    for (int i = 0; i < count; ++i) {
        auto m = std::make_unique<SkyMoment>();
        const int months = month - 1 + 3 * i;
        m->s = SkyChartState(m->stars, m->deep, year + months / 12, 1 + months % 12, day);
        moments.push_back(std::move(m));
    }
    return moments;
}

} // namespace qor::bench
