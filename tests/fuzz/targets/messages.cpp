// The numbered message texts (rtext.txt / etext.txt).
#include "FuzzTarget.h"

#include "core/AstroDat.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("rtext.txt", bytes);
    AstroDat s;
    Reset(s);
    for (int n : {0, 1, 52, 157, 999, 1000, -1}) GetMsgText(s, n, "%arg_");
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/rtext.txt"), SourceFile("data/etext.txt")};
}

} // namespace
QOR_FUZZ_TARGET(messages, Run, Seeds, "text.dict")
} // namespace qor::fuzz
