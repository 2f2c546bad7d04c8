#include "core/Planets.h"

#include "core/PlutoTable.h"

#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace qor {

// --- Vectorised sine and cosine ------------------------------------------------------------

namespace {

// Cody-Waite reduction by π/2 in three parts (each exact when multiplied by a quadrant count
// below 2^29) and the minimax polynomials of sin and cos on [−π/4, π/4] (Moshier, Cephes
// Mathematical Library, sin.c); within 1 ulp of the library functions for the phases of the
// series.
constexpr double kPio2Hi = 1.57079625129699707031e+00;
constexpr double kPio2Mid = 7.54978941586159635336e-08;
constexpr double kPio2Lo = 5.39030285815811905290e-15;
constexpr double kPio2Tail = 7.5497899548921322e-08; // π/2 − kPio2Hi
constexpr double kTwoOverPi = 0.63661977236758134308;
constexpr double kRoundMagic = 6755399441055744.0; // 1.5·2^52: adding it rounds to an integer

constexpr double kSin0 = 1.58962301576546568060e-10, kSin1 = -2.50507477628578072866e-8,
                 kSin2 = 2.75573136213857245213e-6, kSin3 = -1.98412698295895385996e-4,
                 kSin4 = 8.33333333332211858878e-3, kSin5 = -1.66666666666666307295e-1;
constexpr double kCos0 = -1.13585365213876817300e-11, kCos1 = 2.08757008419747316778e-9,
                 kCos2 = -2.75573141792967388112e-7, kCos3 = 2.48015872888517045348e-5,
                 kCos4 = -1.38888888888730564116e-3, kCos5 = 4.16666666666665929218e-2;

// Shorter minimax polynomials on the same interval, for terms whose amplitudes make their
// error negligible: sin x = x + x·z·S(z), cos x = 1 − z/2 + z²·K(z), z = x². Absolute error
// at most 2.4e-12 (sine) and 1.0e-13 (cosine) for the short ones, 1.8e-9 and 9.6e-11 for the
// small ones.
constexpr double kSinShort0 = -0.16666666627999072, kSinShort1 = 0.00833332823871557,
                 kSinShort2 = -0.00019839043770439072, kSinShort3 = 2.7160140166404377e-06;
constexpr double kCosShort0 = 0.0416666666228282, kCosShort1 = -0.0013888883753426415,
                 kCosShort2 = 2.4799520013875667e-05, kCosShort3 = -2.7210238236388093e-07;
constexpr double kSinSmall0 = -0.16666650669295308, kSinSmall1 = 0.008331978663225357,
                 kSinSmall2 = -0.00019495636245447985;
constexpr double kCosSmall0 = 0.04166664686644329, kCosSmall1 = -0.0013887367515752435,
                 kCosSmall2 = 2.4438451594057768e-05;

// Eight doubles handled as one value: one AVX-512 register, two AVX2 or four SSE2 ones. The
// helpers on it are always inlined, so no such value crosses a call between builds of
// different instruction sets (which GCC warns about).
#pragma GCC diagnostic ignored "-Wpsabi"
// gcc builds the kernels for AVX-512, AVX2 with FMA and the base instruction set, and the
// loader picks the one the processor runs; clang (the fuzzing build) builds the base one alone,
// as it refuses to pass eight-lane vectors between the clones' inline helpers.
#if defined(__clang__)
#define QOR_KERNEL_CLONES
#else
#define QOR_KERNEL_CLONES                                                                     \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default"),            \
                   optimize("fp-contract=fast")))
#endif

typedef double Lanes8 __attribute__((vector_size(64)));
typedef double Lanes4 __attribute__((vector_size(32)));
// The same lanes seen as unsigned 64-bit integers, for sign and selection masks.
typedef uint64_t Lanes8i __attribute__((vector_size(64)));
typedef uint64_t Lanes4i __attribute__((vector_size(32)));
constexpr int kLanes = 8;
#if defined(__clang__)
constexpr bool kClang = true;
#else
constexpr bool kClang = false;
#endif

