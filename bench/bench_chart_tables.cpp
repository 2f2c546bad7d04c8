// The exact-aspects window's update, as every recompute runs it while the window is open (in
// real time once a second): the scale, the 21 samples, the refinement to the second, the
// caption and the graph. Argument 0: the Sun and the Moon (a step of an hour); 1: Jupiter and
// Uranus (steps of days).
#include "BenchApplication.h"
#include "chart/ExctAspForm.h"
#include "core/Aspects.h"
#include "core/Chart.h"
#include "core/Planets.h"
#include "core/TimeStep.h"
#include "shell/Program.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

void BM_ExctAspUpdate(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    const fs::path home =
        fs::temp_directory_path() / ("qor-bench-exact-" + std::to_string(std::random_device{}()));
    fs::create_directories(home);
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    for (const char* f : {"rtext.txt", "etext.txt", "PLANETS.NDX", "PLANETS.DAT"})
        fs::copy_file(data / f, home / f);
    ui::AnsweringDialogs dialogs;
    ui::Screen().SetDialogs(&dialogs);
    {
        shell::Program p(home);
        for (int i = 0; i < kPlanetSeriesBodies; ++i) LoadPlanetTerms(p.s, i);
        auto lines = BuiltInAspectLines();
        ReadAspectTable(p.AspTable, lines);
        AstroDat& s = p.s;
        s.ChartYear = 2024, s.ChartMonth = 3, s.ChartDay = 10, s.ChartHour = 0;
        s.ChartZone = 180;
        s.ChartLat = 55.75 * kDegToRad;
        s.ChartLong = 37.62 * kDegToRad;
        CalcAstroTime(s, TimeOptionsFor(p.ChartOpt, p.GeneralOpt));
        CalcChart(s, p.ChartOpt, p.GeneralOpt, 0);
        chart::TExctAsp w(p);
        w.resize(460, 280);
        if (!w.ExctAspOpen(state.range(0) == 0 ? "010102" : "060108")) {
            state.SkipWithError("the window refused the aspect");
        } else {
            for (auto _ : state) {
                w.ExctAspUpdate();
                benchmark::DoNotOptimize(w.Result.Exact);
            }
            if (!w.Result.Found) state.SkipWithError("no exact moment found");
        }
    }
    ui::Screen().SetDialogs(nullptr);
    std::error_code ec;
    fs::remove_all(home, ec);
}
BENCHMARK(BM_ExctAspUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
