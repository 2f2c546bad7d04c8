// The body table planets.mdb.
#include "FuzzTarget.h"

#include "sky/CosmosBodies.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("planets.mdb", bytes);
    AstroDat s;
    Reset(s);
    auto b = std::make_unique<CosmosBodies>();
    LoadPlanetsMdb(s, *b);
}

std::vector<std::string> Seeds() {
    return {SourceFile("data/planets.mdb")};
}

} // namespace
QOR_FUZZ_TARGET(planets_mdb, Run, Seeds, "")
} // namespace qor::fuzz
