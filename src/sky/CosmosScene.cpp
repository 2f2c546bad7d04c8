#include "sky/CosmosScene.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/BodyPoles.h"
#include "sky/DeepSky.h"
#include "sky/StarCatalogue.h"
#include "sky/StarMarks.h"
#include "sky/Surface.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr ui::Colour kAqua = 0xFFFF00, kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kSilver = 0xC0C0C0,
                     kGrey = 0x808080, kBlack = 0;
constexpr ui::Colour kOrbitNear = 0xA8A8A8, kOrbitFar = 0x505050, kSchemeColour = 0x00B0B0,
                     kGridColour = 0x909090;
constexpr double kKmPerLightYearThousands = 1000 / 3.259; // thousands of light years -> pc
constexpr double kEarthRotation = 6.301564871387801;      // radians a day
constexpr double kDefaultRotationHours = 23.93;

bool Usable(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && std::abs(x) <= kMaxScreenCoord &&
           std::abs(y) <= kMaxScreenCoord;
}

int Round(double x) {
    return static_cast<int>(std::lround(x));
}

// The body-table slot of the satellites of each planet-centred mode follows the planet's.
int SatelliteSlot(int mode, int k) {
    return mode == 1 ? CosmosModeSlot(k + 1) : CosmosModeSlot(mode) + k;
}

// Thousands separated by blanks in a text without a decimal comma.
std::string GroupThousands(std::string t) {
    if (t.find(',') != std::string::npos) return t;
    if (t.size() > 3) t.insert(t.size() - 3, " ");
    if (t.size() > 7) t.insert(t.size() - 7, " ");
    return t;
}

// At least 100: the whole number with the digits after the third set to 0; 10 up to 100 one
// decimal; below 10 two.
std::string ThreeRules(double v) {
    if (v >= 100) {
        std::string digits = std::to_string(std::llround(v));
        for (std::size_t i = 3; i < digits.size(); ++i) digits[i] = '0';
        return digits;
    }
    return Trim(FloatToStrComma(0, v >= 10 ? 1 : 2, v));
}

