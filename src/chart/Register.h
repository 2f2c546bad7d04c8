// The natal chart subsystem plugged into the running program: the birth-data and settings
// windows, the wheel's screen "W" and what the start-up and the recompute hub call of them.
#pragma once

#include "shell/Program.h"

namespace qor::chart {

void Register(shell::Program& p);

} // namespace qor::chart
