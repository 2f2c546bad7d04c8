#include "core/Ephemeris.h"

#include "core/AstroMath.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace qor {

namespace {

#include "core/DeltaTTable.inc"

// Degrees of a polynomial c0 + c1 T + ... in radians, reduced to [0, 2π).
double PolyDegToRad(const double* c, int degree, double T) {
    return NormAngle(EvalPolynomial(c, degree, T) * kDegToRad);
}

// Its derivative in radians per century.
double PolyDegRate(const double* c, int degree, double T) {
    double sum = 0;
    for (int i = degree; i >= 1; --i) sum = sum * T + i * c[i];
    return sum * kDegToRad;
}

// sin and cos of m·x from the tabulated multiples S[1..4], C[1..4] (m within −4..4), folded
// into (s, c) by the addition theorems.
inline void AddMultiple(double& s, double& c, int m, const double* S, const double* C) {
    if (m == 0) return;
    const int k = m < 0 ? -m : m;
    const double sm = m < 0 ? -S[k] : S[k];
    const double cm = C[k];
    const double ns = s * cm + c * sm;
    c = c * cm - s * sm;
    s = ns;
}

// Nutation arguments, degrees: Ω, M, M', F, D (Meeus 22; Ω's T² term is 0.0020708).
constexpr double kNutOmega[4] = {125.0445222, -1934.1362608, 0.00207083, 2.22e-06};
constexpr double kNutM[4] = {357.5277233, 35999.05034, -0.0001603, -3.33e-06};
constexpr double kNutMp[4] = {134.9629814, 477198.8673981, 0.0086972, 1.778e-05};
constexpr double kNutF[4] = {93.2719103, 483202.0175381, -0.0036825, 3.056e-06};
constexpr double kNutD[4] = {297.8503631, 445267.11148, -0.0019142, 5.278e-06};

// Lunar arguments, degrees (Meeus, 1st edition, ch. 45).
constexpr double kMoonLp[5] = {218.3164591, 481267.88134236, -0.0013268, 1.0 / 538841,
                               -1.0 / 65194000};
constexpr double kMoonOmega[5] = {125.044555, -1934.1361849, 0.0020762, 1.0 / 467410,
                                  -1.0 / 60616000};
constexpr double kMoonD[5] = {297.8502042, 445267.1115168, -0.00163, 1.0 / 545868,
                              -1.0 / 113065000};
constexpr double kMoonM[4] = {357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000};
constexpr double kMoonMp[5] = {134.9634114, 477198.8676313, 0.008997, 1.0 / 69699, -1.0 / 14712000};
constexpr double kMoonF[5] = {93.2720993, 483202.0175273, -0.0034029, -1.0 / 3526000,
                              1.0 / 863310000};

} // namespace

