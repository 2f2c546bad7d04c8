// The field parsers: whole and decimal numbers, times, dates, zones, latitudes and
// longitudes, the chart moment's fields; each line of the input goes to every one of them.
#include "FuzzTarget.h"

#include "core/ChartMoment.h"
#include "core/Formats.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    for (const auto& line : Lines(bytes)) {
        const std::string_view t = line;
        ParseWholeInteger(t);
        StrToIntDef0(t);
        StrToFloatHM(t);
        ParseDecimalText(t);
        ParseTimeText(t);
        ParseDateText(t);
        ParseZoneOffset(t);
        ParseLatitude(t);
        ParseLongitude(t);
        ParseMomentDate(t);
        ParseMomentTime(t);
        ParseMomentZone(t);
    }
}

std::vector<std::string> Seeds() {
    return {"12\r\n-3,5\r\n 9:05:07\r\n 5.03.1990\r\n 5.03.0044B\r\n+3:00\r\n-05:30\r\n"
            "55\xB0" "45'N\r\n 37\xB0" "37'E\r\n12:30\r\n",
            "31.02.2024\r\n24:00:00\r\n+23:59\r\n90\xB0" "00'S\r\n180\xB0" "00'W\r\n"};
}

} // namespace
QOR_FUZZ_TARGET(fields, Run, Seeds, "text.dict")
} // namespace qor::fuzz
