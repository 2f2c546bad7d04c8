#include "sky/CosmosSearch.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/CosmosSteering.h"
#include "sky/DeepSky.h"
#include "sky/ObjectSearch.h"
#include "sky/StarCatalogue.h"
#include "sky/StarInfo.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr double kKiloLightYearsToParsec = 1000 / 3.259;
constexpr int kAimMargin = 20;  // pixels from the middle that count as aimed
constexpr int kLastPass = 31;
constexpr double kDiscMargin = 10;          // pixels: a wider centre disc is zoomed away from
constexpr double kWidestView = 2.0626e8;    // AU, a thousand parsecs

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string WithoutBlanks(std::string t) {
    t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
    return t;
}

SpaceVector Direction(double lon, double lat, double r) {
    return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon),
            r * std::sin(lat)};
}

// A direction for the line of sight, turned from the target's own `dir` so that the target
// (reachPx pixels beyond the centre, the eye `eye` pixels before it) shows `offsetPx` pixels
// from the middle of the picture.
SpaceVector BesideTheDisc(const SpaceVector& dir, double offsetPx, double reachPx, double eye) {
    const double n = Length(dir);
    SpaceVector u{dir.x / n, dir.y / n, dir.z / n};
    SpaceVector across{u.y, -u.x, 0}; // square to the target and to the ecliptic's pole
    double m = Length(across);
    if (m < 1e-9) {
        across = {1, 0, 0};
        m = 1;
    }
    across = {across.x / m, across.y / m, across.z / m};
    // seen through the perspective: eye * reach * sin α / (eye + reach * cos α) = offset
    const double A = eye * reachPx, B = -offsetPx * reachPx;
    const double hyp = std::hypot(A, B);
    const double alpha =
        std::asin(std::clamp(offsetPx * eye / NonZeroGuard(hyp), -1.0, 1.0)) - std::atan2(B, A);
    const double c = std::cos(alpha), s = std::sin(alpha);
    return {u.x * c + across.x * s, u.y * c + across.y * s, u.z * c + across.z * s};
}

} // namespace

CosmosTarget FindCosmosObject(AstroDat& s, const CosmosBodies& b, const StarCatalogue& c,
                              const DeepCatalogue& d, const std::string& name) {
    if (name.empty()) return {};
    NamesAs words(s, false, s.ShortNames);
    for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i)
        if (Trim(d.DeepObjs[i].Code) == name || DeepObjText(s, d, i, 0) == name)
            return {CosmosTargetKind::Deep, i};
    const int stars = std::min<int>(c.StarCount, static_cast<int>(c.YaleStars.size()) - 1);
    if (name[0] == '*') {
        const int bs = SearchedBS(name);
        for (int i = 1; i <= stars && bs >= 0; ++i)
            if (c.YaleStars[i].BS == bs) return {CosmosTargetKind::Star, i};
    }
    for (int i = 1; i <= stars; ++i) {
        const int offset = c.YaleStars[i].NameOffset;
        if (offset > 0 && StartsWith(StarTextEntry(c.StarNames, offset), name))
            return {CosmosTargetKind::Star, i};
    }
    for (int i = 0; i <= 10; ++i)
        if (i != 2 && StartsWith(BodyName(s, i), name)) return {CosmosTargetKind::Body, i};
    const int mode = b.CosmosMode;
    const int slot = CosmosModeSlot(mode);
    if (mode != 1 && slot >= 0) {
        for (int k = 1; k <= SatelliteCount(mode) && slot + k < kPlanetsMdbSlots; ++k)
            if (StartsWith(WithoutBlanks(b.PlanetsMdb[slot + k].Name), name))
                return {CosmosTargetKind::Satellite, k};
    }
    return {};
}