// IAU 1980 nutation, the rows of Meeus, Astronomical Algorithms, Table 22.A without the leading
// Ω term, columns reordered to M', M, F, D, Ω and the rates in 0.00001".
const std::array<std::array<int32_t, 9>, 62> NutTerms = {{
    {0, 0, 2, -2, 2, -13187, -16, 5736, -31},
    {0, 0, 2, 0, 2, -2274, -2, 977, -5},
    {0, 0, 0, 0, 2, 2062, 2, -895, 5},
    {0, 1, 0, 0, 0, 1426, -34, 54, -1},
    {1, 0, 0, 0, 0, 712, 1, -7, 0},
    {0, 1, 2, -2, 2, -517, 12, 224, -6},
    {0, 0, 2, 0, 1, -386, -4, 200, 0},
    {1, 0, 2, 0, 2, -301, 0, 129, -1},
    {0, -1, 2, -2, 2, 217, -5, -95, 3},
    {1, 0, 0, -2, 0, -158, 0, 0, 0},
    {0, 0, 2, -2, 1, 129, 1, -70, 0},
    {-1, 0, 2, 0, 2, 123, 0, -53, 0},
    {0, 0, 0, 2, 0, 63, 0, 0, 0},
    {1, 0, 0, 0, 1, 63, 1, -33, 0},
    {-1, 0, 2, 2, 2, -59, 0, 26, 0},
    {-1, 0, 0, 0, 1, -58, -1, 32, 0},
    {1, 0, 2, 0, 1, -51, 0, 27, 0},
    {2, 0, 0, -2, 0, 48, 0, 0, 0},
    {-2, 0, 2, 0, 1, 46, 0, -24, 0},
    {0, 0, 2, 2, 2, -38, 0, 16, 0},
    {2, 0, 2, 0, 2, -31, 0, 13, 0},
    {2, 0, 0, 0, 0, 29, 0, 0, 0},
    {1, 0, 2, -2, 2, 29, 0, -12, 0},
    {0, 0, 2, 0, 0, 26, 0, 0, 0},
    {0, 0, 2, -2, 0, -22, 0, 0, 0},
    {-1, 0, 2, 0, 1, 21, 0, -10, 0},
    {0, 2, 0, 0, 0, 17, -1, 0, 0},
    {-1, 0, 0, 2, 1, 16, 0, -8, 0},
    {0, 2, 2, -2, 2, -16, 1, 7, 0},
    {0, 1, 0, 0, 1, -15, 0, 9, 0},
    {1, 0, 0, -2, 1, -13, 0, 7, 0},
    {0, -1, 0, 0, 1, -12, 0, 6, 0},
    {2, 0, -2, 0, 0, 11, 0, 0, 0},
    {-1, 0, 2, 2, 1, -10, 0, 5, 0},
    {1, 0, 2, 2, 2, -8, 0, 3, 0},
    {0, 1, 2, 0, 2, 7, 0, -3, 0},
    {1, 1, 0, -2, 0, -7, 0, 0, 0},
    {0, -1, 2, 0, 2, -7, 0, 3, 0},
    {0, 0, 2, 2, 1, -7, 0, 3, 0},
    {1, 0, 0, 2, 0, 6, 0, 0, 0},
    {2, 0, 2, -2, 2, 6, 0, -3, 0},
    {1, 0, 2, -2, 1, 6, 0, -3, 0},
    {-2, 0, 0, 2, 1, -6, 0, 3, 0},
    {0, 0, 0, 2, 1, -6, 0, 3, 0},
    {1, -1, 0, 0, 0, 5, 0, 0, 0},
    {0, -1, 2, -2, 1, -5, 0, 3, 0},
    {0, 0, 0, -2, 1, -5, 0, 3, 0},
    {2, 0, 2, 0, 1, -5, 0, 3, 0},
    {2, 0, 0, -2, 1, 4, 0, 0, 0},
    {0, 1, 2, -2, 1, 4, 0, 0, 0},
    {1, 0, -2, 0, 0, 4, 0, 0, 0},
    {1, 0, 0, -1, 0, -4, 0, 0, 0},
    {0, 1, 0, -2, 0, -4, 0, 0, 0},
    {0, 0, 0, 1, 0, -4, 0, 0, 0},
    {1, 0, 2, 0, 0, 3, 0, 0, 0},
    {-2, 0, 2, 0, 2, -3, 0, 0, 0},
    {1, -1, 0, -1, 0, -3, 0, 0, 0},
    {1, 1, 0, 0, 0, -3, 0, 0, 0},
    {1, -1, 2, 0, 2, -3, 0, 0, 0},
    {-1, -1, 2, 2, 2, -3, 0, 0, 0},
    {3, 0, 2, 0, 2, -3, 0, 0, 0},
    {0, -1, 2, 2, 2, -3, 0, 0, 0},
}};

// Meeus, Astronomical Algorithms, Table 47.A (abridged ELP-2000/82): D, M, M', F, Σl, Σr.
const std::array<std::array<int32_t, 6>, 60> MoonLRTerms = {{
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
}};

