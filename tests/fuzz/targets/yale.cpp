// The star catalogue: yale.mdb with its name and comment texts yale.nme and yale.cmm (three
// parts), then the short catalogue made from it.
#include "FuzzTarget.h"

#include "sky/StarCatalogue.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 3);
    Put("yale.mdb", parts[0]);
    Put("yale.nme", parts[1]);
    Put("yale.cmm", parts[2]);
    AstroDat s;
    Reset(s);
    auto c = std::make_unique<StarCatalogue>();
    if (!LoadYaleCatalogue(s, *c)) return;
    c->ShortStarCatalogue = true;
    LoadShortCatalogue(s, *c);
}

std::vector<std::string> Seeds() {
    const std::string mdb = SourceFile("data/yale.mdb");
    const std::string nme = SourceFile("data/yale.nme"), cmm = SourceFile("data/yale.cmm");
    // the whole catalogue, and its first hundred records
    return {JoinParts({mdb, nme, cmm}), JoinParts({mdb.substr(0, mdb.size() / 91), nme, cmm})};
}

} // namespace
QOR_FUZZ_TARGET(yale, Run, Seeds, "text.dict")
} // namespace qor::fuzz
