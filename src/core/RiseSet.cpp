#include "core/RiseSet.h"

#include "core/AstroMath.h"
#include "core/Stepping.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

// Altitudes of rising: −50′ (upper limb with refraction), −34′ (refraction alone); for the
// Moon 0.7275 of its horizontal parallax less 34′ (Meeus, Astronomical Algorithms, ch. 15).
constexpr double kUpperLimbAltitude = -0.014543897651582658;
constexpr double kRefractionAltitude = -0.009890037858741148;
constexpr double kSiderealPerSolar = 1.00273790934;
constexpr double kDayInCenturies = 2.7378507871321012e-05;

double RiseAltitude(const ChartEngine& e, const GeneralOptions& opt, int kind) {
    if (opt.RiseGroup == 2) return 0.0;
    if (kind == kRiseKindSun) return opt.RiseGroup == 0 ? kUpperLimbAltitude : kRefractionAltitude;
    if (kind == kRiseKindMoon && opt.RiseGroup == 0) {
        // sin π = Earth radius / distance = 1 / (23454.78 · Δ in astronomical units).
        const double dist = e.Body(2)[kBodyDistance];
        const double parallax = dist > 0 ? std::asin(std::min(1.0, 1.0 / (23454.78 * dist))) : 0;
        return std::sin(0.7274924 * parallax - 0.009890199094634533 - 3.874e-07);
    }
    return kRefractionAltitude;
}

// A day angle in [0, 2π) as hours of the chart's zone time in [0, 24).
double ZoneHours(const AstroDat& s, double angle) {
    double h = NormAngle(angle) * 12.0 / kPi + s.ChartZone / 60.0;
    if (h >= 24) h -= 24;
    if (h < 0) h += 24;
    return h;
}

} // namespace

namespace {

// The events nearest the moment as offsets from it in days (the transit within half a day).
struct RiseSetOffsets {
    double rise = 0, transit = 0, set = 0;
    int status = kRiseSetNormal;
};

RiseSetOffsets SolveRiseSet(const AstroDat& s, const ChartEngine& e, const GeneralOptions& opt,
                            int kind, double dDec, double dRA, double dec, double H) {
    const double phi = s.GeocLat;
    H = NormAngleSigned(H);
    if (H == -kPi) H = kPi;
    // Turns of the hour angle per day.
    const double r = kSiderealPerSolar - dRA / kTwoPi;
    RiseSetOffsets out;
    out.transit = -H / r / kTwoPi;

    const double h0 = RiseAltitude(e, opt, kind);
    const double cosH0 = (h0 - std::sin(phi) * std::sin(dec)) / (std::cos(phi) * std::cos(dec));
    if (!(cosH0 > -1.0 && cosH0 < 1.0)) {
        // The body never reaches the rising altitude, or never leaves it, whatever the hour.
        out.status = cosH0 <= -1.0 ? kNeverSets : kNeverRises;
        return out;
    }
    const double H0 = std::acos(cosH0);
    const double cd = std::cos(dec);
    // First-order effect of the declination's motion on the semi-diurnal arc.
    const double c = (kRefractionAltitude * std::sin(dec) + std::sin(phi)) * (-dDec) /
                     (kTwoPi * std::cos(phi) * cd * cd) / std::sqrt(1.0 - cosH0 * cosH0);
    out.rise = -(H + H0) * (1.0 + c) / r / kTwoPi;
    out.set = -(H - H0) * (1.0 - c) / r / kTwoPi;
    return out;
}

// The time since 0h UT of a Julian day, as an angle of the day.
double DayAngle(double jd) {
    return (jd - 0.5 - std::floor(jd - 0.5)) * kTwoPi;
}

} // namespace

