// The Julian day of 0h of a calendar date (Julian before 15 October 1582, Gregorian after).
#pragma once

#include "core/AstroMath.h"

namespace qor::test {

inline double JdOf(int year, int month, int day) {
    DateTimeRec r;
    r.Year = year;
    r.Month = month;
    r.Day = day;
    return JulianDayOf(r);
}

} // namespace qor::test
