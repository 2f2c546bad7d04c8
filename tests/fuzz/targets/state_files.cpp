// The window-state files (main.ini, Form.ini and their .dfl copies) and the chart's settings
// files (.nch), which share the layout: the entries read, the chart's colour and dignity
// blocks decoded from them and every value read as a font text.
#include "FuzzTarget.h"

#include "chart/KartOptions.h"
#include "ui/FontText.h"
#include "ui/WindowState.h"

namespace qor::fuzz {
namespace {

using namespace chart;

void Run(std::string_view bytes) {
    Put("main.ini", bytes);
    std::vector<std::string> lines;
    if (!ReadTextLines(Folder() / "main.ini", lines).ok()) return;
    for (const ui::StateEntry& e : ui::ParseStateLines(lines)) {
        if (e.block) {
            DecodeColorMemo(e.lines);
            DecodeStatusMemo(e.lines);
        }
        ui::FontSpec f;
        ui::DecodeFontText(e.value, f);
    }
}

std::vector<std::string> Seeds() {
    std::string kart = "KartForm;Left;10\r\nKartForm;ColorMemo;\r\n";
    for (const auto& line : DefaultColorMemo()) kart += line + "\r\n";
    kart += "//\r\nKartForm;StatusMemo;\r\n";
    for (const auto& line : DefaultStatusMemo()) kart += line + "\r\n";
    kart += "//\r\nMainForm;Font;204;0;Courier New;10;3\r\n";
    return {kart};
}

} // namespace
QOR_FUZZ_TARGET(state_files, Run, Seeds, "text.dict")
} // namespace qor::fuzz