// Meeus, Astronomical Algorithms, Table 47.B: D, M, M', F, Σb.
const std::array<std::array<int32_t, 5>, 60> MoonBTerms = {{
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602},  {0, 0, 1, -1, 277693}, {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271}, {2, 0, 0, 1, 32573},   {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},   {0, 0, 2, -1, 8822},   {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359},  {2, -1, -1, 1, 2463},  {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870}, {4, 0, -1, -1, 1828},  {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},   {0, 1, -1, 1, -1565},  {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344},  {1, 0, 0, -1, -1335},  {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},    {0, 0, 1, -3, 777},    {4, 0, -2, 1, 671},
    {2, 0, 0, -3, 607},    {2, 0, 2, -1, 596},    {2, -1, 1, -1, 491},   {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},    {2, 0, 2, 1, 422},     {2, 0, -3, -1, 421},   {2, 1, -1, 1, -366},
    {2, 1, 0, 1, -351},    {4, 0, 0, 1, 331},     {2, -1, 1, 1, 315},    {2, -2, 0, -1, 302},
    {0, 0, 1, 3, -283},    {2, 1, 1, -1, -229},   {1, 1, 0, -1, 223},    {1, 1, 0, 1, 223},
    {0, 1, -2, -1, -220},  {2, 1, -1, -1, -220},  {1, 0, 1, 1, -185},    {2, -1, -2, -1, 181},
    {0, 1, 2, 1, -177},    {4, 0, -2, -1, 176},   {4, -1, -1, -1, 166},  {1, 0, 1, -1, -164},
    {4, 0, 1, -1, 132},    {1, 0, -1, -1, -119},  {4, -1, 0, -1, 115},   {2, -2, 0, 1, 107},
}};

NutationArgs NutationArguments(double T) {
    return {PolyDegToRad(kNutOmega, 3, T), PolyDegToRad(kNutM, 3, T), PolyDegToRad(kNutMp, 3, T),
            PolyDegToRad(kNutF, 3, T), PolyDegToRad(kNutD, 3, T)};
}

NutationAngles Nutation(double T) {
    const NutationArgs na = NutationArguments(T);
    const double omega = na.Omega;
    double S[5][5], C[5][5]; // [argument M', M, F, D, Ω][multiple]
    const double args[5] = {na.Mp, na.M, na.F, na.D, omega};
    for (int a = 0; a < 5; ++a) SinCosMultiples(4, S[a], C[a], args[a]);

    double psi = (-171996.0 - 174.2 * T) * std::sin(omega); // 0.0001"
    double eps = (92025.0 + 8.9 * T) * std::cos(omega);
    for (const auto& row : NutTerms) {
        double s = 0, c = 1;
        for (int a = 0; a < 5; ++a) AddMultiple(s, c, row[a], S[a], C[a]);
        psi += (row[5] + row[6] * 0.1 * T) * s;
        eps += (row[7] + row[8] * 0.1 * T) * c;
    }
    return {psi * 1e-4 * kArcsecToRad, eps * 1e-4 * kArcsecToRad};
}

NutationTerms NutationTermsOf(double eps, double dEps, double dPsi) {
    return {eps, dEps, dPsi, std::sin(eps), std::cos(eps)};
}

void ApplyNutation(const NutationTerms& t, double& ra, double& dec) {
    if (std::fabs(dec) >= 1.54) {
        const EquPos ecl = EclToEqu(-t.eps, dec, ra); // the inverse rotation: (λ, β)
        const EquPos e = EclToEqu(t.eps + t.dEps, ecl.dec, ecl.ra + t.dPsi);
        ra = e.ra;
        dec = e.dec;
        return;
    }
    const double se = t.se, ce = t.ce;
    const double sa = std::sin(ra), ca = std::cos(ra), td = std::tan(dec);
    const double dRa = (ce + se * sa * td) * t.dPsi - ca * td * t.dEps;
    const double dDec = se * ca * t.dPsi + sa * t.dEps;
    ra += dRa;
    dec += dDec;
}

void NutationRaDec(double& ra, double& dec, double eps, double dEps, double dPsi) {
    ApplyNutation(NutationTermsOf(eps, dEps, dPsi), ra, dec);
}

