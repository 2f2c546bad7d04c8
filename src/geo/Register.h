// The geography subsystem plugged into the running program: the atlas of the language in use
// (kept by the program) and its loader in the start-up.
#pragma once

#include "shell/Program.h"

namespace qor::geo {

void Register(shell::Program& p);

} // namespace qor::geo
