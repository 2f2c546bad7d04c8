#include "forecast/YearTables.h"

#include "core/BodyMotion.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor::forecast {

namespace {

constexpr long long kHour = 3600;
constexpr long long kDay = 86400;
// A stretch of a table's Step.
constexpr long long kStretch = 31 * kDay;
constexpr double kSignWidth = kPi / 6; // 30°

int DaysInYear(int year) {
    return static_cast<int>(
        std::lround(JulianDayOfDate(year + 1, 1, 1) - JulianDayOfDate(year, 1, 1)));
}

// "yyyy.mm.dd": the date a table has reached.
std::string DateText(const DateTimeRec& d) {
    return EphemerisYearText(d.Year) + "." + IntToStrZ(d.Month, 2) + "." +
           IntToStrZ(static_cast<int>(d.Day), 2);
}

// "hh:mm" of a moment, the hour blank-padded to `width`.
std::string ClockText(long long sec, int width) {
    const long long inDay = ((sec % kDay) + kDay) % kDay;
    return IntToStrW(inDay / kHour, width) + ":" + IntToStrZ((inDay % kHour) / 60, 2);
}

// The parallax switch of the chart computation for the life of a scope.
class ParallaxAs {
public:
    ParallaxAs(ChartEngine& chart, bool on) : chart_(chart), was_(chart.HorParallax()) {
        chart.SetHorParallax(on);
    }
    ~ParallaxAs() { chart_.SetHorParallax(was_); }
    ParallaxAs(const ParallaxAs&) = delete;
    ParallaxAs& operator=(const ParallaxAs&) = delete;

private:
    ChartEngine& chart_;
    bool was_;
};

std::string ZoneLine(const AstroDat& s, const YearTableInput& in) {
    return Lang(s, "Временная зона: "_cp, "Time zone: ") + Trim(in.zone);
}

std::string PlaceLine(const YearTableInput& in) {
    return TrimRight(in.city) + "  (" + in.lat + " " + in.lon + ")";
}

// The bisection of a moment between a and b (a < b) at which a test changes its answer:
// the last whole second at which it still gives `before`.
template <class Test> long long LastSecondBefore(long long a, long long b, bool before, Test test) {
    while (b - a > 1) {
        const long long m = a + (b - a) / 2;
        if (test(m) == before)
            a = m;
        else
            b = m;
    }
    return a;
}

// The same second for a test "f(m) > 0" whose values f are known at both ends (fa at a, fb at
// b) and change side once in between: the probes follow the straight line through the last two
// values, each with its neighbour across the line's root, so that a smooth f is settled in
// about four probes instead of one per halving; a round that does not halve the span is
// followed by a bisection, so the probes stay bounded whatever f does.
template <class F>
long long LastSecondBeforeRoot(long long a, double fa, long long b, double fb, bool before, F f) {
    double x0 = static_cast<double>(a), f0 = fa, x1 = static_cast<double>(b), f1 = fb;
    bool bisect = false;
    auto probe = [&](long long m) {
        const double v = f(m);
        const bool same = (v > 0) == before;
        (same ? a : b) = m;
        x0 = x1, f0 = f1;
        x1 = static_cast<double>(m), f1 = v;
        return same;
    };
    while (b - a > 1) {
        const long long span = b - a;
        long long m = a + span / 2;
        bool interpolated = false;
        if (!bisect && f1 != f0) {
            const double x = x1 + (x0 - x1) * (f1 / (f1 - f0));
            if (std::isfinite(x)) {
                const double lo = static_cast<double>(a + 1), hi = static_cast<double>(b - 1);
                m = static_cast<long long>(std::floor(std::clamp(x, lo, hi)));
                interpolated = true;
            }
        }
        const bool movedA = probe(m);
        if (interpolated && b - a > 1) probe(movedA ? a + 1 : b - 1);
        bisect = (b - a) * 2 > span;
    }
    return a;
}

} // namespace