SunLongitude SunTrueLongitude(double T) {
    const double L0 = (280.46646 + 36000.76983 * T + 0.0003032 * T * T) * kDegToRad;
    const double M = (357.5291 + 35999.05028 * T - 0.0001561 * T * T) * kDegToRad;
    const double e = 0.016708617 - 0.00004204 * T - 0.0000001236 * T * T;
    const double e2 = e * e, e3 = e2 * e;
    const double centre = (2 * e - e3 / 4) * std::sin(M) + 1.25 * e2 * std::sin(2 * M) +
                          (13.0 / 12.0) * e3 * std::sin(3 * M);
    return {L0 + centre, e};
}

AberrationTerms AberrationTermsAt(int mode, double eps, double T) {
    const SunLongitude sun = SunTrueLongitude(T);
    AberrationTerms t;
    t.cl = std::cos(sun.lon);
    t.sl = std::sin(sun.lon);
    if (mode == 2) {
        const double perihelion = (102.93735 + 1.71954 * T + 0.00046 * T * T) * kDegToRad;
        t.cl -= sun.eccentricity * std::cos(perihelion);
        t.sl -= sun.eccentricity * std::sin(perihelion);
    }
    t.se = std::sin(eps);
    t.ce = std::cos(eps);
    return t;
}

void ApplyAberration(const AberrationTerms& t, double& ra, double& dec) {
    const double sa = std::sin(ra), ca = std::cos(ra);
    const double sd = std::sin(dec), cd = std::cos(dec);
    const double k = kAberrationConstant;
    ra -= k * (ca * t.cl * t.ce + sa * t.sl) / cd;
    dec -= k * ((t.se * cd - sa * sd * t.ce) * t.cl + ca * sd * t.sl);
}

void AberrationRaDec(int mode, double& ra, double& dec, double eps, double T) {
    ApplyAberration(AberrationTermsAt(mode, eps, T), ra, dec);
}

MoonArgs MoonArguments(double T) {
    MoonArgs a;
    a.Omega = PolyDegToRad(kMoonOmega, 4, T);
    a.D = PolyDegToRad(kMoonD, 4, T);
    a.M = PolyDegToRad(kMoonM, 3, T);
    a.Mp = PolyDegToRad(kMoonMp, 4, T);
    a.F = PolyDegToRad(kMoonF, 4, T);
    a.E = 1 - 0.002516 * T - 0.0000074 * T * T;
    return a;
}

