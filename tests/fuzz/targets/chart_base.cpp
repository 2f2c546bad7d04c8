// Chart base pages and the chart records in them: each row's name, date and time, and the
// record unpacked into a chart moment.
#include "FuzzTarget.h"

#include "chart/BasePages.h"
#include "core/ChartRecords.h"

namespace qor::fuzz {
namespace {

using namespace chart;

void Run(std::string_view bytes) {
    Put("page.qbs", bytes);
    const BasePageLoad page = ReadBaseFile(Folder() / "page.qbs");
    AstroDat s;
    Reset(s);
    for (const auto& row : page.rows) {
        GetDatRecNameDateTime(row);
        RowToRecordLine(row);
        UnpackDatRecToChart(s, row);
    }
    PageFileBytes(page.rows);
}

std::vector<std::string> Seeds() {
    auto seeds = SourceFiles("tests/fixtures/base", ".qbs");
    for (auto& page : SourceFiles("data", ".qbs")) seeds.push_back(page);
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(chart_base, Run, Seeds, "text.dict")
} // namespace qor::fuzz
