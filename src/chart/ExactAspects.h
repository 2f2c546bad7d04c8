// The exact moment of one aspect between two chart points: the nearest one ahead of the
// chart's moment when the aspect is applying, behind it when it is separating, found on
// twenty steps of a scale chosen from how fast the aspect changes, then refined to the
// second. The exact-aspects window (ExctAspForm.h) shows it; the computation is here, on the
// program's chart computation (ChartEngine), and leaves the current chart as it found it.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/ChartMoment.h"

#include <array>
#include <string>

namespace qor::chart {

// --- The scale of the steps -------------------------------------------------------------------

enum StepUnitCode { kStepDays = 0, kStepHours = 1, kStepMinutes = 2, kStepMonths = 3 };

struct StepScale {
    int Unit = kStepDays; // StepUnitCode
    int Size = 1;         // units per step
    int Code() const { return Size * 10 + Unit; }
    bool operator==(const StepScale&) const = default;
};

// The scale for an aspect that changes by one degree in `seconds`: 4 minutes up to 600 s,
// 1 hour up to 3 hours, 1 day up to 3 days, 3 days up to 10 days, 10 days up to 30 days,
// else 1 month.
StepScale SetStepScale(double seconds);
// One step in seconds (a month counted as 30 days).
double StepSeconds(const StepScale& scale);
// "4 минуты" / "4 minutes": the size and the unit's word in the plural form the size takes.
std::string StepText(const AstroDat& s, const StepScale& scale);

// The zoom after "coarser" (factor 3) or "finer" (factor 1/3) from a scale whose code was
// `codeBefore`: the scale of seconds × zoom, the zoom multiplied again by the factor while the
// scale stays the same, at most six times; when six passes do not change it, the zoom
// returns to what it was. Factor 1 (no command yet): the scale of seconds × zoom.
struct ZoomedScale {
    StepScale Scale;
    double Zoom = 1;
};
ZoomedScale ZoomStepScale(double seconds, double zoom, double factor, int codeBefore);

// --- Deviation from exactness ---------------------------------------------------------------

constexpr int kConjunction = 1;
constexpr int kOpposition = 14;

// Radians from exactness of aspect `aspect` (angle `angle`) between longitudes lon1 and lon2;
// zero when exact, changing sign as the points pass exactness. The conjunction: lon1 − lon2
// reduced to [−π, π); the opposition: π − (lon1 − lon2) reduced to [0, 2π); any other:
// angle − |lon1 − lon2 reduced to [−π, π)|.
double AspectDeviation(int aspect, double angle, double lon1, double lon2);

// Two successive samples that cross exactness: a change of sign where both lie within 90° of
// it (the conjunction's and the opposition's deviations jump by 360° on the far side).
bool CrossesExactness(double before, double after);

// --- The search -------------------------------------------------------------------------------

constexpr int kExactSamples = 21;

struct ExactAspectQuery {
    int Point1 = 1, Aspect = kConjunction, Point2 = 2; // chart points 0..40, aspect 1..46
    double Angle = 0;                                   // the aspect's angle, radians
    bool DoubleChart = false;
    char AspectingMode = 'I'; // double chart: 'I' inner with itself, 'O' outer, 'X' across
    // Which points are computed again at each step (both, except across a double chart where
    // one chart stands still).
    bool Point1Moves = true, Point2Moves = true;
    bool HelioMode = false; // point 0 (the Earth) is computed as point 1
    // The zoom of the scale and the last "coarser" or "finer" command.
    double Zoom = 1, ZoomFactor = 1;
    int ScaleCodeBefore = 0;
};

struct ExactAspectResult {
    // False when the outer chart's moment was needed and its record does not parse (the user
    // is told which field is wrong); nothing else is then filled.
    bool Done = false;
    bool Applying = true;  // the separation nears exactness: the scan runs forward
    double Separation = 0; // |lon1 − lon2| at the chart's moment, radians (0..π)
    StepScale Scale;
    double Zoom = 1;
    std::array<double, kExactSamples> Samples{}; // deviation in degrees at each step
    bool Found = false;
    double ExactStep = 0;        // steps from the chart's moment to the exact moment
    ChartMoment Exact;           // the exact moment, the chart's local time
    double Lon1 = 0, Lon2 = 0;   // the two longitudes at the exact moment
};

// Runs the search on the state's current chart through the engine; the chart moment, the
// points, the time step and both data sets are as they were afterwards. In a double chart
// whose moving point is the outer chart's, the steps start from the second record's moment.
ExactAspectResult FindExactAspect(AstroDat& s, ChartEngine& e, const ExactAspectQuery& q);

// The code "ppaaqq" of the wheel (first point, aspect, second point, two digits each; blanks
// before a digit allowed); false when it is not three such numbers.
bool ParseAspectCode(const std::string& code, int& point1, int& aspect, int& point2);

} // namespace qor::chart
