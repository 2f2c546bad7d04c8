// Rise, culmination and set: the times of the Sun and the Moon on the chart's day, and the
// search that moves the chart moment to the rise or set of a body. Both reach the chart
// computation through ChartEngine only.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "core/ChartState.h"

namespace qor {

// The definition of rising is GeneralOptions::RiseGroup: 0 the upper limb with refraction,
// 1 the centre with refraction, 2 the geometric centre.

enum RiseSetStatus { kRiseSetNormal = 0, kNeverRises = -1, kNeverSets = 1 };

// Times in hours of the chart's zone time, in [0, 24). With a status other than 0, rise and
// set are not computed and stay 0: show the status instead.
struct RiseSetTimes {
    double rise = 0, transit = 0, set = 0;
    int status = kRiseSetNormal;
};

constexpr int kRiseKindSun = 0;
constexpr int kRiseKindMoon = 3;

// Rise, culmination and set of the Sun and the Moon on the chart's day. They compute the body
// alone at the chart moment and a day earlier and leave it computed at the chart moment.
RiseSetTimes SunRiseSet(AstroDat& s, ChartEngine& e, const GeneralOptions& opt);
RiseSetTimes MoonRiseSet(AstroDat& s, ChartEngine& e, const GeneralOptions& opt);

// The angle below the horizon at which body n rises or sets by the general settings
// (radians): refraction 34', plus the semi-diameter for the upper limb.
double RiseThreshold(const AstroDat& s, const GeneralOptions& gen, int n);

// The moment at which body n rises (FindRiseSet) or sets (FindRiseSet2), searched onward from
// the chart moment or back from it, to the second: the chart moment is left there and the
// chart is computed for it. False when the body does not cross the horizon within 30 hours
// (polar day or night): the moment is left where the search stopped.
bool FindRiseSet(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                 bool forward);
bool FindRiseSet2(AstroDat& s, const ChartOptions& opt, const GeneralOptions& gen, int n,
                  bool forward);

} // namespace qor
