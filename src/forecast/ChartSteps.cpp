#include "forecast/ChartSteps.h"

#include "core/AstroMath.h"
#include "core/Stepping.h"

#include <cmath>
#include <cstdlib>

namespace qor::forecast {

namespace {

// One field of a time step: the stepper of its sign with the magnitude.
void StepField(AstroDat& s, int value, void (*inc)(AstroDat&, int), void (*dec)(AstroDat&, int)) {
    if (value > 0) inc(s, value);
    if (value < 0) dec(s, -value);
}

} // namespace

std::array<int, 6> FieldsOf(const TimeStep& t) {
    return {t.years, t.months, t.days, t.hours, t.minutes, t.seconds};
}

TimeStep TimeStepOf(const std::array<int, 6>& f) {
    return {f[0], f[1], f[2], f[3], f[4], f[5]};
}

void StepChartTime(AstroDat& s, const TimeStep& step) {
    StepField(s, step.seconds, IncSecond, DecSecond);
    StepField(s, step.minutes, IncMinute, DecMinute);
    StepField(s, step.hours, IncHour, DecHour);
    StepField(s, step.days, IncDay, DecDay);
    StepField(s, step.months, IncMonth, DecMonth);
    StepField(s, step.years, IncYear, DecYear);
}

std::array<int, 6> FieldsOf(const PlaceStep& t) {
    return {t.lonDeg, t.lonMin, t.lonSec, t.latDeg, t.latMin, t.latSec};
}

PlaceStep PlaceStepOf(const std::array<int, 6>& f) {
    return {f[0], f[1], f[2], f[3], f[4], f[5]};
}

double StepAngle(int deg, int min, int sec) {
    const long long arcsec = (static_cast<long long>(deg) * 60 + min) * 60 + sec;
    return static_cast<double>(arcsec) * kArcsecToRad;
}

void ShiftLocLongitude(AstroDat& s, int deg, int min, int sec) {
    s.ChartLong += StepAngle(deg, min, sec);
    if (s.ChartLong > kPi) s.ChartLong -= 2 * kPi;
    if (s.ChartLong < -kPi) s.ChartLong += 2 * kPi;
}

bool ShiftLocLatitude(AstroDat& s, int deg, int min, int sec) {
    const double lat = s.ChartLat + StepAngle(deg, min, sec);
    if (std::abs(lat) <= kPi / 2) {
        s.ChartLat = lat;
        return false;
    }
    // Over the pole: as far from it on the other side, half a turn round.
    s.ChartLat = (lat > 0 ? kPi : -kPi) - lat;
    s.ChartLong = NormAngleSigned(s.ChartLong + kPi);
    return true;
}

bool StepChartPlace(AstroDat& s, const PlaceStep& step) {
    const bool pole = ShiftLocLatitude(s, step.latDeg, step.latMin, step.latSec);
    ShiftLocLongitude(s, step.lonDeg, step.lonMin, step.lonSec);
    return pole;
}

} // namespace qor::forecast
