// The time step of the chart: from the chart moment (local civil date and time, zone, place)
// to the Julian day, delta T and dynamical time, nutation, the mean and true obliquity and the
// local sidereal time that every ephemeris routine reads (fields of AstroDat).
#pragma once

#include "core/AstroDat.h"

namespace qor {

// Options of the time step, filled by the UI from the settings windows.
struct TimeStepOptions {
    // 0 the Earth; 3 Mercury, 4 Venus, 5 Mars: the chart of an observer on that planet.
    int ExterrBody = 0;
    // The inclination of the observing planet's equator to its orbit (radians), from the body
    // table of the cosmos view; the obliquity of such a chart.
    double ExterrObliquity = 0;
    // The observer on the Earth ellipsoid instead of a sphere (general settings, off).
    bool UseEllipsoid = false;
};

// The time step, with the calendar of the moment kept in s.StepCalendar; run before every
// chart computation of the current moment. Afterwards ChartT is dynamical time.
void CalcAstroTime(AstroDat& s, const TimeStepOptions& o);

// The time step for a ChartJD set by the caller: no calendar, texts, extraterrestrial branch
// or ellipsoid step.
void CalcTimeScales(AstroDat& s);

} // namespace qor
