// The chart history CHist.ini: every line split into its two data sets and its grid cells.
#include "FuzzTarget.h"

#include "chart/HistoryFile.h"

namespace qor::fuzz {
namespace {

using namespace chart;

void Run(std::string_view bytes) {
    Put(kHistoryFileName, bytes);
    AstroDat s;
    Reset(s);
    std::vector<std::string> lines;
    if (!ReadHistory(s, lines).ok()) return;
    const std::vector<std::string> english = {"Natal", "Horary"};
    for (const auto& line : lines) {
        const HistoryFields f = SplitHistoryLine(line);
        ReadHistoryKind(f[0], english);
        HistoryFieldsToRec(f, 1);
        if (HasBackFields(f)) HistoryFieldsToRec(f, 11);
        HistoryGridCells(line);
        HistoryMaximum(line);
    }
    int row = static_cast<int>(lines.size() / 2) + 1;
    DeleteHistoryRow(lines, row);
    AppendHistoryLine(lines, "x", 3);
}

std::vector<std::string> Seeds() {
    return {"\xCD\xE0\xF2\xE0\xEB;Name|two;M;05.03.1990;09:05:07;+3:00;55\xB0" "45'N;37\xB0" "37'E;City;Country\r\n"};
}

} // namespace
QOR_FUZZ_TARGET(history, Run, Seeds, "text.dict")
} // namespace qor::fuzz
