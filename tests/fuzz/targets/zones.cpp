// The zone history tables variat.ctm and correc.ctm (two parts) and the look-ups made of them.
#include "FuzzTarget.h"

#include "geo/Zones.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 2);
    Put("variat.ctm", parts[0]);
    Put("correc.ctm", parts[1]);
    const ZoneHistory h = ParseZoneHistory(Lines(parts[0]));
    for (const auto& line : h.zoneLines)
        for (int k = 1; k <= 21; ++k) RegionLineZone(line, k);
    AstroDat s;
    Reset(s);
    for (const char* region : {"1", "07", "15", "33", "99", "x"})
        for (int year : {1900, 1931, 1981, 1991, 2011, 2030}) {
            ZoneMoment m;
            m.year = year;
            m.month = 3 + year % 9;
            m.day = 27;
            m.hour = 2;
            RegionZone(s, m, region);
        }
}

std::vector<std::string> Seeds() {
    return {JoinParts({SourceFile("data/variat.ctm"), SourceFile("data/correc.ctm")})};
}

} // namespace
QOR_FUZZ_TARGET(zones, Run, Seeds, "text.dict")
} // namespace qor::fuzz
