// The cosmos screen ("S") of the main window: its drawing with the settings of the windows, the
// surfaces of the planets read when their files change, the refresh of the star windows after a
// recompute, and the view line of the service form.
#pragma once

#include "shell/Program.h"
#include "sky/CosmosWindows.h"

#include <memory>

namespace qor {

// Registers the screen "S", the window classes of the cosmos view and the refresh of the star
// windows. Returns the view's state (held as long as the program's services hold it).
std::shared_ptr<CosmosSky> RegisterCosmos(shell::Program& p, CosmosBodies& bodies,
                                          StarCatalogue& stars, DeepCatalogue& deep);

// What the cosmos drawing reads of the windows now (defaults for windows not open).
CosmosDrawOptions GatherCosmosOptions(const shell::Program& p);

} // namespace qor
