// Nutation, aberration, the Moon, precession, delta T and the coordinate transformations,
// against Meeus' worked examples (Astronomical Algorithms, 2nd ed.) and ERFA.
#include "core/AstroMath.h"
#include "core/Ephemeris.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qor {
namespace {

constexpr double kArcsec = kArcsecToRad;
constexpr double kDeg = kDegToRad;

double Centuries(double jd) {
    return (jd - 2451545.0) / 36525.0;
}
double WrapDiff(double a, double b) {
    return NormAngleSigned(a - b);
}

// --- Nutation -------------------------------------------------------------------------------

TEST(Nutation, MeeusExample22a) {
    // 1987 April 10, 0h TD: Δψ = −3.788", Δε = +9.443" (printed to 0.001").
    const NutationAngles n = Nutation(-0.127296372348);
    EXPECT_NEAR(n.psi / kArcsec, -3.788, 0.001);
    EXPECT_NEAR(n.eps / kArcsec, 9.443, 0.001);
}

TEST(Nutation, AgreesWithErfaNut80) {
    // ERFA sums all 106 terms of IAU 1980; the 63 kept here drop terms below 0.0003" each,
    // whose sum stays under about 0.01".
    std::mt19937 rng(1980);
    std::uniform_real_distribution<double> year(1900, 2100);
    double worstPsi = 0, worstEps = 0;
    for (int i = 0; i < 200; ++i) {
        const double jd = 2451545.0 + (year(rng) - 2000) * 365.25;
        double dpsi = 0, deps = 0;
        eraNut80(jd, 0, &dpsi, &deps);
        const NutationAngles n = Nutation(Centuries(jd));
        worstPsi = std::max(worstPsi, std::fabs(n.psi - dpsi) / kArcsec);
        worstEps = std::max(worstEps, std::fabs(n.eps - deps) / kArcsec);
    }
    EXPECT_LT(worstPsi, 0.01);
    EXPECT_LT(worstEps, 0.01);
}

TEST(Nutation, OmegaArgumentUsesPublishedQuadraticTerm) {
    // Ω = 125.04452° − 1934.136261° T + 0.0020708° T² + T³/450000 (Meeus 22). A misprinted
    // 0.00207833 would be 0.00075° off at T = ±10; the rounding of the printed constants is
    // below 1e-5° there.
    for (double T : {-10.0, -1.0, 3.0, 10.0}) {
        const double meeus = 125.04452 - 1934.136261 * T + 0.0020708 * T * T + T * T * T / 450000;
        EXPECT_NEAR(NutationArguments(T).Omega / kDeg,
                    std::fmod(meeus, 360.0) + (meeus < 0 ? 360 : 0), 2e-5)
            << "T = " << T;
    }
}

TEST(Nutation, TableRowsAsPublished) {
    EXPECT_EQ(NutTerms[0], (std::array<int32_t, 9>{0, 0, 2, -2, 2, -13187, -16, 5736, -31}));
    EXPECT_EQ(NutTerms[3], (std::array<int32_t, 9>{0, 1, 0, 0, 0, 1426, -34, 54, -1}));
    EXPECT_EQ(MoonLRTerms[0], (std::array<int32_t, 6>{0, 0, 1, 0, 6288774, -20905355}));
    EXPECT_EQ(MoonLRTerms[59], (std::array<int32_t, 6>{2, 0, -1, -2, 0, 8752}));
    EXPECT_EQ(MoonBTerms[0], (std::array<int32_t, 5>{0, 0, 0, 1, 5128122}));
    EXPECT_EQ(MoonBTerms[59], (std::array<int32_t, 5>{2, -2, 0, 1, 107}));
}

// --- Nutation and aberration of a star ------------------------------------------------------

TEST(StarPlace, MeeusExample23a) {
    // θ Persei, 2028 Nov 13.19 TD, mean place of date α = 41.5472°, δ = 49.3485°, ε = 23.436°:
    // nutation Δα = 15.843", Δδ = 6.218" (Δψ = 14.861", Δε = 2.705");
    // aberration Δα = 30.045", Δδ = 6.697". Inputs are printed to 4 digits: tolerance 0.01".
    const double ra0 = 41.5472 * kDeg, dec0 = 49.3485 * kDeg, eps = 23.436 * kDeg;
    double ra = ra0, dec = dec0;
    NutationRaDec(ra, dec, eps, 2.705 * kArcsec, 14.861 * kArcsec);
    EXPECT_NEAR((ra - ra0) / kArcsec, 15.843, 0.01);
    EXPECT_NEAR((dec - dec0) / kArcsec, 6.218, 0.01);

    ra = ra0;
    dec = dec0;
    AberrationRaDec(2, ra, dec, eps, 0.2886705);
    EXPECT_NEAR((ra - ra0) / kArcsec, 30.045, 0.01);
    EXPECT_NEAR((dec - dec0) / kArcsec, 6.697, 0.01);
}

TEST(StarPlace, NutationNearThePoleGoesThroughTheEcliptic) {
    // Compare with ERFA's rigorous nutation matrix for the same Δψ, Δε: at δ = 89° the first-
    // order formula would be off by about 1"; the rotation through ecliptic coordinates is
    // exact to rounding. Elsewhere the first-order formula is within 0.005".
    const double eps = 23.44 * kDeg, dpsi = -15 * kArcsec, deps = 8 * kArcsec;
    double rmat[3][3];
    eraNumat(eps, dpsi, deps, rmat);
    struct Case {
        double decDeg, tolArcsec;
    };
    for (const Case c :
         {Case{89.0, 1e-4}, Case{-89.5, 1e-4}, Case{45.0, 0.005}, Case{-30, 0.005}}) {
        for (double raDeg : {10.0, 100.0, 200.0, 300.0}) {
            double p[3], q[3];
            eraS2c(raDeg * kDeg, c.decDeg * kDeg, p);
            eraRxp(rmat, p, q);
            double raRef = 0, decRef = 0;
            eraC2s(q, &raRef, &decRef);
            double ra = raDeg * kDeg, dec = c.decDeg * kDeg;
            NutationRaDec(ra, dec, eps, deps, dpsi);
            EXPECT_NEAR(WrapDiff(ra, raRef) * std::cos(decRef) / kArcsec, 0, c.tolArcsec)
                << c.decDeg << " " << raDeg;
            EXPECT_NEAR((dec - decRef) / kArcsec, 0, c.tolArcsec) << c.decDeg << " " << raDeg;
        }
    }
}

TEST(SunTrueLongitude, MeeusExample25a) {
    // 1992 Oct 13.0 TD: true longitude 199.90988°, e = 0.016711668 (second-edition
    // polynomial; the first-edition one used here gives 0.01671165).
    const SunLongitude s = SunTrueLongitude(-0.072183436);
    EXPECT_NEAR(NormAngle(s.lon) / kDeg, 199.90988, 2e-5);
    EXPECT_NEAR(s.eccentricity, 0.016711668, 3e-8);
}

// --- The Moon -------------------------------------------------------------------------------

TEST(MoonPosition, MeeusExample47a) {
    // 1992 April 12, 0h TD: λ = 133.162655°, β = −3.229126°, Δ = 368409.7 km. The mean
    // arguments here are the first-edition ones, which shift λ by about 1e-5°.
    const MoonPos m = MoonPosition(Centuries(2448724.5));
    EXPECT_NEAR(m.lon / kDeg, 133.162655, 3e-5);
    EXPECT_NEAR(m.lat / kDeg, -3.229126, 1e-5);
    EXPECT_NEAR(m.distKm, 368409.7, 0.1);
}

TEST(MoonPosition, RangesAndRateAgreeWithDifferences) {
    // λ in [0, 2π) and Δ near 385000 km anywhere; the rate of the same pass equals the
    // central difference over ±1 s to its rounding (relative 1e-6 of the Moon's motion).
    const double h = 1.0 / 86400.0 / 36525.0;
    for (double T = -1.0; T <= 1.0; T += 0.0371) {
        MoonPos rate;
        const MoonPos m = MoonPositionRate(T, rate);
        EXPECT_GE(m.lon, 0);
        EXPECT_LT(m.lon, kTwoPi);
        EXPECT_NEAR(m.distKm, 385000, 30000);
        const MoonPos a = MoonPosition(T + h), b = MoonPosition(T - h);
        EXPECT_NEAR(rate.lon, WrapDiff(a.lon, b.lon) / (2 * h), 1e-6 * 8400);
        EXPECT_NEAR(rate.lat, (a.lat - b.lat) / (2 * h), 1e-6 * 8400);
        EXPECT_NEAR(rate.distKm, (a.distKm - b.distKm) / (2 * h), 1e-3 * 1e6);
    }
}

// --- Precession -----------------------------------------------------------------------------

TEST(Precession, MeeusExample21b) {
    // θ Persei from J2000.0 to 2028 Nov 13.19 TD, after its proper motion over 28.86705
    // years (+0.03425 s and −0.0895" a year): α = 41.547214°, δ = 49.348483°.
    const double years = 28.86705;
    double ra = (2 * 15 + 44 * 0.25 + 11.986 / 240.0 + 0.03425 * years / 240.0) * kDeg;
    double dec = (49 + 13 / 60.0 + (42.48 - 0.0895 * years) / 3600.0) * kDeg;
    PrecessRaDec(ra, dec, Centuries(2462088.69), 0);
    EXPECT_NEAR(ra / kDeg, 41.547214, 2e-6);
    EXPECT_NEAR(dec / kDeg, 49.348483, 2e-6);
}

TEST(Precession, AgreesWithErfaPrec76) {
    // The same angles of Lieske (1977): agreement to rounding, 1e-6" over ±2 centuries.
    std::mt19937 rng(76);
    std::uniform_real_distribution<double> cent(-2, 2), ang(0, kTwoPi), lat(-1.5, 1.5);
    for (int i = 0; i < 100; ++i) {
        const double T0 = cent(rng) * 0.5, T = cent(rng);
        const double ra0 = ang(rng), dec0 = lat(rng);
        double zeta = 0, z = 0, theta = 0;
        eraPrec76(2451545.0, T0 * 36525.0, 2451545.0, T * 36525.0, &zeta, &z, &theta);
        double r[3][3], p[3], q[3];
        eraIr(r);
        eraRz(-zeta, r);
        eraRy(theta, r);
        eraRz(-z, r);
        eraS2c(ra0, dec0, p);
        eraRxp(r, p, q);
        double raRef = 0, decRef = 0;
        eraC2s(q, &raRef, &decRef);
        double ra = ra0, dec = dec0;
        PrecessRaDec(ra, dec, T, T0);
        EXPECT_NEAR(WrapDiff(ra, raRef) * std::cos(decRef) / kArcsec, 0, 1e-6);
        EXPECT_NEAR((dec - decRef) / kArcsec, 0, 1e-6);
    }
}

// --- Delta T --------------------------------------------------------------------------------

double CenturiesOfYear(double y) {
    return (y - 2000.0) / 100.0;
}

TEST(DeltaT, TableInterpolationAndItsEdges) {
    // 1900.0 and 1955.0 are table entries (with the lunar-acceleration correction before 1955);
    // 1620.3 interpolates linearly between the first two entries (124 s, 119 s).
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1955.0)), 31.07, 1e-9);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1900.0)), -2.72 - 1.82e-05 * 55 * 55, 1e-9);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1620.3)), 124 - 0.3 * 5 - 1.82e-05 * 334.7 * 334.7, 1e-9);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1950.0)), 29.15 - 1.82e-05 * 25, 1e-9);
    // Smooth inside: no jump at whole years.
    for (double y : {1700.0, 1850.0, 1960.0, 2010.0}) {
        EXPECT_NEAR(DeltaT(CenturiesOfYear(y - 1e-7)), DeltaT(CenturiesOfYear(y + 1e-7)), 1e-4)
            << y;
    }
}

