// The symbol font font16.fnt.
#include "FuzzTarget.h"

#include "core/SymbolFont.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("font16.fnt", bytes);
    AstroDat s;
    Reset(s);
    Font16Glyphs font{};
    LoadSymbolFont(s, font);
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/font16.fnt")};
}

} // namespace
QOR_FUZZ_TARGET(symbol_font, Run, Seeds, "")
} // namespace qor::fuzz
