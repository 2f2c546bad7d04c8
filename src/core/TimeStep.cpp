#include "core/TimeStep.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <cmath>

namespace qor {

namespace {

// Nutation, obliquity and their sines for the Earth at tUT, centuries of universal time.
void EarthFrame(AstroDat& s, double tUT) {
    const NutationAngles n = Nutation(tUT);
    s.NutPsi = n.psi;
    s.NutEps = n.eps;
    s.EpsMean = MeanObliquity(tUT);
    s.SinEps = std::sin(s.EpsMean + s.NutEps);
    s.CosEps = std::cos(s.EpsMean + s.NutEps);
}

// Local apparent sidereal time in seconds of time from a Greenwich angle θ (radians).
double LocalSiderealSeconds(const AstroDat& s, double theta) {
    return NormAngle(theta + s.ChartLong) / 15.0 * kRadToArcSec;
}

} // namespace

void CalcAstroTime(AstroDat& s, const TimeStepOptions& o) {
    s.UtHours = (s.ChartSecond / 60.0 + s.ChartMinute) / 60.0 + s.ChartHour - s.ChartZone / 60.0;
    DateTimeRec rec;
    rec.Year = s.ChartYear;
    rec.Month = s.ChartMonth;
    rec.Day = s.ChartDay;
    s.ChartJD = JulianDay(s, rec) + s.UtHours / 24.0;

    s.StepCalendar = {s.ChartLeapYear, s.GregorianCal};

    // The frame of the moment is taken at universal time; the chart's own centuries
    // (ChartT) are dynamical time, set at the end.
    const double tUT = CenturiesJ2000(s.ChartJD);
    s.DeltaTSec = DeltaT(tUT);

    const bool exterr = o.ExterrBody >= 3 && o.ExterrBody <= 5;
    if (exterr) {
        s.NutPsi = s.NutEps = 0;
        s.EpsMean = o.ExterrObliquity;
        s.SinEps = std::sin(s.EpsMean);
        s.CosEps = std::cos(s.EpsMean);
    } else {
        EarthFrame(s, tUT);
    }

    const double theta = exterr ? PlanetRotationAngle(o.ExterrBody, tUT)
                                : SiderealTimeGreenwich(tUT) + std::cos(s.EpsMean) * s.NutPsi;
    s.SiderealTimeSec = LocalSiderealSeconds(s, theta);

    if (o.UseEllipsoid) {
        ObserverGeocentric(s);
    } else {
        s.GeocRadius = 1.0;
        s.GeocLat = s.ChartLat;
    }
    s.ChartT = tUT + s.DeltaTSec * kSecondsToCenturies;
}

void CalcTimeScales(AstroDat& s) {
    const double tUT = CenturiesJ2000(s.ChartJD);
    s.DeltaTSec = DeltaT(tUT);
    EarthFrame(s, tUT);
    s.SiderealTimeSec =
        LocalSiderealSeconds(s, SiderealTimeGreenwich(tUT) + std::cos(s.EpsMean) * s.NutPsi);
    s.ChartT = tUT + s.DeltaTSec * kSecondsToCenturies;
}

} // namespace qor
