// The window-state files applied to the program's real windows: the input read as main.ini
// (every window that exists takes its lines) and as the per-window list of Form.ini (each
// window takes its lines out as when it is created).
#include "FuzzProgram.h"

#include "app/Subsystems.h"
#include "shell/Program.h"
#include "ui/WindowState.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    shell::Program& p = StartedProgram();
    ui::WindowStateFiles& files = p.StateFiles;
    PutProgramFile(p, files.MainIniName(), bytes);
    files.LoadMainIni();
    ReadTextLines(p.s.DataPath(files.MainIniName()), files.FormIniList);
    for (ui::TForm* f : std::vector<ui::TForm*>(ui::Screen().Forms())) files.ApplyFormSettings(*f);
    files.FormIniList.clear();
    SettleProgram(p);
}

// The state of every window as the program writes it, and the default copies.
std::vector<std::string> Seeds() {
    shell::Program& p = StartedProgram();
    std::string all;
    for (const std::string& line : p.StateFiles.MainIniLines()) all += line + "\r\n";
    std::vector<std::string> seeds = {all};
    for (const char* name : {"data/main.dfl", "data/form.dfl", "data/main-e.dfl", "data/form-e.dfl"})
        if (std::string bytes = SourceFile(name); !bytes.empty()) seeds.push_back(bytes);
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(window_state, Run, Seeds, "text.dict")
} // namespace qor::fuzz