TEST(DeltaT, ObservedValuesAndContinuation) {
    // Observed (IERS): 2000.0 63.83 s, 2010.0 66.07 s, 2020.0 69.36 s, 2024.0 69.2 s; the old
    // extrapolation gave about 90 s for 2024 (11" on the Moon). The continuation starts at the
    // last observed value without a jump and stays plausible for a decade.
    EXPECT_NEAR(DeltaT(CenturiesOfYear(2000.0)), 63.83, 0.01);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(2010.0)), 66.07, 0.01);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(2020.0)), 69.36, 0.01);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(2024.0)), 69.2, 0.5);
    EXPECT_NEAR(DeltaT(CenturiesOfYear(2023.0 - 1e-7)), DeltaT(CenturiesOfYear(2023.0 + 1e-7)),
                1e-4);
    EXPECT_GT(DeltaT(CenturiesOfYear(2035.0)), 69.0);
    EXPECT_LT(DeltaT(CenturiesOfYear(2035.0)), 75.0);
}

TEST(DeltaT, BeforeTheTable) {
    // 948..1620: 101.6 + 100.3 t + 23.58 t²; before 948: 40 + 35 t² (t shifted by 3.75).
    const double t1 = (1500.0 - 2000) / 100;
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1500.0)), 101.6 + 100.3 * t1 + 23.58 * t1 * t1, 1e-9);
    const double t2 = (500.0 - 2000) / 100 + 3.75;
    EXPECT_NEAR(DeltaT(CenturiesOfYear(500.0)), 40 + 35 * t2 * t2, 1e-9);
}

