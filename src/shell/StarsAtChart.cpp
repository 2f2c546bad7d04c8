#include "shell/StarsAtChart.h"

#include "core/Formats.h"
#include "shell/Tech.h"

namespace qor::shell {

bool StarsBehindChart(const Program& p) {
    if (!p.Svc.StarsCalcT || !p.Svc.ComputeStarPositions) return false;
    return RoundEven((p.s.ChartT - p.Svc.StarsCalcT()) * kPrecessionArcsecPerCentury) != 0;
}

bool BringStarsToChartMoment(Program& p) {
    if (!StarsBehindChart(p)) return false;
    ShellFlags& f = p.Flags;
    if (f.Ready && f.RefreshReady && p.Tech) {
        // The flag comes back as it was, however the recompute ends.
        struct Restore {
            bool& flag;
            bool was;
            ~Restore() { flag = was; }
        } restore{f.StarsRecalc, f.StarsRecalc};
        f.StarsRecalc = true;
        p.Tech->RefreshAll();
    }
    if (StarsBehindChart(p)) p.Svc.ComputeStarPositions();
    return true;
}

} // namespace qor::shell