namespace {

// The body's place at `days` from the chart moment and its motion over the day before.
struct BodyAt {
    double ra, dec, dRA, dDec, H;
};

BodyAt ComputeBodyAt(ChartEngine& e, int body, double T, double localSiderealRad, double days) {
    const double t = T + days / 36525.0;
    e.SetChartT(t - kDayInCenturies);
    e.CalcChart(body);
    const double ra1 = e.Body(body)[kBodyRA], dec1 = e.Body(body)[kBodyDec];
    e.SetChartT(t);
    e.CalcChart(body);
    BodyAt b;
    b.ra = e.Body(body)[kBodyRA];
    b.dec = e.Body(body)[kBodyDec];
    b.dRA = NormAngle(b.ra - ra1);
    b.dDec = b.dec - dec1;
    b.H = localSiderealRad + days * kSiderealPerSolar * kTwoPi - b.ra;
    return b;
}

// Refines one event: the solution from the body's place at the last estimate moves the
// estimate until the step is below a second. The place of the chart moment alone can put
// the Moon's rise a quarter of an hour off (it moves about 13° a day).
double RefineEvent(const AstroDat& s, ChartEngine& e, const GeneralOptions& opt, int body, double T,
                   double lstRad, double days, double RiseSetOffsets::*event) {
    constexpr double kSecond = 1.0 / 86400.0;
    const int kind = body == 1 ? kRiseKindSun : kRiseKindMoon;
    for (int pass = 0; pass < 8; ++pass) {
        const BodyAt b = ComputeBodyAt(e, body, T, lstRad, days);
        const RiseSetOffsets o = SolveRiseSet(s, e, opt, kind, b.dDec, b.dRA, b.dec, b.H);
        if (o.status != kRiseSetNormal && event != &RiseSetOffsets::transit) break;
        days += o.*event;
        if (std::fabs(o.*event) < kSecond) break;
    }
    return days;
}

RiseSetTimes BodyRiseSet(AstroDat& s, ChartEngine& e, const GeneralOptions& opt, int body) {
    const bool parallax = e.HorParallax();
    e.SetHorParallax(false);
    const double T = e.ChartT();
    const double t0 = DayAngle(e.ChartJD());
    const double lstRad = e.SiderealTimeSec() * 15.0 * kArcsecToRad;
    const int kind = body == 1 ? kRiseKindSun : kRiseKindMoon;

    const BodyAt b = ComputeBodyAt(e, body, T, lstRad, 0.0);
    const RiseSetOffsets first = SolveRiseSet(s, e, opt, kind, b.dDec, b.dRA, b.dec, b.H);
    auto refined = [&](double RiseSetOffsets::*event) {
        const double days = RefineEvent(s, e, opt, body, T, lstRad, first.*event, event);
        return ZoneHours(s, t0 + days * kTwoPi);
    };
    RiseSetTimes out;
    out.status = first.status;
    out.transit = refined(&RiseSetOffsets::transit);
    if (first.status == kRiseSetNormal) {
        out.rise = refined(&RiseSetOffsets::rise);
        out.set = refined(&RiseSetOffsets::set);
    }
    e.SetChartT(T);
    e.SetHorParallax(parallax);
    e.CalcChart(body);
    return out;
}

} // namespace

RiseSetTimes SunRiseSet(AstroDat& s, ChartEngine& e, const GeneralOptions& opt) {
    return BodyRiseSet(s, e, opt, 1);
}

RiseSetTimes MoonRiseSet(AstroDat& s, ChartEngine& e, const GeneralOptions& opt) {
    return BodyRiseSet(s, e, opt, 2);
}

double RiseThreshold(const AstroDat& s, const GeneralOptions& gen, int n) {
    constexpr double kRefraction = 0.009890199094634533; // 34'
    if (gen.RiseGroup == 2) return 0;
    if (gen.RiseGroup == 1) return kRefraction;
    // Equatorial radii, km (IAU 2015): Sun, Moon, Mercury .. Pluto.
    static constexpr double kRadiusKm[11] = {0,     695700, 1737.4, 2440.53, 6051.8, 3396.19,
                                             71492, 60268,  25559,  24764,   1188.3};
    const double r = n >= 1 && n <= 10 ? kRadiusKm[n] : 0;
    const double distKm = s.Bodies[n >= 0 && n < kBodyRecords ? n : 0][kBodyDistance] * kAstronomicalUnitKm;
    const double semi = distKm > r ? std::asin(r / distKm) : 0;
    return kRefraction + semi;
}

namespace {

// The rise (rising = true) or set search: the value v = altitude + threshold crosses 0,
// from "before" to "after" (rise: v <= 0 to v > 0; set: v >= 0 to v < 0).
bool RiseSetSearch(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                   bool forward, bool rising) {
    if (n < 0 || n >= kBodyRecords) return false;
    GeneralOptions g = gen;
    g.HorParallax = true; // the horizon of the observer
    ChartOptions o = opt;
    o.HelioBox = o.HorizontalBox = false;
    CurrentChart chart(s, o, g);
    auto eval = [&] {
        chart.CalcAstroTime();
        chart.CalcChart(n);
        return chart.Body(n)[kBodyAltitude] + RiseThreshold(s, g, n);
    };
    auto after = [&](double v) { return rising ? v > 0 : v < 0; };
    double v = eval();
    int bigSteps = 0;
    auto big = [&](bool on) {
        if (bigSteps >= 10) return false;
        ++bigSteps;
        on ? IncHour(s, 3) : DecHour(s, 3);
        v = eval();
        return true;
    };
    // The fine steps are bounded too, so that a body grazing the horizon cannot hold us.
    auto fine = [&](bool whileAfter, void (*step)(AstroDat&, int), int amount, int limit) {
        for (int i = 0; after(v) == whileAfter; ++i) {
            if (i >= limit) return false;
            step(s, amount);
            v = eval();
        }
        return true;
    };
    if (forward) {
        while (after(v))
            if (!big(true)) return false;
        while (!after(v))
            if (!big(true)) return false;
        if (!fine(true, DecMinute, 10, 40)) return false;
    } else {
        while (!after(v))
            if (!big(false)) return false;
        while (after(v))
            if (!big(false)) return false;
    }
    if (!fine(false, IncMinute, 3, 100)) return false;
    if (!fine(true, DecSecond, 10, 40)) return false;
    if (!fine(false, IncSecond, 1, 40)) return false;
    return true;
}

} // namespace

bool FindRiseSet(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                 bool forward) {
    return RiseSetSearch(s, opt, gen, n, forward, true);
}

bool FindRiseSet2(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                  bool forward) {
    return RiseSetSearch(s, opt, gen, n, forward, false);
}

} // namespace qor
