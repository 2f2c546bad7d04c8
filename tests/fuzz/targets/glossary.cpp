// The glossary spr.txt, read as its window reads it and the section of every letter taken
// (and of a letter that has no tab).
#include "FuzzTarget.h"

#include "core/Files.h"
#include "interp/Dict.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("spr.txt", bytes);
    std::vector<std::string> file;
    if (!ReadTextLines(Folder() / "spr.txt", file).ok()) return;
    for (const std::string& letter : interp::DictLetters()) interp::DictSection(file, letter[0]);
    interp::DictSection(file, ' ');
    interp::DictSection(file, '\0');
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/spr.txt")};
}

} // namespace
QOR_FUZZ_TARGET(glossary, Run, Seeds, "text.dict")
} // namespace qor::fuzz
