// Number, angle, time, date, zone and coordinate texts.
//
// Every number the user sees or types passes through these routines. Units differ by routine:
// zodiac and angle texts take arc-seconds, time texts seconds, coordinate texts radians.
// The decimal separator shown is ","; the parsers accept ",", "." and ":". "Rounded" is to
// nearest with ties to even; "truncated" drops the fraction toward zero. Texts are code
// page 1251 ("°" is the byte 0xB0).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor {

struct AstroDat;

constexpr char kDegreeSign = '\xB0';

// Rounds to the nearest integer, ties to even.
long long RoundEven(double x);

// --- Integers and reals -------------------------------------------------------------------
std::string IntToStrW(long long n, int w);           // blank-padded to w
std::string IntToStrZ(long long n, int w);           // zero-padded to w (zeros before a "-")
std::string FloatToStrWD(int w, int d, double x);    // width w, d decimals, "."
std::string FloatToStrComma(int w, int d, double x); // the same with ","
int StrToIntDef0(std::string_view text);             // 0 when not a whole integer
std::optional<long long> ParseWholeInteger(std::string_view text); // blanks around allowed
double StrToFloatHM(std::string_view text); // "12:30" -> 12.3, "1,5" -> 1.5, else 0
// A finite decimal number and nothing else ("." or "," as the point, a leading "+", blanks
// around allowed); nothing otherwise.
std::optional<double> ParseDecimalText(std::string_view text);
inline double Identity(double x) {
    return x;
}
inline double NonZeroGuard(double x) {
    return x == 0 ? 1e-29 : x;
}

// --- Times ----------------------------------------------------------------------------------
std::string FormatSecondsHMS(bool hms, double seconds); // " 1h02m05s" / " 1:02:05"
std::string FormatMinutesHHMM(double seconds);          // " 1:02"
std::string FormatHoursDMS(bool dms, double x);         // "  3°25'46\"" / "  3,4"

struct TextResult {
    bool ok = false;
    std::string text;
};

struct TimeParts {
    bool ok = false;
    int h = 0, m = 0, s = 0;
};

struct DateParts {
    bool ok = false;
    int d = 0, m = 0, y = 0; // y astronomical (0 = 1 BC)
};

TextResult FormatTimeText(int h, int m, int s); // " 9:05:07"; "00:00:00" when not ok
TimeParts ParseTimeText(std::string_view text);
TextResult FormatDateText(int d, int m, int y); // " 5.03.1990 ", " 5.03.0044B"
DateParts ParseDateText(std::string_view text);

// --- Zones (minutes east) -------------------------------------------------------------------
std::string FormatZoneOffset(int minutes, bool longForm); // "-05:30" / "-5:30"; -719..+840
// Minutes east; nothing when the text is not a zone ("+h:mm", hours 0..23, minutes 0..59).
std::optional<int> ParseZoneOffset(std::string_view text);

// --- Geographic coordinates (radians) -------------------------------------------------------
std::string FormatLatitude(double lat);  // "55°45'N"
std::string FormatLongitude(double lon); // " 37°37'E"
// Radians; nothing when the text is not "D°M'N" (latitude, D <= 90) or "D°M'E" (longitude,
// D <= 180), minutes 0..59.
std::optional<double> ParseLatitude(std::string_view text);
std::optional<double> ParseLongitude(std::string_view text);

// --- Angles in arc-seconds ------------------------------------------------------------------
struct DMSTexts {
    std::string degrees, minutes, seconds;
};
std::string FormatDMS(const AstroDat& s, double arcsec);
// The same in a given angle format (0 deg+min, 1/2 deg+min+sec, else deg+min.1).
DMSTexts SplitDMSAs(int dmsFormat, double arcsec);
std::string FormatDMSAs(int dmsFormat, double arcsec);

// --- Zodiac positions -----------------------------------------------------------------------
// The sign is chosen after rounding, so a position just below a boundary shows as 0° of the
// next sign, never as 30° of the old one, and minutes never show 60.
std::string FormatZodiacDMS(const AstroDat& s, double arcsec);    // "12°34'56\"" + sign
std::string FormatZodiacDegMin(const AstroDat& s, double arcsec); // "12" + sign + "35"
std::string FormatZodiacAbbr(bool withSeconds, double lonRad);    // "12°35'Leo"

// Zodiac position split after rounding to whole arc-seconds (or minutes).
struct ZodiacParts {
    int sign = 0; // 0 Aries .. 11 Pisces
    int deg = 0, min = 0, sec = 0;
};
ZodiacParts SplitZodiacSeconds(double arcsec);
ZodiacParts SplitZodiacMinutes(double arcsec);

// --- Hour angles (radians) ------------------------------------------------------------------
std::string FormatHMSRad(bool units, double angle);                   // "12h34m56s"
std::string FormatHMSRadSpaced(bool units, bool point, double angle); // "12h 34m 56,78s"

std::string RomanNumeral(int n); // "I".."XII"; empty outside 1..12

} // namespace qor
