#include "core/Formats.h"

#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qor {

namespace {

constexpr double kSecondsOfTimePerRadian = 13750.987083139757;
constexpr long long kArcsecPerTurn = 1296000;
constexpr long long kArcsecPerSign = 108000;

// |x| above the 32-bit range is taken as 0 before rounding (times of day only).
double Clamp32(double x) {
    return std::fabs(x) > 2147483647.0 ? 0.0 : x;
}

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

long long FloorMod(long long a, long long b) {
    // By the remainder, so that no product can overflow (a value far out of range, such as
    // the rounding of NaN, still lands within 0..b).
    const long long r = a % b;
    return (r != 0 && ((r < 0) != (b < 0))) ? r + b : r;
}

// Degrees and rounded minutes of |rad| with the carry of 60 minutes into the degree.
void DegreesMinutes(double rad, long long& d, long long& m) {
    const double deg = std::fabs(rad) / kDegToRad;
    d = static_cast<long long>(deg);
    m = RoundEven((deg - static_cast<double>(d)) * 60.0);
    if (m == 60) {
        m = 0;
        ++d;
    }
}

// "D°M'X" -> (D, M, hemisphere letter); nothing when the shape is wrong.
struct CoordParts {
    long long d, m;
    char hemi;
};

std::optional<CoordParts> SplitCoordText(std::string_view text) {
    const std::size_t degPos = text.find(kDegreeSign);
    if (degPos == std::string_view::npos) return std::nullopt;
    const std::string_view rest = text.substr(degPos + 1);
    const std::size_t minPos = rest.find('\'');
    if (minPos == std::string_view::npos) return std::nullopt;
    const auto d = ParseWholeInteger(text.substr(0, degPos));
    const auto m = ParseWholeInteger(rest.substr(0, minPos));
    const std::string hemi = UpperCaseCp(Trim(rest.substr(minPos + 1)));
    // no coordinate has more than 360 degrees (and the arc-seconds of more could overflow)
    if (!d || !m || *d < 0 || *d > 360 || *m < 0 || *m > 59 || hemi.size() != 1)
        return std::nullopt;
    return CoordParts{*d, *m, hemi[0]};
}

double ArcsecToRad(long long arcsec) {
    return static_cast<double>(arcsec) * kArcsecToRad;
}

} // namespace

long long RoundEven(double x) {
    return std::llrint(x);
}

std::string IntToStrW(long long n, int w) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < w) s.insert(0, w - s.size(), ' ');
    return s;
}

std::string IntToStrZ(long long n, int w) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < w) s.insert(0, w - s.size(), '0');
    return s;
}

std::string FloatToStrWD(int w, int d, double x) {
    // The usual case by std::to_chars, which writes the same digits as printf's "%.*f" at a
    // fraction of its cost; very wide fields or long numbers keep printf and its limit.
    if (w <= 64 && d >= 0 && d <= 20 && !(std::fabs(x) >= 1e30)) {
        char buf[128];
        const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, d);
        if (r.ec == std::errc()) {
            const int len = static_cast<int>(r.ptr - buf);
            std::string out(std::max(0, w - len), ' ');
            out.append(buf, r.ptr);
            return out;
        }
    }
    char buf[128];
    std::snprintf(buf, sizeof buf, "%*.*f", w, d, x);
    return buf;
}

std::string FloatToStrComma(int w, int d, double x) {
    std::string s = FloatToStrWD(w, d, x);
    const std::size_t p = s.find('.');
    if (p != std::string::npos) s[p] = ',';
    return s;
}

std::optional<long long> ParseWholeInteger(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty()) return std::nullopt;
    std::size_t start = t[0] == '+' ? 1 : 0;
    if (start == t.size()) return std::nullopt;
    long long v = 0;
    const char* first = t.data() + start;
    const char* last = t.data() + t.size();
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
    return v;
}

int StrToIntDef0(std::string_view text) {
    const auto v = ParseWholeInteger(text);
    if (!v || *v > 2147483647LL || *v < -2147483648LL) return 0;
    return static_cast<int>(*v);
}

