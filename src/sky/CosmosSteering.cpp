#include "sky/CosmosSteering.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "sky/StarInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qor {

namespace {

constexpr double kShipLeastScale = 1.3368983957219251e-08; // 2 km in AU

bool Near(double ax, double ay, int x, int y) {
    return std::abs(ax - x) + std::abs(ay - y) < 5;
}

} // namespace

CosmosPick CosmosHitTest(const CosmosView& v, const CosmosBodies& b, StarCatalogue& stars,
                         const DeepCatalogue& deep, int x, int y) {
    CosmosPick p;
    double best = 999;
    const MatrixBank& bank = b.Bank;
    const bool starView = b.CosmosMode == -1 && b.CosmosStarBS != 0;
    auto take = [&](PickKind kind, int code, double px, double py, double m) {
        p.kind = kind;
        p.code = code;
        p.x = static_cast<int>(std::lround(px));
        p.y = static_cast<int>(std::lround(py));
        p.magnitude = m;
        best = m;
    };
    const double r2 = std::max(25.0, double(v.CentreRadius) * v.CentreRadius);
    const double dcx = bank.ScreenCX - x, dcy = bank.ScreenCY - y;
    if (!starView) {
        // 1. the satellites (in the Sun's view the planets and extra bodies)
        for (int k = 1; k <= v.SatCount && k < kSatFrames; ++k) {
            const SatFrame& f = v.SatFrames[k];
            if (f.OrbitRadiusPx == 0 || f.Magnitude >= 999) continue;
            const double dx = f.ScreenX - x, dy = f.ScreenY - y;
            if (std::abs(dx) >= 999 || std::abs(dy) >= 999) continue;
            if (dx * dx + dy * dy < std::max(15.0, f.DiscRadiusPx * f.DiscRadiusPx)) {
                take(PickKind::Satellite, k, f.ScreenX, f.ScreenY, f.Magnitude);
                return p;
            }
        }
        // 2. the centre body
        if (dcx * dcx + dcy * dcy <= r2 && v.CentreMagnitude < best) {
            take(PickKind::Centre, 0, bank.ScreenCX, bank.ScreenCY, v.CentreMagnitude);
            return p;
        }
        // 3. the centres of the other views, as drawn
        if (b.CosmosMode != 1)
            for (int j = 1; j <= kMaxCosmosMode; ++j) {
                const ModeBody& m = v.ModeBodies[j];
                if (!m.shown || !Near(m.x, m.y, x, y) || m.magnitude >= best) continue;
                take(PickKind::ModeBody, 100 + j, m.x, m.y, m.magnitude);
                return p;
            }
    } else {
        // 4. the Sun, 5. the centre star's disc
        const double sx = bank.ScreenCX - v.SunScreen.x, sy = bank.ScreenCY + v.SunScreen.y;
        if (v.SunShown && Near(sx, sy, x, y) && best > 4) {
            take(PickKind::Star, kPickStarBase, sx, sy, 4);
            return p;
        }
        const int centre = StarIndexOfBS(stars, b.CosmosStarBS);
        if (centre > 0 && dcx * dcx + dcy * dcy <= r2) {
            take(PickKind::Star, kPickStarBase + centre, bank.ScreenCX, bank.ScreenCY,
                 stars.YaleStars[centre].Mag);
            return p;
        }
    }
    // 6. the deep-sky objects drawn
    for (int i = 1; i <= deep.DeepCount && i < static_cast<int>(deep.DeepObjs.size()); ++i) {
        const DeepRec& o = deep.DeepObjs[i];
        if (o.ScreenX <= 0 || !Near(o.ScreenX, o.ScreenY, x, y)) continue;
        take(PickKind::Deep, kPickDeepBase + i, o.ScreenX, o.ScreenY, o.Mag);
        return p;
    }
    // 7. the stars drawn: the brightest, or a named one over a nameless one
    const ScreenStarTable& shown = v.ScreenStars;
    bool bestNamed = false;
    for (int i = 1; i <= shown.Count; ++i) {
        if (!Near(shown.X[i], shown.Y[i], x, y)) continue;
        const int s = shown.StarIndex[i];
        const YaleRec& star = stars.YaleStars[s];
        const bool named = star.NameOffset != 0;
        if (p.kind == PickKind::None || star.Mag < best || (!bestNamed && named)) {
            take(PickKind::Star, kPickStarBase + s, shown.X[i], shown.Y[i], star.Mag);
            bestNamed = named;
        }
    }
    return p;
}

