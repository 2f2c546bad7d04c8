// A chart base page of 32,000 records: read from its file into the base window's grid, and the
// whole page written again atomically (beside the file, flushed, renamed), as every change of a
// record does.
#include "chart/Base.h"
#include "chart/BasePages.h"
#include "core/Text.h"
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
constexpr int kRecords = 32000;

void EnsureBaseApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A page of realistic records, each line different.
std::vector<qor::chart::BaseRow> BenchRows() {
    std::vector<qor::chart::BaseRow> rows;
    rows.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        qor::chart::BaseRow r;
        r[1] = qor::Cp("Запись номер ") + std::to_string(i);
        r[2] = std::to_string(10 + i % 18) + ".0" + std::to_string(1 + i % 9) + "." +
               std::to_string(1900 + i % 120);
        r[3] = "12:" + std::to_string(10 + i % 50) + ":00";
        r[4] = "+03:00";
        r[5] = qor::Cp("Москва, Россия");
        r[6] = "55\xB0" "45'N";
        r[7] = "037\xB0" "37'E";
        r[8] = i % 2 ? "M" : qor::Cp("Ж");
        r[9] = qor::Cp("комментарий|вторая строка");
        rows.push_back(std::move(r));
    }
    return rows;
}

template <class Body> void WithBaseWindow(benchmark::State& state, Body body) {
    EnsureBaseApplication();
    using namespace qor;
    const fs::path home =
        fs::temp_directory_path() / ("qor-bench-base-" + std::to_string(std::random_device{}()));
    fs::create_directories(home);
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    for (const char* f : {"rtext.txt", "etext.txt"}) fs::copy_file(data / f, home / f);
    ui::AnsweringDialogs dialogs;
    ui::Screen().SetDialogs(&dialogs);
    {
        shell::Program p(home);
        const std::string page = Cp("Клиенты");
        if (!chart::WriteBasePage(p.s, page, BenchRows()).ok()) {
            state.SkipWithError("the page could not be written");
        } else {
            auto* w = new chart::TBase(p);
            w->PageName = page;
            body(*w);
            delete w;
        }
    }
    ui::Screen().SetDialogs(nullptr);
    std::error_code ec;
    fs::remove_all(home, ec);
}

void BM_LoadBasePage(benchmark::State& state) {
    WithBaseWindow(state, [&](qor::chart::TBase& w) {
        for (auto _ : state) {
            w.LoadBasePage();
            benchmark::DoNotOptimize(w.Rows().data());
        }
        if (w.Rows().size() != kRecords) state.SkipWithError("not every record was read");
    });
}
BENCHMARK(BM_LoadBasePage)->Unit(benchmark::kMillisecond);

void BM_SaveBasePage(benchmark::State& state) {
    WithBaseWindow(state, [&](qor::chart::TBase& w) {
        w.LoadBasePage();
        for (auto _ : state)
            if (!w.SaveBasePage()) state.SkipWithError("the page was not saved");
    });
}
BENCHMARK(BM_SaveBasePage)->Unit(benchmark::kMillisecond);

// Sorting the page's 32,000 records in memory; argument 1: by name, 2: by date.
void BM_SortBasePage(benchmark::State& state) {
    const std::vector<qor::chart::BaseRow> page = BenchRows();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<qor::chart::BaseRow> rows = page;
        state.ResumeTiming();
        qor::chart::SortRecordRows(rows, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_SortBasePage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
