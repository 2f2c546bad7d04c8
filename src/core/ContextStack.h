// Saving and restoring the current chart moment and place around a computation for another
// moment (tables over time, rise and set, directions, searches).
#pragma once

#include "core/AstroDat.h"

#include <memory>

namespace qor {

// Saves the moment, place and February's length on the stack (depth 6). A seventh push
// saves nothing, says "Internal Error" on the status line and returns false.
bool PushChartContext(AstroDat& s);
// Restores the last saved context. On an empty stack: "Internal Error", nothing changes,
// returns false.
bool PopChartContext(AstroDat& s);

// Saves the context for the life of a scope and restores exactly what it saved when the
// scope ends, also on an early return or an exception. It uses the stack while there is
// room; past the sixth level it reports "Internal Error" once and keeps its own copy, so an
// overflow never makes an outer caller restore the wrong moment.
class ChartContextGuard {
public:
    explicit ChartContextGuard(AstroDat& s);
    ~ChartContextGuard();
    ChartContextGuard(const ChartContextGuard&) = delete;
    ChartContextGuard& operator=(const ChartContextGuard&) = delete;

private:
    AstroDat& s_;
    bool onStack_;
    ContextSlot own_;
};

// Saves, beside the moment (a ChartContextGuard), everything the time step and the chart
// computation write: the time-step values and texts, the calendar state, the points with
// their speeds and body records, the last Arabic-part evaluation and the naming flags; all of
// it is put back when the scope ends, so a search over other moments leaves the current chart
// exactly as it found it on every path.
class ChartStateGuard {
public:
    explicit ChartStateGuard(AstroDat& s);
    ~ChartStateGuard();
    ChartStateGuard(const ChartStateGuard&) = delete;
    ChartStateGuard& operator=(const ChartStateGuard&) = delete;

private:
    struct Kept;
    AstroDat& s_;
    ChartContextGuard context_;
    std::unique_ptr<Kept> kept_;
};

} // namespace qor