std::string CosmosObjectCaption(AstroDat& s, CosmosView& v, const CosmosBodies& b,
                                StarCatalogue& stars, const DeepCatalogue& deep,
                                const CosmosPick& pick) {
    const int code = pick.code;
    const int mode = b.CosmosMode;
    switch (pick.kind) {
    case PickKind::Centre:
    case PickKind::Satellite: {
        const int slot = mode == 1 ? CosmosModeSlot(1 + code) : CosmosModeSlot(mode) + code;
        if (slot < 0 || slot >= kPlanetsMdbSlots) return {};
        if (pick.kind == PickKind::Centre) {
            if (v.CentreRadius > 3) return {};
            v.EyeDistance = v.DrawWidth / NonZeroGuard(v.PixelsPerAu);
        } else {
            v.EyeDistance = (v.DrawWidth - v.SatFrames[code].ScreenZ) / NonZeroGuard(v.PixelsPerAu);
        }
        return Trim(b.PlanetsMdb[slot].Name) + " " + DistanceText(s, v.EyeDistance);
    }
    case PickKind::ModeBody: {
        const int k = code - 100;
        const int slot = CosmosModeSlot(k);
        if (slot < 0) return {};
        return Trim(b.PlanetsMdb[slot].Name) + " " + DistanceText(s, v.ModeBodies[k].distance);
    }
    case PickKind::Star:
        if (code == kPickStarBase) return Lang(s, Cp("Солнце"), "Sun");
        return Trim(StarDesignation(s, stars, code - kPickStarBase, false));
    case PickKind::Deep: {
        const int i = code - kPickDeepBase;
        const std::string name = Trim(DeepObjText(s, deep, i, 0));
        const std::string head = Trim(deep.DeepObjs[i].Code);
        return name.empty() ? head : head + " (" + name + ")";
    }
    default:
        return {};
    }
}

ClickOutcome CosmosClickOutcome(const CosmosBodies& b, const StarCatalogue& stars, int code) {
    ClickOutcome o;
    if (code == 0) return o;
    const int mode = b.CosmosMode;
    if (code >= 1 && code <= 26) {
        if (mode != 1 || code + 1 > kMaxCosmosMode) return o;
        o.newMode = code + 1;
    } else if (code >= 100 && code <= 110) {
        o.newMode = code - 100;
    } else if (IsStarPick(code)) {
        const int s = code - kPickStarBase;
        if (s > stars.StarCount) return o;
        if (stars.YaleStars[s].Distance < 1) {
            o.noDistance = true;
            return o;
        }
        if (mode == -1 && stars.YaleStars[s].BS == b.CosmosStarBS) return o;
        o.centreOnStar = s;
        o.newMode = -1;
    } else if (IsDeepPick(code)) {
        o.deepPicture = code - kPickDeepBase;
    } else if (code == -1) {
        o.newMode = 0;
    } else {
        o.newMode = 1; // 27..99, other negatives, the Sun of the star view, the free bodies
    }
    o.handled = true;
    if (code > kPickStarBase) {
        o.sound = "Long.wav";
    } else {
        const int slot = CosmosModeSlot(o.newMode == 1000 ? mode : o.newMode);
        const bool ship = slot >= kFirstFreeSlot && IsShipName(b.PlanetsMdb[slot].Name);
        o.sound = ship ? "Ship.wav" : "Short.wav";
    }
    return o;
}

