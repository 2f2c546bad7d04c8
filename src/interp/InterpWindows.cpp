#include "interp/InterpWindows.h"

#include "interp/ChartTexts.h"
#include "interp/Dict.h"
#include "interp/DayTexts.h"
#include "interp/IntSet.h"
#include "interp/Intxt.h"
#include "interp/MoonSgn.h"
#include "interp/OracleForm.h"
#include "interp/PairTexts.h"
#include "interp/PictureForms.h"

namespace qor::interp {

void RegisterInterpWindows(shell::Program& p, InterpServices services) {
    auto reports = services.Reports;
    p.FormClasses.Register("Interp", [&p, reports] { return new TInterp(p, reports); });
    p.FormClasses.Register("IntSet", [&p] { return new TIntSet(p); });
    auto starKnown = services.StarKnown;
    p.FormClasses.Register("Intxt", [&p, starKnown] { return new TIntxt(p, starKnown); });

    // The user's font of the text window, before the paragraph settings are applied to it.
    p.Svc.AddStartStep(shell::StartStage::Fonts, "IntApplyFont", [] {
        if (auto* w = dynamic_cast<TInterp*>(ui::Screen().FindForm("Interp"))) w->IntApplyFont();
    });
    RegisterChartTexts(p, *reports);
    RegisterDayTexts(p, *reports);
    RegisterPairTexts(p, *reports);
    RegisterMoonSgn(p);
    p.FormClasses.Register("IZIN", [&p] { return new TIZIN(p); });
    p.FormClasses.Register("Dict", [&p] { return new TDict(p); });
    RegisterPictureWindows(p);
    p.Hooks.InterpShowFile = [](const std::string& programName) {
        if (auto* w = ui::Screen().Ensure<TInterp>("Interp")) w->InterpShowFile(programName);
    };
}

} // namespace qor::interp
