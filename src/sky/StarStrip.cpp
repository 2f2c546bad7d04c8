#include "sky/StarStrip.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Kepler.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/StarMarks.h"

#include <algorithm>
#include <cmath>

namespace qor {

using ui::Colour;

namespace {

constexpr Colour kGray = 0x808080, kBlue = 0xFF0000, kRed = 0x0000FF;

int RoundInt(double v) {
    return ClampCoord(v);
}

bool FullZoom(const StripView& v) {
    return v.Zoom >= kStripZoomMax;
}

} // namespace

double StripPixelsPerRadian(const StripView& v) {
    return v.W / 2.0 / kPi;
}

int StripX(const StripView& v, double lon) {
    return v.cx - RoundInt(NormAngleSigned(lon - v.CentreLon) * StripPixelsPerRadian(v) * v.Zoom);
}

int StripY(const StripView& v, double lat) {
    return v.cy - RoundInt(lat * v.H / kPi);
}

void StripInverse(const StripView& v, int x, int y, double& lon, double& lat) {
    const double scale = StripPixelsPerRadian(v) * v.Zoom;
    lon = NormAngle((v.cx - x) / (scale > 0 ? scale : 1) + v.CentreLon);
    lat = v.H > 0 ? double(v.cy - y) / v.H * kPi : 0;
}

void SetStripGeometry(StripView& v, int width, int height) {
    v.W = std::max(0, width - 5);
    v.H = std::max(0, height);
    v.cx = v.W >> 1;
    v.cy = v.H >> 1;
}

void StarAstrPan(StripView& v, double step) {
    v.CentreLon += step / v.Zoom;
}

void StarAstrZoom(StripView& v, double factor) {
    v.Zoom *= factor;
    if (!(v.Zoom >= 1)) v.Zoom = 1;
    if (v.Zoom >= kStripZoomMax) v.Zoom = kStripZoomMax;
}

void PlaceStripLabel(StripView& v, int x, int& y, int w, int h) {
    const int step = std::max(1, h);
    for (bool moved = true; moved;) {
        moved = false;
        for (const StripRect& r : v.Labels)
            if (x < r.Right && x + w > r.Left && y < r.Bottom && y + h > r.Top) {
                y += step;
                moved = true;
            }
    }
    if (static_cast<int>(v.Labels.size()) < kStripMaxLabels)
        v.Labels.push_back({x, y, x + w, y + h});
}

// --- Drawing
// ---------------------------------------------------------------------------------------

namespace {

class StripPainter {
public:
    StripPainter(StripView& v, StripInputs& in, ui::OffscreenBitmap& bmp)
        : v_(v), in_(in), bmp_(bmp), cv_(bmp.canvas()) {}

    void Draw(const std::function<void()>& tooMany) {
        SetStripGeometry(v_, bmp_.Width(), bmp_.Height());
        ui::ClearBuffer(bmp_, ui::kWhite);
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
        cv_.SetBrushColor(ui::kWhite);
        cv_.SetPenWidth(1);
        if (in_.Font) {
            in_.Font->Font16BackColor = ui::kWhite;
            in_.Font->Font16BackMode = 2;
        }
        v_.Labels.clear();
        cv_.SetFontName("MS Sans Serif");
        cv_.SetFontSize(8);
        cv_.SetFontStyle(0);
        v_.TextHeight = std::max(1, cv_.TextHeight("X"));
        Grid();
        Asteroids();
        Stars(tooMany);
        DeepSky();
        Bodies();
        if (!v_.HoverText.empty()) {
            cv_.SetBrushColor(ui::kWhite);
            ui::TextOutSymbol(v_.HoverX, v_.HoverY - 18, v_.HoverLabel, kBlue, cv_);
        }
        if (in_.Font) in_.Font->Font16BackMode = 0;
    }

private:
    bool Across(int x) const { return x >= -80 && x < v_.W; }

    void Grid() {
        cv_.SetBrushStyle(ui::BrushStyle::Clear);
        NamesAs glyphs(in_.s, true, false);
        for (int d = 0; d < 360; ++d) {
            if (v_.Zoom < 10 && d % 10 != 0) continue;
            const int x = StripX(v_, d * kDegToRad);
            if (x < -80 || x > v_.W + 80) continue; // nothing of it on the screen
            cv_.SetPenColor(kGray);
            ui::BufLine(bmp_, x, 0, x, v_.H);
            const std::string number = std::to_string(d % 30);
            ui::BufTextOut(bmp_, x - 1 - cv_.TextWidth(number), 2, number, kGray);
            if (d % 30 == 0)
                ui::DrawFont16TextBuf(bmp_, x - 15, 20, SignName(in_.s, d / 30 + 1), kBlue);
        }
    }

