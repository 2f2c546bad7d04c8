// The rise and set search, the day of the Moon, the solar calendar and the planetary hours
// against python3-ephem (tests/fixtures/moon_sun_days.txt, written by
// tools/make_moon_sun_days_fixture.py) and Meeus' worked examples.
#include "core/MoonSunDays.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/ChartEngine.h"
#include "core/ContextStack.h"
#include "core/Ephemeris.h"
#include "core/Planets.h"
#include "core/RiseSet.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "support/JulianDays.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qor {
namespace {

// The rows of one kind of the reference file, as numbers.
std::vector<std::vector<double>> Rows(const std::string& kind) {
    std::ifstream in(fs::path(QOR_FIXTURES_DIR) / "moon_sun_days.txt");
    EXPECT_TRUE(in) << "moon_sun_days.txt";
    std::vector<std::vector<double>> rows;
    std::string line, k;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        if (!(f >> k) || k != kind) continue;
        std::vector<double> v;
        for (double x; f >> x;) v.push_back(x);
        rows.push_back(v);
    }
    return rows;
}

class MoonSunDaysTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        for (int i = 0; i < kPlanetSeriesBodies; ++i) ASSERT_TRUE(LoadPlanetTerms(s, i).ok) << i;
    }
    // The chart moment of a universal-time Julian day in a zone, at a place (degrees).
    void At(double jdUT, double latDeg = 55.75, double lonDeg = 37.62, int zone = 0) {
        const ChartMoment m = test::MomentOfJD(jdUT + zone / 1440.0);
        s.ChartYear = m.Year;
        s.ChartMonth = m.Month;
        s.ChartDay = m.Day;
        s.ChartHour = m.Hour;
        s.ChartMinute = m.Minute;
        s.ChartSecond = m.Second;
        s.ChartZone = zone;
        s.ChartLat = latDeg * kDegToRad;
        s.ChartLong = lonDeg * kDegToRad;
        UpdateCalendarForYear(s);
    }
    // The current chart computed whole, as the program keeps it.
    void Compute() {
        CalcAstroTime(s, TimeOptionsFor(opt, gen));
        CalcChart(s, opt, gen, 0);
    }
    double Value(int body) {
        GeneralOptions g = gen;
        g.HorParallax = true;
        CurrentChart e(s, GeocentricOptions(opt), g);
        e.CalcAstroTime();
        e.CalcChart(body);
        return e.Body(body)[kBodyAltitude] + RiseThreshold(s, g, body);
    }
    test::RecordingReport report;
    AstroDat s;
    ChartOptions opt;
    GeneralOptions gen;
};

// Rise and set of the Sun and the Moon at latitudes 0, ±45 and 60 over a year, by the three
// definitions of rising: PyEphem's topocentric rise (pressure 0, horizon −0:34, its centre
// for RiseGroup 1 and 2). The search stops at the first whole second past the event; the
// Sun within 1 minute, the Moon within 2 (PyEphem refines the Moon's parallax and semi-
// diameter at the event, the threshold here uses the geocentric distance).
TEST_F(MoonSunDaysTest, RiseAndSetAgainstPyEphem) {
    const auto rows = Rows("rs");
    ASSERT_EQ(rows.size(), 112u);
    for (const auto& r : rows) {
        const double lat = r[0], lon = r[1];
        gen.RiseGroup = static_cast<int>(r[2]);
        const int body = static_cast<int>(r[3]);
        const double tolerance = (body == 1 ? 60 : 120) / 86400.0;
        const std::string what = "lat " + std::to_string(lat) + " group " +
                                 std::to_string(gen.RiseGroup) + " body " + std::to_string(body) +
                                 " from " + std::to_string(r[4]);
        At(r[4], lat, lon);
        ASSERT_TRUE(FindRiseSet(s, opt, gen, body, true)) << what;
        EXPECT_NEAR(ChartMomentJD(s), r[5], tolerance) << what << " rise";
        At(r[4], lat, lon);
        ASSERT_TRUE(FindRiseSet2(s, opt, gen, body, true)) << what;
        EXPECT_NEAR(ChartMomentJD(s), r[6], tolerance) << what << " set";
        At(r[4], lat, lon);
        ASSERT_TRUE(FindRiseSet(s, opt, gen, body, false)) << what;
        EXPECT_NEAR(ChartMomentJD(s), r[7], tolerance) << what << " previous rise";
    }
}