// --- Transformations ------------------------------------------------------------------------

TEST(Transformations, MeeusExample13a) {
    // Pollux: α = 116.328942°, δ = 28.026183°, ε = 23.4392911° gives λ = 113.215630°,
    // β = 6.684170°; and back.
    AstroDat s;
    s.EpsMean = 23.4392911 * kDeg;
    s.NutEps = 0;
    const EclPos e = EquToEclTrue(s, 28.026183 * kDeg, 116.328942 * kDeg);
    EXPECT_NEAR(e.lon / kDeg, 113.215630, 1e-6);
    EXPECT_NEAR(e.lat / kDeg, 6.684170, 1e-6);
    const EquPos q = EclToEqu(s.EpsMean, e.lat, e.lon);
    EXPECT_NEAR(q.ra / kDeg, 116.328942, 1e-6);
    EXPECT_NEAR(q.dec / kDeg, 28.026183, 1e-6);
}

TEST(Transformations, EquToEclTrueAtTheSolstitialColure) {
    // α = 180° on the equator is λ = 180°: sin λ is +0 there and the quadrant must still be
    // the second one, not 0°.
    AstroDat s;
    s.EpsMean = 23.44 * kDeg;
    const EclPos e = EquToEclTrue(s, 0.0, kPi);
    EXPECT_NEAR(e.lon, kPi, 1e-12);
    const EclPos w = EquToEclTrue(s, 0.0, 1.5 * kPi);
    EXPECT_GE(w.lon, 0);
    EXPECT_LT(w.lon, kTwoPi);
}

TEST(Transformations, MeeusExample13b) {
    // Venus from Washington, 1987 April 10, 19:21 UT: H = 64.352133°, φ = 38°55'17",
    // δ = −6.719892°: azimuth 68.0337° (from the south), altitude 15.1249°.
    const double ra = 347.3193375 * kDeg;
    const double phi = (38 + 55 / 60.0 + 17 / 3600.0) * kDeg;
    const HorPos h = EquToHorizon(phi, ra + 64.352133 * kDeg, -6.719892 * kDeg, ra);
    EXPECT_NEAR(h.az / kDeg, 68.0337, 1e-4);
    EXPECT_NEAR(h.alt / kDeg, 15.1249, 1e-4);
}

} // namespace
} // namespace qor