    void Asteroids() {
        AsteroidCatalogue& a = in_.asteroids;
        const bool full = FullZoom(v_);
        for (int i = 1; i <= a.AstCount && i < static_cast<int>(a.AstCatalogue.size()); ++i) {
            AstRec& r = a.AstCatalogue[i];
            const int x = StripX(v_, r.Lon), y = StripY(v_, r.Lat);
            r.ScreenX = x;
            r.ScreenY = y;
            if (!Across(x)) continue;
            cv_.SetPixel(x, y, kBlue);
            if (!full) continue;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                cv_.SetPixel(x + dx, y + dy, kBlue);
            if (!v_.AllNames) continue;
            const std::string name = GetCatalogueName(a, i);
            int ly = y + 2;
            PlaceStripLabel(v_, x, ly, cv_.TextWidth(name), cv_.TextHeight(name));
            ui::BufTextOutSans(bmp_, x, ly, name, ui::kBlack);
        }
    }

    void Stars(const std::function<void()>& tooMany) {
        StarCatalogue& c = in_.stars;
        ScreenStarTable& shown = v_.ScreenStars;
        shown.X.resize(kMaxStars + 1);
        shown.Y.resize(kMaxStars + 1);
        shown.StarIndex.resize(kMaxStars + 1);
        int count = 0;
        bool warned = false;
        const bool full = FullZoom(v_);
        const int placed = std::min<int>(c.StarCount, static_cast<int>(c.StarLon.size()) - 1);
        for (int i = 1; i <= placed; ++i) {
            const YaleRec& y = c.YaleStars[i];
            if (y.NameOffset == 0) continue;
            const int sx = StripX(v_, c.StarLon[i]), sy = StripY(v_, c.StarLat[i]);
            if (!Across(sx)) continue;
            double m = y.Mag;
            if (full && v_.AllNames)
                ui::BufTextOut(bmp_, sx, sy < v_.cy ? sy - v_.TextHeight - 1 : sy, StarName(c, i),
                               ui::kBlack);
            if (full) m /= 4;
            DrawStarMark(cv_, sx, sy, m, StarColorsDark());
            if (count < kSkyScreenStarsMax) {
                ++count;
                shown.X[count] = sx;
                shown.Y[count] = sy;
                shown.StarIndex[count] = i;
            } else if (!warned) {
                warned = true;
                if (tooMany) tooMany();
            }
        }
        shown.Count = count;
    }

    void DeepSky() {
        DeepCatalogue& d = in_.deep;
        const bool full = FullZoom(v_);
        const int side = full ? 4 : 2;
        for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
            DeepRec& o = d.DeepObjs[i];
            const int x = StripX(v_, o.Lon), y = StripY(v_, o.Lat);
            o.ScreenX = x;
            o.ScreenY = y;
            if (!Across(x)) continue;
            if (full && v_.AllNames) ui::BufTextOut(bmp_, x, y, DeepObjText(in_.s, d, i, 0), kRed);
            cv_.SetBrushStyle(ui::BrushStyle::Solid);
            cv_.SetBrushColor(kGray);
            cv_.FillRect(x, y, x + side, y + side);
            cv_.SetBrushStyle(ui::BrushStyle::Clear);
        }
    }

    void Bodies() {
        static const int kMagClass[11] = {2, -4, -4, 1, -2, 1, -2, -1, 4, 4, 4};
        AstroDat& s = in_.s;
        NamesAs glyphs(s, true, false);
        const double scale = StripPixelsPerRadian(v_) * v_.Zoom;
        for (int i = 1; i <= 10; ++i) {
            const int x = StripX(v_, s.Bodies[i][kBodyLon]), y = StripY(v_, s.Bodies[i][kBodyLat]);
            v_.BodySpots[i] = {x, y, kMagClass[i], 0};
            const int r = i <= 2 ? RoundInt(BodyAngularSize(s, i) * scale / 2) : 0;
            cv_.SetPenColor(ui::kBlack);
            if (r > 7)
                ui::BufCircle(bmp_, x, y, r);
            else
                ui::DrawFont16TextBuf(bmp_, x - 8, y - 8, BodyName(s, i), ui::kBlack);
        }
    }

