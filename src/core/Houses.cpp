#include "core/Houses.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr double kDeg30 = kPi / 6;

double TanLat(const HouseFrame& f) {
    return std::sin(f.lat) / NonZeroGuard(std::cos(f.lat));
}

// The frame with what every cusp of it reads: tan φ and the sine and cosine of the RAMC,
// computed once.
struct Frame : HouseFrame {
    double tanPhi, sinRamc, cosRamc;
    explicit Frame(const HouseFrame& f)
        : HouseFrame(f), tanPhi(TanLat(f)), sinRamc(std::sin(f.ramc)), cosRamc(std::cos(f.ramc)) {}
};

double Midheaven(const Frame& f) {
    return ArcTan2Pos(f.sinRamc, f.cosRamc * f.cosEps);
}

// The ascendant formula at the hour angle whose sine and cosine are given.
double CuspAngle(double sinX, double cosX, const Frame& f) {
    return NormAngle(ArcTan2Pos(cosX, -(sinX * f.cosEps + f.sinEps * f.tanPhi)));
}

double CuspAngle(double x, const Frame& f) {
    return CuspAngle(std::sin(x), std::cos(x), f);
}

double Ascendant(const Frame& f) {
    return CuspAngle(f.sinRamc, f.cosRamc, f);
}

// Ecliptic longitude of the ecliptic point with right ascension ra.
double LongitudeOfRA(double ra, const HouseFrame& f) {
    return ArcTan2Pos(std::sin(ra), std::cos(ra) * f.cosEps);
}

// Right ascension of the ecliptic point with longitude lon.
double RAOfLongitude(double lon, const HouseFrame& f) {
    return ArcTan2Pos(std::sin(lon) * f.cosEps, std::cos(lon));
}

void SetOpposites(HouseCusps& c) {
    for (int h = 1; h <= 6; ++h) c[h + 6] = c[h] + kPi;
}

// Cusps 11, 12, 2, 3 by trisection of the ecliptic quadrants between MC and Asc.
void TrisectQuadrants(HouseCusps& c, double mc, double asc) {
    c[10] = mc;
    c[1] = asc;
    const double q = NormAngle(asc - mc) / 3;
    c[11] = mc + q;
    c[12] = mc + 2 * q;
    const double q2 = NormAngle(mc + kPi - asc) / 3;
    c[2] = asc + q2;
    c[3] = asc + 2 * q2;
    c[4] = mc + kPi;
    c[7] = asc + kPi;
    c[5] = c[11] + kPi;
    c[6] = c[12] + kPi;
    c[8] = c[2] + kPi;
    c[9] = c[3] + kPi;
}

// Twelve cusps 30° apart, cusp `first` at `start`.
void EqualFrom(HouseCusps& c, int first, double start) {
    for (int j = 0; j < 12; ++j) c[1 + (first - 1 + j) % 12] = start + j * kDeg30;
}

// Topocentric (Polich-Page): cusps on the ascendant formula with poles of tan φ scaled by
// thirds.
void PolichPage(HouseCusps& c, const Frame& f) {
    const double tanPhi = f.tanPhi;
    for (int i = 0; i <= 5; ++i) {
        const double h = f.ramc + i * kDeg30;
        const double pole = (i <= 2 ? 1.0 - i / 3.0 : i / 3.0 - 1.0) * tanPhi;
        const double d = i <= 3 ? -(std::sin(h) * f.cosEps + f.sinEps * pole)
                                : -(std::sin(h) * f.cosEps - f.sinEps * pole);
        c[i + 1] = ArcTan2Pos(std::cos(h), d);
    }
    for (int h = 1; h <= 6; ++h) c[h + 6] = c[h] + kPi;
}

// Koch: the ascendants at the moments that divide the midheaven's diurnal semi-arc in thirds.
void Koch(HouseCusps& c, const Frame& f, double mc, double asc) {
    const double tanPhi = f.tanPhi;
    const double d = std::clamp(-(f.sinEps / f.cosEps) * tanPhi * std::sin(f.ramc), -1.0, 1.0);
    const double semiArc = std::acos(d); // diurnal semi-arc of the midheaven
    c[10] = mc;
    c[1] = asc;
    c[11] = CuspAngle(f.ramc - 2 * semiArc / 3, f);
    c[12] = CuspAngle(f.ramc - semiArc / 3, f);
    c[2] = CuspAngle(f.ramc + semiArc / 3, f);
    c[3] = CuspAngle(f.ramc + 2 * semiArc / 3, f);
    c[4] = mc + kPi;
    c[7] = asc + kPi;
    c[5] = c[11] + kPi;
    c[6] = c[12] + kPi;
    c[8] = c[2] + kPi;
    c[9] = c[3] + kPi;
}