// The moment found is the first whole second above the threshold for a rise (the second
// before it counts below, 0 included) and the first below it for a set.
TEST_F(MoonSunDaysTest, TheFoundSecondIsTheFirstAcross) {
    for (int body : {1, 2})
        for (bool rising : {true, false}) {
            At(2460300.3, 45, 10);
            ASSERT_TRUE(rising ? FindRiseSet(s, opt, gen, body, true)
                               : FindRiseSet2(s, opt, gen, body, true));
            const double at = Value(body);
            DecSecond(s, 1);
            const double before = Value(body);
            if (rising) {
                EXPECT_GT(at, 0) << body;
                EXPECT_LE(before, 0) << body;
            } else {
                EXPECT_LT(at, 0) << body;
                EXPECT_GE(before, 0) << body;
            }
        }
}

// At 70° N the Sun neither sets at midsummer nor rises at midwinter (PyEphem says the same):
// the searches say so after their ten 3-hour steps, and the planetary hours and the solar
// calendar are not found.
TEST_F(MoonSunDaysTest, NoRiseInPolarDayOrNight) {
    const auto rows = Rows("polar");
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& r : rows) {
        for (bool forward : {true, false}) {
            At(r[2], r[0], r[1]);
            EXPECT_FALSE(FindRiseSet(s, opt, gen, 1, forward)) << r[2];
            At(r[2], r[0], r[1]);
            EXPECT_FALSE(FindRiseSet2(s, opt, gen, 1, forward)) << r[2];
            // Ten steps of three hours at most.
            EXPECT_LE(std::abs(ChartMomentJD(s) - r[2]), 30.0 / 24 + 1e-6);
        }
        At(r[2], r[0], r[1]);
        const PlanetaryHours h = FindPlanetaryHours(s, opt, gen);
        EXPECT_FALSE(h.found);
        EXPECT_EQ(h.isDay, r[3] == 1);
        EXPECT_FALSE(SunDayNumber(s, opt, gen, SunYearStart(s, opt, gen)).found);
    }
}

// Meeus, Astronomical Algorithms, example 49.a: the new Moon of 1977 February 18, 3h37m42s TD,
// found back from a week later within a minute, whatever the parallax, heliocentric and
// observer settings (the search is geocentric).
TEST_F(MoonSunDaysTest, PreviousNewMoonOfMeeus49a) {
    struct Case {
        bool parallax, helio;
        int observer;
    };
    for (const Case c : {Case{false, false, 0}, Case{true, true, 0}, Case{true, false, 5}}) {
        opt.HelioBox = c.helio;
        opt.ExterrBody = c.observer;
        gen.HorParallax = c.parallax;
        At(test::JdOf(1977, 2, 25) + 0.3);
        const LunationSearch r = FindPreviousNewMoon(s, opt);
        EXPECT_TRUE(r.converged);
        EXPECT_LE(r.steps, 10);
        const double jde = r.jdUT + DeltaT(CenturiesJ2000(r.jdUT)) / 86400;
        EXPECT_NEAR((jde - 2443192.65118) * 1440, 0, 1.0) << c.helio << c.observer;
    }
}

// PyEphem's previous new Moon for 30 dates of 1950..2050, within a minute; a moment just
// after a new Moon finds that one, not the one before.
TEST_F(MoonSunDaysTest, PreviousNewMoonAgainstPyEphem) {
    const auto rows = Rows("nm");
    ASSERT_EQ(rows.size(), 30u);
    for (const auto& r : rows) {
        At(r[0]);
        const LunationSearch found = FindPreviousNewMoon(s, opt);
        EXPECT_TRUE(found.converged) << r[0];
        EXPECT_NEAR((found.jdUT - r[1]) * 1440, 0, 1.0) << r[0];
        At(r[1] + 30.0 / 86400);
        EXPECT_NEAR((FindPreviousNewMoon(s, opt).jdUT - r[1]) * 1440, 0, 1.0) << r[1];
    }
}

