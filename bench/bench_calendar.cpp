// Speed of the calendar forecast: a year of 366 days rated for the twelve houses of a chart
// from the records of the annual file (read once, as the window reads the file once), and the
// year graph drawn from them.
#include "LoadedState.h"
#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "forecast/Calendar.h"
#include "forecast/EphemerisFiles.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace qor;
using namespace qor::forecast;

void EnsureCalendarApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
}

constexpr int kClassical[13] = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};

void BM_CalendarYear(benchmark::State& state) {
    EnsureCalendarApplication();
    AstroDat s = bench::LoadedState();
    const auto chart = EphemerisChart(s);
    const std::string bytes = ComputeEphemeris(s, *chart, EphemerisKind::Annual, 2024);
    std::vector<EphemerisRecord> records;
    LeReader in(bytes);
    while (records.size() * kEphemerisRecordSize < bytes.size())
        records.push_back(ReadEphemerisRecord(in));
    AspDefTable table;
    std::vector<std::string> lines = BuiltInAspectLines();
    ReadAspectTable(table, lines);
    // A chart whose significators meet Jupiter and Saturn in 2024.
    PointArray natal{};
    const double bodies[8] = {0, 60, 160, 250, 5, 342, 120, 200};
    for (int k = 1; k <= 7; ++k) natal[static_cast<std::size_t>(k)] = bodies[k] * kDegToRad;
    for (int h = 1; h <= 12; ++h)
        natal[static_cast<std::size_t>(26 + h)] = ((h + 2) * 30 + 20) % 360 * kDegToRad;
    const auto ruled = [](int sign, int body) { return kClassical[sign] == body; };
    QImage graph(kGraphRight + 10, kGraphTop + 376, QImage::Format_RGB32);
    for (auto _ : state) {
        const HouseSignificators sig = HouseRulerTable(natal, ruled);
        const CalendarForecast f = BuildCalendar(2024, records, natal, sig, table);
        graph.fill(Qt::white);
        for (int n = 1; n <= static_cast<int>(f.Days.size()); ++n) DrawCalendarGraph(graph, f, n);
        benchmark::DoNotOptimize(graph.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 366);
}
BENCHMARK(BM_CalendarYear)->Unit(benchmark::kMillisecond);

} // namespace
