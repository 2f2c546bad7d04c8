#include "core/AstroMath.h"

#include "core/Formats.h"

#include <cmath>

namespace qor {

double NormAngle(double a) {
    double r = a - std::floor(a / kTwoPi) * kTwoPi;
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0; // a tiny negative angle rounds to a full turn
    return r;
}

double NormAngleSigned(double a) {
    double r = a - std::floor(a / kTwoPi + 0.5) * kTwoPi;
    if (r >= kPi) r -= kTwoPi;
    return r;
}

double NormAngle2(double x) {
    double r = x - kTwoPi * std::trunc(x / kTwoPi);
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0;
    return r;
}

double NormAngleSigned2(double x) {
    if (x > kPi) return x - kTwoPi;
    if (x < -kPi) return x + kTwoPi;
    return x;
}

double ReduceAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a > kPi) a -= kTwoPi;
    if (a <= -kPi) a += kTwoPi;
    return a;
}

double ArcTan2Pos(double y, double x) {
    double r = std::atan2(y, x);
    if (r < 0) r += kTwoPi;
    if (r >= kTwoPi) r = 0;
    return r;
}

Vec3 SphToRect(double lon, double lat, double r) {
    const double cl = std::cos(lat);
    return {r * cl * std::cos(lon), r * cl * std::sin(lon), r * std::sin(lat)};
}

Spherical RectToSph(double x, double y, double z) {
    Spherical s;
    s.lon = ArcTan2Pos(y, x);
    s.r = std::sqrt(x * x + y * y + z * z);
    s.lat = s.r > 0 ? std::asin(z / s.r) : 0.0;
    return s;
}

double EvalPolynomial(const double* coeffs, int degree, double x) {
    double sum = 0;
    for (int i = degree; i >= 0; --i) sum = sum * x + coeffs[i];
    return sum;
}

void SinCosMultiples(int n, double* S, double* C, double x) {
    if (n < 1) return;
    const double sx = std::sin(x), cx = std::cos(x);
    S[1] = sx;
    C[1] = cx;
    for (int k = 2; k <= n; ++k) {
        S[k] = S[k - 1] * cx + C[k - 1] * sx;
        C[k] = C[k - 1] * cx - S[k - 1] * sx;
    }
}

bool IsLeapYearIn(bool gregorian, int year) {
    if (gregorian) return year % 4 == 0 && (year % 100 != 0 || (year / 100) % 4 == 0);
    return year % 4 == 0;
}

bool IsGregorianDate(int year, int month, double day) {
    return year > 1582 || (year == 1582 && month > 10) || (year == 1582 && month == 10 && day > 4.0);
}

int DaysInMonth(int year, int month) {
    static const int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month != 2) return kDays[month];
    return IsLeapYearIn(IsGregorianDate(year, month, 1), year) ? 29 : 28;
}

bool CalendarDateValid(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    return !(year == 1582 && month == 10 && day > 4 && day < 15);
}

double JulianDayOf(const DateTimeRec& rec, bool* gregorian) {
    // Meeus, Astronomical Algorithms, ch. 7 (7.1), with floor so that years before -4716 work.
    int y = rec.Year, m = rec.Month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const bool greg = IsGregorianDate(rec.Year, rec.Month, rec.Day);
    double b = 0;
    if (greg) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    if (gregorian) *gregorian = greg;
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + rec.Day + b - 1524.5;
}

int WeekDayOfJD(double jd) {
    const long long d = static_cast<long long>(std::floor(jd + 1.5));
    return static_cast<int>(((d % 7) + 7) % 7);
}

double JulianDay(AstroDat& s, const DateTimeRec& rec) {
    bool greg = true;
    const double jd = JulianDayOf(rec, &greg);
    s.GregorianCal = greg;
    s.ChartWeekDay = WeekDayOfJD(jd);
    s.ChartLeapYear = IsLeapYearIn(greg, rec.Year);
    s.MonthDays[2] = s.ChartLeapYear ? 29 : 28;
    return jd;
}