// Every day of two lunations at Moscow (alternately 21:00 and 6:00), and the minutes around
// the first moonrise after each new Moon, against PyEphem's moonrises counted from the new
// Moon: day 1 before the first moonrise, never above 30.
TEST_F(MoonSunDaysTest, DayOfTheMoonCountsTheMoonrises) {
    const auto rows = Rows("md");
    ASSERT_EQ(rows.size(), 66u);
    int ones = 0;
    for (const auto& r : rows) {
        At(r[2], r[0], r[1], 180);
        const MoonDay d = MoonDayCount(s, opt, gen);
        EXPECT_EQ(d.day, static_cast<int>(r[3])) << r[2];
        EXPECT_TRUE(d.firstRise.found);
        EXPECT_EQ(d.lastRiseSearched, d.day > 1);
        EXPECT_LE(d.day, 30);
        ones += d.day == 1;
    }
    EXPECT_GE(ones, 4);
}

// The search leaves the chart as it found it: the moment, the time step and every point.
TEST_F(MoonSunDaysTest, TheChartIsLeftAsItWas) {
    At(2460330.1, 50, 30, 120);
    Compute();
    const AstroDat before = s;
    MoonDayCount(s, opt, gen);
    SunDayNumber(s, opt, gen, SunYearStart(s, opt, gen));
    FindPlanetaryHours(s, opt, gen);
    EXPECT_EQ(s.ChartJD, before.ChartJD);
    EXPECT_EQ(s.ChartDay, before.ChartDay);
    EXPECT_EQ(s.ChartHour, before.ChartHour);
    EXPECT_EQ(s.ChartSecond, before.ChartSecond);
    EXPECT_EQ(s.SiderealTimeSec, before.SiderealTimeSec);
    EXPECT_EQ(s.PlanetLon, before.PlanetLon);
    EXPECT_EQ(s.PlanetSpeed, before.PlanetSpeed);
    EXPECT_EQ(s.ContextDepth, 0);
}

// When a moonrise cannot be found the day cannot be counted (0), not guessed.
TEST_F(MoonSunDaysTest, NoMoonriseNoMoonDay) {
    // 80° N in late December 2024: the Moon, near its northern standstill in the lunation
    // after 1 December, stays up for days and then down for days.
    int uncounted = 0;
    for (int day = 0; day < 28; day += 3) {
        At(test::JdOf(2024, 12, 2) + day, 80, 20);
        const MoonDay d = MoonDayCount(s, opt, gen);
        if (d.day == 0) {
            ++uncounted;
            EXPECT_TRUE(!d.firstRise.found || (d.lastRiseSearched && !d.lastRise.found));
        }
    }
    EXPECT_GT(uncounted, 0);
}

// The vernal equinox of 2000: March 20, 7:35 UT (PyEphem 7:35:17); more years within a minute.
TEST_F(MoonSunDaysTest, VernalEquinox) {
    At(test::JdOf(2000, 1, 1));
    EquinoxSearch e = FindVernalEquinox(s, opt, 2000);
    ASSERT_TRUE(e.found);
    EXPECT_EQ(s.ChartDay, 20);
    EXPECT_EQ(s.ChartHour, 7);
    EXPECT_NEAR(s.ChartMinute + s.ChartSecond / 60.0, 35.3, 1.0);
    opt.HelioBox = true; // the Sun is the geocentric one whatever the chart shows
    for (const auto& r : Rows("eq")) {
        e = FindVernalEquinox(s, opt, static_cast<int>(r[0]));
        EXPECT_TRUE(e.found);
        EXPECT_NEAR((e.jdUT - r[1]) * 1440, 0, 1.0) << r[0];
    }
}

// Totems run 1..32 over 32 years and wrap; years before the era continue the cycle.
TEST_F(MoonSunDaysTest, YearTotems) {
    for (int i = 0; i < 64; ++i) EXPECT_EQ(SunYearTotem(2002 + i), i % 32 + 1) << 2002 + i;
    struct Case {
        int year, totem;
    };
    for (const Case c : {Case{2001, 32}, Case{2024, 23}, Case{18, 1}, Case{0, 15}, Case{-1, 14},
                         Case{-14, 1}, Case{-15, 32}, Case{-40000, 15}})
        EXPECT_EQ(SunYearTotem(c.year), c.totem) << c.year;
}

