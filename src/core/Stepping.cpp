#include "core/Stepping.h"

#include "core/AstroMath.h"
#include "core/Formats.h"

#include <algorithm>
#include <ctime>

namespace qor {

namespace {

void IncYear1(AstroDat& s);
void DecYear1(AstroDat& s);

// After a year step: the calendar of the new year, and a 29 February that no longer exists
// becomes 1 March.
void YearBookkeeping(AstroDat& s) {
    UpdateCalendarForYear(s);
    if (s.ChartDay > s.MonthDays[s.ChartMonth]) {
        s.ChartDay = 1;
        ++s.ChartMonth;
    }
}

void IncYear1(AstroDat& s) {
    ++s.ChartYear;
    YearBookkeeping(s);
}

void DecYear1(AstroDat& s) {
    --s.ChartYear;
    YearBookkeeping(s);
}

// After a month step: a day past the month's end moves to the 1st of the next month.
void MonthDayRule(AstroDat& s) {
    if (s.ChartDay > s.MonthDays[s.ChartMonth]) {
        s.ChartDay = 1;
        ++s.ChartMonth;
        if (s.ChartMonth > 12) {
            s.ChartMonth = 1;
            IncYear1(s);
        }
    }
}

void IncMonth1(AstroDat& s) {
    ++s.ChartMonth;
    if (s.ChartMonth > 12) {
        s.ChartMonth = 1;
        IncYear1(s);
    }
    MonthDayRule(s);
}

void DecMonth1(AstroDat& s) {
    if (s.ChartMonth <= 1) {
        s.ChartMonth = 12;
        DecYear1(s);
    } else {
        --s.ChartMonth;
    }
    MonthDayRule(s);
}

// The day steppers cross a year without the day rule of the year steppers, but February
// must follow the new year.
void IncDay1(AstroDat& s) {
    ++s.ChartDay;
    if (s.ChartDay > s.MonthDays[s.ChartMonth]) {
        s.ChartDay = 1;
        ++s.ChartMonth;
        if (s.ChartMonth > 12) {
            s.ChartMonth = 1;
            ++s.ChartYear;
            UpdateCalendarForYear(s);
        }
    }
}

void DecDay1(AstroDat& s) {
    --s.ChartDay;
    if (s.ChartDay < 1) {
        --s.ChartMonth;
        if (s.ChartMonth < 1) {
            s.ChartMonth = 12;
            --s.ChartYear;
            UpdateCalendarForYear(s);
        }
        s.ChartDay = s.MonthDays[s.ChartMonth];
    }
}

void IncHour1(AstroDat& s) {
    ++s.ChartHour;
    if (s.ChartHour >= 24) {
        IncDay1(s);
        s.ChartHour = 0;
    }
}

void DecHour1(AstroDat& s) {
    if (s.ChartHour <= 0) {
        DecDay1(s);
        s.ChartHour = 24;
    }
    --s.ChartHour;
}

void IncMinute1(AstroDat& s) {
    ++s.ChartMinute;
    if (s.ChartMinute >= 60) {
        IncHour1(s);
        s.ChartMinute = 0;
    }
}

void DecMinute1(AstroDat& s) {
    if (s.ChartMinute <= 0) {
        DecHour1(s);
        s.ChartMinute = 60;
    }
    --s.ChartMinute;
}

void IncSecond1(AstroDat& s) {
    ++s.ChartSecond;
    if (s.ChartSecond >= 60) {
        IncMinute1(s);
        s.ChartSecond = 0;
    }
}

void DecSecond1(AstroDat& s) {
    if (s.ChartSecond <= 0) {
        DecMinute1(s);
        s.ChartSecond = 60;
    }
    --s.ChartSecond;
}

void Repeat(AstroDat& s, int n, void (*step)(AstroDat&)) {
    for (int i = 0; i < n; ++i) step(s);
}

// Two digits of a number, the tens digit 0 written as a blank when asked.
std::string TwoDigits(int v, bool blankTens) {
    std::string t = IntToStrZ(v, 2);
    if (blankTens && t[0] == '0') t[0] = ' ';
    return t;
}

} // namespace

void UpdateCalendarForYear(AstroDat& s) {
    const int y = s.ChartYear, m = s.ChartMonth, d = s.ChartDay;
    s.GregorianCal = IsGregorianDate(y, m, d);
    s.MonthDays[2] = IsLeapYear(s, y) ? 29 : 28;
}

void IncYear(AstroDat& s, int n) {
    Repeat(s, n, IncYear1);
}
void DecYear(AstroDat& s, int n) {
    Repeat(s, n, DecYear1);
}
void IncMonth(AstroDat& s, int n) {
    Repeat(s, n, IncMonth1);
}
void DecMonth(AstroDat& s, int n) {
    Repeat(s, n, DecMonth1);
}
void StepSeconds(AstroDat& s, long long seconds) {
    const long long a = seconds < 0 ? -seconds : seconds;
    const long long days = a / 86400;
    const int rest = static_cast<int>(a % 86400);
    for (long long done = 0; done < days;) {
        const int n = static_cast<int>(std::min<long long>(days - done, 1 << 30));
        seconds >= 0 ? IncDay(s, n) : DecDay(s, n);
        done += n;
    }
    seconds >= 0 ? IncSecond(s, rest) : DecSecond(s, rest);
}

void IncDay(AstroDat& s, int n) {
    Repeat(s, n, IncDay1);
}
void DecDay(AstroDat& s, int n) {
    Repeat(s, n, DecDay1);
}
void IncHour(AstroDat& s, int n) {
    Repeat(s, n, IncHour1);
}
void DecHour(AstroDat& s, int n) {
    Repeat(s, n, DecHour1);
}
void IncMinute(AstroDat& s, int n) {
    Repeat(s, n, IncMinute1);
}
void DecMinute(AstroDat& s, int n) {
    Repeat(s, n, DecMinute1);
}
void IncSecond(AstroDat& s, int n) {
    Repeat(s, n, IncSecond1);
}
void DecSecond(AstroDat& s, int n) {
    Repeat(s, n, DecSecond1);
}

LocalMoment LocalMomentNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

RealTimeFields SetRealTime(const LocalMoment& now, const OwnPlace& place) {
    RealTimeFields f;
    f.DateEdit =
        IntToStrZ(now.day, 2) + "." + IntToStrZ(now.month, 2) + "." + IntToStrZ(now.year, 4);
    f.TimeEdit =
        IntToStrZ(now.hour, 2) + ":" + IntToStrZ(now.minute, 2) + ":" + IntToStrZ(now.second, 2);
    f.dTEdit = place.zone;
    f.LatEdit = place.lat;
    f.LongEdit = place.lon;
    f.CityEdit = place.city;
    f.CountryEdit = place.country;
    return f;
}

void ShowUTLabels(AstroDat& s) {
    // Universal time = local time − zone, carried into a day shift of −1, 0 or +1.
    int total = s.ChartHour * 60 + s.ChartMinute - s.ChartZone;
    int dayShift = 0;
    while (total < 0) {
        total += 1440;
        --dayShift;
    }
    while (total >= 1440) {
        total -= 1440;
        ++dayShift;
    }
    s.UTTimeText = TwoDigits(total / 60, true) + ":" + TwoDigits(total % 60, false) + ":" +
                   TwoDigits(s.ChartSecond, false);

    int y = s.ChartYear, m = s.ChartMonth, d = s.ChartDay + dayShift;
    if (d < 1) {
        if (--m < 1) {
            m = 12;
            --y;
        }
        d = s.MonthDays[m];
    } else if (d > s.MonthDays[m]) {
        d = 1;
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    const std::string year = y < 1 ? IntToStrZ(1 - y, 4) + "B" : IntToStrZ(y, 4);
    s.UTDateText = IntToStrZ(d, 2) + "." + IntToStrZ(m, 2) + "." + year;
}

} // namespace qor
