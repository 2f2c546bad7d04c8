#include "core/ChartEngine.h"

#include "core/Chart.h"

namespace qor {

CurrentChart::CurrentChart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen)
    : s_(s), opt_(opt), gen_(gen), time_(TimeOptionsFor(opt, gen)) {}

void CurrentChart::CalcAstroTime() {
    qor::CalcAstroTime(s_, time_);
}

void CurrentChart::CalcChart(int n) {
    qor::CalcChart(s_, opt_, gen_, n);
}

void CurrentChart::CalcBodies() {
    qor::CalcChartBodies(s_, opt_, gen_);
}

void CurrentChart::CalcBodyPlaces() {
    qor::CalcChartPlaces(s_, opt_, gen_);
}

} // namespace qor