void TurnModeAngle(CosmosBodies& b, char axis, double degrees) {
    const int mode = b.CosmosMode;
    if (!IsViewMode(mode)) return;
    double& a = axis == 'X'   ? b.ModeAngleX(mode)
                : axis == 'Z' ? b.ModeAngleZ(mode)
                              : b.ModeAngleF(mode);
    if (std::abs(a) > 4 * kPi) a = 0.001;
    a = NormAngle(NonZeroGuard(a + degrees * kPi / 180));
}

void CosmosZoom(CosmosBodies& b, const CosmosView& v, double factor, bool shipCentre) {
    const int mode = b.CosmosMode;
    if (!IsViewMode(mode)) return;
    double& scale = b.CosmosScale(mode);
    double radius = v.CentreRadius;
    const double height = std::max(1, v.DrawHeight), width = std::max(1, v.DrawWidth);
    // a disc larger than the picture is first brought to half its height
    if (radius > height) {
        scale = scale * radius / (height / 2);
        radius = height / 2;
    }
    if (factor == 0) return;
    if (factor < 1 && radius / factor >= width) factor = radius / height;
    if (factor > 0) scale *= factor;
    if (shipCentre) scale = std::max(scale, kShipLeastScale);
    scale = std::min(scale, 1000 * kCosmosAuPerParsec);
    scale = std::max(scale, 1e-12);
}

void CosmosKey(CosmosBodies& b, const CosmosView& v, char key, double step, bool shipCentre) {
    if (step == 0) step = 1;
    switch (key) {
    case 'x':
        TurnModeAngle(b, 'X', 0.1 * step);
        break;
    case 'X':
        TurnModeAngle(b, 'X', -0.1 * step);
        break;
    case 'z':
        TurnModeAngle(b, 'Z', 0.1 * step);
        break;
    case 'Z':
        TurnModeAngle(b, 'Z', -0.1 * step);
        break;
    case 'l':
        CosmosZoom(b, v, 1.000100010001 * step, shipCentre);
        break;
    case 'L':
        CosmosZoom(b, v, 0.9999 / step, shipCentre);
        break;
    default:
        break;
    }
}

double ModeScaleFloor(int mode) {
    if (mode == 1) return 1.0;
    if (mode >= 2 && mode <= 10) return 0.001;
    return 1e-8;
}

bool RestoreCosmosView(CosmosBodies& b, const std::string& text, std::string& problem) {
    std::string rest = text;
    const std::string modeText = NextField(rest, ';');
    const int mode = StrToIntDef0(modeText);
    if (!IsViewMode(mode)) {
        problem = "SetOrbitPos: no view " + modeText;
        return false;
    }
    const double scale = StrToFloatHM(NextField(rest, ';'));
    const double ax = StrToFloatHM(NextField(rest, ';'));
    const double az = StrToFloatHM(NextField(rest, ';'));
    b.CosmosMode = mode;
    b.CosmosScale(mode) = std::max(scale, ModeScaleFloor(mode));
    b.ModeAngleX(mode) = ax;
    b.ModeAngleZ(mode) = az;
    return true;
}

bool ParseOrbitRun(const std::string& text, OrbitRun& run, std::string& problem) {
    std::string rest = text;
    const std::string op = NextField(rest, ';');
    run.op = op.empty() ? ' ' : op[0];
    run.amount = StrToFloatHM(NextField(rest, ';'));
    const auto count = ParseWholeInteger(Trim(rest));
    const long long n = count ? *count : 0; // a count that is no number runs nothing
    run.count = static_cast<int>(std::clamp<long long>(n, -1, 10001));
    if (n < 0 || n > 10000) {
        problem = "RunOrbitPos: the count must be 0..10000";
        return false;
    }
    return true;
}

void OrbitRunStep(CosmosBodies& b, const OrbitRun& run) {
    const int mode = b.CosmosMode;
    if (!IsViewMode(mode)) return;
    switch (run.op) {
    case 'D':
        b.CosmosScale(mode) = std::max(b.CosmosScale(mode) + run.amount, ModeScaleFloor(mode));
        break;
    case 'Q':
        b.ModeAngleX(mode) += run.amount;
        break;
    case 'V':
        b.ModeAngleZ(mode) += run.amount;
        break;
    default:
        break;
    }
}

} // namespace qor