// Where a line from (x1, y1) to (x2, y2) enters and leaves the box; false when it misses it.
bool ClipToBox(double& x1, double& y1, double& x2, double& y2, double w, double h) {
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 + 1, w - x1, y1 + 1, h - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

class CosmosPainter {
public:
    CosmosPainter(CosmosView& v, CosmosInputs& in, ui::OffscreenBitmap& bmp)
        : v_(v), in_(in), s_(in.s), b_(in.bodies), bank_(in.bodies.Bank), bmp_(bmp),
          cv_(bmp.canvas()) {}

    void Run() {
        ui::ClearBuffer(bmp_, kBlack);
        if (!IsViewMode(b_.CosmosMode)) b_.CosmosMode = 1;
        centreStar_ = StarIndexOfBS(in_.stars, b_.CosmosStarBS);
        if (b_.CosmosMode == -1 && centreStar_ == 0) b_.CosmosMode = 1;
        if (b_.CosmosMode != -1) centreStar_ = 0;
        mode_ = b_.CosmosMode;
        SetUp();
        Axes();
        if (centreStar_ > 0) v_.Observer = StarPlace(in_.stars, centreStar_);
        StarsAndDeepSky();
        if (centreStar_ > 0) {
            StarCentred();
        } else {
            PrepareCentre();
            if (mode_ != 1) ModeBodies();
            CentreAndSatellites();
        }
        ReadOut();
        if (!v_.CosmosHoverText.empty()) Text(v_.HoverX, v_.HoverY - 18, v_.CosmosHoverText, kAqua);
    }

private:
    // --- Set-up -------------------------------------------------------------------------
    void SetUp() {
        W_ = bmp_.Width();
        H_ = bmp_.Height();
        v_.DrawWidth = W_;
        v_.DrawHeight = H_;
        if (mode_ >= 0 && CosmosModePoint(mode_) >= 0) v_.CentrePoint = CosmosModePoint(mode_);
        v_.PixelsPerAu = W_ / NonZeroGuard(b_.CosmosScale(mode_));
        ppa_ = v_.PixelsPerAu;
        bank_.ScreenCX = W_ / 2 - 5;
        bank_.ScreenCY = H_ >> 1;
        cx_ = bank_.ScreenCX;
        cy_ = bank_.ScreenCY;
        SetRotationMatrixN(bank_, mode_);
        view_ = bank_.Mode(mode_);
        for (ModeBody& m : v_.ModeBodies) m = ModeBody{};
        for (SatFrame& f : v_.SatFrames) f = SatFrame{};
        v_.SatCount = 0;
        v_.SunShown = false;
        v_.CentreRadius = 0;
        v_.ShipPoint = 0;
    }

    // The turned position of a point given in view units relative to the centre, divided by
    // the perspective unless the projection is flat; false behind the eye.
    bool Project(double& x, double& y, double& z) {
        ApplyMatrix3(view_, x, y, z);
        if (!v_.FlatProjection) {
            PerspectiveDivide(bank_, x, y, z, W_);
            if (!bank_.InFront) return false;
        }
        return true;
    }

    bool Inside(double sx, double sy) const { return sx >= 0 && sy >= 0 && sx < W_ && sy < H_; }
    bool OnCentreDisc(double sx, double sy) const {
        const double dx = sx - cx_, dy = sy - cy_;
        return dx * dx + dy * dy < double(v_.CentreRadius) * v_.CentreRadius;
    }

    void Line(double x1, double y1, double x2, double y2, ui::Colour c) {
        if (!ClipToBox(x1, y1, x2, y2, W_, H_)) return;
        cv_.SetPenColor(c);
        cv_.MoveTo(Round(x1), Round(y1));
        cv_.LineTo(Round(x2), Round(y2));
    }

    void Text(double x, double y, const std::string& text, ui::Colour c) {
        cv_.SetBrushStyle(ui::BrushStyle::Clear);
        ui::BufTextOutSans(bmp_, Round(x), Round(y), text, c);
    }

    void Disc(double x, double y, double r, ui::Colour c) {
        cv_.SetPenColor(c);
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
        cv_.SetBrushColor(c);
        const int ix = Round(x), iy = Round(y), ir = Round(r);
        cv_.Ellipse(ix - ir, iy - ir, ix + ir + 1, iy + ir + 1);
    }

    // --- Axes -------------------------------------------------------------------------------
    void Axes() {
        bool scheme = false;
        if (mode_ >= 0)
            for (int k = 0; k <= 19; ++k) scheme |= b_.OrbitSchemeFlags[mode_][k] != 0;
        double ox, oy, len;
        if (scheme) {
            ox = cx_;
            oy = cy_;
            len = H_ / 2 - 30;
        } else {
            ox = W_ - 70;
            oy = 60;
            len = 50;
        }
        const char* letters[3] = {"X", "Y", "Z"};
        for (int a = 0; a < 3; ++a) {
            double p[3] = {0, 0, 0};
            p[a] = len;
            ApplyMatrix3(view_, p[0], p[1], p[2]);
            const ui::Colour c = p[2] < 0 ? kAqua : kWhite;
            Line(ox, oy, ox - p[0], oy + p[1], c);
            const double n = std::hypot(p[0], p[1]);
            const double ex = n > 0 ? -p[0] / n * 3 : 0, ey = n > 0 ? p[1] / n * 3 : 0;
            Text(ox - p[0] + ex - 3, oy + p[1] + ey - 7, letters[a], c);
        }
    }

    // --- Stars and deep-sky objects ------------------------------------------------------------
    bool InConstellation(const std::string& code) const {
        return in_.options.SelectedSozv.empty() || Trim(code) == Trim(in_.options.SelectedSozv);
    }

    // A point of space (parsecs, from the Sun) on the screen; false when it is not drawn.
    bool SpacePoint(double lon, double lat, double pc, double& sx, double& sy) {
        double x = pc * std::cos(lat) * std::cos(lon), y = pc * std::cos(lat) * std::sin(lon),
               z = pc * std::sin(lat);
        if (centreStar_ > 0) {
            x -= v_.Observer.x;
            y -= v_.Observer.y;
            z -= v_.Observer.z;
        }
        const double k = kCosmosAuPerParsec * ppa_;
        x *= k;
        y *= k;
        z *= k;
        if (!Project(x, y, z)) return false;
        // in the solar system's views only the sky behind the picture is drawn
        if (centreStar_ == 0 ? z >= 0 : z >= W_) return false;
        sx = cx_ - x;
        sy = cy_ + y;
        return Usable(sx, sy) && Inside(sx, sy);
    }

    void StarsAndDeepSky() {
        StarCatalogue& c = in_.stars;
        ScreenStarTable& shown = v_.ScreenStars;
        shown.Count = 0;
        shown.X.resize(kMaxStars + 1);
        shown.Y.resize(kMaxStars + 1);
        shown.StarIndex.resize(kMaxStars + 1);
        const bool withoutDistance = centreStar_ == 0;
        const int placed = std::min<int>(c.StarCount, static_cast<int>(c.StarLon.size()) - 1);
        for (int i = 1; i <= placed; ++i) {
            const YaleRec& y = c.YaleStars[i];
            if (!InConstellation(y.ConstellationCode())) continue;
            if (i == centreStar_) continue;
            double pc = y.Distance / 1000.0;
            if (y.Distance < 1) {
                if (!withoutDistance) continue;
                pc = 100;
            }
            double sx, sy;
            if (!SpacePoint(c.StarLon[i], c.StarLat[i], pc, sx, sy)) continue;
            DrawStarMark(cv_, Round(sx), Round(sy), y.Mag);
            if (shown.Count < kMaxStars) {
                ++shown.Count;
                shown.X[shown.Count] = Round(sx);
                shown.Y[shown.Count] = Round(sy);
                shown.StarIndex[shown.Count] = i;
            }
        }
        DeepCatalogue& d = in_.deep;
        for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
            DeepRec& o = d.DeepObjs[i];
            o.ScreenX = o.ScreenY = 0;
            if (!InConstellation(o.Constellation)) continue;
            double pc = StrToFloatHM(o.Distance) * kKmPerLightYearThousands;
            if (!(pc > 0)) {
                if (!withoutDistance) continue;
                pc = 100;
            }
            double sx, sy;
            if (!SpacePoint(o.Lon, o.Lat, pc, sx, sy)) continue;
            o.ScreenX = Round(sx);
            o.ScreenY = Round(sy);
            cv_.SetBrushStyle(ui::BrushStyle::Solid);
            cv_.SetBrushColor(kSilver);
            cv_.FillRect(o.ScreenX, o.ScreenY, o.ScreenX + 2, o.ScreenY + 2);
        }
    }

    // --- The star view ------------------------------------------------------------------------
    void StarCentred() {
        StarCatalogue& c = in_.stars;
        const YaleRec& y = c.YaleStars[centreStar_];
        const StarModel m = StarModelOf(y.Mag, y.Distance, y.Spectrum);
        v_.CentreDiameter = b_.PlanetsMdb[1].Diameter * m.radius;
        v_.CentreRadius = Round(v_.CentreDiameter / 2 / kCosmosKmPerAu * ppa_);
        v_.EyeDistance = W_ / ppa_;
        v_.CentreMagnitude = y.Mag;
        // the Sun and the line to it
        double x = -v_.Observer.x, yy = -v_.Observer.y, z = -v_.Observer.z;
        const double k = kCosmosAuPerParsec * ppa_;
        x *= k;
        yy *= k;
        z *= k;
        ApplyMatrix3(view_, x, yy, z);
        bool front = true;
        if (!v_.FlatProjection) {
            PerspectiveDivide(bank_, x, yy, z, W_);
            front = bank_.InFront;
        }
        v_.SunScreen = {x, yy, z};
        const double sx = cx_ - x, sy = cy_ + yy;
        const bool sunUsable = front && Usable(sx, sy);
        if (sunUsable) {
            const ui::Colour grey = z < 0 ? 0x6C6C6C : 0x9E9E9E;
            Line(cx_, cy_, sx, sy, grey);
        }
        if (v_.CentreRadius < 4) {
            DrawStarMark(cv_, cx_, cy_, v_.CentreRadius == 1 ? -10 : -2);
        } else {
            Disc(cx_, cy_, v_.CentreRadius, StarDiscColour(y.Spectrum));
        }
        if (sunUsable && !(z < 0 && OnCentreDisc(sx, sy))) {
            v_.SunShown = true;
            DrawStarMark(cv_, Round(sx), Round(sy), 3.5, StarColorsYellow());
        }
    }

    // --- The centre body ----------------------------------------------------------------------
    void PrepareCentre() {
        slot_ = std::max(0, CosmosModeSlot(mode_));
        PlnMdbRec& r = b_.PlanetsMdb[slot_];
        const std::string name = Trim(r.Name);
        ship_ = mode_ >= 11 && IsShipName(name);
        if (ship_) {
            v_.ShipPoint = mode_ + 4;
            r.Diameter = 1.0;
        }
        v_.CentreDiameter = r.Diameter;
        v_.CentreRadius = Round(v_.CentreDiameter / 2 / kCosmosKmPerAu * ppa_);
        SetChartName(s_, r.Name.substr(0, 12));
        const int poleOf = mode_ == 2 ? 3 : mode_ == 3 ? 4 : mode_ == 4 ? 0 : mode_;
        const PoleDirection pole = BodyEquatorPole(s_, poleOf);
        v_.EquatorIncl = NormAngleSigned(kPi / 2 - pole.lat);
        v_.EquatorNode = NormAngle(kPi / 2 + pole.lon);
        v_.EyeDistance = W_ / ppa_;
        v_.CentreMagnitude = BodyMagnitude(b_, slot_, b_.PlanetsMdb[slot_].Axis, v_.EyeDistance);
        centreHelio_ = HelioPosition(s_, v_.CentrePoint);
    }

    // The Sun and the planets around a centre that is not the Sun, as star marks.
    void ModeBodies() {
        const int last = std::min(kMaxCosmosMode, 10 + s_.NExtra);
        for (int k = 1; k <= last; ++k) {
            if (k == mode_) continue;
            const SpaceVector p = HelioPosition(s_, CosmosModePoint(k));
            double x = (p.x - centreHelio_.x) * ppa_, y = (p.y - centreHelio_.y) * ppa_,
                   z = (p.z - centreHelio_.z) * ppa_;
            const bool front = Project(x, y, z);
            if (k == 1) v_.SunScreen = {x, y, z};
            if (!front) continue;
            const double sx = cx_ - x, sy = cy_ + y;
            if (!Usable(sx, sy) || OnCentreDisc(sx, sy)) continue;
            ModeBody& m = v_.ModeBodies[k];
            m.shown = true;
            m.x = sx;
            m.y = sy;
            m.z = z;
            m.distance = (W_ - z) / ppa_;
            m.magnitude = ModeBodyMagnitude(b_, k, m.distance);
            if (k == 1) v_.SunShown = true;
            DrawStarMark(cv_, Round(sx), Round(sy), m.magnitude,
                         k == 1 ? StarColorsYellow() : StarColorsLight());
        }
    }

    void CentreAndSatellites() {
        CentreBody();
        v_.SatCount =
            std::min(21, SatelliteCount(std::max(mode_, 0)) + (mode_ == 1 ? s_.NExtra : 0));
        for (int k = 1; k <= v_.SatCount; ++k) PlaceSatellite(k);
        if (mode_ == 7 && v_.CentreRadius >= 12) Rings();
        for (int k = 1; k <= v_.SatCount; ++k)
            if (v_.SatFrames[k].OrbitRadiusPx != 0) SatelliteBody(k);
    }

    void CentreBody() {
        if (v_.CentreRadius < 4) {
            DrawStarMark(cv_, cx_, cy_, v_.CentreMagnitude,
                         mode_ == 1 ? StarColorsYellow() : StarColorsLight());
            return;
        }
        if (ship_) {
            if (in_.DrawShip) in_.DrawShip(cv_, cx_, cy_, 2.0 * v_.CentreRadius);
            return;
        }
        if (mode_ == 1) {
            Disc(cx_, cy_, v_.CentreRadius, kYellow);
            return;
        }
        ui::Colour light = kSilver;
        const SurfaceRegions* surface = nullptr;
        if (mode_ >= 2 && mode_ <= 10 && in_.Surface) {
            surface = in_.Surface(mode_);
            if (surface) light = surface->Records[0].Fill;
        }
        const bool planet = mode_ >= 2 && mode_ <= 10;
        LitDisc(cx_, cy_, v_.CentreRadius, light, Darker(light), SunDirection(centreHelio_),
                planet && in_.options.ImageBox ? surface : nullptr,
                planet && in_.options.EqatorBox);
    }

    static ui::Colour Darker(ui::Colour c) {
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        return ui::Colour(r / 4) | ui::Colour(g / 4) << 8 | ui::Colour(b / 4) << 16;
    }

    // The direction from a body at heliocentric p to the Sun, in view axes.
    SpaceVector SunDirection(const SpaceVector& p) const {
        double x = -p.x, y = -p.y, z = -p.z;
        ApplyMatrix3(view_, x, y, z);
        const double n = std::sqrt(x * x + y * y + z * z);
        if (n == 0) return {0, 0, 1};
        return {x / n, y / n, z / n};
    }

    // --- Satellites -------------------------------------------------------------------------
    void PlaceSatellite(int k) {
        SatFrame& f = v_.SatFrames[k];
        f.Slot = SatelliteSlot(mode_, k);
        if (mode_ == 1 || mode_ == 4) {
            const int point = mode_ == 1 ? SunViewPoint(k) : 2;
            f.Point = point;
            const BodyRec& body = s_.Bodies[point];
            bank_.OrbitIncl = body[kBodyInclination];
            bank_.OrbitNode = body[kBodyNode];
            bank_.OrbitPeri = body[kBodyPerihelion];
            SetViewMatrix(bank_);
            v_.OrbitE = body[kBodyEccentricity];
            v_.OrbitA = body[kBodySemiMajorAxis];
            // The body where the chart puts it: its place, taken into the orbit's plane.
            SpaceVector p =
                point == 2 ? SpaceVector{body[kBodyHelioX], body[kBodyHelioY], body[kBodyHelioZ]}
                       : HelioPosition(s_, point);
            const Matrix3& m = bank_.OrbitMatrix;
            const double u = m[0] * p.x + m[3] * p.y + m[6] * p.z;
            const double w = m[1] * p.x + m[4] * p.y + m[7] * p.z;
            const double along = m[2] * p.x + m[5] * p.y + m[8] * p.z;
            v_.OrbitR = std::sqrt(u * u + w * w + along * along);
            f.Anomaly = std::atan2(w, u);
            f.ChartPlace = true;
            f.Place = p;
            v_.OrbitLon = body[kBodyHelioLon];
        } else {
            const PlnMdbRec& r = b_.PlanetsMdb[f.Slot];
            v_.OrbitA = r.Axis;
            if (v_.OrbitA * ppa_ < 10) return;
            bank_.OrbitPeri = r.Peri;
            if (mode_ == 10) {
                bank_.OrbitNode = r.Node;
                bank_.OrbitIncl = r.Incl + b_.PlanetsMdb[slot_].EquatorIncl;
            } else {
                bank_.OrbitNode = v_.EquatorNode;
                bank_.OrbitIncl = v_.EquatorIncl;
            }
            SetViewMatrix(bank_);
            v_.OrbitE = r.Ecc;
            const double M =
                NormAngle2(r.MeanMotion * (s_.ChartJD - 2451545.5) + r.MeanLon - bank_.OrbitPeri);
            const KeplerSolution kep = SolveKepler(v_.OrbitA, v_.OrbitE, M);
            v_.OrbitLon = NormAngle2(kep.trueAnomaly + bank_.OrbitPeri);
            v_.OrbitR = kep.r;
            f.Anomaly = v_.OrbitLon - bank_.OrbitPeri;
        }
        f.OrbitRadiusPx = v_.OrbitR * ppa_;
        if (f.OrbitRadiusPx == 0) f.OrbitRadiusPx = 1e-9; // at the centre, still shown
        f.Longitude = v_.OrbitLon;
        f.A = v_.OrbitA;
        f.E = v_.OrbitE;
        f.OrbitMatrix = bank_.OrbitMatrix;
        const bool flagged = mode_ >= 0 && b_.OrbitFlags[mode_][k] != 0;
        if (flagged && f.A * ppa_ >= 16)
            Orbit(f, mode_ >= 0 && b_.OrbitSchemeFlags[mode_][k] != 0,
                  !(mode_ == 1 && f.Point == 0));
    }

    // Projects the frame's point and keeps its rounded screen position.
    bool SetViewFrame(SatFrame& f, double& sx, double& sy, double& z) {
        bank_.OrbitMatrix = f.OrbitMatrix;
        if (f.ChartPlace) {
            double x = f.Place.x * ppa_, y = f.Place.y * ppa_;
            z = f.Place.z * ppa_;
            ApplyMatrix3(view_, x, y, z);
            if (!v_.FlatProjection) PerspectiveDivide(bank_, x, y, z, W_);
            sx = cx_ - x;
            sy = cy_ + y;
        } else {
            ProjectPoint3D(bank_, mode_, !v_.FlatProjection, W_, f.Anomaly, f.OrbitRadiusPx, sx, sy,
                           z);
        }
        const bool usable = (v_.FlatProjection || bank_.InFront) && Usable(sx, sy);
        f.ScreenX = usable ? Round(sx) : -1;
        f.ScreenY = usable ? Round(sy) : -1;
        f.ScreenZ = usable ? Round(z) : -1;
        return usable;
    }

    // A point of the orbit at true anomaly nu, on the screen.
    bool OrbitPoint(const SatFrame& f, double nu, double& sx, double& sy, double& z) {
        const double r = f.A * (1 - f.E * f.E) / (1 + f.E * std::cos(nu)) * ppa_;
        ProjectPoint3D(bank_, mode_, !v_.FlatProjection, W_, nu, r, sx, sy, z);
        return (v_.FlatProjection || bank_.InFront) && Usable(sx, sy);
    }

    bool Hidden(double sx, double sy, double z) const { return z < 0 && OnCentreDisc(sx, sy); }

    // The part of the segment from a visible point P towards a hidden Q up to the disc's edge.
    void CutAtDisc(double px, double py, double& qx, double& qy) const {
        const double dx = qx - px, dy = qy - py, fx = px - cx_, fy = py - cy_;
        const double a = dx * dx + dy * dy, b = 2 * (fx * dx + fy * dy);
        const double c = fx * fx + fy * fy - double(v_.CentreRadius) * v_.CentreRadius;
        const double disc = b * b - 4 * a * c;
        if (a == 0 || disc < 0) return;
        const double t = std::clamp((-b - std::sqrt(disc)) / (2 * a), 0.0, 1.0);
        qx = px + t * dx;
        qy = py + t * dy;
    }

    void Orbit(SatFrame& f, bool scheme, bool nodes) {
        bank_.OrbitMatrix = f.OrbitMatrix;
        double px = 0, py = 0, pz = 0;
        bool havePrev = false;
        for (int step = 0; step <= 60; ++step) {
            const double nu = step == 60 ? 2 * kPi : step * 6 * kDegToRad;
            double sx, sy, z;
            if (!OrbitPoint(f, nu, sx, sy, z)) break; // not drawable from here on
            if (havePrev) Segment(px, py, pz, sx, sy, z);
            px = sx;
            py = sy;
            pz = z;
            havePrev = true;
        }
        if (scheme) OrbitScheme(f, nodes);
    }

    void Segment(double x1, double y1, double z1, double x2, double y2, double z2) {
        const bool h1 = Hidden(x1, y1, z1), h2 = Hidden(x2, y2, z2);
        if (h1 && h2) return;
        if (h2) CutAtDisc(x1, y1, x2, y2);
        if (h1) CutAtDisc(x2, y2, x1, y1);
        Line(x1, y1, x2, y2, (z1 + z2) >= 0 ? kOrbitNear : kOrbitFar);
    }

    void OrbitScheme(const SatFrame& f, bool nodes) {
        double x, y, z;
        if (OrbitPoint(f, 0, x, y, z)) {
            Line(cx_, cy_, x, y, kSchemeColour);
            Text(x + 4, y - 6, "P", kSchemeColour);
        }
        double ax, ay, az;
        if (OrbitPoint(f, kPi, ax, ay, az)) {
            cv_.SetPenColor(kSchemeColour);
            cv_.SetBrushStyle(ui::BrushStyle::Clear);
            cv_.Ellipse(Round(ax) - 3, Round(ay) - 3, Round(ax) + 4, Round(ay) + 4);
            // the ellipse's centre, a·e towards the apocentre
            const double ce = f.A * f.E * ppa_;
            double ex, ey, ez;
            ProjectPoint3D(bank_, mode_, !v_.FlatProjection, W_, kPi, ce, ex, ey, ez);
            if (Usable(ex, ey)) {
                Line(ex - 3, ey, ex + 4, ey, kSchemeColour);
                Line(ex, ey - 3, ex, ey + 4, kSchemeColour);
            }
        }
        if (!nodes) return;
        const Matrix3& m = f.OrbitMatrix;
        // the node's direction in the orbit's plane: where the ecliptic z of the point is 0
        const double nu = std::atan2(-m[6], m[7]);
        double x1, y1, z1, x2, y2, z2;
        if (OrbitPoint(f, nu, x1, y1, z1) && OrbitPoint(f, nu + kPi, x2, y2, z2)) {
            cv_.SetPenStyle(ui::PenStyle::Dot);
            Line(x1, y1, x2, y2, kSchemeColour);
            cv_.SetPenStyle(ui::PenStyle::Solid);
        }
    }

    void SatelliteBody(int k) {
        SatFrame& f = v_.SatFrames[k];
        double sx, sy, z;
        f.Magnitude = 999;
        f.DiscRadiusPx = 0;
        if (!SetViewFrame(f, sx, sy, z) || !Inside(sx, sy) || Hidden(sx, sy, z)) return;
        v_.EyeDistance = (W_ - f.ScreenZ) / ppa_;
        const double sunAu = mode_ == 1 ? b_.PlanetsMdb[f.Slot].Axis : b_.PlanetsMdb[slot_].Axis;
        const PlnMdbRec& r = b_.PlanetsMdb[f.Slot];
        f.Magnitude = Round(BodyMagnitude(b_, f.Slot, sunAu, v_.EyeDistance));
        f.DiscRadiusPx = W_ * r.Diameter / 2 / NonZeroGuard(v_.EyeDistance) / kCosmosKmPerAu;
        v_.BodyDiameterPx = 2 * f.DiscRadiusPx;
        if (Round(f.DiscRadiusPx) + 1 < 4) {
            DrawStarMark(cv_, f.ScreenX, f.ScreenY, f.Magnitude);
            if (mode_ == 1 && f.OrbitRadiusPx > 16 && b_.OrbitFlags[1][k] != 0)
                Text(f.ScreenX + 5, f.ScreenY - 7, Trim(r.Name), kWhite);
            return;
        }
        // the satellite's own place from the Sun: the centre's plus its offset
        SpaceVector off = f.Place;
        if (!f.ChartPlace) {
            off = {f.OrbitRadiusPx * std::cos(f.Anomaly) / ppa_,
                   f.OrbitRadiusPx * std::sin(f.Anomaly) / ppa_, 0};
            ApplyMatrix3(f.OrbitMatrix, off.x, off.y, off.z);
        }
        const SpaceVector p = {centreHelio_.x + off.x, centreHelio_.y + off.y,
                               centreHelio_.z + off.z};
        LitDisc(f.ScreenX, f.ScreenY, f.DiscRadiusPx, kWhite, kGrey, SunDirection(p), nullptr,
                false);
    }

    // --- Globes -------------------------------------------------------------------------------
    // The frame of the centre's equator (x towards planetographic longitude 0 at rotation 0).
    void EquatorFrame() {
        bank_.OrbitPeri = 0;
        bank_.OrbitNode = v_.EquatorNode;
        bank_.OrbitIncl = v_.EquatorIncl;
        SetViewMatrix(bank_);
    }

    // A point of the globe at planetographic longitude lon and latitude lat, radius g pixels,
    // around (gx, gy): its screen place and depth (no perspective).
    void GlobePoint(double gx, double gy, double g, double lon, double lat, double& sx, double& sy,
                    double& z) const {
        double x = g * std::cos(lat) * std::cos(lon), y = g * std::cos(lat) * std::sin(lon);
        z = g * std::sin(lat);
        ApplyMatrix3(bank_.OrbitMatrix, x, y, z);
        ApplyMatrix3(view_, x, y, z);
        sx = gx - x;
        sy = gy + y;
    }

    double RotationAngle() const {
        double omega;
        if (mode_ == 4) {
            omega = kEarthRotation;
        } else {
            double hours = b_.PlanetsMdb[slot_].RotationHours;
            if (hours == 0) hours = kDefaultRotationHours;
            omega = 2 * kPi / (hours / 24);
        }
        return NormAngle2(omega * (s_.ChartJD - 2433282.5));
    }

    void LitDisc(double gx, double gy, double R, ui::Colour light, ui::Colour dark,
                 const SpaceVector& sun, const SurfaceRegions* surface, bool grid) {
        Disc(gx, gy, R, light);
        if (surface || grid) EquatorFrame();
        if (surface) Surface(gx, gy, R, *surface);
        NightSide(gx, gy, R, dark, sun);
        if (grid) Grid(gx, gy, R - 1);
    }

    void Surface(double gx, double gy, double R, const SurfaceRegions& r) {
        const double turn = RotationAngle();
        for (int shape : {1, 0})
            for (int i = 1; i <= r.LastIndex; ++i) {
                const SurfaceRecord& rec = r.Records[i];
                if (rec.Shape != shape) continue;
                const double rho = std::atan(rec.Radius / 100.0);
                const double l0 = rec.Lon * kDegToRad + turn, b0 = rec.Lat * kDegToRad;
                std::vector<QPoint> pts;
                bool allVisible = true;
                for (int t = 0; t <= 360; t += 36) {
                    const double b = b0 + rho * std::cos(t * kDegToRad);
                    const double l = l0 + rho * std::sin(t * kDegToRad) / NonZeroGuard(std::cos(b));
                    double sx, sy, z;
                    GlobePoint(gx, gy, R, l, std::clamp(b, -kPi / 2, kPi / 2), sx, sy, z);
                    if (z > 0)
                        pts.emplace_back(Round(sx), Round(sy));
                    else
                        allVisible = false;
                }
                if (shape == 1) {
                    if (allVisible && pts.size() >= 2) {
                        cv_.SetPenColor(rec.Fill);
                        cv_.SetPenWidth(2);
                        cv_.MoveTo(pts[0].x(), pts[0].y());
                        for (std::size_t j = 1; j < pts.size(); ++j)
                            cv_.LineTo(pts[j].x(), pts[j].y());
                        cv_.SetPenWidth(1);
                    }
                } else if (pts.size() >= 3) {
                    ui::BufPolygon(bmp_, pts, rec.Fill, rec.Contour);
                }
                if (in_.options.ShowNumbBox && i == in_.options.NumSpinValue) {
                    double sx, sy, z;
                    GlobePoint(gx, gy, R, l0, b0, sx, sy, z);
                    if (z > 0) Text(sx - 4, sy - 7, std::to_string(i), kWhite);
                }
            }
    }

    // The half turned away from the Sun, bounded by the limb and the terminator (the great
    // circle square to the Sun's direction, seen as half an ellipse).
    void NightSide(double gx, double gy, double R, ui::Colour dark, const SpaceVector& s) {
        const double sxy = std::hypot(s.x, s.y);
        // The Sun behind the eye, nearly in line: the whole disc is lit.
        const double phase = std::acos(std::clamp(s.z, -1.0, 1.0));
        if (s.z >= 0 && phase <= 5 * kDegToRad) return;
        if (sxy < 1e-9) {
            if (s.z < 0) Disc(gx, gy, R, dark);
            return;
        }
        // a: square to the Sun in the plane of the sky; b = s x a
        const double ax = -s.y / sxy, ay = s.x / sxy;
        const double bx = s.y * 0 - s.z * ay, by = s.z * ax - s.x * 0;
        std::vector<QPoint> pts;
        auto put = [&](double x, double y) {
            pts.emplace_back(Round(gx - x * R), Round(gy + y * R));
        };
        const int n = 60;
        for (int i = 0; i <= n; ++i) { // the terminator, from a to -a over the visible side
            const double t = kPi * i / n;
            put(std::cos(t) * ax + std::sin(t) * bx, std::cos(t) * ay + std::sin(t) * by);
        }
        const double dx = -s.x / sxy, dy = -s.y / sxy; // away from the Sun, in the sky's plane
        for (int i = 1; i < n; ++i) {                  // the dark limb, from -a back to a
            const double t = kPi * i / n;
            put(-std::cos(t) * ax + std::sin(t) * dx, -std::cos(t) * ay + std::sin(t) * dy);
        }
        ui::BufPolygon(bmp_, pts, dark, dark);
    }

    void Grid(double gx, double gy, double g) {
        if (g < 1) return;
        const double turn = RotationAngle();
        cv_.SetPenColor(kGridColour);
        auto circle = [&](auto point) {
            double px = 0, py = 0, pz = 0;
            for (int step = 0; step <= 60; ++step) {
                double sx, sy, z;
                point(step * 6 * kDegToRad, sx, sy, z);
                if (step > 0 && z > 0 && pz > 0) Line(px, py, sx, sy, kGridColour);
                px = sx;
                py = sy;
                pz = z;
            }
        };
        for (int j = -8; j <= 8; ++j) {
            const double lat = j * 10 * kDegToRad;
            circle([&](double t, double& sx, double& sy, double& z) {
                GlobePoint(gx, gy, g, t, lat, sx, sy, z);
            });
        }
        for (int j = 0; j < 18; ++j) {
            const double lon = j * 10 * kDegToRad + turn;
            circle([&](double t, double& sx, double& sy, double& z) {
                // a great circle through the poles: latitude runs round with t
                GlobePoint(gx, gy, g, t < kPi / 2 || t > 1.5 * kPi ? lon : lon + kPi,
                           std::asin(std::sin(t)), sx, sy, z);
            });
        }
        auto label = [&](double lon, const char* text) {
            double sx, sy, z;
            GlobePoint(gx, gy, g, lon + turn, 0, sx, sy, z);
            if (z > 0) Text(sx - 4, sy - 7, text, kWhite);
        };
        label(0, "0");
        label(kPi, "180");
        label(kPi / 2, "90");
        label(-kPi / 2, "-90");
    }

    // --- Saturn's rings ---------------------------------------------------------------------
    QPolygonF RingCircle(double km) {
        QPolygonF p;
        const double r = km / kCosmosKmPerAu * ppa_;
        for (int step = 0; step < 60; ++step) {
            double sx, sy, z;
            ProjectPoint3D(bank_, mode_, !v_.FlatProjection, W_, step * 6 * kDegToRad, r, sx, sy,
                           z);
            p << QPointF(std::clamp(sx, -1.0 * kMaxScreenCoord, 1.0 * kMaxScreenCoord),
                         std::clamp(sy, -1.0 * kMaxScreenCoord, 1.0 * kMaxScreenCoord));
        }
        return p;
    }

    void Rings() {
        EquatorFrame();
        // The part of the plane behind the planet: the side of the screen where the ring's
        // depth is negative, bounded by the line where it is 0.
        Matrix3 m = bank_.OrbitMatrix;
        double zx = 1, zy = 0, zz = 0, wx = 0, wy = 1, wz = 0;
        ApplyMatrix3(m, zx, zy, zz);
        ApplyMatrix3(view_, zx, zy, zz);
        ApplyMatrix3(m, wx, wy, wz);
        ApplyMatrix3(view_, wx, wy, wz);
        // in-plane direction of zero depth and of falling depth
        const double lx = zz * wx - wz * zx, ly = zz * wy - wz * zy;
        const double fx = -(zz * zx + wz * wx), fy = -(zz * zy + wz * wy);
        QPainterPath far;
        const double big = 4.0 * kMaxScreenCoord;
        const double ln = std::hypot(lx, ly), fn = std::hypot(fx, fy);
        if (ln > 1e-12 && fn > 1e-12) {
            // screen directions: x flips, y stays
            const QPointF L(-lx / ln * big, ly / ln * big), F(-fx / fn * big, fy / fn * big);
            const QPointF c(cx_, cy_);
            far.addPolygon(QPolygonF({c - L, c + L, c + L + F, c - L + F}));
            far.closeSubpath();
        }
        QPainterPath disc;
        disc.addEllipse(QPointF(cx_, cy_), v_.CentreRadius, v_.CentreRadius);
        const QPainterPath hidden = far.isEmpty() ? QPainterPath() : disc.intersected(far);
        const double bands[3][2] = {{120000, 138000}, {90500, 116000}, {72000, 88500}};
        QPainter& p = cv_.Painter();
        for (const auto& band : bands) {
            QPainterPath ring;
            ring.setFillRule(Qt::OddEvenFill);
            ring.addPolygon(RingCircle(band[1]));
            ring.closeSubpath();
            ring.addPolygon(RingCircle(band[0]));
            ring.closeSubpath();
            if (!hidden.isEmpty()) ring = ring.subtracted(hidden);
            p.fillPath(ring, ui::ToQColor(in_.options.SatRingColour));
        }
    }

    // --- Read-out ---------------------------------------------------------------------------
    void ReadOut() {
        const double scale = b_.CosmosScale(mode_);
        Text(3, 3, "L: " + DistanceText(s_, scale), kWhite);
        Text(3, 19, "R: " + DistanceText(s_, v_.CentreDiameter / 2 / kCosmosKmPerAu), kWhite);
        const double angle =
            std::atan(v_.CentreDiameter / kCosmosKmPerAu / NonZeroGuard(scale)) / kDegToRad;
        if (angle > 0.1)
            Text(3, 35, "D: " + Trim(FloatToStrComma(0, 1, angle)) + kDegreeSign, kWhite);
    }

    CosmosView& v_;
    CosmosInputs& in_;
    AstroDat& s_;
    CosmosBodies& b_;
    MatrixBank& bank_;
    ui::OffscreenBitmap& bmp_;
    ui::Canvas& cv_;
    Matrix3 view_{};
    int mode_ = 1, slot_ = 1, centreStar_ = 0;
    int W_ = 0, H_ = 0, cx_ = 0, cy_ = 0;
    double ppa_ = 1;
    bool ship_ = false;
    SpaceVector centreHelio_;
};

} // namespace

