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
    c.ra = e.SiderealTimeSec() * 15.0 * kArcsecToRad - H;
    return c;
}

} // namespace qor