    StripView& v_;
    StripInputs& in_;
    ui::OffscreenBitmap& bmp_;
    ui::Canvas& cv_;
};

} // namespace

void RedrawStarAstr(StripView& v, StripInputs& in, ui::OffscreenBitmap& bmp,
                    const std::function<void()>& tooMany) {
    if (!in.Ready || bmp.Width() <= 0 || bmp.Height() <= 0) return;
    StripPainter(v, in, bmp).Draw(tooMany);
}

// --- Mouse ---------------------------------------------------------------------------------

StripPick StripHitTest(StripView& v, AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                       const AsteroidCatalogue& a, int x, int y) {
    int qx = x, qy = y;
    const auto near = [&qx, &qy](int ox, int oy) {
        return std::abs(qx - ox) + std::abs(qy - oy) < 5;
    };
    StripPick found = StripPick::None;
    std::string text, label;
    if (const int star = PickBrightestStar(v.ScreenStars, c, qx, qy); star > 0) {
        v.Picked = star;
        v.FoundLon = star < static_cast<int>(c.StarLon.size()) ? c.StarLon[star] : 0;
        found = StripPick::Star;
        text = StarHoverText(s, c, star);
        label = StarMapLabel(c, star, false);
    }
    if (found == StripPick::None)
        for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
            const DeepRec& o = d.DeepObjs[i];
            if (!near(o.ScreenX, o.ScreenY)) continue;
            qx = o.ScreenX;
            qy = o.ScreenY;
            v.Picked = i;
            v.FoundLon = o.Lon;
            text = (Trim(o.Code) + " ").substr(0, 16) + DeepObjText(s, d, i, 0);
            label = " " + text;
            found = StripPick::Deep;
            break;
        }
    if (found == StripPick::None)
        for (int i = 1; i <= 10; ++i) {
            const BodySpot& b = v.BodySpots[i];
            if (!near(b.X, b.Y)) continue;
            qx = b.X;
            qy = b.Y;
            v.Picked = i;
            v.FoundLon = s.PlanetLon[i];
            NamesAs words(s, false, s.ShortNames);
            text = Trim(BodyName(s, i));
            label = " " + text;
            found = StripPick::Body;
            break;
        }
    if (found == StripPick::None)
        for (int i = 1; i <= a.AstCount && i < static_cast<int>(a.AstCatalogue.size()); ++i) {
            const AstRec& r = a.AstCatalogue[i];
            if (!near(r.ScreenX, r.ScreenY)) continue;
            qx = r.ScreenX;
            qy = r.ScreenY;
            v.Picked = i;
            v.FoundLon = r.Lon;
            text = Trim(r.Name);
            label = " " + text;
            found = StripPick::Asteroid;
            break;
        }
    v.Found = found;
    if (found == StripPick::None) {
        v.HoverText.clear();
        v.HoverLabel.clear();
        return found;
    }
    v.HoverX = qx;
    v.HoverY = qy;
    v.HoverText = text;
    v.HoverLabel = label;
    return found;
}

void CalcCatalogueAsteroids(AstroDat& s, const GeneralOptions& gen, AsteroidCatalogue& a) {
    const int n = std::min<int>(a.AstCount, static_cast<int>(a.AstCatalogue.size()) - 1);
    if (n <= 0) return;
    std::vector<AsteroidRecord>& list = a.Work;
    list.resize(n);
    for (int i = 1; i <= n; ++i) {
        const AstRec& r = a.AstCatalogue[i];
        AsteroidRecord& w = list[i - 1];
        if (w.argPerihelion != r.Peri || w.node != r.Node || w.inclination != r.Incl)
            w.axesSet = false; // another orbit in this place (a sort, a new catalogue)
        w.meanAnomaly = r.M;
        w.argPerihelion = r.Peri;
        w.node = r.Node;
        w.inclination = r.Incl;
        w.e = r.Ecc;
        w.a = r.Axis;
        w.epoch = r.Epoch;
        w.meanMotion = r.N;
    }
    CalcAsteroidList(s, gen, list, n);
    for (int i = 1; i <= n; ++i) {
        a.AstCatalogue[i].Lon = list[i - 1].lon;
        a.AstCatalogue[i].Lat = list[i - 1].lat;
    }
}

} // namespace qor
