// The steps of the chart's moment and place: time steps of seconds to days against Python's
// datetime and timedelta, month and year steps and the order of the fields, and the place
// steps over the date line and the poles.

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "forecast/ChartSteps.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qor::forecast {
namespace {

namespace fs = std::filesystem;

using Moment = std::array<int, 6>; // year, month, day, hour, minute, second

void SetMoment(AstroDat& s, const Moment& m) {
    s.ChartYear = m[0];
    s.ChartMonth = m[1];
    s.ChartDay = m[2];
    s.ChartHour = m[3];
    s.ChartMinute = m[4];
    s.ChartSecond = m[5];
    UpdateCalendarForYear(s);
}

Moment MomentIn(const AstroDat& s) {
    return {s.ChartYear, s.ChartMonth, s.ChartDay, s.ChartHour, s.ChartMinute, s.ChartSecond};
}

std::string Text(const Moment& m) {
    char b[64];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", m[0], m[1], m[2], m[3], m[4], m[5]);
    return b;
}

struct DayTimeCase {
    Moment start;
    int days, hours, minutes, seconds;
};

// Steps within the windows' spin ranges, of both signs and mixed signs, across the ends of a
// minute, an hour, a day, a month, a year and 29 February.
const DayTimeCase kDayTimeCases[] = {
    {{2024, 3, 10, 12, 0, 0}, 0, 0, 0, 1},        {{2024, 3, 10, 12, 0, 0}, 0, 0, 0, -1},
    {{2024, 12, 31, 23, 59, 59}, 0, 0, 0, 1},     {{2025, 1, 1, 0, 0, 0}, 0, 0, 0, -1},
    {{2024, 2, 28, 23, 59, 30}, 0, 0, 0, 59},     {{2024, 3, 1, 0, 0, 10}, 0, 0, 0, -59},
    {{2023, 2, 28, 23, 30, 0}, 0, 0, 59, 0},      {{2023, 3, 1, 0, 30, 0}, 0, 0, -59, 0},
    {{2024, 2, 28, 22, 0, 0}, 0, 23, 0, 0},       {{2024, 3, 1, 1, 0, 0}, 0, -23, 0, 0},
    {{2024, 2, 29, 12, 0, 0}, 1, 0, 0, 0},        {{2024, 2, 29, 12, 0, 0}, -1, 0, 0, 0},
    {{2023, 2, 15, 6, 0, 0}, 30, 0, 0, 0},        {{2024, 2, 15, 6, 0, 0}, 30, 0, 0, 0},
    {{2024, 3, 20, 6, 0, 0}, -30, 0, 0, 0},       {{2023, 3, 20, 6, 0, 0}, -30, 0, 0, 0},
    {{2024, 12, 15, 18, 0, 0}, 30, 0, 0, 0},      {{2025, 1, 10, 18, 0, 0}, -30, 0, 0, 0},
    {{1999, 12, 31, 23, 59, 59}, 30, 23, 59, 59}, {{2000, 1, 31, 0, 0, 0}, -30, -23, -59, -59},
    {{2100, 2, 28, 12, 0, 0}, 1, 0, 0, 0},     // 2100 has no 29 February
    {{2000, 2, 28, 12, 0, 0}, 1, 0, 0, 0},     // 2000 has one
    {{2024, 5, 31, 23, 0, 0}, 1, -2, 30, -45}, // mixed signs
    {{2024, 6, 1, 0, 15, 0}, -1, 5, -20, 59},     {{2023, 12, 31, 0, 0, 30}, 0, 23, 59, -31},
};

// Python's datetime + timedelta for each case, computed now.
std::vector<Moment> PythonMoments(const std::vector<DayTimeCase>& cases) {
    test::TempDir dir;
    const fs::path input = dir / "cases.txt";
    {
        std::ofstream out(input);
        for (const DayTimeCase& c : cases) {
            for (int v : c.start) out << v << ' ';
            out << c.days << ' ' << c.hours << ' ' << c.minutes << ' ' << c.seconds << '\n';
        }
    }
    const fs::path script = fs::path(QOR_SOURCE_DIR) / "tests/forecast/time_steps_oracle.py";
    const std::string command =
        "/usr/bin/python3 '" + script.string() + "' '" + input.string() + "' 2>&1";
    std::vector<Moment> result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream in(line);
        Moment m{};
        for (int& v : m) in >> v;
        if (in) result.push_back(m);
    }
    pclose(pipe);
    return result;
}