double RiseAltitudeCorrection(int riseGroup, double previous) {
    switch (riseGroup) {
    case 0:
        return kUpperLimbWithRefraction;
    case 1:
        return 0.009890199094634534; // 34'
    case 2:
        return 0;
    default:
        return previous;
    }
}

// --- The clock --------------------------------------------------------------------------------

TableClock::TableClock(AstroDat& s, ChartEngine& chart, int baseYear, int baseMonth, int baseDay)
    : s_(s), chart_(chart), baseYear_(baseYear), baseMonth_(baseMonth), baseDay_(baseDay),
      zone_(s.ChartZone), jdLocalBase_(JulianDayOfDate(baseYear, baseMonth, baseDay)) {}

void TableClock::Set(long long sec) {
    s_.ChartYear = baseYear_;
    s_.ChartMonth = baseMonth_;
    s_.ChartDay = baseDay_;
    s_.ChartHour = static_cast<int>(sec / kHour);
    s_.ChartMinute = static_cast<int>((sec / 60) % 60);
    s_.ChartSecond = static_cast<int>(sec % 60);
    s_.ChartZone = zone_;
    chart_.CalcAstroTime();
}

long long TableClock::SecondOf(double jdUT) const {
    return std::llround((jdUT - (jdLocalBase_ - zone_ / 1440.0)) * kDay);
}

DateTimeRec TableClock::DateOf(long long sec) const {
    const long long day = sec >= 0 ? sec / kDay : -((-sec + kDay - 1) / kDay);
    return CalendarFromJD(jdLocalBase_ + static_cast<double>(day));
}

int TableClock::WeekDayOf(long long sec) const {
    const long long day = sec >= 0 ? sec / kDay : -((-sec + kDay - 1) / kDay);
    return WeekDayOfJD(jdLocalBase_ + static_cast<double>(day));
}

// --- Rises and sets ---------------------------------------------------------------------------

namespace {

// The fastest an altitude can change, radians an hour: the sky turns at most 15.05° an hour,
// which moves an altitude by that times the cosine of the latitude (taken 0.6° nearer the pole,
// for the geocentric latitude), and the Sun and the Moon move on the sky by less than 1.2° an
// hour with the Moon's parallax.
double MaxAltitudeRate(double lat) {
    constexpr double kTurn = 15.05 * kDegToRad, kOwnMotion = 1.2 * kDegToRad;
    const double nearerPole = std::max(0.0, std::fabs(lat) - 0.6 * kDegToRad);
    return kTurn * std::cos(std::min(nearerPole, kPi / 2)) + kOwnMotion;
}

} // namespace

HorizonScan::HorizonScan(TableClock& clock, ChartEngine& chart, int body, double h0, double lat,
                         long long from, long long to)
    : clock_(clock), chart_(chart), body_(body), h0_(h0), maxRate_(MaxAltitudeRate(lat)),
      from_(from), to_(to), next_(from - kHour) {}

double HorizonScan::Value(long long sec) {
    clock_.Set(sec);
    chart_.CalcChart(body_);
    return chart_.Body(body_)[kBodyAltitude] + h0_;
}

void HorizonScan::Refine(long long a, double va, long long b, double vb) {
    const bool above = va > 0;
    const long long t =
        LastSecondBeforeRoot(a, va, b, vb, above, [this](long long m) { return Value(m); });
    if (t >= from_ && t < to_) events_.push_back({t, !above});
}