// The solar year starts at the first sunrise after the equinox: a moment before it belongs
// to the year before; the days count sunrises in months of 30, the 13th month after day 360.
TEST_F(MoonSunDaysTest, SunYearAndSunDays) {
    const double lat = 55.75, lon = 37.62;
    At(test::JdOf(2024, 6, 1), lat, lon, 180);
    const SunYear y2024 = SunYearStart(s, opt, gen);
    ASSERT_TRUE(y2024.found);
    EXPECT_EQ(y2024.totem, 23);
    EXPECT_EQ(y2024.passCount, 1);
    // The equinox of 2024 at 3:06 UT, sunrise at Moscow about 3:40 UT the same day.
    EXPECT_NEAR(y2024.passes[0].equinox.jdUT, 2460389.6294249, 1.0 / 1440);
    EXPECT_GT(y2024.startJD, y2024.passes[0].equinox.jdUT);
    EXPECT_LT(y2024.startJD - y2024.passes[0].equinox.jdUT, 1.0);

    At(y2024.startJD - 60.0 / 86400, lat, lon, 180);
    const SunYear before = SunYearStart(s, opt, gen);
    EXPECT_EQ(before.passCount, 2);
    EXPECT_EQ(before.totem, 22);
    EXPECT_EQ(before.passes[0].totem, 23);
    EXPECT_NEAR(before.passes[0].start.jdUT, y2024.startJD, 1e-9);
    EXPECT_NEAR(before.startJD, y2024.startJD - 365.25, 1.5);
    // The last day of the year before: its 13th month.
    SunDay d = SunDayNumber(s, opt, gen, before);
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.month, 13);
    EXPECT_EQ(d.number, 360 + d.dayOfMonth);
    EXPECT_GE(d.number, 365);

    struct Case {
        int days, number, month, dayOfMonth;
    };
    for (const Case c : {Case{0, 1, 1, 1}, Case{1, 2, 1, 2}, Case{29, 30, 1, 30}, Case{30, 31, 2, 1},
                         Case{359, 360, 12, 30}, Case{360, 361, 13, 1}, Case{364, 365, 13, 5}}) {
        At(y2024.startJD + c.days + 2.0 / 24, lat, lon, 180);
        const SunYear y = SunYearStart(s, opt, gen);
        d = SunDayNumber(s, opt, gen, y);
        ASSERT_TRUE(d.found) << c.days;
        EXPECT_EQ(y.totem, 23) << c.days;
        EXPECT_EQ(d.number, c.number) << c.days;
        EXPECT_EQ(d.month, c.month) << c.days;
        EXPECT_EQ(d.dayOfMonth, c.dayOfMonth) << c.days;
    }
}

// The rulers of the day hours as the tradition tables them (Sunday: Sun, Venus, Mercury, Moon,
// Saturn, Jupiter, Mars ...); the night hours carry the Chaldean order on, and the hour after
// the night is the next weekday's planet.
TEST_F(MoonSunDaysTest, PlanetaryHourRulers) {
    // Sun 1, Moon 2, Mercury 3, Venus 4, Mars 5, Jupiter 6, Saturn 7.
    struct Case {
        int weekDay;
        const char* day; // the twelve day hours
    };
    const Case cases[] = {
        {0, "143276514327"}, {1, "276514327651"}, {2, "514327651432"}, {3, "327651432765"},
        {4, "651432765143"}, {5, "432765143276"}, {6, "765143276514"},
    };
    for (const Case& c : cases)
        for (int h = 1; h <= 12; ++h)
            EXPECT_EQ(PlanetaryHourRuler(c.weekDay, h, false), c.day[h - 1] - '0')
                << c.weekDay << " day " << h;
    // The night: the Chaldean order carried on from the day's twelfth hour.
    const int order[7] = {7, 6, 5, 1, 4, 3, 2};
    for (int w = 0; w < 7; ++w) {
        int at = 0;
        while (order[at] != PlanetaryHourRuler(w, 12, false)) ++at;
        for (int h = 1; h <= 12; ++h)
            EXPECT_EQ(PlanetaryHourRuler(w, h, true), order[(at + h) % 7]) << w << " night " << h;
        // The hour after the night is the next weekday's first.
        EXPECT_EQ(order[(at + 13) % 7], PlanetaryHourRuler((w + 1) % 7, 1, false)) << w;
    }
    EXPECT_EQ(PlanetaryHourRuler(7, 1, false), 1);
    EXPECT_EQ(PlanetaryHourRuler(0, 13, false), 1);
    EXPECT_EQ(PlanetaryHourRuler(0, 0, true), 1);
}

