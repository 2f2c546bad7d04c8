#include "core/DayInfo.h"

#include "core/AstrClcs.h"
#include "core/RiseSet.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/MoonPhys.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <cmath>

namespace qor {

namespace {

constexpr double kSynodicMonthDays = 29.530588853; // mean synodic month (Meeus 49.1)

std::string TwoDigits(int n) {
    return IntToStrZ(n, 2);
}

// "hh:mm" of hours in [0, 24).
std::string HoursText(double hours) {
    long long minutes = RoundEven(hours * 60);
    minutes = ((minutes % 1440) + 1440) % 1440;
    return TwoDigits(static_cast<int>(minutes / 60)) + ":" +
           TwoDigits(static_cast<int>(minutes % 60));
}

std::string RiseSetText(const RiseSetTimes& t) {
    if (t.status != kRiseSetNormal) return "--:-- - --:--";
    return HoursText(t.rise) + " - " + HoursText(t.set);
}

// The elongation Sun − Moon (plus π for the full Moon) of the bodies just computed.
double Elongation(ChartEngine& e, bool full) {
    const PointArray& lon = e.PlanetLon();
    return lon[1] - lon[2] + (full ? kPi : 0.0);
}

void ComputeSunMoon(ChartEngine& e) {
    e.CalcAstroTime();
    e.CalcChart(1);
    e.CalcChart(2);
}


int ChartDateWeekDay(const AstroDat& s) {
    DateTimeRec r;
    r.Year = s.ChartYear;
    r.Month = s.ChartMonth;
    r.Day = s.ChartDay;
    return WeekDayOfJD(JulianDayOf(r));
}

// The first line of the day summary: the weekday in full and the hour in two digits.
std::string SummaryDateLine(AstroDat& s) {
    return IntToStrW(s.ChartDay, 3) + " " + Trim(MonthName(s, s.ChartMonth)) + " " +
           IntToStrZ(s.ChartYear, 4) + " " + WeekDayName(s, ChartDateWeekDay(s)) + "  " +
           TwoDigits(s.ChartHour) + ":" + TwoDigits(s.ChartMinute) + ":" + TwoDigits(s.ChartSecond);
}

} // namespace

std::string ChartDateTimeLine(AstroDat& s) {
    return IntToStrW(s.ChartDay, 3) + " " + Trim(MonthName(s, s.ChartMonth)) + " " +
           IntToStrZ(s.ChartYear, 4) + " " + WeekDayShortName(s, ChartDateWeekDay(s)) +
           IntToStrW(s.ChartHour, 3) + ":" + TwoDigits(s.ChartMinute) + ":" +
           TwoDigits(s.ChartSecond);
}

double ChartMomentJD(const AstroDat& s) {
    DateTimeRec r;
    r.Year = s.ChartYear;
    r.Month = s.ChartMonth;
    r.Day = s.ChartDay;
    const double seconds = (s.ChartHour * 60.0 + s.ChartMinute - s.ChartZone) * 60 + s.ChartSecond;
    return JulianDayOf(r) + seconds / 86400;
}

void StepMomentDays(AstroDat& s, double days) {
    const double whole = std::trunc(days);
    const long long rest = RoundEven((days - whole) * 86400);
    const long long n = std::llabs(rest);
    const int hours = static_cast<int>(n / 3600), minutes = static_cast<int>(n / 60 % 60),
              seconds = static_cast<int>(n % 60);
    if (whole > 0) IncDay(s, static_cast<int>(whole));
    if (whole < 0) DecDay(s, static_cast<int>(-whole));
    if (rest > 0) {
        IncHour(s, hours);
        IncMinute(s, minutes);
        IncSecond(s, seconds);
    } else if (rest < 0) {
        DecHour(s, hours);
        DecMinute(s, minutes);
        DecSecond(s, seconds);
    }
}

LunationSearch RefineLunation(AstroDat& s, ChartEngine& e, bool full, double firstStep,
                              int maxSteps) {
    LunationSearch r;
    double t = firstStep;
    while (r.steps < maxSteps) {
        ++r.steps;
        StepMomentDays(s, t);
        ComputeSunMoon(e);
        const double relative = e.PlanetSpeed()[2] - e.PlanetSpeed()[1];
        t = NormAngleSigned(Elongation(e, full)) / relative;
        if (std::abs(t) * 86400 <= 1) {
            r.converged = true;
            break;
        }
    }
    r.jdUT = ChartMomentJD(s);
    r.text = ChartDateTimeLine(s);
    return r;
}

LunationSearch FindNextLunation(AstroDat& s, ChartEngine& e, bool full, int maxSteps) {
    const bool parallax = e.HorParallax();
    e.SetHorParallax(false);
    s.ChartHour = 0;
    s.ChartMinute = 0;
    s.ChartSecond = 0;
    ComputeSunMoon(e);
    const double t = NormAngle(Elongation(e, full)) / e.PlanetSpeed()[2];
    LunationSearch r = RefineLunation(s, e, full, t, maxSteps);
    e.SetHorParallax(parallax);
    return r;
}

DaySummary BuildDaySummary(AstroDat& s, ChartEngine& e, const GeneralOptions& opt,
                           const DatRec& start, const std::function<int()>& lunarDay) {
    DaySummary d;
    const bool parallax = e.HorParallax();
    {
        ChartContextGuard outer(s);
        UnpackDatRecToChart(s, start);
        const double jd0 = ChartMomentJD(s);
        e.SetHorParallax(true);
        e.CalcAstroTime();
        e.CalcChart(0);

        // The phase: Meeus' phase angle, signed by the side of the Sun the Moon is on.
        const MoonPhysRec phys = MoonPhysOfChart(s);
        const double elongation = NormAngle(e.PlanetLon()[2] - e.PlanetLon()[1]);
        d.phaseAngle = elongation < kPi ? -phys.i : phys.i;
        if (d.phaseAngle >= kPi) d.phaseAngle -= kTwoPi;
        d.phaseFraction = phys.k;

        std::string text = SummaryDateLine(s);

        int day;
        if (lunarDay) {
            day = lunarDay();
        } else {
            day = ClampedIndex(elongation / kTwoPi * kSynodicMonthDays, 0, 29) + 1;
        }
        GeneralOptions gen = opt;
        gen.HorParallax = true;
        const RiseSetTimes moon = MoonRiseSet(s, e, gen);
        const RiseSetTimes sun = SunRiseSet(s, e, gen);
        // A day the search could not count (no moonrise near the poles) is not guessed.
        text += ";" + GetMsgText(s, 116, day > 0 ? std::to_string(day) : std::string("--")) + "  " +
                GetMsgText(s, 117, RiseSetText(moon)) + "  " + GetMsgText(s, 118, RiseSetText(sun));

        {
            ChartContextGuard inner(s);
            d.newMoon = FindNextLunation(s, e, false);
        }
        {
            ChartContextGuard inner(s);
            d.fullMoon = FindNextLunation(s, e, true);
        }

        // Day differences in the chart's local calendar.
        const double o = s.ChartZone / 60.0 / 24.0 + 0.5;
        auto dayDiff = [&](double jd) {
            return static_cast<long long>(std::trunc(jd + o)) -
                   static_cast<long long>(std::trunc(jd0 + o));
        };
        const long long dn = dayDiff(d.newMoon.jdUT);
        const long long df = std::llabs(dayDiff(d.fullMoon.jdUT));
        const std::string newLine = GetMsgText(s,
                                               dn <= 0   ? 119
                                               : dn == 1 ? 120
                                                         : 121,
                                               d.newMoon.text);
        const std::string fullLine = GetMsgText(s,
                                                df == 0   ? 122
                                                : df == 1 ? 123
                                                          : 124,
                                                d.fullMoon.text);
        if (d.newMoon.jdUT < d.fullMoon.jdUT)
            text += ";" + newLine + ";" + fullLine;
        else
            text += ";" + fullLine + ";" + newLine;
        text += ";" + GetMsgText(s, 151, FloatToStrWD(1, 1, d.phaseFraction * 100) + "%");
        d.text = text;
    }
    e.SetHorParallax(parallax);
    e.CalcAstroTime();
    e.CalcChart(0);
    return d;
}

} // namespace qor