// Alcabitius: the right-ascension arc between the meridian and the ascendant in thirds.
void Alcabitius(HouseCusps& c, const HouseFrame& f, double mc, double asc) {
    const double m = RAOfLongitude(mc, f);
    const double a = RAOfLongitude(asc, f);
    const double d = NormAngle(a - m) / 3;
    const double d2 = NormAngle(kPi + m - a) / 3;
    c[10] = mc;
    c[1] = asc;
    c[11] = LongitudeOfRA(m + d, f);
    c[12] = LongitudeOfRA(m + 2 * d, f);
    c[2] = LongitudeOfRA(a + d2, f);
    c[3] = LongitudeOfRA(a + 2 * d2, f);
    c[4] = mc + kPi;
    c[7] = asc + kPi;
    c[5] = c[11] + kPi;
    c[6] = c[12] + kPi;
    c[8] = c[2] + kPi;
    c[9] = c[3] + kPi;
}

// Regiomontanus: great circles through the north and south points of the horizon that divide
// the equator in twelve from the east point.
void Regiomontanus(HouseCusps& c, const Frame& f) {
    const double tanPhi = f.tanPhi;
    for (int i = 1; i <= 6; ++i) {
        const double e = (30.0 * i + 60.0) * kDegToRad;
        const double h = f.ramc + e;
        c[i] = ArcTan2Pos(std::sin(h), std::cos(h) * f.cosEps - std::sin(e) * tanPhi * f.sinEps);
    }
    SetOpposites(c);
}

// Campanus: the same circles dividing the prime vertical in twelve; each circle meets the
// equator at the hour angle P with tan P = tan E·cos φ.
void Campanus(HouseCusps& c, const Frame& f) {
    const double tanPhi = f.tanPhi;
    for (int i = 1; i <= 6; ++i) {
        const double e = (30.0 * i + 60.0 + 1e-9) * kDegToRad;
        const double p = kPi + std::atan(std::tan(e) * std::cos(f.lat));
        const double h = f.ramc + p;
        c[i] = ArcTan2Pos(std::sin(h), std::cos(h) * f.cosEps - std::sin(p) * tanPhi * f.sinEps);
    }
    SetOpposites(c);
}

// Morinus: equal divisions of the equator from the east point, projected onto the ecliptic
// through the ecliptic poles.
void Morinus(HouseCusps& c, const HouseFrame& f) {
    for (int n = 1; n <= 12; ++n) {
        const double h = f.ramc + kPi / 2 + kDeg30 * (n - 1);
        c[n] = ArcTan2Pos(std::sin(h) * f.cosEps, std::cos(h));
    }
}

// The three systems on the Sun's day and night arcs.
void Jamaspa(HouseCusps& c, int system, const HouseFrame& f, const SunArcs& t, double mc) {
    double asc;
    if (t.t0 < t.t3)
        asc = f.sun + kPi * (t.t0 - t.t1) / NonZeroGuard(t.t3 - t.t1);
    else
        asc = f.sun - kPi * (t.t2 - t.t0) / NonZeroGuard(t.t2 - t.t3);
    if (system == kHousesJamaspa) mc = f.sun + kPi * ((t.t0 - t.t1) - (t.t3 - t.t0));
    if (system == kHousesJamaspaEqual)
        EqualFrom(c, 1, asc);
    else
        TrisectQuadrants(c, NormAngle(mc), NormAngle(asc));
}

} // namespace

namespace {

// The Placidus cusp for a frame with tan φ at hand (see PlacidusCusp).
double PlacidusOf(const Frame& f, double fraction, bool aboveHorizon, double* offset = nullptr,
                  bool known = false) {
    // tan δ = tan ε·sin α on the ecliptic; the ascensional difference is asin(tan δ·tan φ).
    // The cusp's right ascension α solves α = target(α); Newton's method on α − target(α),
    // whose slope 1 − fraction·k·cos α / √(1 − k² sin² α) stays positive outside the polar
    // circles (|k| < 1), with the plain iteration as the fallback inside them.
    const double k = f.sinEps / f.cosEps * f.tanPhi;
    const double base =
        aboveHorizon ? f.ramc + fraction * kPi / 2 : f.ramc + kPi - fraction * kPi / 2;
    const bool newton = std::fabs(k) < 0.999;
    // Newton's root is the only one, so an earlier cusp is a safe start; the plain iteration
    // keeps its own start, as where it ends may depend on it.
    double ra = known && newton ? base + *offset : base;
    for (int round = 0; round < 5000; ++round) {
        const double sa = std::sin(ra);
        const double x = std::clamp(k * sa, -1.0, 1.0);
        const double target = base + fraction * std::asin(x);
        double step = target - ra;
        if (newton) step /= 1 - fraction * k * std::cos(ra) / std::sqrt(1 - x * x);
        ra += step;
        // Newton's error after a step s is of the order s²: a step under 1e-8 leaves 1e-15.
        if (std::fabs(step) < (newton ? 1e-8 : 1e-13)) break;
    }
    if (offset) *offset = ra - base;
    return LongitudeOfRA(ra, f);
}

} // namespace

double MidheavenOf(const HouseFrame& f) {
    return Midheaven(Frame(f));
}

double HouseCuspAngle(double x, const HouseFrame& f) {
    return CuspAngle(x, Frame(f));
}