double StrToFloatHM(std::string_view text) {
    std::string t = Trim(text);
    const std::size_t colon = t.find(':');
    if (colon != std::string::npos) t[colon] = '.';
    const std::size_t comma = t.find(',');
    if (comma != std::string::npos) t[comma] = '.';
    if (t.empty()) return 0;
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return 0;
    return v;
}

std::optional<double> ParseDecimalText(std::string_view text) {
    std::string t = Trim(text);
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    if (const std::size_t comma = t.find(','); comma != std::string::npos) t[comma] = '.';
    if (t.empty()) return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string FormatSecondsHMS(bool hms, double seconds) {
    const long long n = RoundEven(Clamp32(seconds));
    std::string h = IntToStrW(n / 3600, 2);
    if (h.size() > 3) h.resize(3);
    const std::string m = IntToStrZ((n / 60) % 60, 2);
    const std::string s = IntToStrZ(n % 60, 2);
    return hms ? h + "h" + m + "m" + s + "s" : h + ":" + m + ":" + s;
}

std::string FormatMinutesHHMM(double seconds) {
    const long long n = RoundEven(Clamp32(seconds) / 60.0);
    return IntToStrW(n / 60, 2) + ":" + IntToStrZ(n % 60, 2);
}

std::string FormatHoursDMS(bool dms, double x) {
    if (!dms) return FloatToStrComma(5, 1, x / 3600.0);
    const long long n = RoundEven(std::fabs(x));
    return IntToStrW(n / 3600, 3) + kDegreeSign + IntToStrW((n % 3600) / 60, 2) + "'" +
           IntToStrW(n % 60, 2) + "\"";
}

TextResult FormatTimeText(int h, int m, int s) {
    if (s >= 60) {
        s -= 60;
        ++m;
    }
    if (m >= 60) {
        m -= 60;
        ++h;
    }
    const bool ok = h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59;
    if (!ok) return {false, "00:00:00"};
    return {true, IntToStrW(h, 2) + ":" + IntToStrZ(m, 2) + ":" + IntToStrZ(s, 2)};
}

TimeParts ParseTimeText(std::string_view text) {
    TimeParts r;
    std::string rest(text);
    const auto field = [&](int lo, int hi, int& out) {
        const std::string f = NextField(rest, ':');
        const auto v = ParseWholeInteger(f);
        if (!v || *v < lo || *v > hi) return false;
        out = static_cast<int>(*v);
        return true;
    };
    r.ok = field(0, 23, r.h) && field(0, 59, r.m) && field(0, 59, r.s) && Trim(rest).empty();
    return r;
}

TextResult FormatDateText(int d, int m, int y) {
    if (d < 1 || d > 31 || m < 1 || m > 12) return {false, "01.01.2000"};
    const std::string year = y > 0 ? IntToStrZ(y, 4) + " " : IntToStrZ(1LL - y, 4) + "B";
    return {true, IntToStrW(d, 2) + "." + IntToStrZ(m, 2) + "." + year};
}

DateParts ParseDateText(std::string_view text) {
    DateParts r;
    std::string rest(text);
    if (rest.find('.') == std::string::npos) return r;
    const auto dv = ParseWholeInteger(NextField(rest, '.'));
    if (!dv || *dv < 1 || *dv > 31) return r;
    r.d = static_cast<int>(*dv);
    if (rest.find('.') == std::string::npos) return r;
    const auto mv = ParseWholeInteger(NextField(rest, '.'));
    if (!mv || *mv < 1 || *mv > 12) return r;
    r.m = static_cast<int>(*mv);
    std::string year = Trim(rest);
    if (year.empty()) return r;
    bool beforeEra = false;
    if (year.back() == 'B' || year.back() == 'b') {
        year.pop_back();
        beforeEra = true;
        if (Trim(year).empty()) return r;
    }
    const auto yv = ParseWholeInteger(year);
    if (!yv || *yv > 999999 || *yv < -999999) return r;
    r.y = static_cast<int>((beforeEra || *yv < 1) ? 1 - *yv : *yv);
    r.ok = true;
    return r;
}

std::string FormatZoneOffset(int minutes, bool longForm) {
    // Real zones reach +14:00 (Kiribati); only what lies beyond a day's turn is brought back.
    long long v = minutes;
    while (v > 840) v -= 1440;
    while (v < -719) v += 1440;
    const long long hours = std::llabs(v / 60);
    const long long rest = std::llabs(v % 60);
    return std::string(v < 0 ? "-" : "+") + (longForm ? IntToStrZ(hours, 2) : IntToStrW(hours, 1)) +
           ":" + IntToStrZ(rest, 2);
}

std::optional<int> ParseZoneOffset(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string head = RemoveBlanks(text.substr(0, colon));
    const bool negative = text.find('-') != std::string_view::npos;
    if (!head.empty() && (head[0] == '-' || head[0] == '+')) head.erase(0, 1);
    const auto h = ParseWholeInteger(head);
    const auto m = ParseWholeInteger(text.substr(colon + 1));
    if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59) return std::nullopt;
    const int total = static_cast<int>(*h * 60 + *m);
    return negative ? -total : total;
}

