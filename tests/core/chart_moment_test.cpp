// The one moment of a chart: the parser every way into the chart goes through (a table of
// texts accepted and refused, field by field, in both calendars), its words, the Julian day
// against Meeus, and the texts the window and the records show.
#include "core/AstroMath.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

const std::string kDeg(1, kDegreeSign);

MomentTexts Texts(std::string date, std::string time = "12:00:00", std::string zone = "+03:00",
                  std::string lat = "55" + kDeg + "45'N", std::string lon = " 37" + kDeg + "37'E") {
    return {date, time, zone, lat, lon};
}

TEST(ChartMoment, EveryFieldAcceptedOrRefusedInItsOwnCalendar) {
    struct Case {
        MomentTexts texts;
        MomentField refused; // None: accepted
        int year = 0, month = 0, day = 0;
    };
    const Case cases[] = {
        // dates: both record forms, blanks before the digits, years before the era
        {Texts(" 5.03.1990 "), MomentField::None, 1990, 3, 5},
        {Texts("05.03.1990"), MomentField::None, 1990, 3, 5},
        {Texts(" 5.03.0044B"), MomentField::None, -43, 3, 5},
        {Texts("01.01.0001B"), MomentField::None, 0, 1, 1},
        {Texts("01.01.0000"), MomentField::None, 1, 1, 1},  // the year 0000 is shown as 0001
        {Texts("01.01.0000B"), MomentField::None, 0, 1, 1}, // and before the era as 1 BC
        {Texts("29.02.2000"), MomentField::None, 2000, 2, 29},
        {Texts("29.02.1900"), MomentField::Date},              // Gregorian: no leap year
        {Texts("29.02.1500"), MomentField::None, 1500, 2, 29}, // Julian: a leap year
        {Texts("29.02.0001B"), MomentField::None, 0, 2, 29},   // 1 BC is a Julian leap year
        {Texts("29.02.0002B"), MomentField::Date},
        {Texts("31.02.2024"), MomentField::Date},
        {Texts("31.04.2024"), MomentField::Date},
        {Texts(" 4.10.1582"), MomentField::None, 1582, 10, 4},
        {Texts(" 5.10.1582"), MomentField::Date}, // the days the reform dropped
        {Texts("14.10.1582"), MomentField::Date},
        {Texts("15.10.1582"), MomentField::None, 1582, 10, 15},
        {Texts(" 0.01.2000"), MomentField::Date},
        {Texts("01.13.2000"), MomentField::Date},
        {Texts("01.00.2000"), MomentField::Date},
        {Texts("1.1"), MomentField::Date},
        {Texts(""), MomentField::Date},
        {Texts("ab.cd.efgh"), MomentField::Date},
        {Texts("01.01.-2000"), MomentField::Date},
        // four digits of year at most, as the date field shows them (19900 was cut to 1990)
        {Texts("31.12.9999"), MomentField::None, 9999, 12, 31},
        {Texts("01.01.9999B"), MomentField::None, -9998, 1, 1},
        {Texts("15.06.10000"), MomentField::Date},
        {Texts("15.06.19900"), MomentField::Date},
        {Texts("15.06.2147483648"), MomentField::Date},
        // times: seconds may be left out; nothing out of range
        {Texts("01.01.2000", " 9:05:07"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "23:59:59"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "12:30"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "24:00:00"), MomentField::Time},
        {Texts("01.01.2000", "12:60:00"), MomentField::Time},
        {Texts("01.01.2000", "12:00:60"), MomentField::Time},
        {Texts("01.01.2000", "12:3x:00"), MomentField::Time},
        {Texts("01.01.2000", ""), MomentField::Time},
        // zones from -12:00 to +14:00
        {Texts("01.01.2000", "12:00:00", "-12:00"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "12:00:00", "+14:00"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "12:00:00", "+05:45"), MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "12:00:00", "-12:01"), MomentField::Zone},
        {Texts("01.01.2000", "12:00:00", "+14:01"), MomentField::Zone},
        {Texts("01.01.2000", "12:00:00", "+03:60"), MomentField::Zone},
        {Texts("01.01.2000", "12:00:00", "zone"), MomentField::Zone},
        // coordinates
        {Texts("01.01.2000", "12:00:00", "+00:00", "90" + kDeg + "00'S"), MomentField::None, 2000,
         1, 1},
        {Texts("01.01.2000", "12:00:00", "+00:00", "90" + kDeg + "01'N"), MomentField::Latitude},
        {Texts("01.01.2000", "12:00:00", "+00:00", "45" + kDeg + "00'E"), MomentField::Latitude},
        {Texts("01.01.2000", "12:00:00", "+00:00", "45" + kDeg + "00'N", "180" + kDeg + "00'W"),
         MomentField::None, 2000, 1, 1},
        {Texts("01.01.2000", "12:00:00", "+00:00", "45" + kDeg + "00'N", "180" + kDeg + "01'E"),
         MomentField::Longitude},
        {Texts("01.01.2000", "12:00:00", "+00:00", "45" + kDeg + "00'N", ""),
         MomentField::Longitude},
    };
    AstroDat s;
    for (const Case& c : cases) {
        const MomentParse p = ParseChartMoment(s, c.texts);
        const std::string what = c.texts.Date + "|" + c.texts.Time + "|" + c.texts.Zone + "|" +
                                 c.texts.Lat + "|" + c.texts.Long;
        EXPECT_EQ(p.Refused, c.refused) << what;
        EXPECT_EQ(static_cast<bool>(p), c.refused == MomentField::None) << what;
        if (!p) {
            EXPECT_FALSE(p.Problem.empty()) << what;
            continue;
        }
        EXPECT_EQ(p.Moment->Year, c.year) << what;
        EXPECT_EQ(p.Moment->Month, c.month) << what;
        EXPECT_EQ(p.Moment->Day, c.day) << what;
    }
}