void CosmosRedraw(CosmosView& view, CosmosInputs& in, ui::OffscreenBitmap& bmp) {
    if (!in.Ready) return;
    CosmosPainter(view, in, bmp).Run();
}

std::string CosmosViewLine(CosmosBodies& b) {
    const int mode = b.CosmosMode;
    return std::to_string(mode) + ": " + Trim(FloatToStrWD(0, 7, b.CosmosScale(mode))) + " " +
           Trim(FloatToStrWD(0, 3, b.ModeAngleX(mode))) + " " +
           Trim(FloatToStrWD(0, 3, b.ModeAngleZ(mode)));
}

std::string DistanceText(const AstroDat& s, double au) {
    if (au >= kCosmosAuPerParsec)
        return Trim(FloatToStrComma(0, 1, au / kCosmosAuPerParsec)) + Lang(s, Cp(" пс"), " ps");
    if (au >= 1) return GroupThousands(ThreeRules(au)) + Lang(s, Cp(" ае"), " au");
    return GroupThousands(ThreeRules(au * kCosmosKmPerAu)) + Lang(s, Cp(" км"), " km");
}

double SunMagnitude(double eyeAu) {
    const double d = eyeAu * kCosmosKmPerAu;
    return -2.5 * std::log10(3.02e21 / NonZeroGuard(d * d)) - 13.89;
}

