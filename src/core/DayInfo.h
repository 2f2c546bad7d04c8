// The summary of a day for the start window: the moment, the Sun's and the Moon's rise and
// set, the next new and full Moon, and the Moon's phase.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/ChartState.h"

#include <functional>
#include <string>

namespace qor {

// The chart moment as a line: the day right-aligned in 3, the month's name, the year in 4
// digits, the weekday's two letters, then the hour right-aligned in 3, ":mm:ss"
// (" 18 February 1977 Fr  3:37:42").
std::string ChartDateTimeLine(AstroDat& s);

// The Julian day (UT) of the chart moment, from its date, time and zone.
double ChartMomentJD(const AstroDat& s);

// Moves the chart moment by `days` (negative: back): the whole days, then the rest rounded to
// the second.
void StepMomentDays(AstroDat& s, double days);

// The next new Moon (full: the next full Moon) from the start of the chart's local day: the
// elongation of the Moon from the Sun (or from the point opposite the Sun) is driven to 0 by
// steps of elongation / the Moon's daily motion, whole days and seconds, until a step is
// below one second or 50 steps are made. The places are geocentric: the search runs without
// the horizontal parallax, which would shift a conjunction by up to two hours. The chart
// moment is left at the found moment (the caller saves the context).
struct LunationSearch {
    double jdUT = 0; // the Julian day (UT) found
    int steps = 0;   // steps made
    bool converged = false;
    std::string text; // ChartDateTimeLine of the found moment
};
LunationSearch FindNextLunation(AstroDat& s, ChartEngine& e, bool full, int maxSteps = 50);

// The refinement under both lunation searches: from the chart moment moved by `firstStep`
// days, steps of the Moon's elongation from the Sun (or from the point opposite) divided by
// the Moon's motion less the Sun's, until a step is 1 second or less or `maxSteps` are made.
// `e` computes the Sun and the Moon as the caller wants them (geocentric, no parallax).
LunationSearch RefineLunation(AstroDat& s, ChartEngine& e, bool full, double firstStep,
                              int maxSteps);

// The day summary: lines separated by ";", the Moon's signed phase angle (radians, in
// [−π, π): the Meeus phase angle i, negative while the Moon waxes) and its illuminated
// fraction.
struct DaySummary {
    std::string text;
    double phaseAngle = 0;
    double phaseFraction = 0;
    LunationSearch newMoon, fullMoon;
};

// Builds the summary for the moment of `start` (the record the program started with). The
// lunar day of message 116 comes from `lunarDay` (the day of the Moon counted in moonrises; 0
// when it cannot be counted, written "--"; without it, the Moon's age in whole days plus one). The chart context and the horizontal-parallax
// option are restored, and the chart is recomputed for the current moment, at the end.
DaySummary BuildDaySummary(AstroDat& s, ChartEngine& e, const GeneralOptions& opt,
                           const DatRec& start, const std::function<int()>& lunarDay = {});

} // namespace qor
