#include "core/MoonSunDays.h"

#include "core/AstroMath.h"
#include "core/ChartEngine.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/RiseSet.h"
#include "core/Stepping.h"

#include <cmath>

namespace qor {

namespace {

constexpr int kSun = 1, kMoon = 2;
constexpr int kMaxPasses = 50;

GeneralOptions WithoutParallax(const GeneralOptions& gen) {
    GeneralOptions g = gen;
    g.HorParallax = false;
    return g;
}

// A rise (rising) or set of body n searched from the chart moment; the moment is left there.
FoundMoment SearchRiseSet(AstroDat& s, const ChartOptions& geo, const GeneralOptions& gen, int n,
                          bool rising, bool forward) {
    FoundMoment m;
    m.found = rising ? FindRiseSet(s, geo, gen, n, forward) : FindRiseSet2(s, geo, gen, n, forward);
    if (m.found) {
        m.jdUT = ChartMomentJD(s);
        m.text = ChartDateTimeLine(s);
    }
    return m;
}

// The same inside its own context: the chart moment comes back.
FoundMoment RiseSetFromMoment(AstroDat& s, const ChartOptions& geo, const GeneralOptions& gen,
                              int n, bool rising, bool forward) {
    ChartContextGuard keep(s);
    return SearchRiseSet(s, geo, gen, n, rising, forward);
}

void SetMoment(AstroDat& s, int year, int month, int day, int hour) {
    s.ChartYear = year;
    s.ChartMonth = month;
    s.ChartDay = day;
    s.ChartHour = hour;
    s.ChartMinute = 0;
    s.ChartSecond = 0;
    UpdateCalendarForYear(s);
}

// "hh:mm:ss" of a universal-time Julian day in a zone (minutes east), to the nearest second.
std::string ZoneTimeText(double jdUT, int zoneMinutes) {
    const double local = jdUT + zoneMinutes / 1440.0 + 0.5;
    long long sec = RoundEven((local - std::floor(local)) * 86400);
    sec = ((sec % 86400) + 86400) % 86400;
    return IntToStrZ(sec / 3600, 2) + ":" + IntToStrZ(sec / 60 % 60, 2) + ":" +
           IntToStrZ(sec % 60, 2);
}

} // namespace

ChartOptions GeocentricOptions(const ChartOptions& opt) {
    ChartOptions o = opt;
    o.HelioBox = false;
    o.HorizontalBox = false;
    o.ExterrBody = 0;
    o.ComputeParts = nullptr;
    return o;
}

LunationSearch FindPreviousNewMoon(AstroDat& s, const ChartOptions& opt, int maxSteps) {
    CurrentChart e(s, GeocentricOptions(opt), WithoutParallax(GeneralOptions{}));
    e.CalcAstroTime();
    e.CalcChart(kSun);
    e.CalcChart(kMoon);
    // The Moon's age estimated from its mean motion; at the conjunction itself, no step.
    const double age = NormAngle(e.PlanetLon()[kMoon] - e.PlanetLon()[kSun]) / e.PlanetSpeed()[kMoon];
    return RefineLunation(s, e, false, -age, maxSteps);
}

MoonDay MoonDayCount(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    MoonDay d;
    ChartStateGuard keep(s);
    const ChartOptions geo = GeocentricOptions(opt);
    const double now = ChartMomentJD(s);
    {
        ChartContextGuard atNewMoon(s);
        d.newMoon = FindPreviousNewMoon(s, geo);
        if (!d.newMoon.converged) return d;
        d.firstRise = SearchRiseSet(s, geo, gen, kMoon, true, true);
    }
    if (!d.firstRise.found) return d;
    if (now < d.firstRise.jdUT) {
        d.day = 1;
        return d;
    }
    d.lastRiseSearched = true;
    d.lastRise = RiseSetFromMoment(s, geo, gen, kMoon, true, false);
    if (!d.lastRise.found) return d;
    const long long day = RoundEven((d.lastRise.jdUT - d.firstRise.jdUT) / kMoonDayLength) + 2;
    d.day = static_cast<int>(day < 1 ? 1 : day > 30 ? 30 : day);
    return d;
}

EquinoxSearch FindVernalEquinox(AstroDat& s, const ChartOptions& opt, int year) {
    EquinoxSearch r;
    CurrentChart e(s, GeocentricOptions(opt), WithoutParallax(GeneralOptions{}));
    SetMoment(s, year, 3, 22, 12);
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        e.CalcAstroTime();
        e.CalcChart(kSun);
        const double days = NormAngleSigned(e.PlanetLon()[kSun]) / e.PlanetSpeed()[kSun];
        if (std::abs(days) * 86400 <= 1) {
            r.found = true;
            break;
        }
        StepMomentDays(s, -days);
    }
    r.jdUT = ChartMomentJD(s);
    r.text = ChartDateTimeLine(s);
    return r;
}

