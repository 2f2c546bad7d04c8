// Time zone and summer time of a city at a moment: from the zone history of the regions
// ("variat.ctm", "correc.ctm", dated in Moscow time) for cities with a zone region, from the
// system's time-zone database for cities with a known IANA zone, else from the longitude.
#pragma once

#include "core/AstroDat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

constexpr int kZoneHistoryFirstYear = 1925;
constexpr int kZoneColumns = 20;
constexpr int kMoscowRegion = 6;
constexpr std::size_t kZoneTableMaxBytes = 1 << 20; // far beyond any zone table

// The local moment a zone is asked for (the birth data's date and time).
struct ZoneMoment {
    int year = 2000, month = 1, day = 1, hour = 12, minute = 0;
};
// From the birth data's texts "dd.mm.yyyy" and "hh:mm[:ss]"; nothing when either is invalid.
std::optional<ZoneMoment> ZoneMomentFromTexts(std::string_view dateText, std::string_view timeText);

enum class ZoneSource { Longitude, History, Database };

struct ZoneLookup {
    bool ok = false;
    ZoneSource source = ZoneSource::Longitude;
    int zoneMinutes = 0;                  // standard zone, minutes east
    int summerMinutes = 0;                // summer time in force
    std::optional<int> moscowDiffMinutes; // local minus Moscow time
    bool beforeHistory = false;           // the tables start later than the moment (not an error)
    int dT() const { return zoneMinutes + summerMinutes; }
};

// The four edits of the time-zone window: zone, summer time, dT, difference to Moscow.
struct ZoneWindowTexts {
    std::string edit1, edit2, edit3, edit4;
};
ZoneWindowTexts ZoneEditTexts(const ZoneLookup& z);

// "+hh:mm" / "-hh:mm" of minutes east, without folding into a day (-12:00 stays -12:00).
std::string FormatDT(int minutes);

// The parsed zone-history tables.
struct ZoneHistory {
    struct Column {
        int day = 0, month = 0, year = 0, hour = 0;
    };
    std::vector<Column> columns;        // at most 20
    std::vector<std::string> zoneLines; // line 9 + n is region n: zoneLines[n]
};
// Reads the header and the zone lines of "variat.ctm" text; the columns run to the first one
// that is not a number in any of the four header lines.
ZoneHistory ParseZoneHistory(const std::vector<std::string>& lines);
// Zone hours of a zone line at column k (1-based), stepping back over "."; nothing when the
// line holds no number there.
std::optional<int> RegionLineZone(std::string_view line, int k);

// Zone and summer time of zone region `regionText` (the atlas's two characters) at a local
// moment from the two tables. A region that is not a number or that the table lacks is
// reported and gives ok = false; a table that does not read (missing, far too large, no dated
// column or fewer than seven zone lines in "variat.ctm", no dated line or a line that is
// neither dated nor a comment in "correc.ctm") is reported once per run and every look-up
// gives ok = false, never a zone without its summer time. A moment before the first column
// gives ok = false without a report (the tables give no zone).
ZoneLookup RegionZone(AstroDat& s, const ZoneMoment& m, std::string_view regionText);
// Standard zone and summer time of an IANA zone at a local moment, from the system's
// time-zone database; ok = false (reported) when the database lacks the zone.
ZoneLookup DatabaseZone(AstroDat& s, const ZoneMoment& m, std::string_view ianaZone);
// The longitude's whole-hour zone, no summer time; ok = false when the text is no longitude.
ZoneLookup LongitudeZone(std::string_view longitudeText);

// The zone of an atlas city: its zone history from 1925 on when it has a zone region, else
// the time-zone database when its IANA zone is known, else the longitude's zone.
ZoneLookup CityZone(AstroDat& s, const ZoneMoment& m, std::string_view regionText,
                    std::string_view longitudeText, std::string_view ianaZone = {});
// The dT text of a lookup ("+03:00"), empty when it failed.
std::string CityZoneText(const ZoneLookup& z);

} // namespace qor
