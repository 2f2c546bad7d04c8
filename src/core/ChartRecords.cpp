#include "core/ChartRecords.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <utility>

namespace qor {

DatRecNameDateTime GetDatRecNameDateTime(const DatRec& rec) {
    return {rec[kRecName], rec[kRecDate], rec[kRecTime]};
}

bool UnpackDatRecToChart(AstroDat& s, const DatRec& rec) {
    const MomentParse r = ParseChartMoment(s, rec);
    if (!r) {
        ReportOf(s).ShowMessage(MsgKind::Warning, r.Problem);
        return false;
    }
    SetChartMoment(s, *r.Moment);
    return true;
}

bool SwapCharts(AstroDat& s) {
    if (!ParseChartMoment(s, s.DatRec2)) {
        UnpackDatRecToChart(s, s.DatRec2); // tells the user what is wrong
        return false;
    }
    std::swap(s.DatRec1, s.DatRec2);
    UnpackDatRecToChart(s, s.DatRec1);
    std::swap(s.DynMethod, s.DynMethod2);
    std::swap(s.DateShort1, s.DateShort2);
    std::swap(s.DirAge, s.DirAge2);
    UpdateCalendarForYear(s);
    return true;
}

} // namespace qor