namespace {

#if defined(__GNUC__) && !defined(__clang__)
// The rows of the lunar series eight at a time, with AVX-512: each row's sine and cosine from
// the tabulated multiples by the same products and sums as the one-row loop below, in the same
// order and without fused multiply-adds, so every share is the same to the bit; a zero multiple
// takes sin 0 = 0 and cos 0 = 1, which leave a product as it is. The shares are summed row by
// row afterwards, as the loop does.
#define QOR_MOON_ROWS_WIDE
typedef double MoonLanes __attribute__((vector_size(64)));
typedef int64_t MoonLanesI __attribute__((vector_size(64)));

// A group of rows: per lane the multiples of D, M, M', F as indices 4 + m into a table of
// sin and cos of −4..4 times the argument, the power of E as an index into {1, E, E²}, the
// multiples themselves and the two coefficients.
struct MoonRowLanes {
    MoonLanesI index[4], power;
    MoonLanes multiple[4], sinCoef, cosCoef;
};
constexpr int kMoonRowGroups = 8; // 60 rows in 8 groups of 8, the last four lanes empty

template <std::size_t N>
std::array<MoonRowLanes, kMoonRowGroups>
MoonRowGroups(const std::array<std::array<int32_t, N>, 60>& rows) {
    std::array<MoonRowLanes, kMoonRowGroups> g{};
    for (int i = 0; i < 64; ++i) {
        MoonRowLanes& l = g[static_cast<std::size_t>(i / 8)];
        const int lane = i % 8;
        const int32_t* r = i < 60 ? rows[static_cast<std::size_t>(i)].data() : nullptr;
        for (int k = 0; k < 4; ++k) {
            l.index[k][lane] = 4 + (r ? r[k] : 0);
            l.multiple[k][lane] = r ? r[k] : 0;
        }
        l.power[lane] = r ? std::abs(r[1]) : 0;
        l.sinCoef[lane] = r ? r[4] : 0;
        l.cosCoef[lane] = r && N > 5 ? r[N > 5 ? 5 : 4] : 0;
    }
    return g;
}

// Each row's shares: sinShare = Σl (or Σb)·f·sin, cosShare = Σr·f·cos and, when `rates`, their
// rates. S, C: sin and cos of multiples 1..4 of D, M, M', F; rateArg: the arguments' rates.
__attribute__((target("arch=x86-64-v4"), optimize("fp-contract=off"))) void
MoonRowSharesWide(const std::array<MoonRowLanes, kMoonRowGroups>& groups, const double (*S)[5],
                  const double (*C)[5], double E, double E2, double dE, const double* rateArg,
                  bool rates, double* sinShare, double* cosShare, double* dSinShare,
                  double* dCosShare) {
    MoonLanes sinLo[4], sinHi[4], cosLo[4], cosHi[4]; // entries 4 + m for m = −4..4
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 8; ++j) {
            const int m = j - 4;
            const int a = m < 0 ? -m : m;
            sinLo[k][j] = m < 0 ? -S[k][a] : m == 0 ? 0.0 : S[k][a];
            cosLo[k][j] = m == 0 ? 1.0 : C[k][a];
            sinHi[k][j] = j == 0 ? S[k][4] : 0.0;
            cosHi[k][j] = j == 0 ? C[k][4] : 1.0;
        }
    }
    const MoonLanes powerF = {1.0, E, E2, 1, 1, 1, 1, 1};
    const MoonLanes powerDF = {0.0, dE, 2 * E * dE, 0, 0, 0, 0, 0};
    for (int g = 0; g < kMoonRowGroups; ++g) {
        const MoonRowLanes& l = groups[static_cast<std::size_t>(g)];
        MoonLanes s = {}, c = {1, 1, 1, 1, 1, 1, 1, 1};
        for (int k = 0; k < 4; ++k) {
            const MoonLanes sm = __builtin_shuffle(sinLo[k], sinHi[k], l.index[k]);
            const MoonLanes cm = __builtin_shuffle(cosLo[k], cosHi[k], l.index[k]);
            const MoonLanes ns = s * cm + c * sm;
            c = c * cm - s * sm;
            s = ns;
        }
        const MoonLanes f = __builtin_shuffle(powerF, l.power);
        const MoonLanes sinPart = l.sinCoef * f * s, cosPart = l.cosCoef * f * c;
        __builtin_memcpy(sinShare + 8 * g, &sinPart, sizeof sinPart);
        __builtin_memcpy(cosShare + 8 * g, &cosPart, sizeof cosPart);
        if (!rates) continue;
        const MoonLanes df = __builtin_shuffle(powerDF, l.power);
        const MoonLanes dArg = l.multiple[0] * rateArg[0] + l.multiple[1] * rateArg[1] +
                               l.multiple[2] * rateArg[2] + l.multiple[3] * rateArg[3];
        const MoonLanes dSin = l.sinCoef * (df * s + f * c * dArg);
        const MoonLanes dCos = l.cosCoef * (df * c - f * s * dArg);
        __builtin_memcpy(dSinShare + 8 * g, &dSin, sizeof dSin);
        __builtin_memcpy(dCosShare + 8 * g, &dCos, sizeof dCos);
    }
}
#endif

