// The degree-text files (bor6.qor, ijtitul1.qor ...): a degree's entry looked up in every sign,
// at the degrees that begin, hold and end a section and just outside it.
#include "FuzzTarget.h"

#include "core/DegreeTexts.h"
#include "core/Files.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("bor6.qor", bytes);
    std::string read;
    if (!ReadFileBytes(Folder() / "bor6.qor", read).ok()) return;
    for (int sign = 0; sign <= 13; ++sign)
        for (int degree : {0, 1, 2, 15, 29, 30, 31}) FindDegreeEntry(read, sign, degree);
}

std::vector<std::string> Seeds() {
    // the long files' first signs: long enough for several sections
    return {SourceFile("data/bor6.qor"), SourceFile("data/ijtitul1.qor").substr(0, 40000),
            SourceFile("data/ijtitul2.qor").substr(0, 40000)};
}

} // namespace
QOR_FUZZ_TARGET(degree_texts, Run, Seeds, "text.dict")
} // namespace qor::fuzz
