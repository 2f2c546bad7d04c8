// The subsystems above the shell plugged into the running program, each through the
// Register(Program&) of its own folder.
#pragma once

#include "shell/Program.h"

namespace qor::app {

// Registers every subsystem that is built, in the order their start-up steps of one stage
// run.
void RegisterSubsystems(shell::Program& p);

} // namespace qor::app
