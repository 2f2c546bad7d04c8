// The texts of the current moment from the text window's menu: the day of the Moon, the
// totems of the solar year, month and day, and the planetary hours, in both languages, with
// their numbered sections; what is not found near the poles said as such; the chart left as
// it was; the day of the Moon in the start window's summary. (The numbers themselves are
// checked against python3-ephem in tests/core/moon_sun_days_test.cpp.)
#include "InterpWindowFixture.h"

#include "core/AstroMath.h"
#include "core/ContextStack.h"
#include "core/DayInfo.h"
#include "core/MoonSunDays.h"
#include "core/Planets.h"
#include "core/Stepping.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "interp/DayTexts.h"

#include <algorithm>

namespace qor::interp {
namespace {

class DayTextsTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        for (const char* f : {"PLANETS.NDX", "PLANETS.DAT"})
            fs::copy_file(fs::path(QOR_SOURCE_DIR) / "data" / f, dir / f);
        Load();
    }
    void Load() {
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(S(), i).ok) << i;
    }
    void English() {
        Make(true);
        Load();
    }
    // Moscow (UT+3) at a local date and time.
    void At(int y, int mo, int d, int h, int mi, double lat = 55.75, double lon = 37.62) {
        AstroDat& s = S();
        s.ChartYear = y;
        s.ChartMonth = mo;
        s.ChartDay = d;
        s.ChartHour = h;
        s.ChartMinute = mi;
        s.ChartSecond = 0;
        s.ChartZone = 180;
        s.ChartLat = lat * kDegToRad;
        s.ChartLong = lon * kDegToRad;
        UpdateCalendarForYear(s);
    }
    void Base(const std::string& rel, const std::string& utf8) {
        dir.Write(rel, test::CrLf(Cp(utf8)));
    }
    // A base of numbered sections 01..n, each saying its number.
    void NumberedBase(const std::string& rel, int n) {
        std::string text = "/ numbered texts\n";
        for (int i = 1; i <= n; ++i) {
            const std::string k = (i < 10 ? "0" : "") + std::to_string(i);
            text += "[" + k + "] heading " + k + "\ntext " + k + "\n/ a comment\n\n  more " + k + "\n";
        }
        Base(rel, text);
    }
    std::vector<std::string> Lines() { return interp->Memo->Lines(); }
    std::vector<std::string> Report(const char* item) {
        Cmd(std::string("Interp,") + item, "");
        return Lines();
    }
    static bool StartsWith(const std::string& line, const std::string& head) {
        return line.rfind(head, 0) == 0;
    }
};

// 10 January 2024, 21:00 at Moscow: the 29th day of the Moon (PyEphem's moonrises since the
// new Moon of 11 December 2023), in both languages, with the section [29] of the Moon base.
TEST_F(DayTextsTest, DayOfTheMoon) {
    for (bool english : {false, true}) {
        if (english) English();
        NumberedBase(english ? "Txt/Avesta/Moon-e.txt" : "Txt/Avesta/Moon.txt", 30);
        At(2024, 1, 10, 21, 0);
        const auto lines = Report("N17");
        ASSERT_EQ(lines.size(), 7u) << english;
        EXPECT_EQ(lines[0], "------------- " + GetMsgText(S(), 144) + " -----------------");
        // The new Moon of 12 December 2023, 23:32 UT: 13 December, 2:32 at Moscow.
        EXPECT_TRUE(StartsWith(lines[1], GetMsgText(S(), 121, " 13 ")));
        EXPECT_NE(lines[1].find(" 2:3"), std::string::npos) << lines[1];
        EXPECT_TRUE(StartsWith(lines[2], english ? "First Rise  13 December 2023 We "
                                                 : Cp("Первый восход  13 декабря 2023 Ср ")))
            << lines[2];
        EXPECT_TRUE(StartsWith(lines[3], english ? "Last Rise  10 January 2024 We "
                                                 : Cp("Последний восход  10 января 2024 Ср ")))
            << lines[3];
        EXPECT_EQ(lines[4], english ? "    29-th day of Moon" : Cp("    29-й день Луны"));
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.end()),
                  (std::vector<std::string>{"text 29", "  more 29"}));
    }
}

