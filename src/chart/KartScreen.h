// The natal chart screen ("W") of the main window: the wheel drawn from the settings window's
// options on the program's off-screen bitmap, its hot spots handed to the settings window for
// the hover hint, and the pending note dropped at the first mouse move.
#pragma once

#include "chart/Kart.h"
#include "shell/Program.h"

#include <functional>
#include <memory>
#include <string>

namespace qor {
struct StarCatalogue;
struct DeepCatalogue;
} // namespace qor

namespace qor::chart {

// What the wheel reads of the sky data the program loaded.
struct KartSkyData {
    const StarCatalogue* Stars = nullptr;
    const DeepCatalogue* Deep = nullptr;
    std::function<std::string(int)> BodyFileName; // record n of the body file
};

// The screen's size (the forms layer's screen) and the graph font (the service form's).
KartScreen KartScreenOf(const shell::Program& p);

// Everything the drawing reads, gathered from the program and its windows at this moment.
struct KartInputs {
    KartOptions Options;
    KartChartState Chart;
    KartServices Services;
    KartScreen Screen;
};
KartInputs GatherKartInputs(shell::Program& p, const KartSkyData& sky);

// Registers the screen "W" (drawing, hover hint), the recompute hub's label-offset reset, the
// hot-spot lines and the wheel's point range. Returns the wheel (its state lives as long as
// the program's services hold it).
std::shared_ptr<NatalWheel> RegisterKartScreen(shell::Program& p, KartSkyData sky);

} // namespace qor::chart
