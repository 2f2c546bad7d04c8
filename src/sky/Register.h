// The sky subsystem plugged into the running program: its data (SkyData, kept by the
// program), the loaders of the start-up, the star positions of the recompute hub, the body
// table's names and the star and deep-sky windows' refreshes.
#pragma once

#include "shell/Program.h"

namespace qor::sky {

void Register(shell::Program& p);

} // namespace qor::sky