double PairMidDirection(const AstroDat& s, int a, int b) {
    if (a < 0 || b < 0 || a >= kBodyRecords || b >= kBodyRecords) return 0;
    const double delta = NormAngle(s.Bodies[a][kBodyHelioLon] - s.Bodies[b][kBodyHelioLon]);
    const double ra = s.Bodies[a][kBodyHelioRadius], rb = s.Bodies[b][kBodyHelioRadius];
    const double half = delta / 2;
    const double k = (ra - rb) / NonZeroGuard(ra + rb);
    // Both angles of the triangle beside the Sun add up to π − Δ; their difference follows
    // from the law of tangents. At Δ = 0 the three lie on one line.
    const double diff =
        std::sin(half) == 0 ? (k >= 0 ? kPi : -kPi) : 2 * std::atan(std::cos(half) * k / std::sin(half));
    return NormAngle((kPi + diff - delta) / 2);
}

AimPoint CosmosTargetPoint(const AstroDat& s, const CosmosView& v, const CosmosBodies& b,
                           const StarCatalogue& c, const DeepCatalogue& d, CosmosTarget t) {
    AimPoint a;
    const int mode = b.CosmosMode;
    const bool starView = mode == -1;
    const double ppa = v.PixelsPerAu;
    double unit = ppa; // pixels per unit of `dir`
    switch (t.kind) {
    case CosmosTargetKind::None:
        return a;
    case CosmosTargetKind::Star:
    case CosmosTargetKind::Deep: {
        double lon, lat, pc;
        if (t.kind == CosmosTargetKind::Star) {
            if (t.index < 1 || t.index >= static_cast<int>(c.StarLon.size())) return a;
            lon = c.StarLon[t.index];
            lat = c.StarLat[t.index];
            pc = c.YaleStars[t.index].Distance / 1000.0;
            if (c.YaleStars[t.index].Distance < 1) pc = 100;
        } else {
            if (t.index < 1 || t.index >= static_cast<int>(d.DeepObjs.size())) return a;
            const DeepRec& o = d.DeepObjs[t.index];
            lon = o.Lon;
            lat = o.Lat;
            pc = StrToFloatHM(o.Distance) * kKiloLightYearsToParsec;
            if (!(pc > 0)) pc = 100;
        }
        a.dir = Direction(lon, lat, pc);
        if (starView) a.dir = a.dir - v.Observer;
        unit = kCosmosAuPerParsec * ppa;
        a.sky = true;
        break;
    }
    case CosmosTargetKind::Body:
        if (t.index < 0 || t.index > 26) return a;
        if (starView) {
            // from a star the solar system is one point: the Sun's
            a.dir = SpaceVector{} - v.Observer;
            unit = kCosmosAuPerParsec * ppa;
        } else {
            a.dir = HelioPosition(s, t.index) - HelioPosition(s, v.CentrePoint);
        }
        break;
    case CosmosTargetKind::Satellite: {
        if (t.index < 1 || t.index >= kSatFrames) return a;
        const SatFrame& f = v.SatFrames[t.index];
        if (f.OrbitRadiusPx == 0) return a; // not shown in this picture
        if (f.ChartPlace) {
            a.dir = f.Place;
        } else {
            const Matrix3& m = f.OrbitMatrix;
            const double r = f.OrbitRadiusPx / NonZeroGuard(ppa);
            const double x = r * std::cos(f.Anomaly), y = r * std::sin(f.Anomaly);
            a.dir = {m[0] * x + m[1] * y, m[3] * x + m[4] * y, m[6] * x + m[7] * y};
        }
        break;
    }
    }
    a.valid = true;
    a.reachPx = Length(a.dir) * unit;
    double x = a.dir.x * unit, y = a.dir.y * unit, z = a.dir.z * unit;
    ApplyMatrix3(b.Bank.Mode(mode), x, y, z);
    MatrixBank bank = b.Bank;
    bool inFront = true;
    if (!v.FlatProjection) {
        PerspectiveDivide(bank, x, y, z, v.DrawWidth);
        inFront = bank.InFront;
    }
    a.x = b.Bank.ScreenCX - x;
    a.y = b.Bank.ScreenCY + y;
    // The sky is drawn behind the picture (in the star view: before the eye).
    a.front = inFront && (!a.sky || (starView ? z < v.DrawWidth : z < 0));
    return a;
}

