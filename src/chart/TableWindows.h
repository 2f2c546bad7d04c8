// The chart's table windows plugged into the running program: the exact-aspects window, the
// astronomical data table and the aspect table, with their refreshes after a recompute and
// their grid refreshes through the command paths.
#pragma once

#include "shell/Program.h"

#include <string>

namespace qor::chart {

void RegisterTableWindows(shell::Program& p);

// The wheel's ways in: the exact moment of the aspect "ppaaqq" (first point, aspect, second
// point; false when refused, said on the status line) and the aspect table docked on a point
// (AspTablForm.h).
bool ShowExactAspect(shell::Program& p, const std::string& code);

} // namespace qor::chart