TEST(ChartSteps, DayAndTimeStepsAgreeWithPythonDatetime) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const std::vector<DayTimeCase> cases(std::begin(kDayTimeCases), std::end(kDayTimeCases));
    const std::vector<Moment> expected = PythonMoments(cases);
    ASSERT_EQ(expected.size(), cases.size()) << "the oracle did not answer every case";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const DayTimeCase& c = cases[i];
        AstroDat s;
        SetMoment(s, c.start);
        StepChartTime(s, {0, 0, c.days, c.hours, c.minutes, c.seconds});
        EXPECT_EQ(Text(MomentIn(s)), Text(expected[i]))
            << "case " << i << ": " << Text(c.start) << " by " << c.days << "d " << c.hours << "h "
            << c.minutes << "m " << c.seconds << "s";
    }
}

// Months and years keep the day where the new month has it; a missing day becomes the 1st of
// the next month (the core's stepper cases). The fields are applied from the seconds up.
TEST(ChartSteps, MonthsAndYearsAfterTheSmallerFields) {
    struct Case {
        Moment start;
        TimeStep step;
        Moment expected;
    };
    const Case cases[] = {
        {{2023, 1, 31, 10, 0, 0}, {0, 1, 0, 0, 0, 0}, {2023, 3, 1, 10, 0, 0}},
        {{2023, 3, 31, 10, 0, 0}, {0, -1, 0, 0, 0, 0}, {2023, 3, 1, 10, 0, 0}},
        {{2023, 1, 15, 10, 0, 0}, {0, -1, 0, 0, 0, 0}, {2022, 12, 15, 10, 0, 0}},
        {{2023, 1, 31, 10, 0, 0}, {0, 11, 0, 0, 0, 0}, {2024, 1, 1, 10, 0, 0}},
        {{2024, 2, 29, 10, 0, 0}, {1, 0, 0, 0, 0, 0}, {2025, 3, 1, 10, 0, 0}},
        {{2024, 2, 29, 10, 0, 0}, {-4, 0, 0, 0, 0, 0}, {2020, 3, 1, 10, 0, 0}},
        {{2024, 6, 15, 10, 0, 0}, {-100, 0, 0, 0, 0, 0}, {1924, 6, 15, 10, 0, 0}},
        {{2024, 6, 15, 10, 0, 0}, {1, -11, 0, 0, 0, 0}, {2024, 7, 15, 10, 0, 0}},
        // The seconds first: 31 January 23:59:30 + 30 s is 1 February, then + 1 month is
        // 1 March at midnight (the months first would give 2 March).
        {{2023, 1, 31, 23, 59, 30}, {0, 1, 0, 0, 0, 30}, {2023, 3, 1, 0, 0, 0}},
        // The days before the months: 30 January + 1 day is 31 January, + 1 month 1 March
        // (the months first would give 1 March + 1 day = 2 March).
        {{2023, 1, 30, 8, 0, 0}, {0, 1, 1, 0, 0, 0}, {2023, 3, 1, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        AstroDat s;
        SetMoment(s, c.start);
        StepChartTime(s, c.step);
        EXPECT_EQ(Text(MomentIn(s)), Text(c.expected)) << Text(c.start);
    }
}

// A step and its negation bring the moment back, where no month end moves the day (both run
// from the seconds up, so days and months together need not return).
TEST(ChartSteps, AStepAndItsNegationReturn) {
    const TimeStep steps[] = {{0, 0, 1, 0, 0, 0},
                              {0, 0, -30, -23, -59, -59},
                              {0, 0, 7, 5, 0, -10},
                              {1, 11, 0, 0, 0, 0},
                              {-100, -11, 0, 0, 0, 0}};
    const Moment start = {2024, 2, 15, 13, 45, 20};
    for (const TimeStep& step : steps) {
        AstroDat s;
        SetMoment(s, start);
        StepChartTime(s, step);
        EXPECT_NE(MomentIn(s), start);
        std::array<int, 6> back = FieldsOf(step);
        for (int& v : back) v = -v;
        StepChartTime(s, TimeStepOf(back));
        EXPECT_EQ(Text(MomentIn(s)), Text(start)) << FieldsOf(step)[0] << " " << FieldsOf(step)[1];
    }
}

// --- Place -----------------------------------------------------------------------------------

double Deg(double d) {
    return d * kDegToRad;
}

// The place as the birth data writes it ("89°00'N", "170°00'W").
std::string PlaceText(const AstroDat& s) {
    return FormatLatitude(s.ChartLat) + " " + FormatLongitude(s.ChartLong);
}

TEST(ChartSteps, PlaceStepsOverTheDateLineAndThePoles) {
    struct Case {
        double lat, lon; // degrees
        PlaceStep step;
        double latAfter, lonAfter;
        bool pole;
    };
    const Case cases[] = {
        // The date line both ways.
        {10, 179.5, {1, 0, 0, 0, 0, 0}, 10, -179.5, false},
        {10, -179.5, {-1, 0, 0, 0, 0, 0}, 10, 179.5, false},
        {10, 179.5, {0, 30, 0, 0, 0, 0}, 10, 180, false},
        {10, 37.5, {-10, -59, -59, 0, 0, 0}, 10, 37.5 - (10 + 59 / 60.0 + 59 / 3600.0), false},
        // Over the north pole: as far on the other side, half a turn round.
        {89, 10, {0, 0, 0, 2, 0, 0}, 89, -170, true},
        {87, 10, {0, 0, 0, 2, 0, 0}, 89, 10, false},
        {89, 10, {0, 0, 0, 11, 0, 0}, 80, -170, true},
        // Over the south pole.
        {-89, 10, {0, 0, 0, -2, 0, 0}, -89, -170, true},
        {-89, -170, {0, 0, 0, -2, 0, 0}, -89, 10, true},
        {-89,
         10,
         {0, 0, 0, -10, -59, -59},
         -(180 - 89 - 10 - 59 / 60.0 - 59 / 3600.0) + 0,
         -170,
         true},
        // The latitude first, then the longitude on the new meridian.
        {89, 10, {1, 0, 0, 2, 0, 0}, 89, -169, true},
        {0, 0, {0, 0, 1, 0, 0, 1}, 1 / 3600.0, 1 / 3600.0, false},
    };
    for (const Case& c : cases) {
        AstroDat s;
        s.ChartLat = Deg(c.lat);
        s.ChartLong = Deg(c.lon);
        EXPECT_EQ(StepChartPlace(s, c.step), c.pole) << c.lat << " " << c.lon;
        // 1e-9 rad is 0.0002": far below the arc-second of a step.
        EXPECT_NEAR(s.ChartLat, Deg(c.latAfter), 1e-9) << c.lat << " " << c.lon;
        EXPECT_NEAR(s.ChartLong, Deg(c.lonAfter), 1e-9) << c.lat << " " << c.lon;
        EXPECT_LE(std::abs(s.ChartLat), kPi / 2);
        EXPECT_LE(std::abs(s.ChartLong), kPi);
    }
}

TEST(ChartSteps, AtThePolesTheNextStepGoesAway) {
    // 89°N 10°E + 2°: 89°N 170°W; the latitude step turned, -2°: 87°N 170°W; the same south.
    for (const int hemisphere : {1, -1}) {
        AstroDat s;
        s.ChartLat = Deg(89 * hemisphere);
        s.ChartLong = Deg(10);
        PlaceStep step{0, 0, 0, 2 * hemisphere, 0, 0};
        ASSERT_TRUE(StepChartPlace(s, step));
        const char* ns = hemisphere > 0 ? "N" : "S";
        EXPECT_EQ(PlaceText(s), std::string("89") + "\xB0" + "00'" + ns + " 170\xB0" + "00'W");
        step.latDeg = -step.latDeg;
        EXPECT_FALSE(StepChartPlace(s, step));
        EXPECT_EQ(PlaceText(s), std::string("87") + "\xB0" + "00'" + ns + " 170\xB0" + "00'W");
    }
    AstroDat s;
    s.ChartLat = Deg(20);
    s.ChartLong = Deg(179.5);
    StepChartPlace(s, {1, 0, 0, 0, 0, 0});
    EXPECT_EQ(FormatLongitude(s.ChartLong), "179\xB0"
                                            "30'W");
}

TEST(ChartSteps, StepAngleIsSignedArcSeconds) {
    EXPECT_DOUBLE_EQ(StepAngle(1, 0, 0), kPi / 180);
    EXPECT_DOUBLE_EQ(StepAngle(0, 0, 1), 4.84813681109536e-06);
    EXPECT_DOUBLE_EQ(StepAngle(-1, -30, 0), -1.5 * kPi / 180);
    // The fields add with their own signs: 1° − 30' is 30'.
    EXPECT_DOUBLE_EQ(StepAngle(1, -30, 0), 0.5 * kPi / 180);
}

} // namespace
} // namespace qor::forecast
