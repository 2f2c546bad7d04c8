// Saving and restoring the current chart moment and place around a computation for another
// moment (tables over time, rise and set, directions, searches).
#pragma once

#include "core/AstroDat.h"

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

} // namespace qor
