#include "chart/ExactAspects.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/ContextStack.h"
#include "core/Formats.h"
#include "core/Stepping.h"
#include "core/Text.h"

#include <cmath>

namespace qor::chart {

StepScale SetStepScale(double seconds) {
    if (seconds <= 600) return {kStepMinutes, 4};
    if (seconds <= 10800) return {kStepHours, 1};
    if (seconds <= 259200) return {kStepDays, 1};
    if (seconds <= 864000) return {kStepDays, 3};
    if (seconds <= 2592000) return {kStepDays, 10};
    return {kStepMonths, 1};
}

double StepSeconds(const StepScale& scale) {
    static constexpr double kUnitSeconds[4] = {86400, 3600, 60, 2592000};
    const int u = scale.Unit >= 0 && scale.Unit <= 3 ? scale.Unit : kStepDays;
    return scale.Size * kUnitSeconds[u];
}

std::string StepText(const AstroDat& s, const StepScale& scale) {
    // [unit][form]: the form of 1, of 2..4 and of any other number
    static const char* const kRussian[4][3] = {{" день", " дня", " дней"},
                                               {" час", " часа", " часов"},
                                               {" минута", " минуты", " минут"},
                                               {" месяц", " месяца", " месяцев"}};
    static const char* const kEnglish[4][3] = {{" day", " days", " days"},
                                               {" hour", " hours", " hours"},
                                               {" minute", " minutes", " minutes"},
                                               {" month", " months", " months"}};
    const int u = scale.Unit >= 0 && scale.Unit <= 3 ? scale.Unit : kStepDays;
    const int form = scale.Size == 1 ? 0 : (scale.Size >= 2 && scale.Size <= 4 ? 1 : 2);
    const std::string word = s.EnglishMode ? kEnglish[u][form] : Cp(kRussian[u][form]);
    return std::to_string(scale.Size) + word;
}

ZoomedScale ZoomStepScale(double seconds, double zoom, double factor, int codeBefore) {
    if (factor == 1.0) return {SetStepScale(seconds * zoom), zoom}; // no command yet
    const double before = zoom;
    ZoomedScale z{SetStepScale(seconds * zoom), zoom};
    for (int pass = 1; z.Scale.Code() == codeBefore; ++pass) {
        if (pass == 6) {
            z.Zoom = before;
            break;
        }
        z.Zoom *= factor;
        z.Scale = SetStepScale(seconds * z.Zoom);
    }
    return z;
}

double AspectDeviation(int aspect, double angle, double lon1, double lon2) {
    if (aspect == kConjunction) return NormAngleSigned(lon1 - lon2);
    if (aspect == kOpposition) return kPi - NormAngle(lon1 - lon2);
    return angle - std::fabs(NormAngleSigned(lon1 - lon2));
}

bool CrossesExactness(double before, double after) {
    constexpr double kNear = kPi / 2;
    return (before < 0) != (after < 0) && std::fabs(before) < kNear && std::fabs(after) < kNear;
}

bool ParseAspectCode(const std::string& code, int& point1, int& aspect, int& point2) {
    if (code.size() != 6) return false;
    int v[3];
    for (int k = 0; k < 3; ++k) {
        const auto n = ParseWholeInteger(code.substr(2 * k, 2));
        if (!n || *n < 0) return false;
        v[k] = static_cast<int>(*n);
    }
    if (v[0] > 40 || v[2] > 40 || v[1] < 1 || v[1] > 46) return false;
    point1 = v[0], aspect = v[1], point2 = v[2];
    return true;
}

namespace {

void MoveSteps(AstroDat& s, const StepScale& scale, bool forward) {
    const int n = scale.Size;
    switch (scale.Unit) {
    case kStepMinutes:
        forward ? IncMinute(s, n) : DecMinute(s, n);
        break;
    case kStepHours:
        forward ? IncHour(s, n) : DecHour(s, n);
        break;
    case kStepMonths:
        forward ? IncMonth(s, n) : DecMonth(s, n);
        break;
    default:
        forward ? IncDay(s, n) : DecDay(s, n);
        break;
    }
}

class Search {
public:
    Search(AstroDat& s, ChartEngine& e, const ExactAspectQuery& q)
        : s_(s), e_(e), q_(q), fixed1_(s.PlanetLon.at(q.Point1)),
          fixed2_(s.PlanetLonBck.at(q.Point2)) {}

