// The birth-data and natal-chart settings windows plugged into the running program: their
// classes by window name, and the services the start-up and the recompute hub call.
#pragma once

#include "shell/Program.h"

namespace qor::chart {

class TDataForm;
class TKartForm;

void RegisterChartWindows(shell::Program& p);

// The live windows, or nullptr.
TDataForm* DataFormOf();
TKartForm* KartFormOf();

} // namespace qor::chart
