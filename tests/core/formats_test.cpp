#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor {
namespace {

double DegMinSec(int d, int m, double s) {
    return ((d * 60.0 + m) * 60.0 + s) * kArcsecToRad;
}

TEST(Numbers, WidthsAndParsing) {
    EXPECT_EQ(IntToStrW(7, 3), "  7");
    EXPECT_EQ(IntToStrW(1234, 2), "1234");
    EXPECT_EQ(IntToStrZ(-5, 3), "0-5"); // zeros go in front of the sign
    EXPECT_EQ(IntToStrZ(44, 4), "0044");
    EXPECT_EQ(FloatToStrWD(6, 2, 3.14159), "  3.14");
    EXPECT_EQ(FloatToStrComma(6, 2, -3.14159), " -3,14");
    EXPECT_EQ(StrToIntDef0(" 42 "), 42);
    EXPECT_EQ(StrToIntDef0("4x"), 0);
    EXPECT_EQ(StrToIntDef0("99999999999"), 0);
    EXPECT_DOUBLE_EQ(StrToFloatHM("12:30"), 12.3);
    EXPECT_DOUBLE_EQ(StrToFloatHM("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatHM(" -2.25 "), -2.25);
    EXPECT_DOUBLE_EQ(StrToFloatHM("abc"), 0);
    EXPECT_DOUBLE_EQ(StrToFloatHM("1:2:3"), 0); // the second ":" is not a number
    EXPECT_EQ(ParseDecimalText(" +1,5 "), 1.5);
    EXPECT_EQ(ParseDecimalText("-0.25"), -0.25);
    for (const char* bad : {"", " ", "abc", "1.5x", "1,5,5", "nan", "inf", "1e999", "+"})
        EXPECT_FALSE(ParseDecimalText(bad).has_value()) << bad;
    EXPECT_DOUBLE_EQ(NonZeroGuard(0.0), 1e-29);
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-2.5), -2);
}

TEST(TimeTexts, FormatsOfSeconds) {
    EXPECT_EQ(FormatSecondsHMS(true, 3725), " 1h02m05s");
    EXPECT_EQ(FormatSecondsHMS(false, 3725), " 1:02:05");
    EXPECT_EQ(FormatSecondsHMS(false, 3e10), " 0:00:00"); // beyond 32 bits counts as 0
    EXPECT_EQ(FormatMinutesHHMM(3725), " 1:02");
    EXPECT_EQ(FormatHoursDMS(true, 12345.6), "  3" + Cp("°") + "25'46\"");
    EXPECT_EQ(FormatHoursDMS(false, 12345.6), "  3,4");
    EXPECT_EQ(FormatHMSRad(true, kPi), "12h00m00s");
    EXPECT_EQ(FormatHMSRad(false, 1.0), " 3:49:11");
    // 59.996 seconds carry into the minute instead of showing 60,00.
    EXPECT_EQ(FormatHMSRadSpaced(true, false, (3600 + 59.996) / kTimeSecondsPerRad),
              " 1h 01m  0,00s");
    EXPECT_EQ(FormatHMSRadSpaced(false, true, (7200 + 61.25) / kTimeSecondsPerRad), " 2:01: 1.25");
}

TEST(TimeTexts, TimeOfDayFormatAndParse) {
    struct FormatCase {
        int h, m, s;
        bool ok;
        const char* text;
    } formats[] = {
        {9, 5, 7, true, " 9:05:07"},   {23, 59, 60, false, "00:00:00"}, {0, 0, 0, true, " 0:00:00"},
        {12, 60, 0, true, "13:00:00"}, {-1, 0, 0, false, "00:00:00"},
    };
    for (const auto& c : formats) {
        const TextResult r = FormatTimeText(c.h, c.m, c.s);
        EXPECT_EQ(r.ok, c.ok) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(r.text, c.text) << c.h << ":" << c.m << ":" << c.s;
    }
    struct ParseCase {
        const char* text;
        bool ok;
        int h, m, s;
    } parses[] = {
        {" 9:05:07", true, 9, 5, 7},    {"23:59:59", true, 23, 59, 59},
        {"24:00:00", false, 0, 0, 0},   {"12:60:00", false, 12, 0, 0},
        {"12:30", false, 12, 30, 0},    {"12:3x:00", false, 12, 0, 0},
        {"", false, 0, 0, 0},           {"1:2:3:4", false, 1, 2, 3},
        {" 7 : 8 : 9 ", true, 7, 8, 9},
    };
    for (const auto& c : parses) {
        const TimeParts p = ParseTimeText(c.text);
        EXPECT_EQ(p.ok, c.ok) << c.text;
        EXPECT_EQ(p.h, c.h) << c.text;
        EXPECT_EQ(p.m, c.m) << c.text;
        EXPECT_EQ(p.s, c.s) << c.text;
    }
    for (int h = 0; h < 24; ++h)
        for (int m = 0; m < 60; m += 7)
            for (int s = 0; s < 60; s += 13) {
                const TimeParts p = ParseTimeText(FormatTimeText(h, m, s).text);
                ASSERT_TRUE(p.ok);
                EXPECT_EQ(p.h * 3600 + p.m * 60 + p.s, h * 3600 + m * 60 + s);
            }
}

TEST(DateTexts, FormatAndParse) {
    EXPECT_EQ(FormatDateText(5, 3, 1990).text, " 5.03.1990 ");
    EXPECT_EQ(FormatDateText(5, 3, -43).text, " 5.03.0044B");
    EXPECT_EQ(FormatDateText(1, 1, 0).text, " 1.01.0001B");
    const TextResult bad = FormatDateText(32, 1, 2000);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.text, "01.01.2000");