// Before the first moonrise after the new Moon it is the first day; no "Last Rise" line.
TEST_F(DayTextsTest, FirstDayBeforeTheFirstMoonrise) {
    NumberedBase("Txt/Avesta/Moon.txt", 30);
    At(2024, 1, 11, 15, 0); // the new Moon at 14:57 of Moscow; the Moon rises next morning
    const auto lines = Report("N17");
    ASSERT_GE(lines.size(), 5u);
    EXPECT_TRUE(StartsWith(lines[2], Cp("Первый восход  12 января 2024 ")));
    EXPECT_EQ(lines[3], Cp("    1-й день Луны"));
    EXPECT_EQ(lines[4], "text 01");
}

// The totem of the year: the equinox and the year's start, then its section; before the
// start of this year's solar year, the year before (this year's start shown first).
TEST_F(DayTextsTest, TotemOfTheYear) {
    English();
    NumberedBase("Txt/Avesta/Totem-e.txt", 32);
    At(2024, 6, 1, 12, 0);
    auto lines = Report("N13");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "------------- Totem of the year ------------------");
    EXPECT_TRUE(StartsWith(lines[1], "Equinox  20 March 2024 We  6:0")) << lines[1];
    EXPECT_TRUE(StartsWith(lines[2], "Begin of  23-th Sun Year  20 March 2024 We  6:")) << lines[2];
    EXPECT_EQ(lines[3], "text 23");

    At(2024, 3, 1, 12, 0);
    lines = Report("N13");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(StartsWith(lines[2], "Begin of  23-th Sun Year  20 March 2024")) << lines[2];
    EXPECT_TRUE(StartsWith(lines[3], "Equinox  21 March 2023 Tu  0:24:")) << lines[3];
    EXPECT_TRUE(StartsWith(lines[4], "Begin of  22-th Sun Year  21 March 2023")) << lines[4];
    EXPECT_EQ(lines[5], "text 22");
}

// The month and day totems: the solar day counted in sunrises, its month of 30 days.
TEST_F(DayTextsTest, TotemsOfTheMonthAndTheDay) {
    NumberedBase("Txt/Avesta/TotemMes.txt", 13);
    NumberedBase("Txt/Avesta/TotemDay.txt", 30);
    At(2024, 4, 30, 12, 0); // the 42nd sunrise since 20 March (the year's first)
    auto lines = Report("N14");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "------------- " + GetMsgText(S(), 142) + " ------------------");
    EXPECT_TRUE(StartsWith(lines[1], Cp("Начало 42-го Солнечного Дня  30 апреля 2024 Вт  4:")))
        << lines[1];
    EXPECT_EQ(lines[2], Cp("2-й Солнечный Месяц"));
    EXPECT_EQ(lines[3], "text 02");
    lines = Report("N15");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], Cp("12-й день 2-го Солнечного Месяца"));
    EXPECT_EQ(lines[3], "text 12");
}