    ExactAspectResult Run() {
        ExactAspectResult r;
        const bool across = q_.DoubleChart && q_.AspectingMode != 'I';
        if (across && q_.Point2Moves) {
            // The outer chart's point moves: the steps start from its own moment.
            const MomentParse outer = ParseChartMoment(s_, s_.DatRec2);
            if (!outer) {
                UnpackDatRecToChart(s_, s_.DatRec2); // says which field is wrong
                return r;
            }
            SetChartMoment(s_, *outer.Moment);
            UpdateCalendarForYear(s_);
        }
        r.Done = true;

        // The scale: how far the deviation moves in one second.
        const double dev0 = Deviation(true);
        r.Separation = std::fabs(NormAngleSigned(lon1_ - lon2_));
        const ChartMoment start = MomentOf(s_);
        IncSecond(s_, 1);
        Compute();
        const double dev1 = Deviation(false);
        r.Applying = std::fabs(dev1) <= std::fabs(dev0);
        const double rate = std::fabs(NormAngleSigned(dev1 - dev0)); // radians per second
        const double seconds = kDegToRad / NonZeroGuard(rate);
        const ZoomedScale z = ZoomStepScale(seconds, q_.Zoom, q_.ZoomFactor, q_.ScaleCodeBefore);
        r.Scale = z.Scale;
        r.Zoom = z.Zoom;

        // Twenty steps from the chart's moment, forward when applying, else backward.
        Restart(start);
        std::array<ChartMoment, kExactSamples> at{};
        at[0] = start;
        r.Samples[0] = dev0 / kDegToRad;
        double previous = dev0;
        for (int i = 1; i < kExactSamples; ++i) {
            MoveSteps(s_, r.Scale, r.Applying);
            at[i] = MomentOf(s_);
            Compute();
            const double d = Deviation(false);
            r.Samples[i] = d / kDegToRad;
            if (!r.Found && CrossesExactness(previous, d)) {
                const double a = r.Samples[i - 1], b = r.Samples[i];
                r.ExactStep = (i - 1) + std::fabs(a / NonZeroGuard(a - b));
                r.Found = true;
            }
            previous = d;
        }
        if (!r.Found) return r;

        // The first estimate between the two samples, then secants over one second.
        const int k = static_cast<int>(r.ExactStep);
        Restart(at[k]);
        const long long first = RoundEven((r.ExactStep - k) * StepSeconds(r.Scale));
        StepSeconds(s_, r.Applying ? first : -first);
        for (int pass = 1; pass <= 5; ++pass) {
            Compute();
            const double y0 = Deviation(false);
            IncSecond(s_, 1);
            Compute();
            const double y1 = Deviation(false);
            const long long step = RoundEven(-y1 / NonZeroGuard(y1 - y0));
            StepSeconds(s_, step);
            if (std::fabs(y1) * kRadToArcSec < 0.5 || std::llabs(step) <= 1) break;
        }
        r.Exact = MomentOf(s_);
        Compute();
        Deviation(false);
        r.Lon1 = lon1_;
        r.Lon2 = lon2_;
        return r;
    }

private:
    // The point whose computation gives point n's longitude.
    int Computed(int n) const { return n == 0 ? 1 : n; }

    void Compute() {
        e_.CalcAstroTime();
        if (q_.Point1Moves) e_.CalcChart(Computed(q_.Point1));
        if (q_.Point2Moves && !(q_.Point1Moves && Computed(q_.Point2) == Computed(q_.Point1)))
            e_.CalcChart(Computed(q_.Point2));
    }

    // The deviation of the two longitudes of the moment; `load` for the chart's own moment,
    // read from the charts as they stand.
    double Deviation(bool load) {
        const PointArray& lon = s_.PlanetLon;
        // In a heliocentric chart the Earth (0) is computed and kept as point 1.
        const int p1 = q_.HelioMode ? Computed(q_.Point1) : q_.Point1;
        const int p2 = q_.HelioMode ? Computed(q_.Point2) : q_.Point2;
        const auto at = [](const PointArray& a, int n) { return a.at(n); };
        if (!q_.DoubleChart || q_.AspectingMode == 'I') {
            lon1_ = at(lon, p1);
            lon2_ = at(lon, p2);
        } else if (q_.AspectingMode == 'O') {
            const PointArray& src = load ? s_.PlanetLonBck : lon;
            lon1_ = at(src, p1);
            lon2_ = at(src, p2);
        } else if (q_.Point1Moves) { // the outer chart stands still
            lon1_ = at(lon, p1);
            lon2_ = fixed2_;
        } else { // the inner chart stands still
            lon1_ = fixed1_;
            lon2_ = at(load ? s_.PlanetLonBck : lon, p2);
        }
        return AspectDeviation(q_.Aspect, q_.Angle, lon1_, lon2_);
    }

    void Restart(const ChartMoment& m) {
        SetChartMoment(s_, m);
        UpdateCalendarForYear(s_);
    }

    AstroDat& s_;
    ChartEngine& e_;
    const ExactAspectQuery& q_;
    double fixed1_, fixed2_;
    double lon1_ = 0, lon2_ = 0;
};

} // namespace

ExactAspectResult FindExactAspect(AstroDat& s, ChartEngine& e, const ExactAspectQuery& q) {
    if (q.Point1 < 0 || q.Point1 > 40 || q.Point2 < 0 || q.Point2 > 40) return {};
    ChartStateGuard keep(s);
    return Search(s, e, q).Run();
}

} // namespace qor::chart
