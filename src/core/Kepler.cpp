#include "core/Kepler.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor {

double MeanMotionOf(double a) {
    if (a <= 0) return 0;
    return kGaussK * std::sqrt(a) / NonZeroGuard(a * a);
}

OrbitElements EllipseElements(double epoch, double a, double e, double meanAnomaly,
                              double argPerihelion, double node, double inclination) {
    OrbitElements el;
    el.epoch = epoch;
    el.a = a;
    el.e = e;
    el.meanAnomaly = meanAnomaly;
    el.argPerihelion = argPerihelion;
    el.node = node;
    el.inclination = inclination;
    el.meanMotion = MeanMotionOf(a);
    return el;
}

double EccentricAnomaly(double M, double e, double* sinE, double* cosE) {
    // E − e sin E − M grows with E and changes sign within [M − e, M + e]: Halley's steps (the
    // sine and cosine at hand give the second derivative for nothing), with a halving of the
    // bracket wherever a step would leave it. Done when the residual is below 1e-15.
    double lo = M - e - 1e-12, hi = M + e + 1e-12;
    double E = e < 0.8 ? M : (M < 0 ? -kPi : kPi) * 0.5 + M * 0.5;
    E = std::clamp(E, lo, hi);
    double s = std::sin(E), c = std::cos(E);
    for (int k = 0; k < 100; ++k) {
        const double f = E - e * s - M;
        if (std::fabs(f) < 1e-15 || hi - lo < 1e-13) break;
        if (f < 0)
            lo = E;
        else
            hi = E;
        const double d = 1 - e * c;
        double next = d > 0 ? E - f / (d - 0.5 * f * e * s / d) : 0.5 * (lo + hi);
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const bool still = std::fabs(next - E) < 1e-15;
        E = next;
        s = std::sin(E);
        c = std::cos(E);
        if (still) break;
    }
    if (sinE) *sinE = s;
    if (cosE) *cosE = c;
    return E;
}

void KeplerState(const OrbitElements& el, double jd, Triple& pos, Triple& vel) {
    const double M = NormAngleSigned(el.meanMotion * (jd - el.epoch) + el.meanAnomaly);
    const double e = el.e;
    double sE, cE;
    EccentricAnomaly(M, e, &sE, &cE);
    const double q = std::sqrt(std::max(0.0, 1 - e * e));
    const double xo = el.a * (cE - e), yo = el.a * q * sE;
    const double dE = el.meanMotion / NonZeroGuard(1 - e * cE);
    const double vxo = -el.a * sE * dE, vyo = el.a * q * cE * dE;
    const double cw = std::cos(el.argPerihelion), sw = std::sin(el.argPerihelion);
    const double cn = std::cos(el.node), sn = std::sin(el.node);
    const double ci = std::cos(el.inclination), si = std::sin(el.inclination);
    auto rotate = [&](double x, double y) -> Triple {
        const double xw = x * cw - y * sw, yw = x * sw + y * cw; // in the orbit, from the node
        return {xw * cn - yw * ci * sn, xw * sn + yw * ci * cn, yw * si};
    };
    pos = rotate(xo, yo);
    vel = rotate(vxo, vyo);
}

bool ParseOrbitElementsLine(AstroDat& s, int slot, const std::string& f7, const std::string& f8,
                            const std::string& f9, const std::string& f10, const std::string& f11,
                            const std::string& f12, const std::string& f13) {
    OrbitElements el;
    el.meanAnomaly = StrToFloatHM(f7) * kDegToRad;
    el.argPerihelion = StrToFloatHM(f8) * kDegToRad;
    el.node = StrToFloatHM(f9) * kDegToRad;
    el.inclination = StrToFloatHM(f10) * kDegToRad;
    el.e = StrToFloatHM(f11);
    el.a = StrToFloatHM(f12);
    el.epoch = StrToFloatHM(f13);
    const bool ellipse = el.e >= 0 && el.e < 1 && el.a > 0;
    if (slot < 1 || slot > kMaxExtraBodies || !ellipse) {
        static const std::string ru = Cp("Элементы орбиты отклонены: нужны 0 <= e < 1 и a > 0");
        const std::string what =
            Lang(s, ru, "Orbital elements refused: 0 <= e < 1 and a > 0 needed");
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                what + " (e = " + Trim(f11) + ", a = " + Trim(f12) + ")");
        return false;
    }
    el.meanMotion = MeanMotionOf(el.a);
    s.FictElements[slot] = el;
    return true;
}

