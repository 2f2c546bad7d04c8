#include "core/AstrClcs.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <charconv>
#include <cmath>

namespace qor {

namespace {

// The number at the start of a text (after blanks), 0 when there is none.
double LeadingNumber(std::string_view text) {
    const std::string t = Trim(text);
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (first != last && *first == '+') ++first;
    double v = 0;
    const auto r = std::from_chars(first, last, v);
    return r.ec == std::errc() ? v : 0.0;
}

void FirstCommaToPoint(std::string& text) {
    const std::size_t p = text.find(',');
    if (p != std::string::npos) text[p] = '.';
}

// The position of the first of two marks, searched from `from`: the first mark wins when it
// occurs at all.
std::size_t FindMark(std::string_view text, char mark, char alternative, std::size_t from) {
    const std::size_t p = text.find(mark, from);
    return p != std::string_view::npos ? p : text.find(alternative, from);
}

} // namespace

AngleTextParts SplitAngleText(std::string_view text) {
    AngleTextParts parts;
    const std::size_t degEnd = FindMark(text, kDegreeSign, 'h', 0);
    if (degEnd == std::string_view::npos) {
        parts.degrees = std::string(text);
        return parts;
    }
    parts.degrees = std::string(text.substr(0, degEnd));
    const std::size_t minEnd = FindMark(text, '\'', 'm', degEnd + 1);
    if (minEnd == std::string_view::npos) {
        parts.minutes = std::string(text.substr(degEnd + 1));
        return parts;
    }
    parts.minutes = std::string(text.substr(degEnd + 1, minEnd - degEnd - 1));
    parts.plain = false;
    const std::size_t secEnd = FindMark(text, '"', 's', minEnd + 1);
    if (secEnd != std::string_view::npos) {
        parts.seconds = std::string(text.substr(minEnd + 1, secEnd - minEnd - 1));
        FirstCommaToPoint(parts.seconds);
    }
    return parts;
}

double StrToAngle(std::string_view text, bool* plain) {
    const AngleTextParts p = SplitAngleText(text);
    if (plain) *plain = p.plain;
    if (p.plain) {
        std::string t(text);
        FirstCommaToPoint(t);
        return LeadingNumber(t) * kDegToRad;
    }
    // The sign belongs to the whole angle: "-0°30'" is half a degree south, not north.
    // The angle texts written here put blanks between the sign and the degrees ("- 3°17'").
    std::string deg = Trim(p.degrees);
    const bool negative = !deg.empty() && deg[0] == '-';
    if (!deg.empty() && (deg[0] == '-' || deg[0] == '+'))
        deg = Trim(std::string_view(deg).substr(1));
    const double d = std::fabs(LeadingNumber(deg));
    const double m = std::fabs(LeadingNumber(p.minutes));
    const double sec = std::fabs(LeadingNumber(p.seconds));
    const double arcsec = (d * 60.0 + m) * 60.0 + sec;
    return (negative ? -arcsec : arcsec) * kArcsecToRad;
}

double StrToHourAngle(std::string_view text, bool* plain) {
    return 15.0 * StrToAngle(text, plain);
}

std::string AngleToDmsStr(double x) {
    std::string t = FormatDMSAs(1, x * kRadToArcSec);
    if (t.size() > 10) t.erase(0, 1);
    return t;
}

std::string AngleToHmsStr(double x) {
    return FormatSecondsHMS(true, NormAngle2(x) * kRadToArcSec / 15.0);
}

// Spherical astronomy after Meeus, Astronomical Algorithms, ch. 13 (13.1 to 13.6); the
// quadrant of each longitude and right ascension comes from atan2 of its sine and cosine.

EclipticCoord EquToEclCur(const ChartEngine& e, double dec, double ra) {
    const double se = e.SinEps(), ce = e.CosEps();
    const double sd = std::sin(dec), cd = std::cos(dec);
    EclipticCoord c;
    c.lat = std::asin(std::clamp(sd * ce - cd * se * std::sin(ra), -1.0, 1.0));
    c.lon = ArcTan2Pos(cd * std::sin(ra) * ce + sd * se, cd * std::cos(ra));
    return c;
}

EquatorialCoord EclToEquCur(const ChartEngine& e, double lat, double lon) {
    const double se = e.SinEps(), ce = e.CosEps();
    const double sb = std::sin(lat), cb = std::cos(lat);
    EquatorialCoord c;
    c.dec = std::asin(std::clamp(sb * ce + cb * se * std::sin(lon), -1.0, 1.0));
    c.ra = ArcTan2Pos(cb * std::sin(lon) * ce - sb * se, cb * std::cos(lon));
    return c;
}

HorizontalCoord EquToHorizonCur(const AstroDat& s, double hourAngle, double dec) {
    const double sf = std::sin(s.ChartLat), cf = std::cos(s.ChartLat);
    const double sd = std::sin(dec), cd = std::cos(dec), cH = std::cos(hourAngle);
    HorizontalCoord c;
    c.alt = std::asin(std::clamp(sf * sd + cf * cd * cH, -1.0, 1.0));
    c.az = ArcTan2Pos(cd * std::sin(hourAngle), cd * sf * cH - sd * cf);
    return c;
}

EquatorialCoord HorizonToEquCur(const AstroDat& s, const ChartEngine& e, double alt, double az) {
    const double sf = std::sin(s.ChartLat), cf = std::cos(s.ChartLat);
    const double sh = std::sin(alt), ch = std::cos(alt), cA = std::cos(az);
    EquatorialCoord c;
    c.dec = std::asin(std::clamp(sf * sh - cf * ch * cA, -1.0, 1.0));
    // cos δ ≥ 0 scales both arguments alike, so the hour angle needs no division by it.
    const double H = ArcTan2Pos(std::sin(az) * ch, sh * cf + ch * sf * cA);
    c.ra = e.SiderealTime() * 15.0 * kArcsecToRad - H;
    return c;
}

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

RiseSetTimes RiseSetIterate(const AstroDat& s, const ChartEngine& e, const GeneralOptions& opt,
                            int kind, double dDec, double dRA, double dec, double H, double jd) {
    const RiseSetOffsets o = SolveRiseSet(s, e, opt, kind, dDec, dRA, dec, H);
    const double t0 = DayAngle(jd);
    RiseSetTimes out;
    out.status = o.status;
    out.transit = ZoneHours(s, t0 + o.transit * kTwoPi);
    if (o.status == kRiseSetNormal) {
        out.rise = ZoneHours(s, t0 + o.rise * kTwoPi);
        out.set = ZoneHours(s, t0 + o.set * kTwoPi);
    }
    return out;
}

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
    const double lstRad = e.SiderealTime() * 15.0 * kArcsecToRad;
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

} // namespace qor
