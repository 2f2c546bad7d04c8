// chiron.dat, Chiron's correction table.
#include "FuzzTarget.h"

#include "core/ChironTable.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("chiron.dat", bytes);
    AstroDat s;
    Reset(s);
    ChironTable table;
    if (ReadChironTable(s, table)) ChironCorrection(table, 1975, 6);
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/chiron.dat")};
}

} // namespace
QOR_FUZZ_TARGET(chiron, Run, Seeds, "")
} // namespace qor::fuzz
