// The calendar forecast: every day of a year rated for each of the twelve houses of the chart.
//
// A house's significators are the ruler of the sign on its cusp and the ruler of its natural
// sign (house h, sign h), from the table of dignities. Each day the Sun, Mercury, Venus, Mars,
// Jupiter and Saturn of the year's annual ephemeris file are tested against them: the first
// aspect within 1° of the separation counts with the weight of the body times the weight of the
// aspect, and moves the day's balance by the body's and the aspect's nature. A day's house gets
// a bar of 26 characters: "!" favourable, "?" tense, "." neutral weight, blanks after.
#pragma once

#include "core/Aspects.h"
#include "core/AstroDat.h"
#include "forecast/EphemerisFiles.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QImage;

namespace qor::forecast {

constexpr int kCalendarHouses = 12;
constexpr int kCalendarBand = 26; // characters of one house's bar

// Weights and natures, by transiting chart point (1 Sun .. 7 Saturn) and by aspect number
// (1..46 of the aspect definitions; 15..46 weigh nothing).
int CalendarBodyWeight(int body);
int CalendarBodyNature(int body); // 0 neutral, 1 benefic, 2 malefic
int CalendarAspectWeight(int aspect);
int CalendarAspectNature(int aspect); // 0 neutral, 1 harmonious, 2 tense
// What an aspect of weight w does to the day's balance, by the body's and the aspect's nature.
int CalendarHarmony(int bodyNature, int aspectNature, int w);

// The transiting bodies tested, in order (the Moon is left out).
inline constexpr std::array<int, 6> kCalendarBodies = {1, 3, 4, 5, 6, 7};

// Whether body (chart point 1..16) rules sign (1..12).
using SignRuledBy = std::function<bool(int sign, int body)>;

// The significators of houses 1..12: [h][0] the ruler of the cusp's sign, [h][1] the ruler of
// the natural sign h; the last ruling body of 1..16 where a sign has two; 0 none. A body that
// rules both is a significator twice.
struct HouseSignificators {
    std::array<std::array<int, 2>, kCalendarHouses + 1> Rulers{};
};
HouseSignificators HouseRulerTable(const PointArray& lon, const SignRuledBy& ruled);

// The sign (1 Aries .. 12 Pisces) of a longitude; a longitude that rounds to 360° is Pisces.
int SignOfLongitude(double lon);

// One aspect found on a day: significator, aspect number, transiting body.
struct CalendarAspect {
    int significator = 0, aspect = 0, body = 0;
    bool operator==(const CalendarAspect&) const = default;
};

// A house's bar from the sum S of the weights and the balance H: m = H held within −S..S;
// |m| marks ("!" for m > 0, "?" for m < 0), S − |m| points, blanks up to 26. A day heavier than
// 26 is scaled down to 26 characters, keeping the shares of marks and points.
std::string CalendarBar(int sum, int harmony);

struct CalendarDay {
    int Day = 0, Month = 0;
    std::array<std::string, kCalendarHouses> Bars;                    // house 1 first
    std::array<std::vector<CalendarAspect>, kCalendarHouses> Aspects; // house 1 first
};

// Rates one day of the file against the natal longitudes.
CalendarDay RateCalendarDay(const EphemerisRecord& record, const PointArray& natal,
                            const HouseSignificators& sig, const AspDefTable& table);

struct CalendarForecast {
    int Year = 0;
    std::vector<CalendarDay> Days;
};
CalendarForecast BuildCalendar(int year, const std::vector<EphemerisRecord>& records,
                               const PointArray& natal, const HouseSignificators& sig,
                               const AspDefTable& table);

// The day's label: the day blank-padded to 2, ".", the month in 2 digits (" 1.03").
std::string CalendarDayLabel(const CalendarDay& d);

// When c occurs n > 0 times in part: c repeated n / 5 + 1 times; else empty.
std::string CompressMarks(std::string_view part, char c);

// A house's aspects as one glyph text each: significator, aspect glyph, body (with the body
// names as glyphs: s.GlyphNames).
std::vector<std::string> CalendarAspectTexts(const AstroDat& s, const AspDefTable& table,
                                             const std::vector<CalendarAspect>& aspects);

// The lines of the text file: the header (messages 81..87), the legend (88..104), then a line
// a day, each month opened by an empty line and messages 105 and 106.
struct CalendarHeader {
    std::string Name, Date, Time, Zone, City;
};
std::vector<std::string> CalendarFileLines(AstroDat& s, const CalendarForecast& f,
                                           const CalendarHeader& h);

// The year graph: house numbers on the top row, day n on pixel row n + 10 from x = 5 to 330,
// a silver line at the first of each month and at the last day, the bar of house h at
// x = 14 + 26 (h − 1) onwards ("!" green, "?" red, "." silver).
constexpr int kGraphLeft = 5, kGraphRight = 330, kGraphBarLeft = 13, kGraphTop = 10;
void DrawCalendarGraph(QImage& image, const CalendarForecast& f, int n);

} // namespace qor::forecast