double PlacidusCusp(const HouseFrame& f, double fraction, bool aboveHorizon) {
    return PlacidusOf(Frame(f), fraction, aboveHorizon);
}

std::optional<HouseCusps> ComputeHouseCusps(int system, const HouseFrame& frame,
                                            const SunArcs* arcs, PlacidusStart* start) {
    HouseCusps c{};
    const Frame f(frame);
    const double mc = Midheaven(f);
    const double asc = Ascendant(f);
    switch (system) {
    case kHousesPolichPage:
        PolichPage(c, f);
        break;
    case kHousesPlacidus: {
        PlacidusStart none;
        PlacidusStart& p = start ? *start : none;
        c[10] = mc;
        c[1] = asc;
        c[11] = PlacidusOf(f, 1.0 / 3, true, &p.offset[0], p.known);
        c[12] = PlacidusOf(f, 2.0 / 3, true, &p.offset[1], p.known);
        c[2] = PlacidusOf(f, 2.0 / 3, false, &p.offset[2], p.known);
        c[3] = PlacidusOf(f, 1.0 / 3, false, &p.offset[3], p.known);
        p.known = true;
        c[4] = mc + kPi;
        c[7] = asc + kPi;
        c[5] = c[11] + kPi;
        c[6] = c[12] + kPi;
        c[8] = c[2] + kPi;
        c[9] = c[3] + kPi;
        break;
    }
    case kHousesKoch:
        Koch(c, f, mc, asc);
        break;
    case kHousesPorphyry:
        TrisectQuadrants(c, mc, asc);
        break;
    case kHousesAlcabitius:
        Alcabitius(c, f, mc, asc);
        break;
    case kHousesRegiomontanus:
        Regiomontanus(c, f);
        break;
    case kHousesCampanus:
        Campanus(c, f);
        break;
    case kHousesMorinus:
        Morinus(c, f);
        break;
    case kHousesEqualMC:
        EqualFrom(c, 10, mc);
        break;
    case kHousesEqualAsc:
        EqualFrom(c, 1, asc);
        break;
    case kHousesSolarBalance:
        EqualFrom(c, 1, f.sun);
        break;
    case kHousesDraconic:
        EqualFrom(c, 1, f.northNode);
        break;
    case kHousesEarth:
        EqualFrom(c, 10, kPi / 2);
        break;
    case kHousesSolar:
        EqualFrom(c, 4, f.sun);
        break;
    case kHousesLunar:
        EqualFrom(c, 10, f.moon);
        break;
    case kHousesJamaspa:
    case kHousesJamaspaEqual:
    case kHousesJamaspaMC:
        if (!arcs) return std::nullopt;
        Jamaspa(c, system, f, *arcs, mc);
        break;
    default:
        return std::nullopt;
    }
    // The small shift lets a cusp of exactly 360° become 0°.
    for (int h = 1; h <= 12; ++h) c[h] = NormAngle(c[h] + 1e-9);
    return c;
}

bool HouseSystemFailsAtHighLatitude(int system) {
    return !(system == kHousesMorinus || system == kHousesEqualMC ||
             (system >= kHousesSolarBalance && system <= kHousesLunar));
}

namespace {

struct HouseNames {
    std::array<std::string, kHouseSystemCount + 1> russian, english;
};

const HouseNames& Names() {
    static const HouseNames names = [] {
        HouseNames n;
        const char* ru[] = {"Полих-Пейдж",
                            "Плацидус",
                            "Кох",
                            "Порфирий",
                            "Алькабитус",
                            "Региомонтанус",
                            "Кампанус",
                            "Моринус",
                            "Равнодомная от МС",
                            "Равнодомная от Asc",
                            "Солярное равновесие",
                            "Драконическая",
                            "Земная",
                            "Солнечная",
                            "Лунная",
                            "Джамаспа",
                            "Джамаспа равнодомная",
                            "Джамаспа (МС)"};
        const char* en[] = {"Polich-Page",   "Placidus",       "Koch",          "Porphyry",
                            "Alcabitius",    "Regiomontanus",  "Campanus",      "Morinus",
                            "Equal from MC", "Equal from Asc", "Solar balance", "Draconic",
                            "Terrestrial",   "Solar",          "Lunar",         "Jamaspa",
                            "Jamaspa equal", "Jamaspa (MC)"};
        for (int i = 0; i < kHouseSystemCount; ++i) {
            n.russian[i + 1] = Cp(ru[i]);
            n.english[i + 1] = en[i];
        }
        return n;
    }();
    return names;
}

} // namespace

const std::string& HouseSystemName(int system, bool english) {
    const auto& n = Names();
    if (system < 1 || system > kHouseSystemCount) return n.russian[0];
    return english ? n.english[system] : n.russian[system];
}

std::optional<int> HouseSystemFromText(std::string_view text) {
    const auto& n = Names();
    for (int i = 1; i <= kHouseSystemCount; ++i)
        if (text == n.russian[i] || text == n.english[i]) return i;
    return std::nullopt;
}

} // namespace qor