DateTimeRec CalendarFromJD(double jd) {
    // Meeus, Astronomical Algorithms, ch. 7, from whole seconds so that rounding carries
    // into the next day; Julian calendar before JD 2299160.5 (15 October 1582).
    const long long totalSec = std::llround((jd + 0.5) * 86400.0);
    long long z = totalSec / 86400;
    long long sec = totalSec % 86400;
    if (sec < 0) {
        sec += 86400;
        --z;
    }
    double a = static_cast<double>(z);
    if (z >= 2299161) {
        const double alpha = std::floor((static_cast<double>(z) - 1867216.25) / 36524.25);
        a = static_cast<double>(z) + 1 + alpha - std::floor(alpha / 4);
    }
    const double b = a + 1524;
    const double c = std::floor((b - 122.1) / 365.25);
    const double d = std::floor(365.25 * c);
    const double e = std::floor((b - d) / 30.6001);
    DateTimeRec r;
    r.Day = b - d - std::floor(30.6001 * e);
    r.Month = static_cast<int32_t>(e < 14 ? e - 1 : e - 13);
    r.Year = static_cast<int32_t>(r.Month > 2 ? c - 4716 : c - 4715);
    r.Hour = static_cast<int32_t>(sec / 3600);
    r.Minute = static_cast<int32_t>((sec / 60) % 60);
    r.Second = static_cast<double>(sec % 60);
    return r;
}

double SiderealTimeGreenwich(double T) {
    // Meeus 12.4, T in centuries of UT.
    const double deg =
        280.46061837 + 13185000.770053742 * T + 0.000387933 * T * T - T * T * T / 38710000.0;
    return NormAngle(deg * kDegToRad);
}

double MeanObliquity(double T) {
    // Laskar (1986), Meeus 22.3: arc-seconds in powers of U = T/100.
    static const double kCoeffs[11] = {84381.448, -4680.93, -1.55, 1999.25, -51.38, -249.67,
                                       -39.05,    7.12,     27.87, 5.79,    2.45};
    return EvalPolynomial(kCoeffs, 10, T / 100.0) * kArcsecToRad;
}

double PlanetRotationAngle(int exterrBody, double T) {
    // Rotation period P and orbital period Q, days.
    double p = 1, q = 1;
    switch (exterrBody) {
    case 3:
        p = 58.65;
        q = 87.97;
        break;
    case 4:
        p = 243.0;
        q = 224.7;
        break;
    case 5:
        p = 1.026;
        q = 686.98;
        break;
    default:
        return 0;
    }
    const double deg = (T * 36525.0 / p) * (360.0 * p / q + 360.0);
    return NormAngle(deg * kDegToRad);
}

void ObserverGeocentric(AstroDat& s) {
    const double a = 6378137.0;
    const double f = 1.0 / kEarthInverseFlattening;
    const double phi = s.ChartLat;
    const double cp = std::cos(phi), sp = std::sin(phi);
    const double c = 1.0 / std::sqrt(cp * cp + (1 - f) * (1 - f) * sp * sp);
    const double x = a * c;
    const double z = a * (1 - f) * (1 - f) * c;
    const double rho = std::sqrt(x * x * cp * cp + z * z * sp * sp);
    double lat = std::acos(std::fmin(1.0, x * cp / rho));
    if (phi < 0) lat = -lat;
    s.GeocLat = lat;
    s.GeocRadius = rho / a;
}

bool TopocentricParallax(const AstroDat& s, double& ra, double& dec, double& dist, double lst) {
    if (dist > 30) return false;
    return TopocentricParallax(ObserverPlaceAt(s.GeocRadius, std::sin(s.GeocLat),
                                               std::cos(s.GeocLat), std::sin(lst), std::cos(lst)),
                               ra, dec, dist);
}

ObserverPlace ObserverPlaceAt(double geocRadius, double sinLat, double cosLat, double sinLst,
                              double cosLst) {
    return {geocRadius * cosLat * cosLst, geocRadius * cosLat * sinLst, geocRadius * sinLat};
}

bool TopocentricParallax(const ObserverPlace& o, double& ra, double& dec, double& dist) {
    if (dist > 30) return false;
    const double k = kAstronomicalUnitKm / kEarthRadiusKm;
    const double r = dist * k;
    const double cd = std::cos(dec);
    const double x = r * cd * std::cos(ra) - o.x;
    const double y = r * cd * std::sin(ra) - o.y;
    const double z = r * std::sin(dec) - o.z;
    const double d = std::sqrt(x * x + y * y + z * z);
    ra = ArcTan2Pos(y, x);
    dec = std::asin(z / NonZeroGuard(d));
    dist = d / k;
    return true;
}

int ClampedIndex(double x, int lo, int hi) {
    if (!(x >= lo)) return lo; // also NaN
    if (!(x < hi)) return hi;
    return static_cast<int>(x);
}

int HouseOfLongitude(const PointArray& points, double lon) {
    int house = 0;
    for (int i = 1; i <= 12; ++i) {
        double a = points[26 + i];
        double b = points[27 + (i % 12)];
        double l = lon;
        if (b < a) {
            if (l < b) l += kTwoPi;
            b += kTwoPi;
        }
        if (a <= l && l < b) house = i;
    }
    return house;
}

} // namespace qor
