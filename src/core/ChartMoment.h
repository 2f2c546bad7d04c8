// A chart's moment and place as one value: the civil date and time of the chart's zone, the
// zone, latitude and longitude. One parser reads it from the five texts of a record or of the
// birth-data window's fields and refuses, with the same words everywhere, what is not valid.
//
// The texts: date "dd.mm.yyyy" (blanks before digits allowed, "B" after the year for a year
// before the era; a shown year 0000 is the year 1), time "hh:mm:ss", zone "+hh:mm" (−12:00 ..
// +14:00), latitude "dd°mm'N", longitude "ddd°mm'E". The date is checked in the calendar of
// its own day (CalendarDateValid): no 31.02, no 29.02 of a common year, none of the days the
// Gregorian reform dropped (5..14 October 1582).
#pragma once

#include "core/AstroDat.h"

#include <optional>
#include <string>
#include <string_view>

namespace qor {

struct ChartMoment {
    int Year = 2000; // astronomical numbering: 0 = 1 BC
    int Month = 1;
    int Day = 1;
    int Hour = 12, Minute = 0, Second = 0; // civil time of the zone
    int ZoneMinutes = 0;                   // east of Greenwich: civil time = UT + zone
    double Lat = 0;                        // radians, north positive
    double Long = 0;                       // radians, east positive
    bool operator==(const ChartMoment&) const = default;
};

// Zone limits in minutes east (real zones run from −12:00 to +14:00).
constexpr int kZoneMinMinutes = -12 * 60;
constexpr int kZoneMaxMinutes = 14 * 60;

// The five texts of a moment.
struct MomentTexts {
    std::string Date, Time, Zone, Lat, Long;
};
MomentTexts MomentTextsOf(const DatRec& rec);

enum class MomentField { None, Date, Time, Zone, Latitude, Longitude };

// A parse: the moment, or the first field refused and the words that say so ("Data refused:
// a wrong date: "31.02.2024"", in the language of the state).
struct MomentParse {
    std::optional<ChartMoment> Moment;
    MomentField Refused = MomentField::None;
    std::string Problem;
    explicit operator bool() const { return Moment.has_value(); }
};
MomentParse ParseChartMoment(const AstroDat& s, const MomentTexts& t);
inline MomentParse ParseChartMoment(const AstroDat& s, const DatRec& rec) {
    return ParseChartMoment(s, MomentTextsOf(rec));
}

// The fields one by one, nothing when not valid.
struct MomentDate {
    int Year = 0, Month = 0, Day = 0;
};
std::optional<MomentDate> ParseMomentDate(std::string_view text);
struct MomentTime {
    int Hour = 0, Minute = 0, Second = 0;
};
std::optional<MomentTime> ParseMomentTime(std::string_view text);
std::optional<int> ParseMomentZone(std::string_view text); // minutes east
// (latitude and longitude: ParseLatitude, ParseLongitude of Formats.h)

// The words of a refused field, as every way in says them.
std::string MomentProblem(const AstroDat& s, MomentField f, const std::string& text);

// The Julian day (UT) of the moment.
double JulianDayUT(const ChartMoment& m);

// The moment with its civil date and time set to the calendar date of the Julian day `jd`
// (CalendarFromJD, to the whole second, the day's fraction dropped); zone and place are kept.
ChartMoment MomentAtJD(ChartMoment m, double jd);

// The texts of the moment: the date as a record holds it ("dd.mm.yyyy", "dd.mm.yyyyB" before
// the era), its first ten characters and the era flag as the window's field and box show
// them, the time ("hh:mm:ss", the hour's tens as a blank), the zone ("+hh:mm").
std::string MomentDateText(const ChartMoment& m);
struct DateField {
    std::string Text;
    bool BeforeEra = false;
};
DateField MomentDateField(const ChartMoment& m);
std::string MomentTimeText(const ChartMoment& m);
std::string MomentZoneText(int zoneMinutes);

// The chart moment of the state, and the state's moment set from a moment.
ChartMoment MomentOf(const ChartContext& c);
void SetChartMoment(ChartContext& c, const ChartMoment& m);

} // namespace qor