void HorizonScan::Advance(long long until) {
    // One sample before the span and one after it, so that an event at either end is seen.
    while (next_ <= to_ + kHour && next_ <= until) {
        const long long t2 = next_;
        const double v2 = Value(t2);
        if (samples_ >= 1 && (v1_ > 0) != (v2 > 0)) {
            Refine(t1_, v1_, t2, v2);
        } else if (samples_ >= 2 && (v0_ > 0) == (v1_ > 0) && std::fabs(v1_) <= std::fabs(v0_) &&
                   std::fabs(v1_) <= std::fabs(v2)) {
            // Three samples on one side, the middle one nearest the horizon: the parabola
            // through them says whether the body dips (or peaks) across it in between.
            const double a = (v0_ + v2) / 2 - v1_, b = (v2 - v0_) / 2;
            if (a != 0) {
                const double x = -b / (2 * a);
                const double top = v1_ - b * b / (4 * a);
                if (x > -1 && x < 1 && (top > 0) != (v1_ > 0)) {
                    const long long tv = t1_ + std::llround(x * kHour);
                    const double vt = Value(tv);
                    if ((vt > 0) != (v1_ > 0)) {
                        Refine(t0_, v0_, tv, vt);
                        Refine(tv, vt, t2, v2);
                    }
                }
            }
        }
        t0_ = t1_, v0_ = v1_;
        t1_ = t2, v1_ = v2;
        ++samples_;
        next_ += kHour;
        // Three samples on one side make a parabola that crosses only when the middle one is
        // within an eighth of an hour's greatest change of the horizon (for v1 > 0 nearest:
        // top <= 0 needs v1 <= (D − d)² / 8(D + d) <= D / 8, D and d the neighbours' excess
        // over v1). So the hours after t2 whose samples all keep |v| above that, and the next
        // sample too, can change nothing: they are passed over, and the next sample begins
        // the samples anew (it needs no neighbour before it).
        const double margin = maxRate_ / 8;
        const double hours = (std::fabs(v2) - margin) / maxRate_; // |v| > margin before then
        const long long skip = static_cast<long long>(std::ceil(hours)) - 2;
        if (skip >= 1) {
            next_ += skip * kHour;
            samples_ = 0;
        }
    }
    std::sort(events_.begin(), events_.end(),
              [](const HorizonEvent& x, const HorizonEvent& y) { return x.sec < y.sec; });
}

namespace {

// --- Day lines of the rise and set tables --------------------------------------------------------

// The rises and sets of each day of a year (1-based day index), the first of each kind.
struct DayEvents {
    std::vector<long long> rise, set; // -1: none that day
};

DayEvents EventsByDay(const std::vector<HorizonEvent>& events, int days) {
    DayEvents d;
    d.rise.assign(days + 2, -1);
    d.set.assign(days + 2, -1);
    for (const HorizonEvent& e : events) {
        const long long day = e.sec / kDay;
        if (day < 1 || day > days) continue;
        std::vector<long long>& slot = e.rise ? d.rise : d.set;
        if (slot[day] < 0) slot[day] = e.sec;
    }
    return d;
}

// "Mo  1/01 ": weekday, day, month of a day index.
std::string DayPrefix(const AstroDat& s, const TableClock& clock, int day) {
    const long long sec = day * kDay;
    const DateTimeRec d = clock.DateOf(sec);
    return WeekDayShortName(s, clock.WeekDayOf(sec)) + " " + IntToStrW(static_cast<int>(d.Day), 2) +
           "/" + IntToStrZ(d.Month, 2) + " ";
}

// --- The Moon day log -------------------------------------------------------------------------

class MoonDayLogTable : public YearTable {
public:
    MoonDayLogTable(AstroDat& s, ChartEngine& chart, const YearTableInput& in,
                    std::vector<EphemerisRecord> annual)
        : s_(s), chart_(chart), in_(in), annual_(std::move(annual)),
          clock_(s, chart, in.year - 1, 12, 31), days_(DaysInYear(in.year)),
          scan_(clock_, chart_, 2, in.h0, s.ChartLat, kDay, kDay * (days_ + 1)) {
        reached_ = DateText(clock_.DateOf(kDay));
    }

    void Step() override {
        if (done_) return;
        ChartContextGuard guard(s_);
        if (!scan_.Done()) {
            ParallaxAs parallax(chart_, true); // the Moon rises where the observer is
            next_ += kStretch;
            scan_.Advance(next_);
            reached_ = DateText(clock_.DateOf(std::min(next_, kDay * days_)));
            return;
        }
        FindPhases();
        Assemble();
        done_ = true;
    }

private:
    struct Phase {
        long long sec;
        bool full;
    };

