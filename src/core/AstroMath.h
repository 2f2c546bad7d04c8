// Base astronomy math: angles and vectors, the Julian day and its inverse, the leap-year
// rule, sidereal time, the mean obliquity, the observer on the Earth ellipsoid and the
// topocentric parallax. Angles are radians throughout (see README.md).
#pragma once

#include "core/AstroDat.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace qor {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = std::numbers::pi;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kArcsecToRad = 4.84813681109536e-6;
constexpr double kRadToArcSec = 206264.80624709636;
constexpr double kTimeSecondsPerRad = 13750.987083139757; // seconds of time per radian
constexpr double kEarthRadiusKm = 6378.137;               // equatorial radius
constexpr double kEarthInverseFlattening = 298.257222;
constexpr double kAstronomicalUnitKm = 149597870.691;
constexpr double kSecondsToCenturies = 3.168808781402895e-10; // 1 / (86400 * 36525)
constexpr double kJ2000 = 2451545.0;
constexpr double EpsJ2000 = 0.40909280420293637; // obliquity of J2000.0, radians

// A calendar date and time (astronomical year numbering: 0 = 1 BC).
struct DateTimeRec {
    int32_t Year = 2000;
    int32_t Month = 1;
    double Day = 1; // a fraction is part of the day
    int32_t Hour = 0;
    int32_t Minute = 0;
    double Second = 0;
};

// --- Angles and vectors -----------------------------------------------------------------------
double NormAngle(double a);            // [0, 2π)
double NormAngleSigned(double a);      // [−π, π)
double NormAngle2(double x);           // [0, 2π), by truncation
double NormAngleSigned2(double x);     // (−π, π], one correction only
double ReduceAngle(double a);          // (−π, π], by the remainder of a turn
double ArcTan2Pos(double y, double x); // atan2 in [0, 2π)

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
struct Spherical {
    double lon = 0, lat = 0, r = 0;
};
Vec3 SphToRect(double lon, double lat, double r);
Spherical RectToSph(double x, double y, double z);

// Horner sum of coeffs[0..degree]·x^i.
double EvalPolynomial(const double* coeffs, int degree, double x);
// S[k] = sin(kx), C[k] = cos(kx) for k = 1..n (index 0 untouched).
void SinCosMultiples(int n, double* S, double* C, double x);

inline double CenturiesJ2000(double jd) {
    return (jd - kJ2000) / 36525.0;
}
inline double JDFromCenturies(double t) {
    return t * 36525.0 + kJ2000;
}

// --- Calendar ---------------------------------------------------------------------------------
// The Gregorian calendar follows 4 October 1582 (Julian) with 15 October 1582; the days
// between name no day. True for a date after 4 October 1582.
bool IsGregorianDate(int year, int month, double day);
// The days of a month in the calendar of its own dates (February 1582 is Julian).
int DaysInMonth(int year, int month);
// A day the calendar of its date has: month 1..12, day 1..DaysInMonth, not 5..14 October 1582.
bool CalendarDateValid(int year, int month, int day);
// The Julian day of 0h of rec's date (the day's fraction counts; hours and minutes do not).
// Dates after 4 October 1582 are Gregorian, earlier ones Julian.
double JulianDayOf(const DateTimeRec& rec, bool* gregorian = nullptr);
// The same, and sets GregorianCal, ChartWeekDay, MonthDays[2] and ChartLeapYear of `s`.
double JulianDay(AstroDat& s, const DateTimeRec& rec);
bool IsLeapYearIn(bool gregorian, int year);
inline bool IsLeapYear(const AstroDat& s, int year) {
    return IsLeapYearIn(s.GregorianCal, year);
}
// The calendar date and time of a Julian day, in the calendar JulianDayOf uses for it,
// rounded to the whole second. JulianDayOf and CalendarFromJD are each other's inverse.
DateTimeRec CalendarFromJD(double jd);
// Day of week of a Julian day: 0 = Sunday.
int WeekDayOfJD(double jd);

// --- Earth ----------------------------------------------------------------------------------
// Greenwich mean sidereal time, radians in [0, 2π); T in Julian centuries of UT from J2000.
double SiderealTimeGreenwich(double T);
// Mean obliquity of the ecliptic, radians (Laskar's polynomial; T in centuries of TT).
double MeanObliquity(double T);
// Rotation angle of Mercury (3), Venus (4) or Mars (5) for an observer on that planet.
double PlanetRotationAngle(int exterrBody, double T);
// Sets GeocLat and GeocRadius of `s` from ChartLat (observer on the ellipsoid surface).
void ObserverGeocentric(AstroDat& s);
// Moves ra, dec (radians) and dist (astronomical units) to the observer; lst the local
// sidereal time. Returns false and changes nothing for a body farther than 30 units.
bool TopocentricParallax(const AstroDat& s, double& ra, double& dec, double& dist, double lst);

// The observer's geocentric place in equatorial radii, x towards the equinox, from the
// geocentric radius and the sines and cosines of the geocentric latitude and of the local
// sidereal time: what the parallaxes of one moment share.
struct ObserverPlace {
    double x = 0, y = 0, z = 0;
};
ObserverPlace ObserverPlaceAt(double geocRadius, double sinLat, double cosLat, double sinLst,
                              double cosLst);
// The parallax as above, seen from a place worked out once for the moment.
bool TopocentricParallax(const ObserverPlace& o, double& ra, double& dec, double& dist);

// The whole part of x (truncated towards zero) held within lo..hi: an index taken from a
// computed value, safe for any input (NaN gives lo, ±infinity the nearer end).
int ClampedIndex(double x, int lo, int hi);

// The local apparent sidereal time of the chart (SiderealTimeSec, seconds of time) as an angle.
inline double LocalSiderealRad(const AstroDat& s) {
    return s.SiderealTimeSec * (15 * kArcsecToRad);
}

// The length of a rectangular vector.
inline double Length(const Triple& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// The house 1..12 of `points` (cusps at 27..38) that holds the longitude; 0 when none does.
int HouseOfLongitude(const PointArray& points, double lon);

// A colour value 0x00BBGGRR.
constexpr int32_t MakeRGB(int r, int g, int b) {
    return r + g * 256 + b * 65536;
}

} // namespace qor