// One pass over the lunar series; the rates (per century) only when `rate` is given.
MoonPos MoonSeries(double T, MoonPos* rate) {
    const MoonArgs a = MoonArguments(T);
    const double Lp = PolyDegToRad(kMoonLp, 4, T);
    const double A1 = (119.75 + 131.849 * T) * kDegToRad;
    const double A2 = (53.09 + 479264.29 * T) * kDegToRad;
    const double A3 = (313.45 + 481266.484 * T) * kDegToRad;
    const double E = a.E, E2 = E * E;

    double S[4][5], C[4][5]; // D, M, M', F
    const double args[4] = {a.D, a.M, a.Mp, a.F};
    for (int k = 0; k < 4; ++k) SinCosMultiples(4, S[k], C[k], args[k]);

    // Rates of the arguments, radians per century.
    const double rates[4] = {PolyDegRate(kMoonD, 4, T), PolyDegRate(kMoonM, 3, T),
                             PolyDegRate(kMoonMp, 4, T), PolyDegRate(kMoonF, 4, T)};
    const double dE = -0.002516 - 2 * 0.0000074 * T;

    double sl = 0, sr = 0, sb = 0;    // 1e-6 degree, 1e-3 km, 1e-6 degree
    double dsl = 0, dsr = 0, dsb = 0; // their rates per century
#if defined(QOR_MOON_ROWS_WIDE)
    if (__builtin_cpu_supports("x86-64-v4")) {
        static const auto lrGroups = MoonRowGroups(MoonLRTerms);
        static const auto bGroups = MoonRowGroups(MoonBTerms);
        double lShare[64], rShare[64], dlShare[64], drShare[64];
        double bShare[64], unused[64], dbShare[64], dUnused[64];
        MoonRowSharesWide(lrGroups, S, C, E, E2, dE, rates, rate != nullptr, lShare, rShare,
                          dlShare, drShare);
        MoonRowSharesWide(bGroups, S, C, E, E2, dE, rates, rate != nullptr, bShare, unused,
                          dbShare, dUnused);
        for (int i = 0; i < 60; ++i) {
            sl += lShare[i];
            sr += rShare[i];
            sb += bShare[i];
        }
        if (rate)
            for (int i = 0; i < 60; ++i) {
                dsl += dlShare[i];
                dsr += drShare[i];
                dsb += dbShare[i];
            }
    } else
#endif
    {
        // A row's sine and cosine, its power of E with that power's rate, and its argument's
        // rate.
        struct Row {
            double s = 0, c = 1, f = 1, df = 0, dArg = 0;
        };
        const auto rowOf = [&](const auto& row) {
            Row r;
            for (int k = 0; k < 4; ++k) AddMultiple(r.s, r.c, row[k], S[k], C[k]);
            const int m = row[1] < 0 ? -row[1] : row[1];
            r.f = m == 1 ? E : m == 2 ? E2 : 1.0;
            if (rate) {
                r.dArg =
                    row[0] * rates[0] + row[1] * rates[1] + row[2] * rates[2] + row[3] * rates[3];
                r.df = m == 1 ? dE : m == 2 ? 2 * E * dE : 0.0;
            }
            return r;
        };
        for (const auto& row : MoonLRTerms) {
            const Row r = rowOf(row);
            sl += row[4] * r.f * r.s;
            sr += row[5] * r.f * r.c;
            dsl += row[4] * (r.df * r.s + r.f * r.c * r.dArg);
            dsr += row[5] * (r.df * r.c - r.f * r.s * r.dArg);
        }
        for (const auto& row : MoonBTerms) {
            const Row r = rowOf(row);
            sb += row[4] * r.f * r.s;
            dsb += row[4] * (r.df * r.s + r.f * r.c * r.dArg);
        }
    }
    // Additive terms: Venus (A1), Jupiter (A2) and the flattening of the Earth (L').
    sl += 3958 * std::sin(A1) + 1962 * std::sin(Lp - a.F) + 318 * std::sin(A2);
    sb += -2235 * std::sin(Lp) + 382 * std::sin(A3) + 175 * std::sin(A1 - a.F) +
          175 * std::sin(A1 + a.F) + 127 * std::sin(Lp - a.Mp) - 115 * std::sin(Lp + a.Mp);

    MoonPos p;
    p.lon = Lp + sl * 1e-6 * kDegToRad;
    p.lon = NormAngle(p.lon);
    p.lat = sb * 1e-6 * kDegToRad;
    p.distKm = 385000.56 + sr * 0.001;
    if (rate) {
        const double dLp = PolyDegRate(kMoonLp, 4, T);
        const double dA1 = 131.849 * kDegToRad, dA2 = 479264.29 * kDegToRad;
        const double dA3 = 481266.484 * kDegToRad;
        const double dF = rates[3], dMp = rates[2];
        dsl += 3958 * std::cos(A1) * dA1 + 1962 * std::cos(Lp - a.F) * (dLp - dF) +
               318 * std::cos(A2) * dA2;
        dsb += -2235 * std::cos(Lp) * dLp + 382 * std::cos(A3) * dA3 +
               175 * std::cos(A1 - a.F) * (dA1 - dF) + 175 * std::cos(A1 + a.F) * (dA1 + dF) +
               127 * std::cos(Lp - a.Mp) * (dLp - dMp) - 115 * std::cos(Lp + a.Mp) * (dLp + dMp);
        rate->lon = dLp + dsl * 1e-6 * kDegToRad;
        rate->lat = dsb * 1e-6 * kDegToRad;
        rate->distKm = dsr * 0.001;
    }
    return p;
}

} // namespace