std::string FormatLatitude(double lat) {
    lat = NormAngleSigned(lat);
    long long d, m;
    DegreesMinutes(lat, d, m);
    return IntToStrW(d, 2) + kDegreeSign + IntToStrZ(m, 2) + "'" + (lat >= 0 ? "N" : "S");
}

std::string FormatLongitude(double lon) {
    lon += 1e-9;
    long long d, m;
    DegreesMinutes(lon, d, m);
    return IntToStrW(d, 3) + kDegreeSign + IntToStrZ(m, 2) + "'" + (lon >= 0 ? "E" : "W");
}

std::optional<double> ParseLatitude(std::string_view text) {
    const auto p = SplitCoordText(text);
    if (!p || (p->hemi != 'N' && p->hemi != 'S')) return std::nullopt;
    const long long arcsec = (p->d * 60 + p->m) * 60;
    if (arcsec > 90LL * 3600) return std::nullopt;
    return p->hemi == 'S' ? -ArcsecToRad(arcsec) : ArcsecToRad(arcsec);
}

std::optional<double> ParseLongitude(std::string_view text) {
    const auto p = SplitCoordText(text);
    if (!p || (p->hemi != 'E' && p->hemi != 'W')) return std::nullopt;
    const long long arcsec = (p->d * 60 + p->m) * 60;
    if (arcsec > 180LL * 3600) return std::nullopt;
    return p->hemi == 'W' ? -ArcsecToRad(arcsec) : ArcsecToRad(arcsec);
}

DMSTexts SplitDMSAs(int dmsFormat, double arcsec) {
    const long long n = RoundEven(std::fabs(arcsec));
    const long long s = n % 60, m = (n / 60) % 60, d = n / 3600;
    DMSTexts t;
    t.degrees = std::string(arcsec < 0 ? "-" : " ") + IntToStrW(d, d >= 100 ? 3 : 2);
    if (t.degrees.size() < 4) t.degrees.insert(0, 4 - t.degrees.size(), ' ');
    if (dmsFormat == 0) {
        t.minutes = FloatToStrWD(2, 0, static_cast<double>(m) + static_cast<double>(s) / 60.0);
    } else if (dmsFormat == 1 || dmsFormat == 2) {
        t.minutes = IntToStrW(m, 2);
        t.seconds = IntToStrW(s, 2);
    } else {
        t.minutes = FloatToStrWD(4, 1, static_cast<double>(m) + static_cast<double>(s) / 60.0);
    }
    return t;
}

std::string FormatDMS(const AstroDat& s, double arcsec) {
    return FormatDMSAs(s.DMSFormat, arcsec);
}

