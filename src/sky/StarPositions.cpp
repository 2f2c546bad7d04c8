#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"

#include <cmath>

namespace qor {

void StarProperMotion(double& ra, double& dec, double pmRA, double pmDec, double T) {
    if (pmRA == 0 && pmDec == 0) return;
    // The star moves along its great circle: its direction plus T times its velocity on the
    // sky (east, the coordinate rate times cos δ, and north), made a direction again. Adding
    // the rates to the coordinates would bend the path of a fast star far from the equator.
    const double ca = std::cos(ra), sa = std::sin(ra);
    const double cd = std::cos(dec), sd = std::sin(dec);
    const double east = T * pmRA * cd, north = T * pmDec;
    const double x = cd * ca - sa * east - sd * ca * north;
    const double y = cd * sa + ca * east - sd * sa * north;
    const double z = sd + cd * north;
    ra = NormAngle(std::atan2(y, x));
    dec = std::atan2(z, std::hypot(x, y));
}

namespace {

// What every place of one moment shares: the precession from J2000, the nutation, the
// aberration and the true obliquity, each computed once.
struct MomentTerms {
    double T;
    PrecessionAngles precession;
    NutationTerms nutation;
    bool aberration;
    AberrationTerms aberrationTerms;
    double sinTrueEps, cosTrueEps;
    explicit MomentTerms(const AstroDat& s)
        : T(s.ChartT), precession(PrecessionBetween(s.ChartT, 0.0)),
          nutation(NutationTermsOf(s.EpsMean, s.NutEps, s.NutPsi)), aberration(s.UseLightTime),
          aberrationTerms(aberration ? AberrationTermsAt(2, s.EpsMean, s.ChartT)
                                     : AberrationTerms{}),
          sinTrueEps(std::sin(s.EpsMean + s.NutEps)), cosTrueEps(std::cos(s.EpsMean + s.NutEps)) {}

    void PlaceOfDate(double& ra, double& dec, double pmRA, double pmDec) const {
        StarProperMotion(ra, dec, pmRA, pmDec, T);
        ApplyPrecession(precession, ra, dec);
        ApplyNutation(nutation, ra, dec);
        if (aberration) ApplyAberration(aberrationTerms, ra, dec);
        ra = NormAngle(ra);
    }
};

} // namespace

void StarPlaceOfDate(const AstroDat& s, double& ra, double& dec, double pmRA, double pmDec) {
    MomentTerms(s).PlaceOfDate(ra, dec, pmRA, pmDec);
}

void ComputeStarPositions(const AstroDat& s, StarCatalogue& c, DeepCatalogue* deep) {
    const MomentTerms moment(s);
    const std::size_t n = static_cast<std::size_t>(c.StarCount) + 1;
    c.StarRADate.resize(n);
    c.StarDecDate.resize(n);
    c.StarLon.resize(n);
    c.StarLat.resize(n);
    for (int i = 1; i <= c.StarCount; ++i) {
        double ra = c.StarRA2000[i];
        double dec = c.StarDec2000[i];
        moment.PlaceOfDate(ra, dec, c.YaleStars[i].PmRA, c.YaleStars[i].PmDec);
        c.StarRADate[i] = ra;
        c.StarDecDate[i] = dec;
        const EclPos e = EquToEclTrue(moment.sinTrueEps, moment.cosTrueEps, dec, ra);
        c.StarLon[i] = e.lon;
        c.StarLat[i] = e.lat;
    }
    if (deep != nullptr) {
        for (int j = 1; j <= deep->DeepCount; ++j) {
            DeepRec& d = deep->DeepObjs[j];
            double ra = d.RA2000;
            double dec = d.Dec2000;
            moment.PlaceOfDate(ra, dec, 0.0, 0.0);
            d.RA = ra;
            d.Dec = dec;
            const EclPos e = EquToEclTrue(moment.sinTrueEps, moment.cosTrueEps, dec, ra);
            d.Lon = e.lon;
            d.Lat = e.lat;
        }
    }
    c.StarsCalcT = s.ChartT;
}

void ComputeStarHorizon(const AstroDat& s, StarCatalogue& c) {
    const double lst = s.SiderealTimeSec * 15 * kArcsecToRad;
    c.StarAzimuth.resize(static_cast<std::size_t>(c.StarCount) + 1);
    c.StarAltitude.resize(static_cast<std::size_t>(c.StarCount) + 1);
    for (int i = 1; i <= c.StarCount; ++i) {
        const HorPos h = EquToHorizon(s.ChartLat, lst, c.StarDecDate[i], c.StarRADate[i]);
        c.StarAzimuth[i] = h.az;
        c.StarAltitude[i] = h.alt;
    }
}

} // namespace qor
