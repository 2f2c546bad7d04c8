// The program as the peak memory benchmark measures it, in a process of its own: started
// offscreen in a fresh program folder at 1920 x 1080, each main screen drawn, every window
// opened once (shown and painted, then closed; the star and asteroid tables fill their grids
// when shown); then the process's peak resident size is written to standard output as
// "peak_rss_kb N".
//   qor_peak_child SHIPPED_DATA_FOLDER
#include "app/Subsystems.h"
#include "core/ProgramFolder.h"
#include "shell/MainForm.h"
#include "shell/Program.h"
#include "shell/Tech.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The "VmHWM" line of /proc/self/status, in kilobytes; 0 when there is none.
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qor_peak_child SHIPPED_DATA_FOLDER\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const fs::path home =
        fs::temp_directory_path() / ("qor-peak-" + std::to_string(std::random_device{}()));
    if (!qor::SeedProgramFolder(argv[1], home).ok()) {
        std::fprintf(stderr, "cannot seed %s\n", home.c_str());
        return 1;
    }
    int status = 0;
    qor::ui::AnsweringDialogs dialogs;
    qor::ui::Screen().SetDialogs(&dialogs);
    {
        qor::shell::Program program(home);
        qor::app::RegisterSubsystems(program);
        qor::shell::EntryOptions o;
        o.runLoop = false;
        o.russianLocale = 1;
        if (qor::shell::ProgramEntry(program, o) != 0 || !program.Form1->Started) {
            std::fprintf(stderr, "the program did not start\n");
            status = 1;
        } else {
            program.Tech->MainClock->SetEnabled(false);
            program.Form1->resize(1920, 1080);
            Settle();
            for (const char mode : {'W', 'C', 'S', 'A', 'G', 'V', 'W'}) {
                program.Form1->SwitchScreen(mode);
                Settle();
            }
            // Each window as the user opens it: shown, painted, looked at and closed again.
            for (const std::string& name : qor::ui::Screen().FormClassNames()) {
                if (name == "Form1" || name == "Form2") continue;
                if (qor::ui::TForm* f = program.Form1->OpenToolWindow(name)) {
                    Settle();
                    if (qor::ui::TForm* still = qor::ui::Screen().FindForm(name))
                        if (still == f && f->isVisible()) f->Close();
                    Settle();
                }
            }
            std::printf("peak_rss_kb %ld\n", PeakResidentKb());
            std::fflush(stdout);
            program.Form1->SaveAndCloseAll();
        }
    }
    qor::ui::Screen().SetDialogs(nullptr);
    std::error_code ec;
    fs::remove_all(home, ec);
    return status;
}