    // The Moon's elongation from the Sun plus `offset`, in [−π, π), geocentric.
    double Elongation(long long sec, double offset) {
        clock_.Set(sec);
        chart_.CalcChart(1);
        const double sun = chart_.Body(1)[kBodyLon];
        chart_.CalcChart(2);
        const double moon = chart_.Body(2)[kBodyLon];
        return NormAngleSigned(moon - sun + offset);
    }

    // New and full moons: the annual file's days bracket them, the chart computation at both
    // ends of the local year closes the gaps; each is refined to the second.
    void FindPhases() {
        ParallaxAs parallax(chart_, false);
        const long long start = kDay, end = kDay * (days_ + 1);
        struct Sample {
            long long sec;
            double sun, moon;
        };
        std::vector<Sample> samples;
        auto computed = [&](long long sec) {
            clock_.Set(sec);
            chart_.CalcChart(1);
            const double sun = chart_.Body(1)[kBodyLon];
            chart_.CalcChart(2);
            return Sample{sec, sun, chart_.Body(2)[kBodyLon]};
        };
        samples.push_back(computed(start));
        for (const EphemerisRecord& r : annual_) {
            const long long sec = clock_.SecondOf(JulianDayOfDate(in_.year, r.Month, r.Day));
            if (sec > samples.back().sec && sec < end) samples.push_back({sec, r.Lon[0], r.Lon[1]});
        }
        samples.push_back(computed(end));
        for (std::size_t k = 1; k < samples.size(); ++k) {
            const Sample& a = samples[k - 1];
            const Sample& b = samples[k];
            for (bool full : {false, true}) {
                const double offset = full ? kPi : 0.0;
                const double da = NormAngleSigned(a.moon - a.sun + offset);
                const double db = NormAngleSigned(b.moon - b.sun + offset);
                if (!(da <= 0 && db > 0 && db - da < kPi)) continue;
                const long long t = LastSecondBeforeRoot(
                    a.sec, da, b.sec, db, false, [&](long long m) { return Elongation(m, offset); });
                phases_.push_back({t, full});
            }
        }
    }

    void Assemble() {
        const DayEvents ev = EventsByDay(scan_.Events(), days_);
        std::vector<const Phase*> phaseOfDay(days_ + 2, nullptr);
        for (const Phase& p : phases_) {
            const long long day = p.sec / kDay;
            if (day >= 1 && day <= days_ && !phaseOfDay[day]) phaseOfDay[day] = &p;
        }
        const std::string year = EphemerisYearText(in_.year);
        lines_ = {
            Lang(s_, "Журнал Лунных дней на "_cp + year + " год"_cp, "Moon day log for " + year),
            PlaceLine(in_), ZoneLine(s_, in_),
            Lang(s_, "    Дата Восх. Заход ДЛ"_cp, "    Date Rise  Set   MD")};
        int moonDay = 0;
        for (int day = 1; day <= days_; ++day) {
            const long long rise = ev.rise[day], set = ev.set[day];
            const Phase* phase = phaseOfDay[day];
            // The lunar day: 1 from a new moon, one more at each moonrise; a new moon before
            // the day's moonrise makes that moonrise begin the second lunar day.
            if (phase && !phase->full)
                moonDay = 1;
            else if (moonDay != 0 && rise >= 0)
                ++moonDay;
            std::string line = DayPrefix(s_, clock_, day);
            line += rise >= 0 ? ClockText(rise, 2) : std::string(5, ' ');
            line += " ";
            line += set >= 0 ? ClockText(set, 2) : std::string(5, ' ');
            line += " ";
            line += moonDay != 0 && rise >= 0 ? IntToStrW(moonDay, 2) : std::string(" .");
            if (moonDay == 1 && phase && !phase->full) {
                const long long phaseMin = (phase->sec % kDay) / 60;
                const long long riseMin = rise >= 0 ? (rise % kDay) / 60 : 0;
                if (phaseMin < riseMin) moonDay = 2;
            }
            if (phase)
                line +=
                    " " + GetMsgText(s_, phase->full ? 124 : 121, Trim(ClockText(phase->sec, 2)));
            lines_.push_back(line);
        }
    }

