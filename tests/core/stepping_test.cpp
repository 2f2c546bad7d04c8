#include "core/AstroMath.h"
#include "core/Stepping.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

struct Moment {
    int y, mo, d, h, mi, s;
};

void Set(AstroDat& st, Moment m) {
    st.ChartYear = m.y;
    st.ChartMonth = m.mo;
    st.ChartDay = m.d;
    st.ChartHour = m.h;
    st.ChartMinute = m.mi;
    st.ChartSecond = m.s;
    UpdateCalendarForYear(st);
}

Moment Get(const AstroDat& st) {
    return {st.ChartYear, st.ChartMonth, st.ChartDay, st.ChartHour, st.ChartMinute, st.ChartSecond};
}

bool operator==(const Moment& a, const Moment& b) {
    return a.y == b.y && a.mo == b.mo && a.d == b.d && a.h == b.h && a.mi == b.mi && a.s == b.s;
}

std::ostream& operator<<(std::ostream& o, const Moment& m) {
    return o << m.y << "-" << m.mo << "-" << m.d << " " << m.h << ":" << m.mi << ":" << m.s;
}

TEST(Stepping, CarriesOfEveryStepper) {
    struct Case {
        const char* what;
        void (*step)(AstroDat&, int);
        int n;
        Moment from, to;
    } cases[] = {
        {"IncMonth 31 Jan", IncMonth, 1, {2023, 1, 31, 0, 0, 0}, {2023, 3, 1, 0, 0, 0}},
        {"DecMonth 31 Mar", DecMonth, 1, {2023, 3, 31, 0, 0, 0}, {2023, 3, 1, 0, 0, 0}},
        {"DecMonth Jan", DecMonth, 1, {2023, 1, 15, 0, 0, 0}, {2022, 12, 15, 0, 0, 0}},
        {"IncMonth 11 from 31 Jan", IncMonth, 11, {2023, 1, 31, 0, 0, 0}, {2024, 1, 1, 0, 0, 0}},
        {"IncYear 29 Feb", IncYear, 1, {2024, 2, 29, 0, 0, 0}, {2025, 3, 1, 0, 0, 0}},
        {"DecYear 29 Feb", DecYear, 4, {2024, 2, 29, 0, 0, 0}, {2020, 3, 1, 0, 0, 0}},
        {"DecHour at 0", DecHour, 1, {2024, 3, 1, 0, 17, 0}, {2024, 2, 29, 23, 17, 0}},
        {"IncSecond at new year", IncSecond, 1, {2023, 12, 31, 23, 59, 59}, {2024, 1, 1, 0, 0, 0}},
        {"DecSecond at new year", DecSecond, 1, {2024, 1, 1, 0, 0, 0}, {2023, 12, 31, 23, 59, 59}},
        {"IncMinute 90", IncMinute, 90, {2024, 1, 1, 23, 0, 0}, {2024, 1, 2, 0, 30, 0}},
        {"DecMinute 61", DecMinute, 61, {2024, 1, 1, 1, 0, 0}, {2023, 12, 31, 23, 59, 0}},
        {"IncHour 25", IncHour, 25, {2024, 2, 28, 0, 0, 0}, {2024, 2, 29, 1, 0, 0}},
        {"DecDay Mar 1", DecDay, 1, {2023, 3, 1, 8, 0, 0}, {2023, 2, 28, 8, 0, 0}},
        {"zero steps", IncDay, 0, {2023, 3, 1, 8, 0, 0}, {2023, 3, 1, 8, 0, 0}},
        {"negative steps", DecDay, -5, {2023, 3, 1, 8, 0, 0}, {2023, 3, 1, 8, 0, 0}},
        {"IncYear into Gregorian", IncYear, 1, {1581, 12, 1, 0, 0, 0}, {1582, 12, 1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        AstroDat s;
        Set(s, c.from);
        c.step(s, c.n);
        EXPECT_EQ(Get(s), c.to) << c.what;
    }
}

// Whole seconds either way: the days, then the rest with its carries.
TEST(Stepping, SecondsByDaysAndTheRest) {
    struct Case {
        long long seconds;
        Moment from, to;
    } cases[] = {
        {45, {2024, 12, 31, 23, 59, 30}, {2025, 1, 1, 0, 0, 15}},
        {-45, {2025, 1, 1, 0, 0, 15}, {2024, 12, 31, 23, 59, 30}},
        {2 * 86400 + 10, {2024, 2, 28, 12, 0, 0}, {2024, 3, 1, 12, 0, 10}},
        {-(366LL * 86400), {2025, 3, 1, 0, 0, 0}, {2024, 2, 29, 0, 0, 0}},
        {0, {2024, 1, 1, 0, 0, 0}, {2024, 1, 1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        AstroDat s;
        Set(s, c.from);
        StepSeconds(s, c.seconds);
        EXPECT_EQ(Get(s), c.to) << c.seconds;
    }
}

// Day steps across a year take the new year's February, without a recomputation between.
TEST(Stepping, DaysAcrossNewYearUseTheNewFebruary) {
    AstroDat s;
    Set(s, {2023, 12, 31, 12, 0, 0});
    ASSERT_EQ(s.MonthDays[2], 28);
    IncDay(s, 60);
    EXPECT_EQ(Get(s), (Moment{2024, 2, 29, 12, 0, 0}));
    Set(s, {2024, 1, 1, 12, 0, 0});
    ASSERT_EQ(s.MonthDays[2], 29);
    DecDay(s, 306); // back through 2023, a common year
    EXPECT_EQ(Get(s), (Moment{2023, 3, 1, 12, 0, 0}));
}

// Stepping a day at a time agrees with the Julian day over many years, leap days included.
TEST(Stepping, DayStepsFollowTheJulianDay) {
    AstroDat s;
    Set(s, {1899, 12, 25, 0, 0, 0});
    DateTimeRec r;
    r.Year = 1899;
    r.Month = 12;
    r.Day = 25;
    const double jd0 = JulianDayOf(r);
    for (int i = 1; i <= 3000; ++i) {
        IncDay(s, 37);
        const DateTimeRec c = CalendarFromJD(jd0 + 37.0 * i);
        ASSERT_EQ(Get(s), (Moment{c.Year, c.Month, static_cast<int>(c.Day), 0, 0, 0})) << i;
    }
}

TEST(UTLabels, ZoneShiftsTheDay) {
    struct Case {
        Moment local;
        int zone;
        const char* time;
        const char* date;
    } cases[] = {
        {{2024, 3, 1, 3, 10, 0}, 330, "21:40:00", "29.02.2024"},
        {{2024, 3, 1, 3, 10, 5}, 0, " 3:10:05", "01.03.2024"},
        {{2023, 12, 31, 22, 0, 0}, -180, " 1:00:00", "01.01.2024"},
        {{-43, 3, 5, 12, 0, 0}, 0, "12:00:00", "05.03.0044B"},
    };
    for (const Case& c : cases) {
        AstroDat s;
        Set(s, c.local);
        s.ChartZone = c.zone;
        ShowUTLabels(s);
        EXPECT_EQ(s.UTTimeText, c.time);
        EXPECT_EQ(s.UTDateText, c.date);
    }
}

TEST(RealTime, FieldsOfTheBirthDataWindow) {
    const RealTimeFields f =
        SetRealTime({2026, 12, 10, 7, 5, 3}, {"+03:00", "55N", "37E", "Moscow", "Russia"});
    EXPECT_EQ(f.DateEdit, "10.12.2026");
    EXPECT_EQ(f.TimeEdit, "07:05:03");
    EXPECT_FALSE(f.EraCheckBox);
    EXPECT_EQ(f.NameEdit, "");
    EXPECT_EQ(f.SexGroup, 2);
    EXPECT_EQ(f.CityEdit, "Moscow");
}

} // namespace
} // namespace qor
