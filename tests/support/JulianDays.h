// The Julian day of 0h of a calendar date (Julian before 15 October 1582, Gregorian after).
#pragma once

#include "core/AstroMath.h"
#include "core/ChartMoment.h"

#include <cmath>

namespace qor::test {

inline double JdOf(int year, int month, int day) {
    DateTimeRec r;
    r.Year = year;
    r.Month = month;
    r.Day = day;
    return JulianDayOf(r);
}

// The civil moment of zone 0 (latitude and longitude 0) of a Julian day of universal time,
// to the nearest second.
inline ChartMoment MomentOfJD(double jdUT) {
    double day = std::floor(jdUT - 0.5) + 0.5; // 0h UT
    long long seconds = std::llround((jdUT - day) * 86400);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += 1;
    }
    const DateTimeRec r = CalendarFromJD(day);
    ChartMoment m;
    m.Year = r.Year;
    m.Month = r.Month;
    m.Day = static_cast<int>(r.Day);
    m.Hour = static_cast<int>(seconds / 3600);
    m.Minute = static_cast<int>(seconds / 60 % 60);
    m.Second = static_cast<int>(seconds % 60);
    return m;
}

} // namespace qor::test