std::string FormatDMSAs(int dmsFormat, double arcsec) {
    const DMSTexts t = SplitDMSAs(dmsFormat, arcsec);
    std::string out = t.degrees + kDegreeSign + t.minutes + "'";
    if (!t.seconds.empty()) out += t.seconds + "\"";
    return out;
}

ZodiacParts SplitZodiacSeconds(double arcsec) {
    const long long n = FloorMod(RoundEven(arcsec), kArcsecPerTurn);
    ZodiacParts p;
    p.sign = static_cast<int>(n / kArcsecPerSign);
    const long long r = n % kArcsecPerSign;
    p.deg = static_cast<int>(r / 3600);
    p.min = static_cast<int>((r % 3600) / 60);
    p.sec = static_cast<int>(r % 60);
    return p;
}

ZodiacParts SplitZodiacMinutes(double arcsec) {
    const long long n = FloorMod(RoundEven(arcsec / 60.0), kArcsecPerTurn / 60);
    ZodiacParts p;
    p.sign = static_cast<int>(n / 1800);
    p.deg = static_cast<int>((n % 1800) / 60);
    p.min = static_cast<int>(n % 60);
    return p;
}

std::string FormatZodiacDMS(const AstroDat& s, double arcsec) {
    const ZodiacParts p = SplitZodiacSeconds(arcsec);
    return IntToStrW(p.deg, 2) + kDegreeSign + IntToStrW(p.min, 2) + "'" + IntToStrW(p.sec, 2) +
           "\"" + SignName(s, p.sign + 1);
}

std::string FormatZodiacDegMin(const AstroDat& s, double arcsec) {
    const ZodiacParts p = SplitZodiacMinutes(arcsec);
    return IntToStrW(p.deg, 2) + SignName(s, p.sign + 1) + IntToStrW(p.min, 2);
}

std::string FormatZodiacAbbr(bool withSeconds, double lonRad) {
    const double arcsec = lonRad * kRadToArcSec;
    if (withSeconds) {
        const ZodiacParts p = SplitZodiacSeconds(arcsec);
        return IntToStrW(p.deg, 2) + kDegreeSign + IntToStrZ(p.min, 2) + "'" + IntToStrZ(p.sec, 2) +
               "\"" + SignAbbr(p.sign + 1);
    }
    const ZodiacParts p = SplitZodiacMinutes(arcsec);
    return IntToStrW(p.deg, 2) + kDegreeSign + IntToStrZ(p.min, 2) + "'" + SignAbbr(p.sign + 1);
}

std::string FormatHMSRad(bool units, double angle) {
    const long long total = RoundEven(angle * kSecondsOfTimePerRadian);
    const std::string h = IntToStrW(total / 3600, 2);
    const std::string m = IntToStrZ((total / 60) % 60, 2);
    const std::string s = IntToStrZ(total % 60, 2);
    return units ? h + "h" + m + "m" + s + "s" : h + ":" + m + ":" + s;
}

std::string FormatHMSRadSpaced(bool units, bool point, double angle) {
    // Whole hundredths first, so that 59.996 seconds carry instead of showing 60.00.
    const long long centi = RoundEven(angle * kSecondsOfTimePerRadian * 100.0);
    const long long total = centi / 100;
    const double seconds =
        static_cast<double>(total % 60) + static_cast<double>(centi % 100) / 100.0;
    const std::string h = IntToStrW(total / 3600, 2);
    const std::string m = IntToStrZ((total / 60) % 60, 2);
    const std::string sec = point ? FloatToStrWD(5, 2, seconds) : FloatToStrComma(5, 2, seconds);
    return units ? h + "h " + m + "m " + sec + "s" : h + ":" + m + ":" + sec;
}

std::string RomanNumeral(int n) {
    static const char* const kNumerals[] = {"I",   "II",   "III", "IV", "V",  "VI",
                                            "VII", "VIII", "IX",  "X",  "XI", "XII"};
    return (n >= 1 && n <= 12) ? kNumerals[n - 1] : std::string();
}

} // namespace qor
