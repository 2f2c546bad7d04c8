// The program's start-up in a complete program folder: from the start of the process to the
// end of the start-up (the start log's last line "Ready"), and the start-up alone inside a
// running process (main window, file check, the 25 steps, the first chart). Both include the
// splash window's 100 ms pause.
#include "app/Subsystems.h"
#include "core/Files.h"
#include "core/ProgramFolder.h"
#include "shell/MainForm.h"
#include "shell/Program.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "qor_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// A complete program folder, seeded once and kept for the run (with the state files of a
// previous run, as an everyday start finds them).
const fs::path& ProgramFolder() {
    static const fs::path home = [] {
        fs::path h =
            fs::temp_directory_path() / ("qor-bench-" + std::to_string(std::random_device{}()));
        qor::SeedProgramFolder(fs::path(QOR_SOURCE_DIR) / "data", h);
        return h;
    }();
    static const struct Remove {
        ~Remove() {
            std::error_code ec;
            fs::remove_all(home, ec);
        }
    } remove;
    return home;
}

void BM_StartUpInProcess(benchmark::State& state) {
    EnsureApplication();
    qor::ui::AnsweringDialogs dialogs;
    qor::ui::Screen().SetDialogs(&dialogs);
    for (auto _ : state) {
        auto program = std::make_unique<qor::shell::Program>(ProgramFolder());
        qor::app::RegisterSubsystems(*program);
        qor::shell::EntryOptions o;
        o.runLoop = false;
        o.russianLocale = 1;
        if (qor::shell::ProgramEntry(*program, o) != 0) state.SkipWithError("start failed");
        // The shutdown is no part of the start: it writes the state files the next start
        // reads, and the windows go with the program.
        state.PauseTiming();
        program->Form1->Close();
        program.reset();
        state.ResumeTiming();
    }
    qor::ui::Screen().SetDialogs(nullptr);
}
BENCHMARK(BM_StartUpInProcess)->Unit(benchmark::kMillisecond)->Iterations(5);

// The executable started as the user starts it; the time until its start log says "Ready".
void BM_ProcessStartToReady(benchmark::State& state) {
    EnsureApplication();
    const fs::path log = ProgramFolder() / "qorstart.log";
    for (auto _ : state) {
        fs::remove(log);
        QProcess qor;
        QElapsedTimer clock;
        clock.start();
        qor.start(QOR_EXECUTABLE, {"--home", QString::fromStdString(ProgramFolder().string())});
        bool ready = false;
        while (!ready && clock.elapsed() < 20000 && qor.state() != QProcess::NotRunning) {
            std::vector<std::string> lines;
            ready =
                qor::ReadTextLines(log, lines).ok() && !lines.empty() && lines.back() == "Ready";
            if (!ready) QThread::usleep(500);
        }
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        qor.kill();
        qor.waitForFinished();
        if (!ready) state.SkipWithError("no Ready in the start log");
    }
}
BENCHMARK(BM_ProcessStartToReady)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