// The period of the hours ends at PyEphem's sunrise and sunset within a minute; hour i starts
// at start + (i − 1) × length; the chart moment is in the current hour; after midnight the
// night belongs to the day before.
TEST_F(MoonSunDaysTest, PlanetaryHoursAgainstPyEphem) {
    const auto rows = Rows("ph");
    ASSERT_EQ(rows.size(), 16u);
    int nightsAfterMidnight = 0;
    for (const auto& r : rows) {
        const int zone = static_cast<int>(std::lround(r[1] / 15)) * 60;
        At(r[2], r[0], r[1], zone);
        const int calendarDay = WeekDayOfJD(test::JdOf(s.ChartYear, s.ChartMonth, s.ChartDay));
        const bool afterMidnight = s.ChartHour < 12;
        const PlanetaryHours h = FindPlanetaryHours(s, opt, gen);
        ASSERT_TRUE(h.found) << r[2];
        EXPECT_EQ(h.isDay, r[3] == 1) << r[2];
        EXPECT_NEAR((h.startJD - r[4]) * 1440, 0, 1.0) << r[2];
        EXPECT_NEAR((h.endJD - r[5]) * 1440, 0, 1.0) << r[2];
        const double length = (h.endJD - h.startJD) / 12;
        EXPECT_NEAR(h.hourMinutes, length * 1440, 1e-9);
        for (int i = 1; i <= 12; ++i) {
            const ChartMoment m = test::MomentOfJD(h.startJD + (i - 1) * length + zone / 1440.0);
            char text[16];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", m.Hour, m.Minute, m.Second);
            EXPECT_EQ(h.starts[static_cast<std::size_t>(i - 1)], text) << i;
        }
        EXPECT_LE(h.startJD + (h.current - 1) * length, r[2] + 1e-6);
        EXPECT_GE(h.startJD + h.current * length, r[2] - 1e-6);
        EXPECT_EQ(h.calendarWeekDay, calendarDay);
        if (!h.isDay && afterMidnight) {
            ++nightsAfterMidnight;
            EXPECT_EQ(h.weekDay, (calendarDay + 6) % 7) << r[2];
        } else {
            EXPECT_EQ(h.weekDay, calendarDay) << r[2];
        }
        EXPECT_EQ(h.rulers[0], PlanetaryHourRuler(h.weekDay, 1, !h.isDay));
    }
    EXPECT_GT(nightsAfterMidnight, 0);
}

// The moment's line as the texts write it: the hour in width 3, the weekday's two letters.
TEST_F(MoonSunDaysTest, DateTimeLine) {
    struct Case {
        int y, m, d, h, mi, sec;
        bool english;
        const char* text;
    };
    const Case cases[] = {
        {1977, 2, 18, 3, 37, 42, true, " 18 February 1977 Fr  3:37:42"},
        {2024, 12, 1, 23, 5, 9, true, "  1 December 2024 Su 23:05:09"},
        {2024, 5, 9, 0, 0, 0, false, "  9 мая 2024 Чт  0:00:00"},
        {33, 1, 10, 12, 0, 0, true, " 10 January 0033 Sa 12:00:00"}, // Julian calendar
    };
    for (const Case& c : cases) {
        s.EnglishMode = c.english;
        s.ChartYear = c.y;
        s.ChartMonth = c.m;
        s.ChartDay = c.d;
        s.ChartHour = c.h;
        s.ChartMinute = c.mi;
        s.ChartSecond = c.sec;
        EXPECT_EQ(ChartDateTimeLine(s), Cp(c.text));
    }
}

} // namespace
} // namespace qor