    struct Case {
        const char* text;
        bool ok;
        int d, m, y;
    } cases[] = {
        {" 5.03.1990 ", true, 5, 3, 1990}, {"15.03.44B", true, 15, 3, -43},
        {"15.03.0", true, 15, 3, 1},       {"15.03.", false, 15, 3, 0},
        {"15.03.B", false, 15, 3, 0},      {"32.01.2000", false, 0, 0, 0},
        {"10.13.2000", false, 10, 0, 0},   {"1.1.20x0", false, 1, 1, 0},
        {"2000", false, 0, 0, 0},          {"", false, 0, 0, 0},
        {"0.01.2000", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const DateParts p = ParseDateText(c.text);
        EXPECT_EQ(p.ok, c.ok) << c.text;
        EXPECT_EQ(p.d, c.d) << c.text;
        EXPECT_EQ(p.m, c.m) << c.text;
        EXPECT_EQ(p.y, c.y) << c.text;
    }
    for (int y = -3000; y <= 3000; y += 37) {
        const DateParts p = ParseDateText(FormatDateText(28, 2, y).text);
        ASSERT_TRUE(p.ok) << y;
        EXPECT_EQ(p.y, y);
    }
}

TEST(ZoneTexts, FormatAndParse) {
    EXPECT_EQ(FormatZoneOffset(-330, true), "-05:30");
    EXPECT_EQ(FormatZoneOffset(-330, false), "-5:30");
    EXPECT_EQ(FormatZoneOffset(0, true), "+00:00");
    EXPECT_EQ(FormatZoneOffset(1500, true), "+01:00");
    EXPECT_EQ(FormatZoneOffset(-720, true), "+12:00");
    EXPECT_EQ(FormatZoneOffset(-30, true), "-00:30"); // the sign of less than an hour is kept
    EXPECT_EQ(FormatZoneOffset(765, true), "+12:45"); // the zones east of +12:00 are real
    EXPECT_EQ(FormatZoneOffset(840, true), "+14:00");
    EXPECT_EQ(FormatZoneOffset(900, true), "-09:00");

    struct Case {
        const char* text;
        std::optional<int> minutes;
    } cases[] = {
        {"-5:30", -330},         {"- 05:30", -330},
        {"+3:00", 180},          {"3:00", 180},
        {"-0:30", -30},          {"3", std::nullopt},
        {"", std::nullopt},      {"+x:00", std::nullopt},
        {"+3:75", std::nullopt}, {"+25:00", std::nullopt},
        {"+3:", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseZoneOffset(c.text), c.minutes) << c.text;
    for (int m = -719; m <= 840; m += 15)
        EXPECT_EQ(ParseZoneOffset(FormatZoneOffset(m, m % 2 == 0)), m) << m;
}

TEST(CoordinateTexts, FormatAndParse) {
    EXPECT_EQ(FormatLatitude(0.9730), Cp("55°45'N"));
    EXPECT_EQ(FormatLatitude(DegMinSec(29, 59, 45)), Cp("30°00'N"));
    EXPECT_EQ(FormatLatitude(-DegMinSec(0, 30, 0)), Cp(" 0°30'S"));
    EXPECT_EQ(FormatLongitude(DegMinSec(29, 59, 45)), Cp(" 30°00'E"));
    EXPECT_EQ(FormatLongitude(DegMinSec(37, 37, 0)), Cp(" 37°37'E"));
    EXPECT_EQ(FormatLongitude(-DegMinSec(122, 25, 0)), Cp("122°25'W"));

    EXPECT_NEAR(*ParseLatitude(Cp("55°45'N")), 0.97302, 1e-5);
    EXPECT_NEAR(*ParseLatitude(Cp("33°52's")), -DegMinSec(33, 52, 0), 1e-12);
    EXPECT_NEAR(*ParseLongitude(Cp("122°25'W")), -DegMinSec(122, 25, 0), 1e-12);
    for (const char* bad :
         {"55°45'", "55°45'X", "55°45'E", "5545N", "91°00'N", "55°60'N", "a°45'N", "", "-5°00'N",
          // degrees whose arc-seconds wrap around 64 bits to 3584
          "5124095576030432°00'N"})
        EXPECT_FALSE(ParseLatitude(Cp(bad)).has_value()) << bad;
    for (const char* bad : {"37°37'", "181°00'E", "37°37'N", "5124095576030432°00'E"})
        EXPECT_FALSE(ParseLongitude(Cp(bad)).has_value()) << bad;

    for (int m = -90 * 60; m <= 90 * 60; m += 7) {
        const double lat = m * 60 * kArcsecToRad;
        EXPECT_NEAR(*ParseLatitude(FormatLatitude(lat)), lat, 1e-12) << m;
    }
    for (int m = -180 * 60 + 1; m <= 180 * 60; m += 11) {
        const double lon = m * 60 * kArcsecToRad;
        EXPECT_NEAR(*ParseLongitude(FormatLongitude(lon)), lon, 1e-12) << m;
    }
}

TEST(AngleTexts, DMSByPrecision) {
    AstroDat s;
    s.DMSFormat = 1;
    EXPECT_EQ(FormatDMS(s, 12345.6), "   3" + Cp("°") + "25'46\"");
    EXPECT_EQ(FormatDMS(s, -1800), " - 0" + Cp("°") + "30' 0\""); // the sign survives 0°
    EXPECT_EQ(FormatDMS(s, 400000), " 111" + Cp("°") + " 6'40\"");
    s.DMSFormat = 0;
    EXPECT_EQ(FormatDMS(s, 12345.6), "   3" + Cp("°") + "26'");
    s.DMSFormat = 3;
    EXPECT_EQ(FormatDMS(s, 12345.6), "   3" + Cp("°") + "25.8'");
}

TEST(ZodiacTexts, SignChosenAfterRounding) {
    AstroDat s;
    s.GlyphNames = false;
    s.EnglishMode = true;
    // 12°34'56" Leo.
    const double leo = (120 * 3600.0) + 12 * 3600 + 34 * 60 + 56;
    EXPECT_EQ(FormatZodiacDMS(s, leo), "12" + Cp("°") + "34'56\" Leo     ");
    EXPECT_EQ(FormatZodiacDegMin(s, leo), "12 Leo     35");
    EXPECT_EQ(FormatZodiacAbbr(false, leo * kArcsecToRad), "12" + Cp("°") + "35'Leo");
    EXPECT_EQ(FormatZodiacAbbr(true, leo * kArcsecToRad), "12" + Cp("°") + "34'56\"Leo");

    struct Case {
        double arcsec;
        const char* dms;     // FormatZodiacDMS with abbreviations
        const char* degMin;  // FormatZodiacDegMin
        const char* abbr;    // FormatZodiacAbbr without seconds
        const char* abbrSec; // FormatZodiacAbbr with seconds
    } cases[] = {
        // Just below a sign boundary: 0° of the next sign, never 30° of the old one.
        {107999.7, " 0° 0' 0\"Tau", " 0Tau 0", " 0°00'Tau", " 0°00'00\"Tau"},
        {107975.0, "29°59'35\"Ari", " 0Tau 0", " 0°00'Tau", "29°59'35\"Ari"},
        // Minutes carry into the degree: never 60 minutes.
        {3600 * 5 + 59 * 60 + 45, " 5°59'45\"Ari", " 6Ari 0", " 6°00'Ari", " 5°59'45\"Ari"},
        // Below 1°: the minutes are there.
        {45 * 60 + 20, " 0°45'20\"Ari", " 0Ari45", " 0°45'Ari", " 0°45'20\"Ari"},
        // The end of the circle wraps to Aries.
        {1295999.8, " 0° 0' 0\"Ari", " 0Ari 0", " 0°00'Ari", " 0°00'00\"Ari"},
        {330 * 3600.0, " 0° 0' 0\"Psc", " 0Psc 0", " 0°00'Psc", " 0°00'00\"Psc"},
    };
    s.ShortNames = true;
    for (const Case& c : cases) {
        EXPECT_EQ(FormatZodiacDMS(s, c.arcsec), Cp(c.dms)) << c.arcsec;
        EXPECT_EQ(FormatZodiacDegMin(s, c.arcsec), Cp(c.degMin)) << c.arcsec;
        EXPECT_EQ(FormatZodiacAbbr(false, c.arcsec * kArcsecToRad), Cp(c.abbr)) << c.arcsec;
        EXPECT_EQ(FormatZodiacAbbr(true, c.arcsec * kArcsecToRad), Cp(c.abbrSec)) << c.arcsec;
    }
}

TEST(ZodiacTexts, RoundTripOverTheCircle) {
    // Every whole arc-second splits into parts that add back up to it.
    for (long long x = 0; x < 1296000; x += 997) {
        const ZodiacParts p = SplitZodiacSeconds(static_cast<double>(x));
        ASSERT_LT(p.deg, 30);
        ASSERT_LT(p.min, 60);
        ASSERT_LT(p.sec, 60);
        EXPECT_EQ(((p.sign * 30LL + p.deg) * 60 + p.min) * 60 + p.sec, x);
    }
}

// A value without a position (NaN, an infinity, far out of range) still splits into parts
// within their ranges: a damaged computation cannot index outside the sign tables.
TEST(ZodiacTexts, ValuesWithoutAPositionStayInRange) {
    for (const double x : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300, -1296000.5}) {
        for (const ZodiacParts& p : {SplitZodiacSeconds(x), SplitZodiacMinutes(x)}) {
            EXPECT_GE(p.sign, 0) << x;
            EXPECT_LT(p.sign, 12) << x;
            EXPECT_GE(p.deg, 0) << x;
            EXPECT_LT(p.deg, 30) << x;
            EXPECT_GE(p.min, 0) << x;
            EXPECT_LT(p.min, 60) << x;
            EXPECT_GE(p.sec, 0) << x;
            EXPECT_LT(p.sec, 60) << x;
        }
    }
}

TEST(RomanNumerals, Range) {
    EXPECT_EQ(RomanNumeral(0), "");
    EXPECT_EQ(RomanNumeral(4), "IV");
    EXPECT_EQ(RomanNumeral(12), "XII");
    EXPECT_EQ(RomanNumeral(13), "");
}

} // namespace
} // namespace qor