// The planetary hours of a Friday evening and of the night after midnight, which is still
// Friday's; the current hour marked once; the hour rulers in the Chaldean order.
TEST_F(DayTextsTest, PlanetaryHours) {
    English();
    At(2024, 5, 10, 15, 0); // Friday afternoon
    auto lines = Report("N18");
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], "------------- Planetary hours -----------------");
    EXPECT_TRUE(StartsWith(lines[1], "Sunset:  10 May 2024 Fr 20:")) << lines[1];
    EXPECT_TRUE(StartsWith(lines[2], "Sunrise:  10 May 2024 Fr  4:")) << lines[2];
    EXPECT_EQ(lines[3], "Length of a day hour: 79,93 min");
    EXPECT_EQ(lines[4], "Period: day, weekday: Friday.");
    EXPECT_EQ(lines[6].substr(0, 14), "  1.  04:26:59");
    EXPECT_EQ(lines[6].substr(17), "Venus"); // Friday's first hour
    EXPECT_EQ(lines[7].substr(17), "Mercury");
    EXPECT_EQ(std::count_if(lines.begin() + 6, lines.begin() + 18,
                            [](const std::string& l) { return l.ends_with(" - now"); }),
              1);
    EXPECT_EQ(lines[13], "  8.  13:46:30   Venus - now"); // 4:26:59 + 7 x 79,93 min
    EXPECT_EQ(lines[19], "Now: hour 8 of Friday, ruled by Venus");

    At(2024, 5, 11, 1, 30); // Saturday 1:30: Friday's night
    lines = Report("N18");
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_TRUE(StartsWith(lines[1], "Sunrise:  11 May 2024 Sa  4:")) << lines[1];
    EXPECT_TRUE(StartsWith(lines[2], "Sunset:  10 May 2024 Fr 20:")) << lines[2];
    EXPECT_TRUE(StartsWith(lines[3], "Length of a night hour: ")) << lines[3];
    EXPECT_EQ(lines[4], "Period: night, weekday: Friday (not Saturday!)");
    // Friday's first night hour: Mars; the rulers in the night column.
    EXPECT_EQ(lines[6].substr(17), std::string(12, ' ') + "Mars");
    EXPECT_EQ(lines[13].substr(17), std::string(12, ' ') + "Mars - now");
    EXPECT_EQ(lines[19], "Now: hour 8 of Friday, ruled by Mars");
}

// Near the pole: at 70° N in midsummer the Sun does not set; the hours and the solar day
// cannot be counted, and say so.
TEST_F(DayTextsTest, PolarDaySaysWhatCannotBeCounted) {
    English();
    At(2024, 6, 21, 12, 0, 70, 25);
    auto lines = Report("N18");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Sunset: not found");
    EXPECT_EQ(lines[2], "Sunrise: not found");
    EXPECT_EQ(lines[3], "The planetary hours cannot be counted: the Sun does not rise or set");
    lines = Report("N15");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Last sunrise not found: the day cannot be counted");
}

// Bases switched off by "nofile" write nothing and say nothing; a base that does not open is
// told after the text. The chart is left exactly as it was.
TEST_F(DayTextsTest, MissingBasesAndTheChartLeftAlone) {
    At(2024, 1, 10, 21, 0);
    CalcAstroTime(S(), TimeOptionsFor(P().ChartOpt, P().GeneralOpt));
    CalcChart(S(), P().ChartOpt, P().GeneralOpt, 0);
    const PointArray lon = S().PlanetLon;
    const double jd = S().ChartJD;
    intSet->Edits[static_cast<std::size_t>(BaseId::Moon)]->SetText("nofile");
    auto lines = Report("N17");
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_TRUE(dialogs.Messages().empty());
    intSet->Edits[static_cast<std::size_t>(BaseId::Moon)]->SetText("Txt\\none.txt");
    lines = Report("N17");
    EXPECT_EQ(lines.size(), 5u);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_NE(dialogs.Messages()[0].find("none.txt"), std::string::npos);
    EXPECT_EQ(S().PlanetLon, lon);
    EXPECT_EQ(S().ChartJD, jd);
    EXPECT_EQ(S().ChartHour, 21);
    EXPECT_EQ(S().ContextDepth, 0);
    EXPECT_TRUE(P().Flags.ProgramIdle);
}

// The start window's summary takes the day of the Moon from the moonrise count.
TEST_F(DayTextsTest, DaySummaryTakesTheDayOfTheMoon) {
    ASSERT_TRUE(P().Hooks.LunarDay);
    English();
    At(2024, 1, 10, 21, 0);
    EXPECT_EQ(P().Hooks.LunarDay(), 29);
    DatRec start;
    start[kRecDate] = "10.01.2024";
    start[kRecTime] = "21:00:00";
    start[kRecZone] = "+03:00";
    start[kRecLat] = Cp("55°45'N");
    start[kRecLong] = Cp(" 37°37'E");
    CurrentChart e(S(), P().ChartOpt, P().GeneralOpt);
    const DaySummary d = BuildDaySummary(S(), e, P().GeneralOpt, start, P().Hooks.LunarDay);
    EXPECT_NE(d.text.find(";Lunar day: 29  "), std::string::npos) << d.text;
}

} // namespace
} // namespace qor::interp
