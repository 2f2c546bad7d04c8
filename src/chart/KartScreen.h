// The natal chart screen ("W") of the main window: the wheel drawn from the settings window's
// options on the program's off-screen bitmap, its hot spots handed to the settings window for
// the hover hint, and the pending note dropped at the first mouse move.
#pragma once

#include "chart/Kart.h"
#include "shell/Program.h"

#include <memory>

namespace qor::chart {

// The screen's size (the forms layer's screen) and the graph font (the service form's).
KartScreen KartScreenOf(const shell::Program& p);

// Everything the drawing reads, gathered from the program and its windows at this moment.
struct KartInputs {
    KartOptions Options;
    KartChartState Chart;
    KartServices Services;
    KartScreen Screen;
};
// The star and deep-sky catalogues and the body table are the sky data's when the program
// keeps one.
KartInputs GatherKartInputs(shell::Program& p);

// Registers the screen "W" (drawing, hover hint, background, hot spots), its first drawing in
// the start-up, the recompute hub's label-offset reset and the wheel's point range. Returns
// the wheel (its state lives as long as the program's services hold it).
std::shared_ptr<NatalWheel> RegisterKartScreen(shell::Program& p);

} // namespace qor::chart
