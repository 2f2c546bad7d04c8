// Angle texts typed in degrees or hours and the conversions between ecliptic, equatorial and
// horizontal coordinates for the current chart (rise and set: RiseSet.h).
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/ChartState.h"

#include <string>
#include <string_view>

namespace qor {

// --- Angle texts --------------------------------------------------------------------------

// The three parts of an angle text "12°30'15"" (or "1h30m15s"). `plain` is set unless both
// the degree (hour) mark and the minute mark were found: such a text is a decimal number.
struct AngleTextParts {
    std::string degrees, minutes, seconds;
    bool plain = true;
};
AngleTextParts SplitAngleText(std::string_view text);

// Radians of a text in degrees, minutes and seconds, or of a plain decimal number of degrees
// ("," or "." as the decimal point). A part that is no number counts 0. A minus sign before
// the degrees makes the whole angle negative, also for "-0°30'". `plain`, when given, tells
// whether the text was read as a plain number.
double StrToAngle(std::string_view text, bool* plain = nullptr);
inline double StrToDeg(std::string_view text, bool* plain = nullptr) {
    return StrToAngle(text, plain);
}
// Hours, minutes and seconds of time ("1h30m0s") to radians.
double StrToHourAngle(std::string_view text, bool* plain = nullptr);

// " 10° 0' 0"" / "-10° 0' 0"": degrees, minutes and seconds of an angle in radians, at most
// ten characters. The program-wide angle format is left as it is.
std::string AngleToDmsStr(double x);
// " 1h30m00s": an angle in radians as hours, minutes and seconds of time, in [0h, 24h).
std::string AngleToHmsStr(double x);

// --- Conversions for the current chart (radians) ------------------------------------------

struct EclipticCoord {
    double lon = 0; // [0, 2π)
    double lat = 0;
};
struct EquatorialCoord {
    double ra = 0;  // [0, 2π), except from HorizonToEquCur (see there)
    double dec = 0; // [−π/2, π/2]
};
struct HorizontalCoord {
    double az = 0;  // from the south, westward, [0, 2π)
    double alt = 0; // above the horizon
};

// True obliquity of the last time step.
EclipticCoord EquToEclCur(const ChartEngine& e, double dec, double ra);
EquatorialCoord EclToEquCur(const ChartEngine& e, double lat, double lon);
// Hour angle and declination to azimuth and altitude at the chart's latitude.
HorizontalCoord EquToHorizonCur(const AstroDat& s, double hourAngle, double dec);
// Altitude and azimuth back to the equator: ra = local sidereal time − hour angle (not
// reduced), dec in [−π/2, π/2].
EquatorialCoord HorizonToEquCur(const AstroDat& s, const ChartEngine& e, double alt, double az);

} // namespace qor