TEST(ChartMoment, TheWordsNameTheFieldInBothLanguages) {
    AstroDat s;
    MomentParse p = ParseChartMoment(s, Texts("31.02.2024"));
    EXPECT_EQ(p.Problem, Cp("Данные не приняты: неверное поле «дата»: \"31.02.2024\""));
    s.EnglishMode = true;
    p = ParseChartMoment(s, Texts("01.01.2000", "12:00:00", "+15:00"));
    EXPECT_EQ(p.Problem, "Data refused: a wrong zone: \"+15:00\"");
    // the record path says the same words and leaves the moment
    test::RecordingReport report;
    s.Report = &report;
    s.ChartYear = 1999;
    DatRec rec{};
    rec[kRecDate] = " 5.10.1582";
    rec[kRecTime] = "12:00:00";
    rec[kRecZone] = "+01:00";
    rec[kRecLat] = "41" + kDeg + "54'N";
    rec[kRecLong] = " 12" + kDeg + "29'E";
    EXPECT_FALSE(UnpackDatRecToChart(s, rec));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text, "Data refused: a wrong date: \" 5.10.1582\"");
    EXPECT_EQ(s.ChartYear, 1999);
}

// Meeus, Astronomical Algorithms, example 7.a: 1957 October 4.81 = JD 2436116.31; 7.b: 333
// January 27, 12h (Julian) = JD 1842713.0; the zone moves the civil time to UT.
TEST(ChartMoment, JulianDayOfTheMomentAgreesWithMeeus) {
    ChartMoment m{1957, 10, 4, 19, 26, 24, 0, 0, 0};
    EXPECT_NEAR(JulianDayUT(m), 2436116.31, 1e-9);
    m = {333, 1, 27, 15, 0, 0, 180, 0, 0}; // 15h at +03:00 is 12h UT
    EXPECT_NEAR(JulianDayUT(m), 1842713.0, 1e-9);
    // the day after 4 October 1582 is 15 October
    EXPECT_NEAR(JulianDayUT({1582, 10, 15, 0, 0, 0, 0, 0, 0}) -
                    JulianDayUT({1582, 10, 4, 0, 0, 0, 0, 0, 0}),
                1.0, 1e-9);
}

TEST(ChartMoment, TextsOfTheMomentReadBackToIt) {
    AstroDat s;
    const ChartMoment moments[] = {{1990, 3, 5, 9, 5, 7, 180, 0.97, 0.65},
                                   {-43, 3, 15, 23, 59, 59, -720, -0.5, -3.1},
                                   {0, 12, 31, 0, 0, 0, 840, 0, 0}};
    for (const ChartMoment& m : moments) {
        const std::string date = MomentDateText(m);
        const DateField field = MomentDateField(m);
        EXPECT_EQ(field.Text, date.substr(0, 10));
        EXPECT_EQ(field.BeforeEra, m.Year <= 0);
        const MomentParse p =
            ParseChartMoment(s, MomentTexts{date, MomentTimeText(m), MomentZoneText(m.ZoneMinutes),
                                            "00" + kDeg + "00'N", "000" + kDeg + "00'E"});
        ASSERT_TRUE(p) << date << p.Problem;
        EXPECT_EQ(p.Moment->Year, m.Year);
        EXPECT_EQ(p.Moment->Month, m.Month);
        EXPECT_EQ(p.Moment->Day, m.Day);
        EXPECT_EQ(p.Moment->Hour, m.Hour);
        EXPECT_EQ(p.Moment->Second, m.Second);
        EXPECT_EQ(p.Moment->ZoneMinutes, m.ZoneMinutes);
    }
    EXPECT_EQ(MomentDateText({-43, 3, 5}), " 5.03.0044B");
    EXPECT_EQ(MomentTimeText({2000, 1, 1, 9, 5, 7}), " 9:05:07");
    EXPECT_EQ(MomentZoneText(-330), "-05:30");
    // the state's moment and back
    ChartContext c;
    SetChartMoment(c, moments[1]);
    EXPECT_EQ(MomentOf(c), moments[1]);
}

TEST(Calendar, MonthLengthsAndTheReformLiveOnce) {
    EXPECT_EQ(DaysInMonth(1582, 2), 28);
    EXPECT_EQ(DaysInMonth(1500, 2), 29); // Julian
    EXPECT_EQ(DaysInMonth(1700, 2), 28); // Gregorian
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_FALSE(IsGregorianDate(1582, 10, 4));
    EXPECT_TRUE(IsGregorianDate(1582, 10, 15));
    for (int d = 5; d <= 14; ++d) EXPECT_FALSE(CalendarDateValid(1582, 10, d)) << d;
    EXPECT_TRUE(CalendarDateValid(1582, 10, 31));
    // the Julian day agrees with the calendar on either side of the reform
    bool greg = true;
    JulianDayOf({1582, 10, 4}, &greg);
    EXPECT_FALSE(greg);
    JulianDayOf({1582, 10, 15}, &greg);
    EXPECT_TRUE(greg);
}

} // namespace
} // namespace qor
