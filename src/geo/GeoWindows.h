// The geography's part of the running program: its windows ("Cities", "Zone", "CitySiz",
// "QorLoc") and the services the start-up, the main tick and the menus call.
#pragma once

#include "geo/Atlas.h"
#include "shell/Program.h"

namespace qor::geo {

// Registers the window classes and fills the services; `atlas` lives as long as the program.
void RegisterGeoWindows(shell::Program& p, Atlas& atlas);

} // namespace qor::geo