void AimModeAt(CosmosBodies& b, const SpaceVector& dir, bool towardEye) {
    const double n = Length(dir);
    if (!(n > 0)) return;
    const double side = towardEye ? 1 : -1;
    // The view's z axis is the matrix's last row (sin θ sin φ, −sin θ cos φ, cos θ).
    const double ux = side * dir.x / n, uy = side * dir.y / n, uz = side * dir.z / n;
    const int mode = b.CosmosMode;
    b.ModeAngleX(mode) = std::acos(std::clamp(uz, -1.0, 1.0));
    if (std::hypot(ux, uy) > 1e-12) b.ModeAngleZ(mode) = std::atan2(ux, -uy);
    SetRotationMatrixN(b.Bank, mode);
}

double MoonViewScale(const CosmosBodies& b, int k) {
    const int mode = b.CosmosMode;
    const int slot = CosmosModeSlot(mode);
    if (mode == 1 || slot < 0 || k < 1 || k > SatelliteCount(mode) ||
        slot + k >= kPlanetsMdbSlots)
        return 0;
    return std::min(10 * b.PlanetsMdb[slot + k].Axis, 3000.0);
}

AimOutcome AimInPasses(int width, int height, const std::function<AimPoint()>& look,
                       const std::function<void(const AimPoint&)>& turn) {
    AimOutcome out;
    long xs[kLastPass + 1] = {};
    for (int pass = 1; pass <= kLastPass; ++pass) {
        const AimPoint a = look();
        out.passes = pass;
        if (!a.valid) return out;
        out.x = a.x;
        out.y = a.y;
        const bool centred = a.front && std::fabs(a.x - width / 2.0) <= kAimMargin &&
                             std::fabs(a.y - height / 2.0) <= kAimMargin;
        if (centred || pass == kLastPass) {
            out.found = true;
            return out;
        }
        xs[pass] = std::isfinite(a.x) ? std::lround(std::clamp(a.x, -1e9, 1e9)) : -2000000000L;
        if (pass >= 7 && xs[pass] == xs[pass - 2]) return out; // swinging to and fro
        turn(a);
    }
    return out;
}

AimOutcome AimCosmosAt(const AstroDat& s, const CosmosView& v, CosmosBodies& b,
                       const StarCatalogue& c, const DeepCatalogue& d, CosmosTarget t,
                       const std::function<void()>& redraw) {
    if (t.kind == CosmosTargetKind::Satellite) {
        const double scale = MoonViewScale(b, t.index);
        if (scale > 0) b.CosmosScale(b.CosmosMode) = std::max(scale, ModeScaleFloor(b.CosmosMode));
    }
    redraw();
    const auto look = [&] {
        if (v.DrawWidth <= 0) return AimPoint{};
        return CosmosTargetPoint(s, v, b, c, d, t);
    };
    AimOutcome aim = AimInPasses(v.DrawWidth, v.DrawHeight, look, [&](const AimPoint& a) {
        // A body comes before the centre while it stays well before the eye; the sky and the
        // far bodies lie beyond it, set beside its disc so that the disc does not hide them.
        const bool toward = !a.sky && a.reachPx < v.DrawWidth / 2.0;
        double radius = v.CentreRadius, reach = a.reachPx;
        if (!toward && radius > kDiscMargin) {
            const double factor = std::max(1.1, radius / (kDiscMargin - 1));
            double& scale = b.CosmosScale(b.CosmosMode);
            scale = std::min(scale * factor, kWidestView);
            radius /= factor;
            reach /= factor;
        }
        SpaceVector dir = a.dir;
        if (!toward && std::lround(radius) >= 1)
            dir = BesideTheDisc(a.dir, std::lround(radius) + 3, reach, v.DrawWidth);
        AimModeAt(b, dir, toward);
        redraw();
    });
    redraw();
    if (aim.found) {
        const AimPoint last = look();
        if (last.valid) {
            aim.x = last.x;
            aim.y = last.y;
        }
    }
    return aim;
}

} // namespace qor