MoonPos MoonPosition(double T) {
    return MoonSeries(T, nullptr);
}

MoonPos MoonPositionRate(double T, MoonPos& rate) {
    return MoonSeries(T, &rate);
}

PrecessionAngles PrecessionBetween(double T, double T0) {
    const double t = T - T0;
    const double base = 2306.2181 + 1.39656 * T0 - 0.000139 * T0 * T0;
    PrecessionAngles p;
    p.zeta = (base * t + (0.30188 - 0.000344 * T0) * t * t + 0.017998 * t * t * t) * kArcsecToRad;
    p.z = (base * t + (1.09468 + 0.000066 * T0) * t * t + 0.018203 * t * t * t) * kArcsecToRad;
    const double theta = ((2004.3109 - 0.8533 * T0 - 0.000217 * T0 * T0) * t -
                          (0.42665 + 0.000217 * T0) * t * t - 0.041833 * t * t * t) *
                         kArcsecToRad;
    p.cosTheta = std::cos(theta);
    p.sinTheta = std::sin(theta);
    return p;
}

void ApplyPrecession(const PrecessionAngles& p, double& ra, double& dec) {
    const double cd = std::cos(dec), sd = std::sin(dec);
    const double ct = p.cosTheta, st = p.sinTheta;
    const double caz = std::cos(ra + p.zeta), saz = std::sin(ra + p.zeta);
    const double A = cd * saz;
    const double B = ct * cd * caz - st * sd;
    const double C = st * cd * caz + ct * sd;
    ra = ArcTan2Pos(A, B) + p.z;
    if (ra < 0) ra += kTwoPi;
    dec = std::asin(C);
}

void PrecessRaDec(double& ra, double& dec, double T, double T0) {
    ApplyPrecession(PrecessionBetween(T, T0), ra, dec);
}

