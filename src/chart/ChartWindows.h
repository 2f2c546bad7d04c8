// The birth-data and natal-chart settings windows plugged into the running program: their
// classes by window name, and the services the start-up and the recompute hub call.
#pragma once

#include "shell/Program.h"

namespace qor::chart {

class TDataForm;
class TKartForm;

void RegisterChartWindows(shell::Program& p);

// Says something to the user in a message box; while a command of the link runs, on the status
// line instead (a refusal also answers "Error;..." on the link): nothing waits for a person.
void TellUser(shell::Program& p, MsgKind kind, const std::string& text, bool refusal);
// A yes-or-no question; while a command of the link runs it is refused as above (false).
bool AskUser(shell::Program& p, const std::string& question);

// The live windows, or nullptr.
TDataForm* DataFormOf();
TKartForm* KartFormOf();

} // namespace qor::chart