template <class V> __attribute__((always_inline)) inline V LoadLanes(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V> __attribute__((always_inline)) inline V Splat(double x) {
    V v;
    for (std::size_t i = 0; i < sizeof v / sizeof x; ++i) v[i] = x;
    return v;
}

template <class VI, class V> __attribute__((always_inline)) inline VI Bits(V v) {
    VI b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

template <class V, class VI> __attribute__((always_inline)) inline V FromBits(VI b) {
    V v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

// How closely a block of terms takes its sines and cosines: to the last bit, or by shorter
// polynomials where the amplitudes are small enough that the difference stays far below
// what a chart can show (see ClassifyBlocks).
enum class Fit { Full, Short, Small };

// The quadrant's effect by integer operations on the bits alone (comparisons of whole vectors
// would be taken apart lane by lane on the base instruction set): the low bits of the shifted
// value are the quadrant j = q mod 4 in two's complement. An odd j swaps sine and cosine;
// j = 2, 3 makes the sine negative, j = 1, 2 the cosine.
template <class V, class VI>
__attribute__((always_inline)) inline void PlaceInQuadrant(V shifted, V sp, V cp, V& sinOut,
                                                           V& cosOut) {
    const VI j = Bits<VI>(shifted);
    const VI swap = -(j & 1); // all ones for an odd quadrant
    const VI sinSign = (j & 2) << 62;
    const VI cosSign = ((j + 1) & 2) << 62;
    const VI s = (Bits<VI>(sp) & ~swap) | (Bits<VI>(cp) & swap);
    const VI c = (Bits<VI>(cp) & ~swap) | (Bits<VI>(sp) & swap);
    sinOut = FromBits<V>(s ^ sinSign);
    cosOut = FromBits<V>(c ^ cosSign);
}

#if !defined(__clang__)
// The same with AVX-512, in fewer operations: the cosine and sine of the quadrant's angle jπ/2
// (0 or ±1) looked up by a permute, then turned by the addition theorem. One product of each
// pair is zero and the other exact, so the results are those above to the bit.
__attribute__((always_inline)) inline void
PlaceInQuadrantByTurn(Lanes8 shifted, Lanes8 sp, Lanes8 cp, Lanes8& sinOut, Lanes8& cosOut) {
    const Lanes8i j = Bits<Lanes8i>(shifted); // taken mod 8 by the permute: two turns of four
    const Lanes8 cq = __builtin_shuffle(Lanes8{1, 0, -1, 0, 1, 0, -1, 0}, j);
    const Lanes8 sq = __builtin_shuffle(Lanes8{0, 1, 0, -1, 0, 1, 0, -1}, j);
    sinOut = sq * cp + cq * sp;
    cosOut = cq * cp - sq * sp;
}
#endif

// sin and cos of a vector of angles (eight or four at once), without branches. Each lane
// goes through the same operations whatever the width, so the results do not depend on it.
// `turn` places the quadrant by PlaceInQuadrantByTurn (eight lanes with AVX-512 only).
template <class V, class VI, Fit fit = Fit::Full, bool turn = false>
__attribute__((always_inline)) inline void SinCosLanes(V x, V& sinOut, V& cosOut) {
    const V magic = Splat<V>(kRoundMagic);
    const V shifted = x * kTwoOverPi + magic;
    const V q = shifted - magic; // nearest quadrant
    V sp, cp;
    if constexpr (fit == Fit::Full) {
        const V r = ((x - q * kPio2Hi) - q * kPio2Mid) - q * kPio2Lo;
        const V z = r * r;
        sp =
            r + r * z * (((((kSin0 * z + kSin1) * z + kSin2) * z + kSin3) * z + kSin4) * z + kSin5);
        cp = 1.0 - 0.5 * z +
             z * z * (((((kCos0 * z + kCos1) * z + kCos2) * z + kCos3) * z + kCos4) * z + kCos5);
    } else {
        // Two parts: x − q·kPio2Hi is exact (the product is, and x lies close to it); the rest
        // of π/2 rounded to a double leaves an error of q·1e-23 at most.
        const V r = (x - q * kPio2Hi) - q * kPio2Tail;
        const V z = r * r;
        if constexpr (fit == Fit::Short) {
            sp = r + r * z * (((kSinShort3 * z + kSinShort2) * z + kSinShort1) * z + kSinShort0);
            cp =
                1.0 +
                z * (z * (((kCosShort3 * z + kCosShort2) * z + kCosShort1) * z + kCosShort0) - 0.5);
        } else {
            sp = r + r * z * ((kSinSmall2 * z + kSinSmall1) * z + kSinSmall0);
            cp = 1.0 + z * (z * ((kCosSmall2 * z + kCosSmall1) * z + kCosSmall0) - 0.5);
        }
    }
#if !defined(__clang__)
    if constexpr (turn) {
        PlaceInQuadrantByTurn(shifted, sp, cp, sinOut, cosOut);
        return;
    }
#endif
    PlaceInQuadrant<V, VI>(shifted, sp, cp, sinOut, cosOut);
}

} // namespace

// With FMA the polynomials fuse their multiply-adds (an ulp from the base).
QOR_KERNEL_CLONES void
SinCosPhases(const double* B, const double* C, double tau, int n, double* sinOut, double* cosOut) {
    int k = 0;
    for (; k + kLanes <= n; k += kLanes) {
        Lanes8 sv, cv;
        SinCosLanes<Lanes8, Lanes8i>(LoadLanes<Lanes8>(B + k) + LoadLanes<Lanes8>(C + k) * tau,
                                     sv, cv);
        std::memcpy(sinOut + k, &sv, sizeof sv);
        std::memcpy(cosOut + k, &cv, sizeof cv);
    }
    if (k < n) {
        double b[kLanes] = {}, c[kLanes] = {};
        std::memcpy(b, B + k, sizeof(double) * (n - k));
        std::memcpy(c, C + k, sizeof(double) * (n - k));
        Lanes8 sv, cv;
        SinCosLanes<Lanes8, Lanes8i>(LoadLanes<Lanes8>(b) + LoadLanes<Lanes8>(c) * tau, sv, cv);
        for (int j = 0; k < n; ++k, ++j) {
            sinOut[k] = sv[j];
            cosOut[k] = cv[j];
        }
    }
}

// --- Loading ------------------------------------------------------------------------------------

namespace {

// What a term of a VSOP87-type series can hold; anything beyond is a damaged file, not a
// series (a finite but absurd amplitude overflows the sums into infinities and NaN):
// - amplitude: the largest of all VSOP87 series is Mercury's mean motion in L1, 26 088
//   radians per millennium; radius amplitudes stay below 31 AU;
// - phase: an angle, 0..2π in the published series (either sign accepted);
// - frequency: the fastest terms (harmonics of Mercury) stay below 5e5 radians per
//   millennium; 1e6 is a period of 2.3 days, which no planetary term has.
constexpr double kMaxTermAmplitude = 1e5;
constexpr double kMaxTermPhase = kTwoPi + 1e-9;
constexpr double kMaxTermFrequency = 1e6;

bool TermWithinSeries(double a, double b, double c) {
    // Written so that NaN fails every comparison.
    return std::fabs(a) <= kMaxTermAmplitude && std::fabs(b) <= kMaxTermPhase &&
           std::fabs(c) <= kMaxTermFrequency;
}

PlanetLoadResult Fail(AstroDat& s, PlanetBodyTerms& body, std::string text) {
    body = PlanetBodyTerms{};
    ReportOf(s).ShowMessage(MsgKind::Error, text);
    return {false, std::move(text)};
}

const std::string kIndexFile = "PLANETS.NDX", kTermsFile = "PLANETS.DAT";
// The index holds exactly one record per body; the terms file no more than the 16-bit index
// can address.
constexpr std::size_t kIndexFileBytes =
    static_cast<std::size_t>(kPlanetIndexRecordSize) * kPlanetSeriesBodies;
constexpr std::size_t kTermsFileMaxBytes =
    (std::size_t{65535} + kMaxTermsPerBody) * kPlanetTermSize;

// The two files as read for one loading: each at most once.
struct SeriesFiles {
    std::string ndx, dat;
    bool ndxRead = false, datRead = false;
    IoResult ndxResult, datResult;
};

const IoResult& ReadOnce(AstroDat& s, const std::string& name, std::size_t maxBytes,
                         std::string& bytes, bool& read, IoResult& result) {
    if (!read) {
        result = ReadFileBytes(s.DataPath(name), bytes, maxBytes);
        read = true;
    }
    return result;
}

// Which blocks of each series take the shorter sine and cosine polynomials. A block does when
// no amplitude from it to the end of its series exceeds a bound, weighed by 4^p for power p
// of τ (whose sums grow by |τ|^p, up to 4 millennia away). The error a term then adds is the
// amplitude times that of the polynomial's cosine, at most 1e-4·1.0e-13 for a short block and
// 1e-7·9.6e-11 for a small one; over a body's 700 terms that stays below 1e-14 rad (or AU).
// Rates, from the sines, gain at most 1e-4·C·2.4e-12 per term (C below 3.2e5 rad per
// millennium): 2e-16 rad per day.
// The first power of the longitude keeps the full evaluation throughout: its sum, the
// mean motion, is up to 26,088 rad, whose last bit (3.6e-12) times τ is near the
// allowance itself, so its roundings must stay as they are. So does the whole series of the
// Earth (`allFull`): the Sun's place anchors cusps that stay at exact separations from each
// other, and whether such a pair applies is decided by the last bits of its places.
void ClassifyBlocks(PlanetBodyTerms& body, bool allFull) {
    constexpr double kShortBound = 1e-4, kSmallBound = 1e-7;
    std::size_t start = 0; // the series' first term
    for (int k = 0; k < 18; ++k) {
        const int blocks = body.blocks[k];
        int full = blocks, small = 0;
        if (k != 1 && !allFull) {
            const double weight = std::pow(4.0, k % 6);
            double largest = 0; // from the block on to the series' end
            for (int j = blocks - 1; j >= 0; --j) {
                for (int l = 0; l < kLanes; ++l)
                    largest = std::max(largest, std::fabs(body.A[start + j * kLanes + l]) * weight);
                if (largest <= kSmallBound) ++small;
                if (largest <= kShortBound) --full;
            }
        }
        body.fullBlocks[k] = static_cast<uint16_t>(full);
        body.smallBlocks[k] = static_cast<uint16_t>(small);
        start += static_cast<std::size_t>(blocks) * kLanes;
    }
}

PlanetLoadResult LoadBody(AstroDat& s, int i, SeriesFiles& f) {
    PlanetBodyTerms& body = s.Planets.bodies[static_cast<std::size_t>(i)];
    const std::string damagedNdx = Lang(s, Cp("Файл индекса планетных рядов повреждён: "),
                                        "The planetary index file is damaged: ") +
                                   kIndexFile;
    const IoResult& rn = ReadOnce(s, kIndexFile, kIndexFileBytes, f.ndx, f.ndxRead, f.ndxResult);
    if (rn.error == EFBIG) return Fail(s, body, damagedNdx);
    if (!rn.ok()) return Fail(s, body, "Index file not found !!!");
    if (f.ndx.size() != kIndexFileBytes) return Fail(s, body, damagedNdx);

    PlanetIndexRecord rec;
    LeReader r(f.ndx);
    r.seek(static_cast<std::size_t>(kPlanetIndexRecordSize) * i);
    for (int k = 0; k < 18; ++k) {
        rec.first[k] = r.u16();
        rec.count[k] = r.u16();
    }
    if (!r.ok()) return Fail(s, body, damagedNdx);
    // The series of a body lie one after the other in coordinate-then-power order.
    std::size_t total = 0;
    for (int k = 0; k < 18; ++k) {
        if (rec.first[k] != rec.first[0] + total) return Fail(s, body, damagedNdx);
        total += rec.count[k];
    }
    if (total > static_cast<std::size_t>(kMaxTermsPerBody))
        return Fail(
            s, body,
            Lang(s, Cp("Слишком много членов планетного ряда: "), "Too many planetary terms: ") +
                std::to_string(total) + " > " + std::to_string(kMaxTermsPerBody) + " (" +
                kIndexFile + ", " + std::to_string(i) + ")");

    const std::string damagedDat =
        Lang(s, Cp("Файл планетных рядов повреждён: "), "The planetary terms file is damaged: ") +
        kTermsFile;
    const IoResult& rd = ReadOnce(s, kTermsFile, kTermsFileMaxBytes, f.dat, f.datRead, f.datResult);
    if (rd.error == EFBIG) return Fail(s, body, damagedDat);
    if (!rd.ok()) return Fail(s, body, "Planetary terms file not found !!!");
    const std::string& dat = f.dat;
    const std::size_t start = static_cast<std::size_t>(rec.first[0]) * kPlanetTermSize;
    if (dat.size() % kPlanetTermSize != 0 || start + total * kPlanetTermSize > dat.size())
        return Fail(s, body, damagedDat);

    // Each series padded with zero terms to whole blocks of eight, for the vector evaluation.
    PlanetBodyTerms loaded;
    loaded.index = rec;
    LeReader t(dat);
    t.seek(start);
    for (int k = 0; k < 18; ++k) {
        const int n = rec.count[k];
        const int blocks = (n + kLanes - 1) / kLanes;
        loaded.blocks[k] = static_cast<uint16_t>(blocks);
        for (int j = 0; j < blocks * kLanes; ++j) {
            double a = 0, b = 0, c = 0;
            if (j < n) {
                a = t.f64();
                b = t.f64();
                c = t.f64();
                if (!TermWithinSeries(a, b, c))
                    return Fail(s, body,
                                damagedDat + Lang(s, Cp(", член "), ", term ") +
                                    std::to_string(t.pos() / kPlanetTermSize - 1));
            }
            loaded.A.push_back(a);
            loaded.B.push_back(b);
            loaded.C.push_back(c);
            loaded.AC.push_back(a * c);
        }
    }
    if (!t.ok()) return Fail(s, body, damagedDat);
    ClassifyBlocks(loaded, i == 0 || i == 3);
    loaded.loaded = true;
    body = std::move(loaded);
    return {true, {}};
}

} // namespace

PlanetLoadResult LoadPlanetTerms(AstroDat& s, int i) {
    if (i < 0 || i >= kPlanetSeriesBodies) return {true, {}};
    SeriesFiles f;
    return LoadBody(s, i, f);
}

PlanetLoadResult LoadPlanetSeries(AstroDat& s) {
    SeriesFiles f;
    for (int i = 0; i < kPlanetSeriesBodies; ++i) {
        const PlanetLoadResult r = LoadBody(s, i, f);
        if (!r.ok) return r;
    }
    return LoadPlutoTable(s);
}

// --- Evaluation ---------------------------------------------------------------------------------

namespace {

// For each of the 18 series (blocks of eight terms, one after the other): Σ A cos(B + Cτ)
// into sums[k] and its derivative by τ, −Σ A·C sin(B + Cτ), into rates[k]. One pass over the
// body's terms in vector registers of V (a block in one register of eight lanes or two of
// four); each of the eight lanes of a block sums its own terms and the lanes are added in a
// fixed order, so the sums are the same for either width.
template <class V, class VI, Fit fit, bool turn>
__attribute__((always_inline)) inline void SeriesBlocks(int count, const double*& A,
                                                        const double*& AC, const double*& B,
                                                        const double*& C, double tau, V* v, V* d) {
    constexpr int kWidth = sizeof(V) / sizeof(double), kParts = kLanes / kWidth;
    for (int n = count; n > 0; --n) {
        for (int h = 0; h < kParts; ++h) {
            const int at = h * kWidth;
            V sv, cv;
            SinCosLanes<V, VI, fit, turn>(LoadLanes<V>(B + at) + LoadLanes<V>(C + at) * tau, sv,
                                          cv);
            v[h] += LoadLanes<V>(A + at) * cv;
            d[h] -= LoadLanes<V>(AC + at) * sv;
        }
        A += kLanes;
        AC += kLanes;
        B += kLanes;
        C += kLanes;
    }
}

template <class V, class VI, bool turn>
__attribute__((always_inline)) inline void
SeriesKernelOf(const double* A, const double* AC, const double* B, const double* C,
               const uint16_t* blocks, const uint16_t* fullBlocks, const uint16_t* smallBlocks,
               bool exact, double tau, double* sums, double* rates) {
    constexpr int kWidth = sizeof(V) / sizeof(double), kParts = kLanes / kWidth;
    for (int k = 0; k < 18; ++k) {
        V v[kParts], d[kParts];
        for (int h = 0; h < kParts; ++h) v[h] = d[h] = Splat<V>(0);
        const int full = exact ? blocks[k] : fullBlocks[k], small = exact ? 0 : smallBlocks[k];
        SeriesBlocks<V, VI, Fit::Full, turn>(full, A, AC, B, C, tau, v, d);
        SeriesBlocks<V, VI, Fit::Short, turn>(blocks[k] - full - small, A, AC, B, C, tau, v, d);
        SeriesBlocks<V, VI, Fit::Small, turn>(small, A, AC, B, C, tau, v, d);
        double lv[kLanes], ld[kLanes];
        std::memcpy(lv, v, sizeof lv);
        std::memcpy(ld, d, sizeof ld);
        sums[k] = ((lv[0] + lv[1]) + (lv[2] + lv[3])) + ((lv[4] + lv[5]) + (lv[6] + lv[7]));
        rates[k] = ((ld[0] + ld[1]) + (ld[2] + ld[3])) + ((ld[4] + ld[5]) + (ld[6] + ld[7]));
    }
}

#if defined(__clang__)
// The fuzzing build: both widths in the base instruction set, the eight lanes in use.
#define QOR_KERNEL_WIDE
#define QOR_KERNEL_HALVES
#else
// AVX-512 holds a block in one register; with AVX2 and the base set, eight lanes spread over
// too few registers and spill, so they take a block as two halves of four.
#define QOR_KERNEL_WIDE __attribute__((target("arch=x86-64-v4"), optimize("fp-contract=fast")))
#define QOR_KERNEL_HALVES                                                                     \
    __attribute__((target_clones("arch=x86-64-v3", "default"), optimize("fp-contract=fast")))
#endif

// The kernels take the body's arrays; one without terms is not passed to them.
QOR_KERNEL_WIDE void SeriesKernelWide(const PlanetBodyTerms& b, bool exact, double tau,
                                      double* sums, double* rates) {
    SeriesKernelOf<Lanes8, Lanes8i, !kClang>(b.A.data(), b.AC.data(), b.B.data(), b.C.data(),
                                             b.blocks.data(), b.fullBlocks.data(),
                                             b.smallBlocks.data(), exact, tau, sums, rates);
}

QOR_KERNEL_HALVES void SeriesKernelHalves(const PlanetBodyTerms& b, bool exact, double tau,
                                          double* sums, double* rates) {
    SeriesKernelOf<Lanes4, Lanes4i, false>(b.A.data(), b.AC.data(), b.B.data(), b.C.data(),
                                           b.blocks.data(), b.fullBlocks.data(),
                                           b.smallBlocks.data(), exact, tau, sums, rates);
}

bool WideLanes() {
#if defined(__clang__)
    return true;
#else
    return __builtin_cpu_supports("x86-64-v4");
#endif
}

void SeriesKernel(const PlanetBodyTerms& b, SeriesFit fit, double tau, double* sums,
                  double* rates) {
    const bool exact = fit == SeriesFit::Exact;
    if (WideLanes())
        SeriesKernelWide(b, exact, tau, sums, rates);
    else
        SeriesKernelHalves(b, exact, tau, sums, rates);
}

} // namespace

bool PlanetSeriesKernelSums(const PlanetBodyTerms& b, double tau, int lanes, double* sums,
                            double* rates, SeriesFit fit) {
    std::fill(sums, sums + 18, 0.0);
    std::fill(rates, rates + 18, 0.0);
    const auto run = [&](auto kernel) {
        if (!b.A.empty()) kernel(b, fit == SeriesFit::Exact, tau, sums, rates);
        return true;
    };
    if (lanes == 8) return WideLanes() && run(SeriesKernelWide);
    return lanes == 4 && run(SeriesKernelHalves);
}

namespace {

// The three coordinate sums at τ and, when asked, their derivatives by τ.
void SeriesSums(const PlanetBodyTerms& b, SeriesFit fit, double tau, double out[3],
                double* dOut) {
    double sums[18] = {}, rates[18] = {};
    if (!b.A.empty()) SeriesKernel(b, fit, tau, sums, rates);
    for (int c = 0; c < 3; ++c) {
        double sum = 0, dsum = 0, power = 1, dpower = 0; // τ^p and p·τ^(p−1)
        for (int p = 0; p < 6; ++p) {
            sum += sums[6 * c + p] * power;
            dsum += rates[6 * c + p] * power + sums[6 * c + p] * dpower;
            dpower = (p + 1) * power;
            power *= tau;
        }
        out[c] = sum;
        if (dOut) dOut[c] = dsum;
    }
}

// The FK5 correction (Meeus 32.3) and, when asked, its effect on the rates (per century).
void ToFK5(Spherical& p, double T, Spherical* rate) {
    const double k0 = -0.09033 * kArcsecToRad, k1 = 0.03916 * kArcsecToRad;
    const double Lp = p.lon - (1.397 * T + 0.00031 * T * T) * kDegToRad;
    const double cl = std::cos(Lp), sl = std::sin(Lp), tb = std::tan(p.lat);
    if (rate) {
        const double dLp = rate->lon - (1.397 + 0.00062 * T) * kDegToRad;
        const double cb = std::cos(p.lat);
        const double dL = k1 * ((cl - sl) * dLp * tb + (cl + sl) * rate->lat / (cb * cb));
        const double dB = k1 * (-sl - cl) * dLp;
        rate->lon += dL;
        rate->lat += dB;
    }
    p.lon += k0 + k1 * (cl + sl) * tb;
    p.lat += k1 * (cl - sl);
}

Spherical VsopPosition(const PlanetSeries& series, int i, double T, Spherical* rate,
                       SeriesFit fit) {
    Spherical p;
    if (i < 0 || i >= kPlanetSeriesBodies) return p;
    const PlanetBodyTerms& b = series.bodies[static_cast<std::size_t>(i)];
    const double tau = T / 10.0;
    double v[3], d[3];
    SeriesSums(b, fit, tau, v, rate ? d : nullptr);
    p.lon = NormAngle(v[0]);
    p.lat = v[1];
    p.r = v[2];
    if (rate) {
        // Derivatives by τ (millennia) to per century.
        rate->lon = d[0] / 10.0;
        rate->lat = d[1] / 10.0;
        rate->r = d[2] / 10.0;
    }
    ToFK5(p, T, rate);
    return p;
}

} // namespace

Spherical PlanetSeriesSums(const PlanetSeries& p, int i, double T) {
    Spherical out;
    if (i < 0 || i >= kPlanetSeriesBodies) return out;
    double v[3];
    SeriesSums(p.bodies[static_cast<std::size_t>(i)], SeriesFit::Exact, T / 10.0, v, nullptr);
    out.lon = v[0];
    out.lat = v[1];
    out.r = v[2];
    return out;
}

Spherical PlanetPositionVsop(const PlanetSeries& series, int i, double T) {
    return VsopPosition(series, i, T, nullptr, SeriesFit::Exact);
}

Spherical PlanetPositionVsopRate(const PlanetSeries& series, int i, double T, Spherical& rate,
                                 SeriesFit fit) {
    return VsopPosition(series, i, T, &rate, fit);
}

Spherical PlanetHelio(const PlanetSeries& series, int i, double T) {
    Spherical rate;
    if (i == 9) return PlutoHelioRate(series, T, rate).value_or(Spherical{});
    if (i >= 1 && i <= 8) return PlanetPositionVsop(series, i, T);
    return {};
}

Spherical PlanetHelioRate(const PlanetSeries& series, int i, double T, Spherical& rate,
                          SeriesFit fit) {
    if (i == 9) return PlutoHelioRate(series, T, rate).value_or(Spherical{});
    if (i >= 1 && i <= 8) return PlanetPositionVsopRate(series, i, T, rate, fit);
    rate = {};
    return {};
}

// --- Pluto --------------------------------------------------------------------------------------

namespace {

// Meeus, Astronomical Algorithms (1st edition, 1991), Table 36.A: multipliers of J, S, P.
constexpr int32_t PlutoArgs[43][3] = {
    {0, 0, 1},  {0, 0, 2},  {0, 0, 3},  {0, 0, 4},  {0, 0, 5},  {0, 0, 6}, {0, 1, -1}, {0, 1, 0},
    {0, 1, 1},  {0, 1, 2},  {0, 1, 3},  {0, 2, -2}, {0, 2, -1}, {0, 2, 0}, {1, -1, 0}, {1, -1, 1},
    {1, 0, -3}, {1, 0, -2}, {1, 0, -1}, {1, 0, 0},  {1, 0, 1},  {1, 0, 2}, {1, 0, 3},  {1, 0, 4},
    {1, 1, -3}, {1, 1, -2}, {1, 1, -1}, {1, 1, 0},  {1, 1, 1},  {1, 1, 3}, {2, 0, -6}, {2, 0, -5},
    {2, 0, -4}, {2, 0, -3}, {2, 0, -2}, {2, 0, -1}, {2, 0, 0},  {2, 0, 1}, {2, 0, 2},  {2, 0, 3},
    {3, 0, -2}, {3, 0, -1}, {3, 0, 0}};

// The same table: sine and cosine coefficients of longitude and latitude (1e-6 degree) and of
// the radius vector (1e-7 AU).
constexpr double PlutoCoefs[43][6] = {
    {-19798886, 19848454, -5453098, -14974876, 66867334, 68955876},
    {897499, -4955707, 3527363, 1672673, -11826086, -333765},
    {610820, 1210521, -1050939, 327763, 1593657, -1439953},
    {-341639, -189719, 178691, -291925, -18948, 482443},
    {129027, -34863, 18763, 100448, -66634, -85576},
    {-38215, 31061, -30594, -25838, 30841, -5765},
    {20349, -9886, 4965, 11263, -6140, 22254},
    {-4045, -4904, 310, -132, 4434, 4443},
    {-5885, -3238, 2036, -947, -1518, 641},
    {-3812, 3011, -2, -674, -5, 792},
    {-601, 3468, -329, -563, 518, 518},
    {1237, 463, -64, 39, -13, -221},
    {1086, -911, -94, 210, 837, -494},
    {595, -1229, -8, -160, -281, 616},
    {2484, -485, -177, 259, 260, -395},
    {839, -1414, 17, 234, -191, -396},
    {-964, 1059, 582, -285, -3218, 370},
    {-2303, -1038, -298, 692, 8019, -7869},
    {7049, 747, 157, 201, 105, 45637},
    {1179, -358, 304, 825, 8623, 8444},
    {393, -63, -124, -29, -896, -801},
    {111, -268, 15, 8, 208, -122},
    {-52, -154, 7, 15, -133, 65},
    {-78, -30, 2, 2, -16, 1},
    {-34, -26, 4, 2, -22, 7},
    {-43, 1, 3, 0, -8, 16},
    {-15, 21, 1, -1, 2, 9},
    {-1, 15, 0, -2, 12, 5},
    {4, 7, 1, 0, 1, -3},
    {1, 5, 1, -1, 1, 0},
    {8, 3, -2, -3, 9, 5},
    {-3, 6, 1, 2, 2, -1},
    {6, -13, -8, 2, 14, 10},
    {10, 22, 10, -7, -65, 12},
    {-57, -32, 0, 21, 126, -233},
    {157, -46, 8, 5, 270, 1068},
    {12, -18, 13, 16, 254, 155},
    {-4, 8, -2, -3, -26, -2},
    {-5, 0, 0, 0, 7, 0},
    {3, 4, 0, 1, -11, 4},
    {-1, -1, 0, 1, 4, -14},
    {6, -3, 0, 0, 18, 35},
    {-1, -2, 0, 1, 13, 3}};

// Mean longitudes of Jupiter, Saturn and Pluto, degrees and degrees per century.
constexpr double kPlutoJ0 = 34.35, kPlutoJ1 = 3034.9057;
constexpr double kPlutoS0 = 50.08, kPlutoS1 = 1222.1138;
constexpr double kPlutoP0 = 238.96, kPlutoP1 = 144.96;

Spherical PlutoSeries(double T, Spherical* rate) {
    const double J = (kPlutoJ0 + kPlutoJ1 * T) * kDegToRad;
    const double S = (kPlutoS0 + kPlutoS1 * T) * kDegToRad;
    const double P = (kPlutoP0 + kPlutoP1 * T) * kDegToRad;
    double SJ[4], CJ[4], SS[3], CS[3], SP[7], CP[7];
    SinCosMultiples(3, SJ, CJ, J);
    SinCosMultiples(2, SS, CS, S);
    SinCosMultiples(6, SP, CP, P);
    const auto fold = [](double& s, double& c, int m, const double* Sm, const double* Cm) {
        if (m == 0) return;
        const int k = m < 0 ? -m : m;
        const double sm = m < 0 ? -Sm[k] : Sm[k];
        const double ns = s * Cm[k] + c * sm;
        c = c * Cm[k] - s * sm;
        s = ns;
    };
    double sum[3] = {0, 0, 0}, dsum[3] = {0, 0, 0};
    for (int row = 0; row < 43; ++row) {
        const int32_t* m = PlutoArgs[row];
        double sa = 0, ca = 1;
        fold(sa, ca, m[0], SJ, CJ);
        fold(sa, ca, m[1], SS, CS);
        fold(sa, ca, m[2], SP, CP);
        const double dAlpha = (m[0] * kPlutoJ1 + m[1] * kPlutoS1 + m[2] * kPlutoP1) * kDegToRad;
        for (int c = 0; c < 3; ++c) {
            const double a = PlutoCoefs[row][2 * c], b = PlutoCoefs[row][2 * c + 1];
            sum[c] += a * sa + b * ca;
            dsum[c] += (a * ca - b * sa) * dAlpha;
        }
    }
    Spherical p;
    p.lon = NormAngle((1e-6 * sum[0] + 238.956785 + 144.96 * T) * kDegToRad);
    p.lat = (1e-6 * sum[1] - 3.908202) * kDegToRad;
    p.r = 1e-7 * sum[2] + 40.7247248;
    if (rate) {
        rate->lon = (1e-6 * dsum[0] + 144.96) * kDegToRad;
        rate->lat = 1e-6 * dsum[1] * kDegToRad;
        rate->r = 1e-7 * dsum[2];
    }
    return p;
}

} // namespace

Spherical PlutoPosition(double T) {
    return PlutoSeries(T, nullptr);
}

Spherical PlutoPositionRate(double T, Spherical& rate) {
    return PlutoSeries(T, &rate);
}

} // namespace qor
