// Steps of the chart's moment and place: what the time and place stepping windows apply on
// each move, as plain routines of the chart state (no window).
#pragma once

#include "core/AstroDat.h"

#include <array>

namespace qor::forecast {

// A signed step of the local civil time; each field may have either sign.
struct TimeStep {
    int years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
    bool IsZero() const {
        return years == 0 && months == 0 && days == 0 && hours == 0 && minutes == 0 && seconds == 0;
    }
};

// The six fields in the windows' row order (years .. seconds), and back.
std::array<int, 6> FieldsOf(const TimeStep& t);
TimeStep TimeStepOf(const std::array<int, 6>& f);

// Moves the chart moment by the step, field by field from the seconds up to the years, each
// with the core's single steppers (IncSecond .. IncYear, DecSecond .. DecYear for a negative
// field), each carrying into the larger fields. The month and year steppers keep the day of
// the month where the new month has it and move a missing one (31 April, 29 February) to the
// 1st of the next month.
void StepChartTime(AstroDat& s, const TimeStep& step);

// A signed step of the place: longitude and latitude, each as degrees, arc-minutes and
// arc-seconds (each of either sign; the angle is (d * 60 + m) * 60 + s arc-seconds).
struct PlaceStep {
    int lonDeg = 0, lonMin = 0, lonSec = 0;
    int latDeg = 0, latMin = 0, latSec = 0;
    bool IsZero() const {
        return lonDeg == 0 && lonMin == 0 && lonSec == 0 && latDeg == 0 && latMin == 0 &&
               latSec == 0;
    }
};

std::array<int, 6> FieldsOf(const PlaceStep& t);
PlaceStep PlaceStepOf(const std::array<int, 6>& f);

// Radians of d degrees, m arc-minutes and s arc-seconds.
double StepAngle(int deg, int min, int sec);

// ChartLong moves east by the angle (west when negative) and is brought back into −π..π by one
// turn when it leaves that range (179°30'E + 1° is 179°30'W).
void ShiftLocLongitude(AstroDat& s, int deg, int min, int sec);

// ChartLat moves north by the angle (south when negative). A latitude that passes a pole is
// mirrored at it, φ' = ±180° − φ, on the meridian half a turn away (89°N 10°E + 2° is 89°N
// 170°W). Returns true when the pole was passed: the motion then goes on away from it, so the
// caller turns the sign of its latitude step.
bool ShiftLocLatitude(AstroDat& s, int deg, int min, int sec);

// The latitude, then the longitude. True when a pole was passed (ShiftLocLatitude).
bool StepChartPlace(AstroDat& s, const PlaceStep& step);

} // namespace qor::forecast
