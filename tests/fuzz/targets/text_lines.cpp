// Text-line reading: a text file of the program folder into lines.
#include "FuzzTarget.h"

#include "core/Files.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("lines.txt", bytes);
    std::vector<std::string> lines;
    ReadTextLines(Folder() / "lines.txt", lines, 1 << 20);
    SplitTextLines(JoinTextLines(lines));
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/rtext.txt"), SourceFile("data/correc.ctm"),
            SourceFile("tests/fixtures/aspects/OldLayout.asp"), std::string("a\rb\0c\r\n", 8)};
}

} // namespace
QOR_FUZZ_TARGET(text_lines, Run, Seeds, "text.dict")
} // namespace qor::fuzz