double BodyMagnitudeOf(double diameterKm, double sunAu, double eyeAu) {
    const double R = diameterKm / 2;
    const double r = std::max(sunAu * kCosmosKmPerAu, 10000.0);
    const double d = eyeAu * kCosmosKmPerAu;
    const double q = R / NonZeroGuard(r * d);
    const double F = q * q * (2.0 / 3.0) * 0.5 * 3.02e21;
    return -2.5 * std::log10(NonZeroGuard(F)) - 13.89;
}

double BodyMagnitude(const CosmosBodies& b, int slot, double sunAu, double eyeAu) {
    if (slot == 1) return SunMagnitude(eyeAu);
    if (slot < 0 || slot >= kPlanetsMdbSlots) return 999;
    return BodyMagnitudeOf(b.PlanetsMdb[slot].Diameter, sunAu, eyeAu);
}

double ModeBodyMagnitude(const CosmosBodies& b, int mode, double eyeAu) {
    const int slot = CosmosModeSlot(mode);
    if (slot < 0) return 999;
    return BodyMagnitude(b, slot, b.PlanetsMdb[slot].Axis, eyeAu);
}

KeplerSolution SolveKepler(double a, double e, double M) {
    double lo = -10, hi = 10, mid = 0;
    auto f = [&](double E) { return E - e * std::sin(E) - M; };
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        const double m = (lo + hi) / 2;
        const bool done = i > 0 && std::abs(m - mid) <= 1e-10;
        mid = m;
        if (done) break;
        const double fm = f(m);
        if ((fm < 0) == (flo < 0)) {
            lo = m;
            flo = fm;
        } else {
            hi = m;
        }
    }
    KeplerSolution k;
    k.E = mid;
    const double q = 1 - e * std::cos(mid);
    k.r = a * NonZeroGuard(q);
    const double sinTerm = std::sqrt(std::max(0.0, 1 - e * e)) * std::sin(mid) / NonZeroGuard(q);
    k.trueAnomaly = ArcTan2Pos(sinTerm, (std::cos(mid) - e) / NonZeroGuard(q));
    return k;
}

SpaceVector HelioPosition(const AstroDat& s, int n) {
    if (n < 0 || n >= kBodyRecords || n == 1) return {};
    if (n == 2) {
        const BodyRec& e = s.Bodies[0];
        const BodyRec& m = s.Bodies[2];
        return {e[kBodyHelioX] + m[kBodyHelioX], e[kBodyHelioY] + m[kBodyHelioY],
                e[kBodyHelioZ] + m[kBodyHelioZ]};
    }
    const BodyRec& b = s.Bodies[n];
    return {b[kBodyHelioX], b[kBodyHelioY], b[kBodyHelioZ]};
}

bool IsShipName(const std::string& name) {
    const std::string t = Trim(name);
    return t == Cp("Корабль") || t == "SkyShip";
}

int SunViewPoint(int k) {
    if (k == 1 || k == 2) return k + 2;
    if (k == 3) return 0;
    if (k >= 4 && k <= 9) return k + 1;
    if (k >= 10 && k <= 21) return k + 5;
    return -1;
}

} // namespace qor
