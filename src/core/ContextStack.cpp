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

struct ChartStateGuard::Kept {
    ChartPoints points;
    double chartJD, chartT, deltaT, utHours, nutPsi, nutEps, epsMean, sinEps, cosEps, sidereal;
    TimeStepCalendar stepCalendar;
    double geocLat, geocRadius;
    bool gregorian, leapYear;
    int weekDay;
    std::array<int, 13> monthDays;
    std::string utTime, utDate;
    std::array<bool, 10> parsValid;
    double parsResult;
    std::string parsTrace;
    bool parsError;
    int dmsFormat;
    bool glyphNames, shortNames;
};

ChartStateGuard::ChartStateGuard(AstroDat& s)
    : s_(s), context_(s),
      kept_(new Kept{static_cast<const ChartPoints&>(s),
                     s.ChartJD,
                     s.ChartT,
                     s.DeltaTSec,
                     s.UtHours,
                     s.NutPsi,
                     s.NutEps,
                     s.EpsMean,
                     s.SinEps,
                     s.CosEps,
                     s.SiderealTimeSec,
                     s.StepCalendar,
                     s.GeocLat,
                     s.GeocRadius,
                     s.GregorianCal,
                     s.ChartLeapYear,
                     s.ChartWeekDay,
                     s.MonthDays,
                     s.UTTimeText,
                     s.UTDateText,
                     s.ParsValid,
                     s.ParsResult,
                     s.ParsTrace,
                     s.ParsError,
                     s.DMSFormat,
                     s.GlyphNames,
                     s.ShortNames}) {}

ChartStateGuard::~ChartStateGuard() {
    const Kept& k = *kept_;
    static_cast<ChartPoints&>(s_) = k.points;
    s_.ChartJD = k.chartJD;
    s_.ChartT = k.chartT;
    s_.DeltaTSec = k.deltaT;
    s_.UtHours = k.utHours;
    s_.NutPsi = k.nutPsi;
    s_.NutEps = k.nutEps;
    s_.EpsMean = k.epsMean;
    s_.SinEps = k.sinEps;
    s_.CosEps = k.cosEps;
    s_.SiderealTimeSec = k.sidereal;
    s_.StepCalendar = k.stepCalendar;
    s_.GeocLat = k.geocLat;
    s_.GeocRadius = k.geocRadius;
    s_.GregorianCal = k.gregorian;
    s_.ChartLeapYear = k.leapYear;
    s_.ChartWeekDay = k.weekDay;
    s_.UTTimeText = k.utTime;
    s_.UTDateText = k.utDate;
    s_.ParsValid = k.parsValid;
    s_.ParsResult = k.parsResult;
    s_.ParsTrace = k.parsTrace;
    s_.ParsError = k.parsError;
    s_.DMSFormat = k.dmsFormat;
    s_.GlyphNames = k.glyphNames;
    s_.ShortNames = k.shortNames;
    s_.MonthDays = k.monthDays; // the moment comes back with the context guard, after this
}

} // namespace qor