    AstroDat& s_;
    ChartEngine& chart_;
    YearTableInput in_;
    std::vector<EphemerisRecord> annual_;
    TableClock clock_;
    int days_;
    HorizonScan scan_;
    long long next_ = 0;
    std::vector<Phase> phases_;
};

// --- Sunrises and sunsets ---------------------------------------------------------------------

class SunRiseSetTableImpl : public YearTable {
public:
    SunRiseSetTableImpl(AstroDat& s, ChartEngine& chart, const YearTableInput& in)
        : s_(s), chart_(chart), in_(in), clock_(s, chart, in.year - 1, 12, 31),
          days_(DaysInYear(in.year)),
          scan_(clock_, chart_, 1, in.h0, s.ChartLat, kDay, kDay * (days_ + 1)) {
        reached_ = DateText(clock_.DateOf(kDay));
    }

    void Step() override {
        if (done_) return;
        ChartContextGuard guard(s_);
        ParallaxAs parallax(chart_, true);
        if (!scan_.Done()) {
            next_ += kStretch;
            scan_.Advance(next_);
            reached_ = DateText(clock_.DateOf(std::min(next_, kDay * days_)));
            return;
        }
        Assemble();
        done_ = true;
    }

private:
    static std::string HourLength(long long minutes) {
        return FloatToStrComma(6, 1, minutes / 12.0);
    }

    void Assemble() {
        const DayEvents ev = EventsByDay(scan_.Events(), days_);
        const std::string year = EphemerisYearText(in_.year);
        lines_ = {
            Lang(s_, "Таблица восходов Солнца на "_cp + year + " год"_cp,
                 "Sunrises and sunsets of " + year),
            PlaceLine(in_), ZoneLine(s_, in_),
            Lang(s_, "    Дата  Восх. Заход  Дчас  Нчас"_cp, "    Date  Rise  Set    Dhour Nhour")};
        for (int day = 1; day <= days_; ++day) {
            const long long rise = ev.rise[day], set = ev.set[day];
            std::string line = DayPrefix(s_, clock_, day);
            if (rise < 0 && set < 0) {
                // Neither rise nor set: the Sun stays up or down all day.
                const bool up = scan_.Value(day * kDay + kDay / 2) > 0;
                line += up ? Lang(s_, "полярный день"_cp, "polar day")
                           : Lang(s_, "полярная ночь"_cp, "polar night");
                lines_.push_back(line);
                continue;
            }
            line += rise >= 0 ? ClockText(rise, 2) : std::string(5, ' ');
            line += set >= 0 ? " " + ClockText(set, 3) : std::string(7, ' ');
            const long long r = rise / 60, st = set / 60;
            line += rise >= 0 && set > rise ? HourLength(st - r) : std::string(6, ' ');
            // The night that follows: to the next day's sunrise.
            const long long nextRise = day < days_ ? ev.rise[day + 1] : -1;
            if (set >= 0 && nextRise > set) line += HourLength(nextRise / 60 - st);
            lines_.push_back(TrimRight(line));
        }
    }

    AstroDat& s_;
    ChartEngine& chart_;
    YearTableInput in_;
    TableClock clock_;
    int days_;
    HorizonScan scan_;
    long long next_ = 0;
};

// --- Apogees and perigees ---------------------------------------------------------------------

class MoonApsidesTableImpl : public YearTable {
public:
    MoonApsidesTableImpl(AstroDat& s, ChartEngine& chart, const YearTableInput& in)
        : s_(s), chart_(chart), in_(in), clock_(s, chart, in.year - 1, 12, 10) {
        reached_ = DateText(clock_.DateOf(0));
        const std::string year = EphemerisYearText(in_.year);
        lines_ = {Lang(s_, "Таблица апогеев и перигеев Луны на "_cp + year + " год"_cp,
                       "Moon apogees and perigees of " + year),
                  ZoneLine(s_, in_),
                  std::string(28, ' ') + Lang(s_, "Апогей(км)"_cp, "Apogee(km)") +
                      std::string(31, ' ') + Lang(s_, "Перигей(км)"_cp, "Perigee(km)")};
    }

