// The forecast tables and time tools plugged into the program: their windows, menu items and
// build jobs.
#pragma once

#include "shell/Program.h"

namespace qor::forecast {

void Register(shell::Program& p);

} // namespace qor::forecast
