// The Arabic-parts window opening a page of many lines: the page read from its file, every
// formula evaluated and the grid filled (1,000, 4,000 and 16,000 lines). The time grows with
// the number of lines, not with its square.
#include "BenchApplication.h"
#include "core/AstroMath.h"
#include "core/Files.h"
#include "shell/ParsWindow.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

void BM_ParsWindowOpensAPage(benchmark::State& state) {
    qor::bench::EnsureOffscreenApplication();
    using namespace qor;
    const int lines = static_cast<int>(state.range(0));
    const fs::path home =
        fs::temp_directory_path() / ("qor-bench-pars-" + std::to_string(std::random_device{}()));
    fs::create_directories(home / "Parses");
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    for (const char* f : {"rtext.txt", "etext.txt"}) fs::copy_file(data / f, home / f);
    std::vector<std::string> page;
    for (int i = 0; i < lines; ++i)
        page.push_back("F;Part " + std::to_string(i) + ";H1+[Lun-Sun]+" + std::to_string(i % 360));
    WriteTextFileAtomic(home / "Parses" / "Big.prs", page);

    AstroDat s;
    s.ProgramFolder = home;
    for (int i = 1; i <= 40; ++i) s.PlanetLon[i] = 7.0 * i * kDegToRad;
    ui::AnsweringDialogs dialogs;
    ui::Screen().SetDialogs(&dialogs);
    shell::ShellHooks hooks;
    {
        shell::TPars w(s, hooks);
        w.ParsPage = "Big";
        for (auto _ : state) {
            w.ParsLoadPage();
            benchmark::DoNotOptimize(w.DrawGrid->RowCount());
        }
        if (w.DrawGrid->RowCount() != lines + 1) state.SkipWithError("the grid lacks rows");
    }
    ui::Screen().SetDialogs(nullptr);
    std::error_code ec;
    fs::remove_all(home, ec);
    state.SetComplexityN(lines);
}
BENCHMARK(BM_ParsWindowOpensAPage)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