    static constexpr int kExtremes = 29;

    void Step() override {
        if (done_) return;
        ChartContextGuard guard(s_);
        ParallaxAs parallax(chart_, false); // the distance from the Earth's centre
        NamesAs names(s_, false, true);     // sign abbreviations
        const long long until = t_ + kStretch;
        while (count_ < kExtremes && t_ < until) {
            const double r = Distance(t_);
            if (n_ >= 2) {
                const bool apogee = r1_ >= r0_ && r < r1_;
                const bool perigee = !apogee && r1_ <= r0_ && r > r1_;
                if (apogee || perigee) {
                    const long long at = Extreme(t_ - 2 * kHour, t_, apogee);
                    ++count_;
                    (apogee ? apogee_ : perigee_) = EventLine(at);
                    if (!apogee_.empty() && !perigee_.empty()) {
                        lines_.push_back(apogee_ + "   " + perigee_);
                        apogee_.clear();
                        perigee_.clear();
                    }
                    // The next extreme is more than ten days away.
                    t_ = at + 10 * kDay;
                    n_ = 0;
                    continue;
                }
            }
            r0_ = r1_;
            r1_ = r;
            ++n_;
            t_ += kHour;
        }
        reached_ = DateText(clock_.DateOf(t_));
        done_ = count_ >= kExtremes;
    }

private:
    double Distance(long long sec) {
        clock_.Set(sec);
        chart_.CalcChart(2);
        return chart_.Body(2)[kBodyHelioRadius]; // the Moon's geocentric distance
    }

    // The moment of the greatest (apogee) or least distance between two samples: the whole
    // minute found by a ternary search, then the parabola through it and its neighbours; the
    // last whole minute before it, in seconds.
    long long Extreme(long long from, long long to, bool greatest) {
        const double sign = greatest ? 1.0 : -1.0;
        auto f = [&](long long minute) { return sign * Distance(minute * 60); };
        long long lo = from / 60, hi = to / 60;
        while (hi - lo > 2) {
            const long long m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
            if (f(m1) < f(m2))
                lo = m1;
            else
                hi = m2;
        }
        long long best = lo;
        for (long long m = lo + 1; m <= hi; ++m)
            if (f(m) > f(best)) best = m;
        const double fm = f(best - 1), f0 = f(best), fp = f(best + 1);
        const double curve = fm - 2 * f0 + fp;
        const double shift = curve < 0 ? (fm - fp) / (2 * curve) : 0.0;
        const long long minute =
            static_cast<long long>(std::floor(best + std::clamp(shift, -0.5, 0.5)));
        return minute * 60;
    }

    // "dd.mm.yyyy  hh:mm  12Leo35  405123.456": the moment, the Moon's place, its distance.
    std::string EventLine(long long sec) {
        const double au = Distance(sec);
        const double lon = chart_.Body(2)[kBodyLon];
        const DateTimeRec d = clock_.DateOf(sec);
        return IntToStrW(static_cast<int>(d.Day), 2) + "." + IntToStrZ(d.Month, 2) + "." +
               EphemerisYearText(d.Year) + "  " + ClockText(sec, 2) + "  " +
               FormatZodiacDegMin(s_, lon * kRadToArcSec) +
               FloatToStrWD(12, 3, au * kAstronomicalUnitKm);
    }

