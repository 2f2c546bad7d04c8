// Arabic-parts pages: the page read, its lines split, made active and every formula evaluated.
#include "FuzzTarget.h"

#include "core/Parses.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("Parses\\fuzz.prs", bytes);
    AstroDat s;
    Reset(s);
    std::vector<std::string> lines;
    if (!ReadParsPage(s, "fuzz", lines).ok()) return;
    PointArray lon{};
    for (std::size_t i = 0; i < lon.size(); ++i) lon[i] = 0.15 * static_cast<double>(i);
    const ParsInputs in;
    for (const auto& line : lines) {
        const ParsLine p = ParsSplitLine(line);
        ParsJoinLine(p);
        ParsEvalFormula(s, p.formula, lon, in);
    }
    ParsSetActive(s, "fuzz", lines, 0);
    ParsComputeActive(s, lon, in);
}

std::vector<std::string> Seeds() {
    return SourceFiles("data/Parses", ".prs");
}

} // namespace
QOR_FUZZ_TARGET(parts_page, Run, Seeds, "text.dict")
} // namespace qor::fuzz
