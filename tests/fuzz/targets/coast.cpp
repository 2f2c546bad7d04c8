// The coastlines: the chain index coast.ptr and the point deltas coast.dat (two parts), walked
// into land polygons as the map draws them.
#include "FuzzTarget.h"

#include "geo/Coast.h"
#include "geo/GeoMap.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 2);
    Put("coast.ptr", parts[0]);
    Put("coast.dat", parts[1]);
    AstroDat s;
    Reset(s);
    CoastFiles c;
    if (!OpenCoastFiles(s, c)) return;
    DecodeLandPolygons(s, c);
    CoastFiles again;
    if (OpenCoastFiles(s, again)) CollectCoastPolygons(s, again);
}

std::vector<std::string> Seeds() {
    const std::string ptr = SourceFile("data/coast.ptr"), dat = SourceFile("data/coast.dat");
    return {JoinParts({ptr, dat}), JoinParts({ptr.substr(0, ptr.size() / 20 / 16 * 16), dat})};
}

} // namespace
QOR_FUZZ_TARGET(coast, Run, Seeds, "")
} // namespace qor::fuzz
