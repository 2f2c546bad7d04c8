// The second chart of a double chart: transit and synastry (the second record's own moment),
// primary and solar-arc directions, progressions, and solar, lunar and phase returns.
//
// Methods (DynMethod): ' ' transit or synastry; 'D' equatorial direction and 'Z' zodiacal
// direction by 1° a year; 'E' and 'A' solar-arc directions, equatorial and zodiacal; 'z'
// zodiacal direction with fixed houses; 'P' secondary progression (a day for a year); 'p' the
// same by whole days (the birth's time of day stays); 'S' solar and 'L' lunar return; 'F'
// phase (Moon–Sun) return; 'f' progression by a synodic and 'l' by a sidereal month a year.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"

#include <string>
#include <vector>

namespace qor {

// What the computation reads of the natal-chart settings.
struct DirectionOptions {
    bool KoeffCheckBox = false; // use the coefficient below instead of 1
    std::string KoeffEdit;      // the coefficient's text
    bool HorizontalBox = false; // refine a return to the second
    // For 'p': the birth-data window's fields (date, time, zone, latitude, longitude, city,
    // country are copied into the second record first); none: the record stays.
    const DatRec* DataFormFields = nullptr;
};

// Computes the second chart for DynMethod into PlanetLonBck, PlanetLatBck, PlanetSpeedBck,
// PlanetLonSavedBck and SiderealTimeSecBck, with DirAge and DirCoef. The birth is the current
// chart (time step and chart computed); it is left as it was found. When `memo` is given (the
// service form is shown) it receives the report lines. Returns false, with the user told and
// the second chart unchanged, when the second record does not unpack or a return does not
// converge.
bool DirectionsReport(AstroDat& s, ChartEngine& e, const DirectionOptions& opt,
                      std::vector<std::string>* memo = nullptr);

// Moves the chart moment by the time point j needs, at its present daily motion, to travel
// from its longitude (PlanetLonSaved) to entry i of PlanetLonSavedBck, the shorter way round.
void ArcToTimeShift(AstroDat& s, ChartEngine& e, int i, int j);
// Refines that meeting to the second: measures point j's motion over one second and steps
// until the remaining step is below a second (at most 60 passes). Leaves point j computed.
void ArcToTimeShiftFine(AstroDat& s, ChartEngine& e, int i, int j);
// Moves the chart moment toward the Moon–Sun elongation `target` (radians): forward to the
// next such moment on the first call (`forward`), the shorter way afterwards.
void ArcToTimeShift2(AstroDat& s, ChartEngine& e, double target, bool forward);

// Moves the chart moment by a signed number of hours: whole days, hours and minutes, and the
// rest rounded to seconds, each with the stepper of its sign. A shift that is not a number or
// longer than a century (a point at rest) is not made: returns false.
bool ShiftChartHours(AstroDat& s, double hours);

} // namespace qor
