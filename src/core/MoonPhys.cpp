#include "core/MoonPhys.h"

#include "core/Planets.h"

#include <cmath>

namespace qor {

MoonLibrationAngles MoonPhysLibration(const MoonArgs& a, double T) {
    // Meeus, Astronomical Algorithms, ch. 53: degrees.
    const double Mp = a.Mp, F = a.F, D = a.D, M = a.M, E = a.E;
    const double K1 = (119.75 + 131.849 * T) * kDegToRad;
    const double K2 = (72.56 + 20.186 * T) * kDegToRad;
    using std::cos;
    using std::sin;
    const double rho = -0.02752 * cos(Mp) - 0.02245 * sin(F) + 0.00684 * cos(Mp - 2 * F) -
                       0.00293 * cos(2 * F) - 0.00085 * cos(2 * F - 2 * D) -
                       0.00054 * cos(Mp - 2 * D) - 0.0002 * sin(Mp + F) - 0.0002 * cos(Mp + 2 * F) -
                       0.0002 * cos(Mp - F) + 0.00014 * cos(Mp + 2 * F - 2 * D);
    const double sigma = -0.02816 * sin(Mp) + 0.02244 * cos(F) - 0.00682 * sin(Mp - 2 * F) -
                         0.00279 * sin(2 * F) - 0.00083 * sin(2 * F - 2 * D) +
                         0.00069 * sin(Mp - 2 * D) + 0.0004 * cos(Mp + F) - 0.00025 * sin(2 * Mp) -
                         0.00023 * sin(Mp + 2 * F) + 0.0002 * cos(Mp - F) + 0.00019 * sin(Mp - F) +
                         0.00013 * sin(Mp + 2 * F - 2 * D) - 0.0001 * cos(Mp - 3 * F);
    const double tau = 0.0252 * E * sin(M) + 0.00473 * sin(2 * Mp - 2 * F) - 0.00467 * sin(Mp) +
                       0.00396 * sin(K1) + 0.00276 * sin(2 * Mp - 2 * D) + 0.00196 * sin(a.Omega) -
                       0.00183 * cos(Mp - F) + 0.00115 * sin(Mp - 2 * D) - 0.00096 * sin(Mp - D) +
                       0.00046 * sin(2 * F - 2 * D) - 0.00039 * sin(Mp - F) -
                       0.00032 * sin(Mp - M - D) + 0.00027 * sin(2 * Mp - M - 2 * D) +
                       0.00023 * sin(K2) - 0.00014 * sin(2 * D) + 0.00014 * cos(2 * Mp - 2 * F) -
                       0.00012 * sin(Mp - 2 * F) - 0.00012 * sin(2 * Mp) +
                       0.00011 * sin(2 * Mp - 2 * M - 2 * D);
    return {rho * kDegToRad, sigma * kDegToRad, tau * kDegToRad};
}

MoonPhysRec MoonPhysEphemeris(const MoonPos& moon, const Spherical& sun, double dEps, double dPsi,
                              double eps0, double T) {
    constexpr double I = 1.54242 * kDegToRad; // inclination of the lunar equator
    const double eps = eps0 + dEps;
    const MoonArgs a = MoonArguments(T);
    const double lambda = moon.lon, beta = moon.lat;

    MoonPhysRec r;
    const double W = lambda - a.Omega;
    const double A =
        ArcTan2Pos(std::sin(W) * std::cos(beta) * std::cos(I) - std::sin(beta) * std::sin(I),
                   std::cos(W) * std::cos(beta));
    r.lp = NormAngleSigned(A - a.F);
    r.bp = std::asin(-std::sin(W) * std::cos(beta) * std::sin(I) - std::sin(beta) * std::cos(I));

    const MoonLibrationAngles lib = MoonPhysLibration(a, T);
    r.lpp = -lib.tau + (lib.rho * std::cos(A) + lib.sigma * std::sin(A)) * std::tan(r.bp);
    r.bpp = lib.sigma * std::cos(A) - lib.rho * std::sin(A);
    r.l = r.lp + r.lpp;
    r.b = r.bp + r.bpp;

    const EquPos q = EclToEqu(eps, beta, lambda + dPsi);
    const double V = a.Omega + dPsi + lib.sigma / std::sin(I);
    const double X = std::sin(I + lib.rho) * std::sin(V);
    const double Y =
        std::sin(I + lib.rho) * std::cos(V) * std::cos(eps) - std::cos(I + lib.rho) * std::sin(eps);
    const double omega = ArcTan2Pos(X, Y);
    r.P = std::asin(std::sqrt(X * X + Y * Y) * std::cos(q.ra - omega) / std::cos(r.b));

    const double psi = std::acos(std::cos(beta) * std::cos(lambda - sun.lon));
    double i =
        std::atan(sun.r * std::sin(psi) / (moon.distKm / 149597870.0 - sun.r * std::cos(psi)));
    if (i < 0) i += kPi;
    r.i = i;
    r.k = (1 + std::cos(i)) / 2;

    const EquPos q0 = EclToEqu(eps, sun.lat, sun.lon);
    r.chi = ArcTan2Pos(std::cos(q0.dec) * std::sin(q0.ra - q.ra),
                       std::sin(q0.dec) * std::cos(q.dec) -
                           std::cos(q0.dec) * std::sin(q.dec) * std::cos(q0.ra - q.ra));
    return r;
}

MoonPhysRec MoonPhysOfChart(const AstroDat& s) {
    const double T = s.ChartT;
    const MoonPos moon = MoonPosition(T);
    // The Sun seen from the Earth: opposite the Earth's heliocentric place, less the annual
    // aberration (20.4898" / R).
    const Spherical earth = PlanetHelio(s.Planets, 3, T);
    Spherical sun;
    sun.r = earth.r;
    sun.lon = NormAngle(earth.lon + kPi - 20.4898 * kArcsecToRad / (earth.r > 0 ? earth.r : 1.0));
    sun.lat = -earth.lat;
    return MoonPhysEphemeris(moon, sun, s.NutEps, s.NutPsi, s.EpsMean, T);
}

} // namespace qor
