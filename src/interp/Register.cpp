#include "interp/Register.h"

#include "interp/IntSet.h"
#include "interp/Intxt.h"

namespace qor::interp {

void Register(shell::Program& p, InterpServices services) {
    ui::FormScreen& screen = ui::Screen();
    auto reports = services.Reports;
    screen.RegisterFormClass("Interp", [&p, reports] { return new TInterp(p, reports); });
    screen.RegisterFormClass("IntSet", [&p] { return new TIntSet(p); });
    auto starKnown = services.StarKnown;
    screen.RegisterFormClass("Intxt", [&p, starKnown] { return new TIntxt(p, starKnown); });

    p.Svc.IntApplyFont = [] {
        if (auto* w = dynamic_cast<TInterp*>(ui::Screen().FindForm("Interp"))) w->IntApplyFont();
    };
    p.Svc.InterpShowFile = [](const std::string& programName) {
        if (auto* w = ui::Screen().Ensure<TInterp>("Interp")) w->InterpShowFile(programName);
    };
}

} // namespace qor::interp