    AstroDat& s_;
    ChartEngine& chart_;
    YearTableInput in_;
    TableClock clock_;
    long long t_ = 0;
    int n_ = 0, count_ = 0;
    double r0_ = 0, r1_ = 0;
    std::string apogee_, perigee_;
};

// --- Ingresses and stations -------------------------------------------------------------------

class PlanetIngressLogImpl : public YearTable {
public:
    PlanetIngressLogImpl(AstroDat& s, ChartEngine& chart, const YearTableInput& in, int point,
                         int period, bool heliocentric)
        : s_(s), chart_(chart), in_(in), point_(point), clock_(s, chart, in.year, 1, 1) {
        span_ = period > 0 ? std::llround((JulianDayOfDate(in.year + period, 1, 1) -
                                           JulianDayOfDate(in.year, 1, 1)) *
                                          kDay)
                           : 0;
        // A step in which the body moves about 5° at most.
        const double perHour = MaxDailyMotion(point) / kDegToRad / 24;
        step_ = std::max<long long>(1, RoundEven(5 / perHour)) * kHour;
        stationStep_ = std::min<long long>(step_, 240 * kHour);
        stage_ = point >= 3 ? 0 : 1;
        reached_ = DateText(clock_.DateOf(0));
        NamesAs names(s_, false, false);
        const std::string year = EphemerisYearText(in.year);
        const std::string name = Trim(BodyName(s_, point));
        lines_ = {Lang(s_, "Журнал ингрессий планеты "_cp + name + " на "_cp + year + " год"_cp,
                       "Ingresses of " + name + " from " + year),
                  Lang(s_, "Система: "_cp, "System: ") +
                      (heliocentric ? Lang(s_, "Гелиоцентрическая"_cp, "Heliocentric")
                                    : Lang(s_, "Геоцентрическая"_cp, "Geocentric")),
                  ZoneLine(s_, in_)};
    }

    void Step() override {
        if (done_) return;
        ChartContextGuard guard(s_);
        ParallaxAs parallax(chart_, false);
        if (stage_ == 0) {
            StationStretch();
        } else if (stage_ == 1) {
            IngressStretch();
        } else {
            Assemble();
            done_ = true;
        }
    }

private:
    struct Event {
        long long sec; // the last second before it
        int sign = 0;  // ingress: the sign entered, 0..11
        bool station = false;
        bool direct = false;
        double lon = 0;
    };

    double Longitude(long long sec) {
        clock_.Set(sec);
        chart_.CalcChart(point_);
        return chart_.PlanetLon()[point_];
    }
    bool Direct(long long sec) {
        clock_.Set(sec);
        chart_.CalcChart(point_);
        return chart_.PlanetSpeed()[point_] >= 0;
    }

    // Stations first, in steps of at most ten days, each found to the second.
    void StationStretch() {
        const long long until = std::min(t_ + kStretch * 3, span_);
        if (t_ == 0 && span_ > 0) direct_ = Direct(0);
        while (t_ < until) {
            const long long t = std::min(t_ + stationStep_, span_);
            const bool d = Direct(t);
            if (d != direct_) {
                const bool was = direct_;
                const long long at =
                    LastSecondBefore(t_, t, was, [this](long long m) { return Direct(m); });
                events_.push_back({at, 0, true, !was, Longitude(at)});
                stations_.push_back(at);
            }
            direct_ = d;
            t_ = t;
        }
        reached_ = DateText(clock_.DateOf(t_));
        if (t_ >= span_) {
            stage_ = 1;
            t_ = 0;
        }
    }

    // Then the sign boundaries crossed between samples, the stations among the samples, so
    // that the longitude moves one way between any two of them.
    void IngressStretch() {
        const long long until = std::min(t_ + kStretch * 3, span_);
        if (t_ == 0) {
            if (span_ <= 0) {
                stage_ = 2;
                return;
            }
            lon_ = Longitude(0);
        }
        while (t_ < until) {
            long long t = std::min(t_ + step_, span_);
            while (nextStation_ < stations_.size() && stations_[nextStation_] <= t_) ++nextStation_;
            if (nextStation_ < stations_.size() && stations_[nextStation_] < t)
                t = stations_[nextStation_];
            const double lon = Longitude(t);
            Crossings(t_, lon_, t, lon);
            t_ = t;
            lon_ = lon;
        }
        reached_ = DateText(clock_.DateOf(t_));
        if (t_ >= span_) stage_ = 2;
    }