Triple KeplerPosition(const OrbitElements& el, double jd) {
    Triple pos, vel;
    KeplerState(el, jd, pos, vel);
    const Spherical sph = RectToSph(pos[0], pos[1], pos[2]);
    return {sph.lon, sph.lat, sph.r};
}

namespace {

// The turn from the ecliptic and equinox of J2000 to the mean ecliptic and equinox of moment
// T (Julian centuries from J2000) whose mean obliquity is epsMean: through the J2000 equator,
// the precession of the equator and the mean obliquity.
std::array<Triple, 3> J2000ToDateMatrix(double T, double epsMean) {
    const double c0 = std::cos(EpsJ2000), s0 = std::sin(EpsJ2000);
    const double c1 = std::cos(epsMean), s1 = std::sin(epsMean);
    std::array<Triple, 3> m{}; // m[row][column]
    for (int k = 0; k < 3; ++k) {
        const Triple e{k == 0 ? 1.0 : 0.0, k == 1 ? 1.0 : 0.0, k == 2 ? 1.0 : 0.0};
        const double x = e[0], y = e[1] * c0 - e[2] * s0, z = e[1] * s0 + e[2] * c0;
        double ra = ArcTan2Pos(y, x), dec = std::asin(std::clamp(z, -1.0, 1.0));
        PrecessRaDec(ra, dec, T, 0);
        const double X = std::cos(dec) * std::cos(ra), Y = std::cos(dec) * std::sin(ra),
                     Z = std::sin(dec);
        m[0][k] = X;
        m[1][k] = Y * c1 + Z * s1;
        m[2][k] = -Y * s1 + Z * c1;
    }
    return m;
}

Triple Turn(const std::array<Triple, 3>& m, const Triple& p) {
    return {m[0][0] * p[0] + m[0][1] * p[1] + m[0][2] * p[2],
            m[1][0] * p[0] + m[1][1] * p[1] + m[1][2] * p[2],
            m[2][0] * p[0] + m[2][1] * p[1] + m[2][2] * p[2]};
}

} // namespace

void OrbitAnglesOfEquinox(double jd, double& inclination, double& node, double& argPerihelion) {
    const double T = CenturiesJ2000(jd);
    const std::array<Triple, 3> m = J2000ToDateMatrix(T, MeanObliquity(T));
    const double ci = std::cos(inclination), si = std::sin(inclination);
    const double cn = std::cos(node), sn = std::sin(node);
    const double cw = std::cos(argPerihelion), sw = std::sin(argPerihelion);
    // The orbit's pole and its perihelion's direction, turned; the angles read back from them.
    const Triple pole = Turn(m, {si * sn, -si * cn, ci});
    const Triple peri = Turn(m, {cw * cn - sw * ci * sn, cw * sn + sw * ci * cn, sw * si});
    inclination = std::acos(std::clamp(pole[2], -1.0, 1.0));
    node = ArcTan2Pos(pole[0], -pole[1]);
    const Triple toNode{std::cos(node), std::sin(node), 0};
    const Triple across{pole[1] * toNode[2] - pole[2] * toNode[1],
                        pole[2] * toNode[0] - pole[0] * toNode[2],
                        pole[0] * toNode[1] - pole[1] * toNode[0]};
    argPerihelion = ArcTan2Pos(peri[0] * across[0] + peri[1] * across[1] + peri[2] * across[2],
                               peri[0] * toNode[0] + peri[1] * toNode[1] + peri[2] * toNode[2]);
}

