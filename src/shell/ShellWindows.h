// The shell's own small windows in the running program: the general settings, the colour and
// paragraph dialogs, the splash, start and about windows, the Arabic-parts window and the
// astronomical calculator, registered by name with the program's hooks filled in.
#pragma once

#include "shell/Program.h"

namespace qor::shell {

class TStartShow;

// Registers the window classes and fills Program::Hooks (called by the Program's constructor).
void RegisterShellWindows(Program& p);

// The paragraph settings of the window "Paragr" applied (the start-up).
void ApplyParagraphSettings();
// The active Arabic parts restored by the parts window, else counted from the active list.
void RestoreActiveParts(Program& p);

// The day summary in a new start window (the first main tick and Ctrl+Alt+S).
TStartShow* ShowDayInfo(Program& p);

} // namespace qor::shell
