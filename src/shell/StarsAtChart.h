// The star and deep-sky places of the sky data follow the chart's moment only when a
// recompute asks for them (they cost more than the chart). What reads them against the
// chart's points (the natal report's star conjunctions, the wheel's table of the nearest
// bright object) first brings them to the chart's moment with these routines.
#pragma once

#include "shell/Program.h"

namespace qor::shell {

// Precession in longitude, arc-seconds per Julian century: the measure of how far places of
// one moment have drifted at another.
constexpr double kPrecessionArcsecPerCentury = 5024.2;

// Whether the places lag the chart's time (ChartT) by half an arc-second of precession or
// more. False when the sky data is not there.
bool StarsBehindChart(const Program& p);

// Brings the places to the chart's moment when they lag: while no recompute runs, through a
// recompute that computes them (the screens and windows then show them); inside one, or
// before the start-up has finished, they are computed at once for the chart's time block.
// True when they were brought.
bool BringStarsToChartMoment(Program& p);

} // namespace qor::shell