void CalcAsteroidList(AstroDat& s, const GeneralOptions& gen, std::vector<AsteroidRecord>& list,
                      int count) {
    constexpr int kMaxAsteroids = 10000;
    const std::array<Triple, 3> toDate = J2000ToDateMatrix(s.ChartT, s.EpsMean);
    const auto turn = [&toDate](const Triple& p) { return Turn(toDate, p); };
    count = std::clamp(count, 0, std::min<int>(kMaxAsteroids, static_cast<int>(list.size())));
    const double sinPsi = std::sin(s.NutPsi), cosPsi = std::cos(s.NutPsi);
    const double lst = LocalSiderealRad(s);
    const double jd = JDFromCenturies(s.ChartT);
    // The Sun's place in the aberration is the same for every asteroid.
    const AberrationTerms aberration = AberrationTermsAt(2, s.EpsMean, s.ChartT);
    const double apex[3] = {aberration.sl, -aberration.cl, 0}; // in the ecliptic
    const double eps = s.EpsMean + s.NutEps;
    const double sinEps = std::sin(eps), cosEps = std::cos(eps);
    for (int i = 0; i < count; ++i) {
        AsteroidRecord& r = list[i];
        if (!(r.e >= 0 && r.e < 1 && r.a > 0)) continue;
        if (!r.axesSet) {
            const double cw = std::cos(r.argPerihelion), sw = std::sin(r.argPerihelion);
            const double cn = std::cos(r.node), sn = std::sin(r.node);
            const double ci = std::cos(r.inclination), si = std::sin(r.inclination);
            r.axes = {cw * cn - sw * ci * sn, cw * sn + sw * ci * cn, sw * si,
                      -sw * cn - cw * ci * sn, -sw * sn + cw * ci * cn, cw * si};
            r.axesSet = true;
        }
        // the place and the velocity on the ellipse, in the orbit's axes, then turned to the
        // ecliptic of date
        const double M = NormAngleSigned(r.meanMotion * (jd - r.epoch) + r.meanAnomaly);
        double sE, cE;
        EccentricAnomaly(M, r.e, &sE, &cE);
        const double q = std::sqrt(std::max(0.0, 1 - r.e * r.e));
        const double xo = r.a * (cE - r.e), yo = r.a * q * sE;
        const double dE = r.meanMotion / NonZeroGuard(1 - r.e * cE);
        const double vxo = -r.a * sE * dE, vyo = r.a * q * cE * dE;
        const auto& ax = r.axes;
        Triple pos = turn({xo * ax[0] + yo * ax[3], xo * ax[1] + yo * ax[4], xo * ax[2] + yo * ax[5]});
        Triple g{pos[0] - s.EarthXYZ[0], pos[1] - s.EarthXYZ[1], pos[2] - s.EarthXYZ[2]};
        double dist = Length(g);
        if (s.UseLightTime) {
            // Where the asteroid was when the light left it: back along its velocity (the
            // curving of the orbit in the light's travel time is far below a milli-arc-second).
            const double days = dist * kLightTimeCenturiesPerAU * 36525.0;
            const Triple vel = turn(
                {vxo * ax[0] + vyo * ax[3], vxo * ax[1] + vyo * ax[4], vxo * ax[2] + vyo * ax[5]});
            for (int k = 0; k < 3; ++k) g[k] -= vel[k] * days;
            dist = Length(g);
        }
        // The equinox of date moved by the nutation in longitude.
        const double x = g[0] * cosPsi - g[1] * sinPsi;
        const double y = g[0] * sinPsi + g[1] * cosPsi;
        if (!gen.HorParallax) {
            // The aberration as a vector: towards the apex of the Earth's motion, less its
            // part along the line of sight; the direction then gives the place at once.
            double u[3] = {x, y, g[2]};
            if (s.UseLightTime) {
                const double n = NonZeroGuard(dist);
                for (double& c : u) c /= n;
                const double along = apex[0] * u[0] + apex[1] * u[1];
                for (int k = 0; k < 3; ++k) u[k] += kAberrationConstant * (apex[k] - along * u[k]);
            }
            r.lon = ArcTan2Pos(u[1], u[0]);
            r.lat = std::atan2(u[2], std::hypot(u[0], u[1]));
            continue;
        }
        double ra = ArcTan2Pos(y * s.CosEps - g[2] * s.SinEps, x);
        double dec =
            std::asin(std::clamp((y * s.SinEps + g[2] * s.CosEps) / NonZeroGuard(dist), -1.0, 1.0));
        if (s.UseLightTime) ApplyAberration(aberration, ra, dec);
        TopocentricParallax(s, ra, dec, dist, lst);
        const EclPos e = EquToEclTrue(sinEps, cosEps, dec, ra);
        r.lon = e.lon;
        r.lat = e.lat;
    }
    s.AsteroidTimeText = AsteroidTimeText(s);
}

std::string AsteroidTimeText(const AstroDat& s) {
    return Trim(FormatDateText(s.ChartDay, s.ChartMonth, s.ChartYear).text) + " " +
           Trim(FormatTimeText(s.ChartHour, s.ChartMinute, s.ChartSecond).text) + " " +
           FormatZoneOffset(s.ChartZone, true);
}

} // namespace qor
