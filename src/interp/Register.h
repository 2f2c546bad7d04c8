// The interpretation subsystem plugged into the running program: its three windows, the text
// window's font at the start-up, InterpShowFile, and the star catalogue for the check of the
// star bases.
#pragma once

#include "shell/Program.h"

namespace qor::interp {

void Register(shell::Program& p);

} // namespace qor::interp