    void Crossings(long long a, double la, long long b, double lb) {
        const double move = NormAngleSigned(lb - la);
        if (move == 0) return;
        const bool forward = move > 0;
        // The sign boundaries between la and la + move, in the direction of motion.
        const double from = forward ? la : la + move, to = forward ? la + move : la;
        for (int k = static_cast<int>(std::floor(from / kSignWidth)) + 1; k * kSignWidth <= to;
             ++k) {
            const double boundary = NormAngle(k * kSignWidth);
            const long long at = LastSecondBefore(a, b, forward ? false : true, [&](long long m) {
                return NormAngleSigned(Longitude(m) - boundary) >= 0;
            });
            const int entered = ((forward ? k : k - 1) % 12 + 12) % 12;
            if (at >= 0 && at < span_) events_.push_back({at, entered});
        }
    }

    void Assemble() {
        NamesAs names(s_, false, true);
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& x, const Event& y) { return x.sec < y.sec; });
        for (const Event& e : events_) {
            // The nearest minute of the crossing, which lies in the second after e.sec.
            const long long minute = (2 * e.sec + 61) / 120;
            const long long sec = minute * 60;
            const DateTimeRec d = clock_.DateOf(sec);
            std::string line = IntToStrW(static_cast<int>(d.Day), 2) + "." + IntToStrZ(d.Month, 2) +
                               "." + EphemerisYearText(d.Year) + "  " + ClockText(sec, 2);
            if (e.station)
                line += (e.direct ? " D " : " R ") + FormatZodiacDMS(s_, e.lon * kRadToArcSec);
            else
                line += " > " + Trim(SignName(s_, e.sign + 1));
            lines_.push_back(line);
        }
    }

    AstroDat& s_;
    ChartEngine& chart_;
    YearTableInput in_;
    int point_;
    TableClock clock_;
    long long span_ = 0, step_ = kHour, stationStep_ = kHour;
    int stage_ = 0;
    long long t_ = 0;
    bool direct_ = true;
    double lon_ = 0;
    std::vector<long long> stations_;
    std::size_t nextStation_ = 0;
    std::vector<Event> events_;
};

} // namespace

std::unique_ptr<YearTable> MakeMoonDayLog(AstroDat& s, ChartEngine& chart, const YearTableInput& in,
                                          std::vector<EphemerisRecord> annual) {
    return std::make_unique<MoonDayLogTable>(s, chart, in, std::move(annual));
}

std::unique_ptr<YearTable> MakeSunRiseSetTable(AstroDat& s, ChartEngine& chart,
                                               const YearTableInput& in) {
    return std::make_unique<SunRiseSetTableImpl>(s, chart, in);
}

std::unique_ptr<YearTable> MakeMoonApsidesTable(AstroDat& s, ChartEngine& chart,
                                                const YearTableInput& in) {
    return std::make_unique<MoonApsidesTableImpl>(s, chart, in);
}

std::unique_ptr<YearTable> MakePlanetIngressLog(AstroDat& s, ChartEngine& chart,
                                                const YearTableInput& in, int point, int period,
                                                bool heliocentric) {
    return std::make_unique<PlanetIngressLogImpl>(s, chart, in, point, period, heliocentric);
}

int IngressPlanetOf(AstroDat& s, const std::string& text) {
    NamesAs names(s, false, s.ShortNames);
    const std::string wanted = Trim(text);
    int found = 0;
    for (int i = 1; i <= 10; ++i)
        if (!wanted.empty() && Trim(BodyName(s, i)) == wanted) found = i;
    return found;
}

std::string MoonDayLogFileName(int year) {
    return "Wrk\\Moon" + EphemerisYearText(year) + ".wrk";
}

std::string SunTableFileName(int year) {
    return "Wrk\\Sun" + EphemerisYearText(year) + ".wrk";
}

std::string ApsidesTableFileName(int year) {
    return "Wrk\\Map" + EphemerisYearText(year) + ".wrk";
}

std::string IngressLogFileName(int point, int year, int period) {
    AstroDat english;
    english.EnglishMode = true;
    english.GlyphNames = false;
    return "Wrk\\Ingres" + Trim(BodyName(english, point)) + std::to_string(year) + "_" +
           std::to_string(period) + ".txt";
}

} // namespace qor::forecast