int SunYearTotem(int year) {
    return ((year + 14) % 32 + 32) % 32 + 1; // years before the era too
}

SunYear SunYearStart(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen) {
    SunYear y;
    ChartStateGuard keep(s);
    const ChartOptions geo = GeocentricOptions(opt);
    const double now = ChartMomentJD(s);
    int year = s.ChartYear;
    for (std::size_t pass = 0; pass < y.passes.size(); ++pass, --year) {
        ChartContextGuard inYear(s);
        SunYearPass& p = y.passes[pass];
        y.passCount = static_cast<int>(pass) + 1;
        p.year = year;
        p.totem = SunYearTotem(year);
        p.equinox = FindVernalEquinox(s, geo, year);
        if (!p.equinox.found) return y;
        p.start = SearchRiseSet(s, geo, gen, kSun, true, true);
        if (!p.start.found) return y;
        if (p.start.jdUT <= now) {
            y.found = true;
            y.totem = p.totem;
            y.startJD = p.start.jdUT;
            return y;
        }
    }
    return y;
}

SunDay SunDayNumber(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen,
                    const SunYear& year) {
    SunDay d;
    if (!year.found) return d;
    ChartStateGuard keep(s);
    d.lastRise = SearchRiseSet(s, GeocentricOptions(opt), gen, kSun, true, false);
    if (!d.lastRise.found) return d;
    const long long n = RoundEven(d.lastRise.jdUT - year.startJD + 1);
    if (n < 1) return d;
    d.found = true;
    d.number = static_cast<int>(n);
    d.month = (d.number - 1) / 30 + 1;
    d.dayOfMonth = (d.number - 1) % 30 + 1;
    return d;
}

int PlanetaryHourRuler(int weekDay, int hour, bool night) {
    // The Chaldean order, from the slowest planet to the fastest.
    static constexpr int kChaldean[7] = {7, 6, 5, 1, 4, 3, 2};
    // The place in that order of each weekday's planet: Sunday the Sun .. Saturday Saturn.
    static constexpr int kWeekDayPlace[7] = {3, 6, 2, 5, 1, 4, 0};
    if (weekDay < 0 || weekDay > 6 || hour < 1 || hour > 12) return 1;
    const int k = (night ? 12 : 0) + hour - 1; // hours since the day's first
    return kChaldean[(kWeekDayPlace[weekDay] + k) % 7];
}

PlanetaryHours FindPlanetaryHours(AstroDat& s, const ChartOptions& opt,
                                  const GeneralOptions& gen) {
    PlanetaryHours h;
    ChartStateGuard keep(s);
    const ChartOptions geo = GeocentricOptions(opt);
    const double now = ChartMomentJD(s);
    const int secondOfDay = s.ChartHour * 3600 + s.ChartMinute * 60 + s.ChartSecond;
    {
        GeneralOptions g = gen;
        g.HorParallax = true;
        CurrentChart e(s, geo, g);
        e.CalcAstroTime();
        e.CalcChart(kSun);
        h.isDay = e.Body(kSun)[kBodyAltitude] + RiseThreshold(s, g, kSun) >= 0;
        h.calendarWeekDay = s.ChartWeekDay;
    }
    if (h.isDay) {
        h.sunset = RiseSetFromMoment(s, geo, gen, kSun, false, true);
        h.sunrise = RiseSetFromMoment(s, geo, gen, kSun, true, false);
        h.startJD = h.sunrise.jdUT;
        h.endJD = h.sunset.jdUT;
        h.weekDay = h.calendarWeekDay;
    } else {
        h.sunrise = RiseSetFromMoment(s, geo, gen, kSun, true, true);
        h.sunset = RiseSetFromMoment(s, geo, gen, kSun, false, false);
        h.startJD = h.sunset.jdUT;
        h.endJD = h.sunrise.jdUT;
        // After midnight the night is still the one of the day before.
        h.weekDay = secondOfDay < 43200 ? (h.calendarWeekDay + 6) % 7 : h.calendarWeekDay;
    }
    h.found = h.sunrise.found && h.sunset.found;
    if (!h.found) return h;
    const double length = (h.endJD - h.startJD) / 12;
    h.hourMinutes = length * 1440;
    const int current = static_cast<int>(std::floor((now - h.startJD) / length)) + 1;
    h.current = current < 1 ? 1 : current > 12 ? 12 : current;
    for (int i = 0; i < 12; ++i) {
        h.rulers[static_cast<std::size_t>(i)] = PlanetaryHourRuler(h.weekDay, i + 1, !h.isDay);
        h.starts[static_cast<std::size_t>(i)] = ZoneTimeText(h.startJD + i * length, s.ChartZone);
    }
    return h;
}

} // namespace qor