double DeltaT(double T) {
    constexpr int last = kDeltaTLastYear - kDeltaTFirstYear; // index of the last entry
    const double y = 2000.0 + 100.0 * T;
    if (y > kDeltaTLastYear) {
        // Beyond the observations: from the last observed value on, with the mean rate of its
        // last ten years and the long-term tidal curvature (32 s per century squared).
        const double v = DeltaTTable[last] * 0.01;
        const double rate = (DeltaTTable[last] - DeltaTTable[last - 10]) * 0.001;
        const double dy = y - kDeltaTLastYear;
        return v + rate * dy + 0.0032 * dy * dy;
    }
    if (y >= kDeltaTFirstYear) {
        const double whole = std::floor(y);
        const int n = static_cast<int>(whole) - kDeltaTFirstYear;
        const double f = y - whole;
        const auto at = [](int i) { return static_cast<double>(DeltaTTable[i]); };
        double v = at(n);
        if (n + 1 <= last) {
            v += f * (at(n + 1) - at(n));
            // Bessel's interpolation while the needed entries exist.
            if (n - 1 >= 0 && n + 2 <= last) {
                double d[5];
                for (int k = 0; k < 5; ++k) {
                    const int i = n - 2 + k;
                    d[k] = (i < 0 || i + 1 > last) ? 0.0 : at(i + 1) - at(i);
                }
                double e[4];
                for (int k = 0; k < 4; ++k) e[k] = d[k + 1] - d[k];
                double B = f * (f - 1) / 4;
                v += (e[1] + e[2]) * B;
                double g[3];
                for (int k = 0; k < 3; ++k) g[k] = e[k + 1] - e[k];
                B = 2 * B / 3;
                v += (f - 0.5) * B * g[1];
                if (n - 2 >= 0 && n + 3 <= last) {
                    const double h0 = g[1] - g[0], h1 = g[2] - g[1];
                    B = B * (f + 1) * (f - 2) / 8;
                    v += (h0 + h1) * B;
                }
            }
        }
        double dt = 0.01 * v;
        // The table before 1955 assumes a lunar acceleration of −26"/cy²; the Moon's theory uses
        // about −25.8"/cy².
        if (y < 1955) dt += -1.82e-05 * (y - 1955) * (y - 1955);
        return dt;
    }
    if (y >= 948) {
        const double t = (y - 2000) / 100;
        return 101.6 + 100.3 * t + 23.58 * t * t;
    }
    const double t = (y - 2000) / 100 + 3.75;
    return 40 + 35 * t * t;
}

EquPos EclToEqu(double eps, double lat, double lon) {
    return EclToEquOf(std::sin(eps), std::cos(eps), std::sin(lat), std::cos(lat), lon);
}

EquPos EclToEquOf(double se, double ce, double sb, double cb, double lon) {
    const double sl = std::sin(lon), cl = std::cos(lon);
    EquPos e;
    e.ra = ArcTan2Pos(cb * sl * ce - sb * se, cb * cl);
    e.dec = std::asin(sb * ce + cb * se * sl);
    return e;
}

EclPos EquToEclTrue(const AstroDat& s, double dec, double ra) {
    const double eps = s.EpsMean + s.NutEps;
    return EquToEclTrue(std::sin(eps), std::cos(eps), dec, ra);
}

EclPos EquToEclTrue(double se, double ce, double dec, double ra) {
    return EquToEclTrueOf(se, ce, std::sin(dec), std::cos(dec), ra);
}

EclPos EquToEclTrueOf(double se, double ce, double sd, double cd, double ra) {
    const double sa = std::sin(ra), ca = std::cos(ra);
    const double sb = sd * ce - cd * se * sa;
    EclPos p;
    p.lat = std::atan(sb / std::sqrt(1 - sb * sb));
    const double cb = std::cos(p.lat);
    const double cl = cd * ca / cb;
    const double sl = (sd * se + cd * ce * sa) / cb;
    // The quadrant from the signs of both (also when cos λ is 0, or sin λ is 0 at 180°).
    p.lon = ArcTan2Pos(sl, cl);
    return p;
}

HorPos EquToHorizon(double phi, double lst, double dec, double ra) {
    return EquToHorizon(std::sin(phi), std::cos(phi), lst, dec, ra);
}

HorPos EquToHorizon(double sinPhi, double cosPhi, double lst, double dec, double ra) {
    return EquToHorizonOf(sinPhi, cosPhi, lst, dec, std::sin(dec), std::cos(dec), ra);
}

HorPos EquToHorizonOf(double sinPhi, double cosPhi, double lst, double dec, double sd, double cd,
                      double ra) {
    const double H = lst - ra;
    const double sH = std::sin(H), cH = std::cos(H);
    HorPos h;
    h.az = ArcTan2Pos(sH, cH * sinPhi - std::tan(dec) * cosPhi);
    h.alt = std::asin(sinPhi * sd + cosPhi * cd * cH);
    return h;
}

} // namespace qor
