// Aspect pages, both layouts: the page file read as the program loads it (an old-layout page
// is written back in the ";" layout, which is read again).
#include "FuzzTarget.h"

#include "core/Aspects.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("Aspects\\fuzz.asp", bytes);
    AstroDat s;
    Reset(s);
    AspDefTable table;
    std::vector<std::string> lines = BuiltInAspectLines();
    if (LoadAspectPage(s, "fuzz", table, lines))
        for (int a = 1; a <= table.AspCount; ++a) WriteAspectTable(table, a);
    CheckAspectPage(lines);
}

std::vector<std::string> Seeds() {
    auto seeds = SourceFiles("data/Aspects", ".asp");
    for (auto& page : SourceFiles("tests/fixtures/aspects", ".asp")) seeds.push_back(page);
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(aspect_page, Run, Seeds, "text.dict")
} // namespace qor::fuzz
