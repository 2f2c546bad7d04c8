#include "core/ContextStack.h"

namespace qor {

namespace {

ContextSlot Capture(const AstroDat& s) {
    return {static_cast<const ChartContext&>(s), s.MonthDays[2]};
}

void Restore(AstroDat& s, const ContextSlot& slot) {
    static_cast<ChartContext&>(s) = slot.context;
    s.MonthDays[2] = slot.february;
}

} // namespace

bool PushChartContext(AstroDat& s) {
    if (s.ContextDepth >= kContextStackDepth) {
        SetStatus(s, "Internal Error");
        return false;
    }
    s.ContextStack[s.ContextDepth++] = Capture(s);
    return true;
}

bool PopChartContext(AstroDat& s) {
    if (s.ContextDepth < 1) {
        SetStatus(s, "Internal Error");
        return false;
    }
    Restore(s, s.ContextStack[--s.ContextDepth]);
    return true;
}

ChartContextGuard::ChartContextGuard(AstroDat& s)
    : s_(s), onStack_(PushChartContext(s)), own_(Capture(s)) {}

ChartContextGuard::~ChartContextGuard() {
    if (onStack_)
        PopChartContext(s_);
    else
        Restore(s_, own_);
}

} // namespace qor
