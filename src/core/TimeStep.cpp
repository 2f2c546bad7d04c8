#include "core/TimeStep.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <cmath>

namespace qor {

namespace {

// Nutation, obliquity and their sines for the Earth at ChartT (UT-based).
void EarthFrame(AstroDat& s) {
    const NutationAngles n = Nutation(s.ChartT);
    s.NutPsi = n.psi;
    s.NutEps = n.eps;
    s.EpsMean = MeanObliquity(s.ChartT);
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

    AstroTimeTexts& t = s.AstroTexts;
    static const std::string leapRu = Cp("Високосный"), gregRu = Cp("Григорианский"),
                             julRu = Cp("Юлианский");
    t.LeapLabel = s.ChartLeapYear ? Lang(s, leapRu, "Leap") : std::string();
    t.GregLabel = s.GregorianCal ? Lang(s, gregRu, "Gregorian") : Lang(s, julRu, "Julian");

    s.ChartT = CenturiesJ2000(s.ChartJD);
    s.DeltaTSec = DeltaT(s.ChartT);

    const bool exterr = o.ExterrBody >= 3 && o.ExterrBody <= 5;
    if (exterr) {
        s.NutPsi = s.NutEps = 0;
        s.EpsMean = o.ExterrObliquity;
        s.SinEps = std::sin(s.EpsMean);
        s.CosEps = std::cos(s.EpsMean);
    } else {
        EarthFrame(s);
    }

    t.JdLabel = FloatToStrComma(13, 5, s.ChartJD);
    t.TeLabel = FloatToStrWD(1, 1, s.DeltaTSec);
    const std::string eo = FormatDMS(s, s.EpsMean * kRadToArcSec);
    t.EoLabel = eo.size() > 1 ? eo.substr(1, 20) : std::string();
    t.dELabel = FloatToStrComma(4, 1, s.NutEps * kRadToArcSec) + "\"";
    t.dFLabel = FloatToStrComma(4, 1, s.NutPsi * kRadToArcSec) + "\"";

    const double theta = exterr ? PlanetRotationAngle(o.ExterrBody, s.ChartT)
                                : SiderealTimeGreenwich(s.ChartT) + std::cos(s.EpsMean) * s.NutPsi;
    s.SiderealTime = LocalSiderealSeconds(s, theta);
    t.StLabel = FormatSecondsHMS(false, s.SiderealTime);

    if (o.UseEllipsoid) {
        ObserverGeocentric(s);
    } else {
        s.GeocRadius = 1.0;
        s.GeocLat = s.ChartLat;
    }
    s.ChartT += s.DeltaTSec * kSecondsToCenturies;
}

void CalcTimeScales(AstroDat& s) {
    s.ChartT = CenturiesJ2000(s.ChartJD);
    s.DeltaTSec = DeltaT(s.ChartT);
    EarthFrame(s);
    s.SiderealTime =
        LocalSiderealSeconds(s, SiderealTimeGreenwich(s.ChartT) + std::cos(s.EpsMean) * s.NutPsi);
    s.ChartT += s.DeltaTSec * kSecondsToCenturies;
}

} // namespace qor
