// The planet series: PLANETS.NDX and PLANETS.DAT (two parts), then Pluto's table.
#include "FuzzTarget.h"

#include "core/Planets.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 2);
    Put("PLANETS.NDX", parts[0]);
    Put("PLANETS.DAT", parts[1]);
    AstroDat s;
    Reset(s);
    LoadPlanetSeries(s);
}

std::vector<std::string> Seeds() {
    const std::string ndx = SourceFile("data/PLANETS.NDX"), dat = SourceFile("data/PLANETS.DAT");
    return {JoinParts({ndx, dat}), JoinParts({ndx, dat.substr(0, 4000)})};
}

} // namespace
QOR_FUZZ_TARGET(planet_series, Run, Seeds, "")
} // namespace qor::fuzz
