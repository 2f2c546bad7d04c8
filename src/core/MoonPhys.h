// The physical ephemeris of the Moon: librations (optical and physical), the position angle
// of the axis, the phase angle, the illuminated fraction and the position angle of the bright
// limb (Meeus, Astronomical Algorithms, ch. 48 and 53). Angles in radians.
#pragma once

#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/Ephemeris.h"

namespace qor {

struct MoonPhysRec {
    double l = 0, b = 0;     // total libration in longitude and latitude
    double lp = 0, bp = 0;   // optical librations l', b'
    double lpp = 0, bpp = 0; // physical librations l'', b''
    double P = 0;            // position angle of the axis
    double i = 0;            // phase angle, 0..π
    double k = 0;            // illuminated fraction, 0..1
    double chi = 0;          // position angle of the bright limb, [0, 2π)
};

struct MoonLibrationAngles {
    double rho = 0, sigma = 0, tau = 0;
};

// The physical libration series ρ, σ, τ (Meeus 53).
MoonLibrationAngles MoonPhysLibration(const MoonArgs& a, double T);

// moon: geocentric λ, β (mean equinox of date, no nutation) and Δ in km; sun: geocentric λ0,
// β0 and R in AU; dEps, dPsi the nutation, eps0 the mean obliquity, T centuries (TT).
MoonPhysRec MoonPhysEphemeris(const MoonPos& moon, const Spherical& sun, double dEps, double dPsi,
                              double eps0, double T);

// The physical ephemeris for the chart's moment (ChartT, nutation and obliquity of the time
// step) from the geocentric Moon of its theory and the Sun from the Earth's series (with
// annual aberration): never from the chart's topocentric, nutated Moon.
MoonPhysRec MoonPhysOfChart(const AstroDat& s);

} // namespace qor
