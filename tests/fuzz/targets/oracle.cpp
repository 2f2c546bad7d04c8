// The oracle's texts: oracle.txt (a line a hexagram) and oracle-eng.txt (a section a
// hexagram with the texts of its changing lines), read as the oracle window reads them and
// every hexagram's text taken, the English one under casts with no, all and some changing
// lines.
#include "FuzzTarget.h"

#include "core/Files.h"
#include "interp/Oracle.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("oracle.txt", bytes);
    std::vector<std::string> file;
    if (!ReadTextLines(Folder() / "oracle.txt", file).ok()) return;
    static const interp::HexagramLines casts[] = {
        {7, 8, 7, 8, 7, 8}, {6, 6, 6, 6, 6, 6}, {9, 9, 9, 9, 9, 9}, {6, 7, 9, 8, 9, 6}};
    for (int n = 0; n <= 65; ++n) {
        interp::RussianHexagramText(file, n);
        interp::EnglishHexagramText(file, n, casts[n % 4]);
    }
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/oracle.txt"), SourceFile("data/oracle-eng.txt"),
            SourceFile("tests/fixtures/interp/oracle-legge.txt")};
}

} // namespace
QOR_FUZZ_TARGET(oracle, Run, Seeds, "text.dict")
} // namespace qor::fuzz
