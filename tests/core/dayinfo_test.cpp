// The day summary of the start window: the next new and full Moon against PyEphem and Meeus,
// the phase against Meeus, the order and wording of the lines.
#include "core/DayInfo.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Ephemeris.h"
#include "core/Planets.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace qor {
namespace {

DatRec Record(const std::string& date, const std::string& time, const std::string& zone) {
    DatRec r;
    r[kRecDate] = date;
    r[kRecTime] = time;
    r[kRecZone] = zone;
    r[kRecLat] = Cp("55°45'N");
    r[kRecLong] = Cp(" 37°37'E");
    return r;
}

std::string ZoneText(int minutes) {
    const int a = std::abs(minutes);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", minutes < 0 ? '-' : '+', a / 60, a % 60);
    return buf;
}

class DayInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
    }
    test::RecordingReport report;
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
};

// PyEphem's next new and full Moon (tests/fixtures/ephem_lunations.txt) within one minute:
// both search the apparent geocentric conjunction; the theories differ by a few arc-seconds
// of the Moon, that is by some seconds of time.
TEST_F(DayInfoTest, NextNewAndFullMoonAgreeWithPyEphem) {
    std::ifstream in(fs::path(QOR_FIXTURES_DIR) / "ephem_lunations.txt");
    ASSERT_TRUE(in);
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        int y, m, d, zone;
        double jdNew, jdFull;
        f >> y >> m >> d >> zone >> jdNew >> jdFull;
        char date[16];
        std::snprintf(date, sizeof date, "%2d.%02d.%04d ", d, m, y);
        const DatRec rec = Record(date, "15:20:00", ZoneText(zone));
        CurrentChart e(s, opt, gen);
        for (bool full : {false, true}) {
            ASSERT_TRUE(UnpackDatRecToChart(s, rec));
            const LunationSearch r = FindNextLunation(s, e, full);
            EXPECT_TRUE(r.converged) << line;
            EXPECT_NEAR((r.jdUT - (full ? jdFull : jdNew)) * 1440, 0, 1.0) << line << " " << full;
        }
        // The horizontal parallax is back as it was.
        EXPECT_TRUE(e.HorParallax());
        ++rows;
    }
    EXPECT_EQ(rows, 7);
}

// Meeus, Astronomical Algorithms, example 49.a: new Moon of 1977 February 18 at 3h37m42s TD
// (JDE 2443192.65118). One minute, as above.
TEST_F(DayInfoTest, MeeusExample49a) {
    ASSERT_TRUE(UnpackDatRecToChart(s, Record("10.02.1977 ", "00:00:00", "+00:00")));
    CurrentChart e(s, opt, gen);
    const LunationSearch r = FindNextLunation(s, e, false);
    const double jde = r.jdUT + DeltaT(CenturiesJ2000(r.jdUT)) / 86400;
    EXPECT_NEAR((jde - 2443192.65118) * 1440, 0, 1.0);
    EXPECT_EQ(s.ChartDay, 18);
    EXPECT_EQ(s.ChartHour, 3);
}

TEST_F(DayInfoTest, TheSearchStopsAfterItsStepLimit) {
    ASSERT_TRUE(UnpackDatRecToChart(s, Record("10.02.1977 ", "00:00:00", "+00:00")));
    CurrentChart e(s, opt, gen);
    const LunationSearch r = FindNextLunation(s, e, false, 1);
    EXPECT_EQ(r.steps, 1);
    EXPECT_FALSE(r.converged);
    EXPECT_GT(std::abs(r.jdUT - 2443192.65063), 1.0 / 86400);
}

// Meeus, example 48.a: 1992 April 12, 0h TD, illuminated fraction k = 0.6786 (his positions
// from the truncated chapter 47 theory: 0.0005).
TEST_F(DayInfoTest, PhaseOfMeeusExample48a) {
    const double jdUT = 2448724.5 - DeltaT(CenturiesJ2000(2448724.5)) / 86400;
    const DateTimeRec t = CalendarFromJD(jdUT);
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%2d.%02d.%04d ", static_cast<int>(t.Day), t.Month, t.Year);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.Hour, t.Minute,
                  static_cast<int>(t.Second));
    s.DatRec1 = Record("01.01.2000 ", "12:00:00", "+00:00");
    ASSERT_TRUE(UnpackDatRecToChart(s, s.DatRec1));
    CurrentChart e(s, opt, gen);
    const DaySummary d = BuildDaySummary(s, e, gen, Record(date, time, "+00:00"));
    EXPECT_NEAR(d.phaseFraction, 0.6786, 0.0005);
    // The Moon waxes four days before the full Moon: a negative angle, 69.0756° in size.
    EXPECT_NEAR(d.phaseAngle / kDegToRad, -69.0756, 0.05);
    // The chart moment is back.
    EXPECT_EQ(s.ChartYear, 2000);
    EXPECT_EQ(s.ChartHour, 12);
    EXPECT_EQ(s.ContextDepth, 0);
}

TEST_F(DayInfoTest, SummaryLinesInTheirOrder) {
    s.EnglishMode = true;
    ASSERT_TRUE(UnpackDatRecToChart(s, Record("10.02.1977 ", "06:00:00", "+00:00")));
    CurrentChart e(s, opt, gen);
    const DaySummary d =
        BuildDaySummary(s, e, gen, Record("10.02.1977 ", "06:00:00", "+00:00"), [] { return 22; });
    std::vector<std::string> lines;
    std::string rest = d.text;
    for (std::size_t p; (p = rest.find(';')) != std::string::npos; rest.erase(0, p + 1))
        lines.push_back(rest.substr(0, p));
    lines.push_back(rest);
    ASSERT_EQ(lines.size(), 5u) << d.text;
    EXPECT_EQ(lines[0], " 10 February 1977 Thursday  06:00:00");
    EXPECT_EQ(lines[1].rfind("Lunar day: 22  Moonrise and moonset: ", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find("  Sunrise: 0"), std::string::npos) << lines[1];
    // The new Moon (18 February) comes before the full Moon (5 March).
    // (PyEphem: 3:36:52 UT; the day and the hour in width 3, the weekday's two letters.)
    EXPECT_EQ(lines[2].rfind("New Moon:  18 February 1977 Fr  3:3", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("Full Moon: ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4].rfind("Illuminated part of the Moon: ", 0), 0u);
    EXPECT_EQ(lines[4].back(), '%');
}

TEST_F(DayInfoTest, TodayAndTomorrowByTheLocalCalendar) {
    s.EnglishMode = true;
    // The new Moon of 18 February 1977 at 3:37 UT is on the 18th at UTC+3 as well; seen from
    // the 17th at 23:00 of that zone it is tomorrow, from the 18th today.
    CurrentChart e(s, opt, gen);
    ASSERT_TRUE(UnpackDatRecToChart(s, Record("17.02.1977 ", "23:00:00", "+03:00")));
    DaySummary d = BuildDaySummary(s, e, gen, Record("17.02.1977 ", "23:00:00", "+03:00"));
    EXPECT_NE(d.text.find("New Moon tomorrow:  18 February"), std::string::npos) << d.text;
    d = BuildDaySummary(s, e, gen, Record("18.02.1977 ", "01:00:00", "+03:00"));
    EXPECT_NE(d.text.find("New Moon today:  18 February"), std::string::npos) << d.text;
}

} // namespace
} // namespace qor
