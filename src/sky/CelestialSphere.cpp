#include "sky/CelestialSphere.h"

#include "core/AstroMath.h"
#include "core/Ephemeris.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/BodyPoles.h"
#include "sky/DeepSky.h"
#include "sky/StarMarks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qor {

using ui::Colour;

namespace {

constexpr double kCircleStep = 0.05235987755982989; // 3 degrees
constexpr double kFirstPoint = 1e-7;
constexpr int kCirclePoints = 120;
constexpr Colour kGray = 0x808080, kSilver = 0xC0C0C0, kAqua = 0xFFFF00, kYellow = 0x00FFFF,
                 kGreen = 0x00FF00;

double SecondsToRad(double seconds) {
    return seconds * 15 * kArcsecToRad;
}

} // namespace

// --- Projection --------------------------------------------------------------------------------

SkyPoint SkyProject(const SkyView& v, double lon, double lat) {
    const double lam = lon + kPi / 2;
    const double phi = v.Tilt;
    const double sb = std::sin(lat), cb = std::cos(lat), sl = std::sin(lam), cl = std::cos(lam);
    double s, c, cosL, sinL;
    if (phi != 0) {
        const double sf = std::sin(phi), cf = std::cos(phi);
        s = cf * sb - sf * cb * sl;
        c = std::sqrt(std::max(0.0, 1 - s * s));
        if (c == 0) c = 1e-29;
        cosL = cb * cl / c;
        sinL = (sf * sb + cf * cb * sl) / c;
    } else {
        s = sb;
        c = cb;
        cosL = cl;
        sinL = sl;
    }
    SkyPoint p;
    p.Y = ClampCoord(v.cy - v.R * s);
    p.X = ClampCoord(v.cx - v.R * cosL * c);
    p.Depth = ClampCoord(v.R * c * sinL);
    return p;
}

double SkyRelativeLon(const SkyView& v, int system, double lon) {
    return NormAngle(system == kSkyHorizontal ? lon - v.CentreLon : v.CentreLon - lon);
}

void SkyGeometry(SkyView& v, int width, int height, int displayHeight, int zoom) {
    v.W = std::max(0, width - 5);
    v.H = std::max(0, height);
    v.cx = v.W / 2;
    v.cy = v.H / 2;
    // The sphere's size follows the display's height; a display too small to have one is
    // taken as the bitmap.
    long long den = static_cast<long long>(displayHeight) - 52;
    if (den <= 0) den = static_cast<long long>(v.H) - 52;
    if (den <= 0) den = std::max(1, v.H);
    v.R = static_cast<int>(static_cast<long long>(zoom) * v.H / den);
}

SkyFrame SkyFrame::Of(const AstroDat& s) {
    SkyFrame f;
    f.sinEps = s.SinEps;
    f.cosEps = s.CosEps;
    f.lst = SecondsToRad(s.SiderealTimeSec);
    f.sinPhi = std::sin(s.ChartLat);
    f.cosPhi = std::cos(s.ChartLat);
    return f;
}

void SkyFrame::Convert(int from, double lon, double lat, int to, double& outLon,
                       double& outLat) const {
    if (from == to) {
        outLon = lon;
        outLat = lat;
        return;
    }
    // Through the equator: (α, δ).
    double ra = lon, dec = lat;
    if (from == kSkyEcliptic) {
        const double sb = std::sin(lat), cb = std::cos(lat), sl = std::sin(lon);
        dec = std::asin(std::clamp(sb * cosEps + cb * sinEps * sl, -1.0, 1.0));
        ra = ArcTan2Pos(cb * sl * cosEps - sb * sinEps, cb * std::cos(lon));
    } else if (from == kSkyHorizontal) {
        const double sh = std::sin(lat), ch = std::cos(lat), cA = std::cos(lon);
        dec = std::asin(std::clamp(sinPhi * sh - cosPhi * ch * cA, -1.0, 1.0));
        const double hour = ArcTan2Pos(std::sin(lon) * ch, sh * cosPhi + ch * sinPhi * cA);
        ra = NormAngle(lst - hour);
    }
    if (to == kSkyEquatorial) {
        outLon = ra;
        outLat = dec;
    } else if (to == kSkyEcliptic) {
        const EclPos e = EquToEclTrue(sinEps, cosEps, dec, ra);
        outLon = e.lon;
        outLat = e.lat;
    } else {
        const HorPos h = EquToHorizon(sinPhi, cosPhi, lst, dec, ra);
        outLon = h.az;
        outLat = h.alt;
    }
}

void SkyBodyCoord(const AstroDat& s, int system, int i, double& lon, double& lat) {
    const BodyRec& b = s.Bodies.at(i);
    const int f = system == kSkyHorizontal   ? kBodyAzimuth
                  : system == kSkyEquatorial ? kBodyRA
                                             : kBodyLon;
    lon = b[f];
    lat = b[f + 1];
}

void SkyEnsureHorizon(SkyView& v, const AstroDat& s, StarCatalogue& c, DeepCatalogue& d) {
    if (v.HorizonValid && v.HorizonSidereal == s.SiderealTimeSec && v.HorizonLatitude == s.ChartLat &&
        static_cast<int>(c.StarAzimuth.size()) > c.StarCount)
        return;
    const double lst = SecondsToRad(s.SiderealTimeSec);
    const double sf = std::sin(s.ChartLat), cf = std::cos(s.ChartLat);
    const int n = std::min<int>(c.StarCount, static_cast<int>(c.StarRADate.size()) - 1);
    c.StarAzimuth.resize(static_cast<std::size_t>(c.StarCount) + 1);
    c.StarAltitude.resize(static_cast<std::size_t>(c.StarCount) + 1);
    for (int i = 1; i <= n; ++i) {
        const HorPos h = EquToHorizon(sf, cf, lst, c.StarDecDate[i], c.StarRADate[i]);
        c.StarAzimuth[i] = h.az;
        c.StarAltitude[i] = h.alt;
    }
    for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
        DeepRec& o = d.DeepObjs[i];
        const HorPos h = EquToHorizon(sf, cf, lst, o.Dec, o.RA);
        o.Azimuth = h.az;
        o.Altitude = h.alt;
    }
    v.HorizonValid = true;
    v.HorizonSidereal = s.SiderealTimeSec;
    v.HorizonLatitude = s.ChartLat;
}

void SkyStarCoord(const StarCatalogue& c, int system, int i, double& lon, double& lat) {
    const auto at = [i](const std::vector<double>& t) {
        return i < static_cast<int>(t.size()) ? t[i] : 0.0;
    };
    if (system == kSkyHorizontal) {
        lon = at(c.StarAzimuth);
        lat = at(c.StarAltitude);
    } else if (system == kSkyEquatorial) {
        lon = at(c.StarRADate);
        lat = at(c.StarDecDate);
    } else {
        lon = at(c.StarLon);
        lat = at(c.StarLat);
    }
}

void SkyDeepCoord(const DeepCatalogue& d, int system, int i, double& lon, double& lat) {
    const DeepRec& o = d.DeepObjs.at(i);
    lon = system == kSkyHorizontal ? o.Azimuth : system == kSkyEquatorial ? o.RA : o.Lon;
    lat = system == kSkyHorizontal ? o.Altitude : system == kSkyEquatorial ? o.Dec : o.Lat;
}

double BodyAngularSize(const AstroDat& s, int i) {
    static const double kDiameterKm[11] = {12757,  1392000, 3476,  4700,  12400, 6900,
                                           142000, 120000,  51000, 55000, 5900};
    if (i < 0 || i > 10) return 0;
    const double au = s.Bodies[i][kBodyDistance];
    if (!(au > 0)) return 0;
    return std::atan(kDiameterKm[i] / 149600000.0 / au);
}

// --- Steering ------------------------------------------------------------------------------------

namespace {

void ClearHover(SkyView& v) {
    v.HoverText.clear();
    v.HoverLabel.clear();
}

} // namespace

bool RotateSkyLon(SkyView& v, int system, char sign, double step) {
    double d = v.Step * kDegToRad * step;
    if (system == kSkyHorizontal) d = -d;
    v.CentreLon = NormAngle(sign == '+' ? v.CentreLon + d : v.CentreLon - d);
    ClearHover(v);
    return true;
}

bool TiltSky(SkyView& v, char sign, double step) {
    const double d = v.Step * kDegToRad * step;
    const double t = sign == '+' ? v.Tilt + d : v.Tilt - d;
    if (t > kPi / 2 || t < -kPi / 2) return false;
    v.Tilt = t;
    ClearHover(v);
    return true;
}

bool ZoomSky(SkyView& v, int num, int den) {
    if (den == 0) return false;
    const long long m = static_cast<long long>(v.Zoom) * num / den;
    if ((m > kSkyZoomMax && num > den) || (m < kSkyZoomMin && num < den)) return false;
    v.Zoom = static_cast<int>(m);
    v.Step = v.Zoom >= 1600 ? 1 : 10;
    ClearHover(v);
    return true;
}

namespace {

bool ParseNumber(std::string_view t, double& out) {
    t = std::string_view(t.data(), t.size());
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (t.empty()) return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(out);
}

bool ParseSkyEdit(const std::string& text, double& tilt, double& centre, int& zoom) {
    std::vector<std::string> f(1);
    for (char ch : text) {
        if (ch == ';')
            f.emplace_back();
        else
            f.back() += ch;
    }
    if (f.size() != 3) return false;
    double z = 0;
    if (!ParseNumber(f[0], tilt) || !ParseNumber(f[1], centre) || !ParseNumber(f[2], z))
        return false;
    if (z != std::floor(z) || z < kSkyZoomMin || z > kSkyZoomMax) return false;
    if (tilt < -kPi / 2 || tilt > kPi / 2) return false;
    zoom = static_cast<int>(z);
    return true;
}

std::string Fixed5(double x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 5);
    return std::string(buf, r.ptr);
}

} // namespace

void ReadSkyEdit(SkyView& v, const std::string& text) {
    double tilt = 0, centre = 0;
    int zoom = 0;
    if (!ParseSkyEdit(text, tilt, centre, zoom)) ParseSkyEdit(kSkyEditDefault, tilt, centre, zoom);
    v.Tilt = tilt;
    v.CentreLon = centre >= 0 && centre < kTwoPi ? centre : NormAngle(centre);
    v.Zoom = zoom;
    v.Step = zoom >= 1600 ? 1 : 10;
}

std::string SkyEditText(const SkyView& v) {
    return Fixed5(v.Tilt) + ";" + Fixed5(v.CentreLon) + ";" + std::to_string(v.Zoom);
}

bool SkyFixSun(SkyView& v, bool on) {
    if (!on) {
        v.FixedSun = false;
        return true;
    }
    if (v.SunX == 0 || v.SunY == 0) return false;
    v.FixedSun = true;
    v.SunFixX = v.SunX;
    v.SunFixY = v.SunY;
    return true;
}

// --- Drawing
// ---------------------------------------------------------------------------------------

namespace {

class SkyPainter {
public:
    SkyPainter(SkyView& v, SkyInputs& in, ui::OffscreenBitmap& bmp)
        : v_(v), in_(in), o_(in.options), bmp_(bmp), cv_(bmp.canvas()), frame_(SkyFrame::Of(in.s)) {
    }

    void Draw(const std::function<void()>& tooMany) {
        SkyGeometry(v_, bmp_.Width(), bmp_.Height(),
                    in_.DisplayHeight > 0 ? in_.DisplayHeight : bmp_.Height(), v_.Zoom);
        Background();
        v_.PixelsPerDegree = SkyProject(v_, kDegToRad, 0).X - SkyProject(v_, 0, 0).X;
        FixSun();
        cv_.SetPenColor(kGray);
        cv_.SetPenWidth(1);
        cv_.SetBrushStyle(ui::BrushStyle::Clear);
        ui::BufCircle(bmp_, v_.cx, v_.cy, v_.R);
        if (o_.Ecliptic) Ecliptic();
        if (o_.Equator) EquatorAndHouses();
        if (o_.Horizon) Horizon();
        if (o_.Stars) StarsAndDeepSky(tooMany);
        if (o_.Planets) Bodies();
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
        cv_.SetBrushColor(o_.White ? ui::kWhite : ui::kBlack);
        if (!v_.HoverText.empty())
            ui::TextOutSymbol(v_.HoverX, v_.HoverY - 18, v_.HoverLabel, v_.HoverColour, cv_);
    }

private:
    // The point of (lon, lat) of system `from` on the screen.
    SkyPoint Project(int from, double lon, double lat) const {
        double l, b;
        frame_.Convert(from, lon, lat, o_.System, l, b);
        return SkyProject(v_, SkyRelativeLon(v_, o_.System, l), b);
    }

    void Background() {
        const Colour bg = o_.White ? ui::kWhite : ui::kBlack;
        v_.HoverColour = o_.White ? ui::kBlack : kAqua;
        v_.BackSide = o_.White ? ui::kBlack : ui::kWhite;
        if (in_.Font) in_.Font->Font16BackColor = bg;
        ui::ClearBuffer(bmp_, bg);
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
        cv_.SetBrushColor(bg);
    }

    // Turns and tilts the view so that the Sun comes back to its remembered point.
    void FixSun() {
        if (!v_.FixedSun || (v_.SunX == 0 && v_.SunY == 0) || v_.PixelsPerDegree == 0) return;
        for (int pass = 0; pass < 6; ++pass) {
            double lon, lat;
            SkyBodyCoord(in_.s, o_.System, 1, lon, lat);
            const SkyPoint p = SkyProject(v_, SkyRelativeLon(v_, o_.System, lon), lat);
            if (p.X >= 0 && p.X <= v_.W && p.Y >= 0 && p.Y <= v_.H && p.Depth >= 0) {
                v_.SunX = p.X;
                v_.SunY = p.Y;
            }
            const int dx = v_.SunX - v_.SunFixX, dy = v_.SunY - v_.SunFixY;
            if (dx == 0 && dy == 0) break;
            const double perPixel = kDegToRad / v_.PixelsPerDegree;
            if (dx != 0) v_.CentreLon += (o_.System == kSkyHorizontal ? dx : -dx) * perPixel;
            if (dy != 0) v_.Tilt -= dy * perPixel;
            v_.CentreLon = NormAngle(v_.CentreLon);
            v_.Tilt = std::clamp(v_.Tilt, -kPi / 2, kPi / 2);
        }
    }

    // One great circle of 120 points: each point's screen place, whether it is drawn, its
    // colour; the points joined where they lie close.
    struct CirclePoint {
        SkyPoint p;
        bool drawn = false;
        Colour colour = 0;
    };
    template <class PointOf>
    std::array<CirclePoint, kCirclePoints + 1>
    Circle(Colour line, PointOf pointOf, const std::function<bool(int)>& noPixel = {}) {
        std::array<CirclePoint, kCirclePoints + 1> pts{};
        cv_.SetPenColor(kGray);
        int prev = 0;
        const auto close = [](const SkyPoint& a, const SkyPoint& b) {
            const double dx = a.X - double(b.X), dy = a.Y - double(b.Y);
            return dx * dx + dy * dy < 90000;
        };
        for (int k = 1; k <= kCirclePoints; ++k) {
            CirclePoint& c = pts[k];
            c.p = pointOf(k);
            if (o_.White) cv_.SetPenColor(c.p.Depth >= 0 ? kSilver : ui::kBlack);
            c.colour = c.p.Depth < 0 ? v_.BackSide : line;
            if (c.p.Depth < 1 && !o_.Outside) continue;
            c.drawn = true;
            if (prev > 0 && close(pts[prev].p, c.p)) {
                cv_.MoveTo(pts[prev].p.X, pts[prev].p.Y);
                cv_.LineTo(c.p.X, c.p.Y);
            }
            if (!noPixel || !noPixel(k)) cv_.SetPixel(c.p.X, c.p.Y, c.colour);
            prev = k;
        }
        if (pts[kCirclePoints].drawn && pts[1].drawn && close(pts[kCirclePoints].p, pts[1].p)) {
            cv_.MoveTo(pts[kCirclePoints].p.X, pts[kCirclePoints].p.Y);
            cv_.LineTo(pts[1].p.X, pts[1].p.Y);
            if (!noPixel || !noPixel(1)) cv_.SetPixel(pts[1].p.X, pts[1].p.Y, pts[1].colour);
        }
        return pts;
    }

    void Ecliptic() {
        const Colour line = o_.White ? kGray : kAqua;
        const auto middle = [this](int k) { return o_.Zodiac && (k - 1) % 10 == 5; };
        const auto pts = Circle(
            line,
            [this](int k) { return Project(kSkyEcliptic, (k - 1) * kCircleStep + kFirstPoint, 0); },
            middle);
        if (!o_.Zodiac) return;
        NamesAs glyphs(in_.s, true, false);
        const uint8_t mode = in_.Font ? in_.Font->Font16BackMode : 0;
        if (in_.Font) in_.Font->Font16BackMode = 1;
        for (int k = 1; k <= kCirclePoints; ++k) {
            if (!middle(k) || !pts[k].drawn) continue;
            const int sign = (k - 1) / 10 + 1;
            ui::DrawFont16TextBuf(bmp_, pts[k].p.X - 6, pts[k].p.Y - 8, SignName(in_.s, sign),
                                  pts[k].colour);
        }
        if (in_.Font) in_.Font->Font16BackMode = mode == 1 ? 0 : mode;
    }

    void EquatorAndHouses() {
        const Colour line = o_.White ? kSilver : kYellow;
        Circle(line,
               [this](int k) { return Project(kSkyEquatorial, k * kCircleStep + kFirstPoint, 0); });
        if (!o_.Houses) return;
        const AstroDat& s = in_.s;
        for (int k = 1; k <= 6; ++k) {
            const double lam = NormAngle(s.PlanetLon[26 + k]);
            double ra = std::atan(std::tan(lam) * s.CosEps);
            if (lam > kPi / 2 && lam < 3 * kPi / 2) ra += kPi;
            ra = NormAngle(ra);
            Circle(line, [this, ra](int n) {
                const double t = (n - 1) * kCircleStep + kFirstPoint;
                if (t <= kPi / 2) return Project(kSkyEquatorial, ra, t);
                if (t <= 3 * kPi / 2) return Project(kSkyEquatorial, NormAngle(ra + kPi), kPi - t);
                return Project(kSkyEquatorial, ra, t - kTwoPi);
            });
        }
        cv_.SetBrushStyle(ui::BrushStyle::Clear);
        for (int k = 1; k <= 12; ++k) {
            const SkyPoint p = Project(kSkyEcliptic, s.PlanetLon[26 + k], 0);
            if (!(p.Depth > 0 || o_.Outside)) continue;
            const char* names[13] = {"", "Asc", "", "", "IC", "", "", "Dsc", "", "", "MC", "", ""};
            const std::string text = *names[k] ? std::string(names[k]) : std::to_string(k);
            ui::BufTextOut(bmp_, p.X, p.Y, text, p.Depth < 0 ? v_.BackSide : line);
        }
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
    }

    void Horizon() {
        const Colour line = o_.White ? kGray : kGreen;
        const auto pts = Circle(line, [this](int k) {
            return Project(kSkyHorizontal, (k - 1) * kCircleStep + kFirstPoint, 0);
        });
        cv_.SetBrushStyle(ui::BrushStyle::Clear);
        const std::pair<int, const char*> letters[] = {{1, "S"}, {31, "W"}, {61, "N"}, {91, "E"}};
        for (const auto& [k, letter] : letters)
            if (pts[k].drawn) ui::BufTextOut(bmp_, pts[k].p.X, pts[k].p.Y, letter, pts[k].colour);
        if (o_.Axes) {
            const SkyPoint axes[3] = {Project(kSkyHorizontal, 0, 0),
                                      Project(kSkyHorizontal, kPi / 2, 0),
                                      Project(kSkyHorizontal, 0, kPi / 2)};
            for (int a = 0; a < 3; ++a) {
                const SkyPoint& p = axes[a];
                cv_.SetPenColor(p.Depth >= 0 ? kSilver : v_.BackSide);
                ui::BufLine(bmp_, v_.cx, v_.cy, p.X, p.Y);
                if (a == 2)
                    ui::BufTextOut(bmp_, p.X + 2, p.Y, "Z", p.Depth >= 0 ? kSilver : v_.BackSide);
            }
        }
        if (o_.AxisBody >= 1 && o_.AxisBody <= 9) PlanetAxis(o_.AxisBody);
        cv_.SetBrushStyle(ui::BrushStyle::Solid);
    }

    // Body k's rotation axis and the direction cosines of its north pole.
    void PlanetAxis(int k) {
        AstroDat& s = in_.s;
        const PoleDirection pole = BodyEquatorPole(s, k);
        const SkyPoint p = Project(kSkyEcliptic, pole.lon, pole.lat);
        const Colour c = p.Depth >= 0 ? (o_.White ? kSilver : kGray) : v_.BackSide;
        cv_.SetPenColor(c);
        ui::BufLine(bmp_, v_.cx, v_.cy, p.X, p.Y);
        if (p.Depth != 0) {
            NamesAs glyphs(s, true, false);
            ui::DrawFont16TextBuf(bmp_, p.X - 8, p.Y - 4, "N" + BodyName(s, k), c);
        }
        double az, alt;
        frame_.Convert(kSkyEcliptic, pole.lon, pole.lat, kSkyHorizontal, az, alt);
        const auto dir = [](double a, double h) {
            return std::array<double, 3>{std::cos(a) * std::cos(h), std::sin(a) * std::cos(h),
                                         std::sin(h)};
        };
        const auto cosine = [](const std::array<double, 3>& u, const std::array<double, 3>& w) {
            const double n = std::sqrt((u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) *
                                       (w[0] * w[0] + w[1] * w[1] + w[2] * w[2]));
            return n > 0 ? (u[0] * w[0] + u[1] * w[1] + u[2] * w[2]) / n : 0.0;
        };
        const auto P = dir(az, alt);
        const auto sun = dir(s.Bodies[1][kBodyAzimuth], s.Bodies[1][kBodyAltitude]);
        const auto own = dir(s.Bodies[k][kBodyAzimuth], s.Bodies[k][kBodyAltitude]);
        const std::pair<const char*, double> rows[] = {{"cos(Fs) = ", P[0]},
                                                       {"cos(Fw) = ", P[1]},
                                                       {"cos(Fz) = ", P[2]},
                                                       {"cos(S) = ", cosine(P, sun)},
                                                       {"cos(P) = ", cosine(P, own)}};
        for (int r = 0; r < 5; ++r)
            ui::BufTextOut(bmp_, 10, 10 + 20 * r,
                           rows[r].first + Trim(FloatToStrComma(0, 5, rows[r].second)),
                           v_.BackSide);
    }

    bool Visible(const SkyPoint& p) const {
        return p.Depth >= 1 && p.X >= 1 && p.X < v_.W && p.Y >= 1 && p.Y < v_.H;
    }

    void StarsAndDeepSky(const std::function<void()>& tooMany) {
        StarCatalogue& c = in_.stars;
        DeepCatalogue& d = in_.deep;
        if (o_.System == kSkyHorizontal) SkyEnsureHorizon(v_, in_.s, c, d);
        ScreenStarTable& shown = v_.ScreenStars;
        shown.X.resize(kMaxStars + 1);
        shown.Y.resize(kMaxStars + 1);
        shown.StarIndex.resize(kMaxStars + 1);
        int count = 0;
        bool warned = false;
        const std::string& only = in_.SelectedSozv;
        const StarMarkScheme scheme = o_.White ? StarColorsDark() : StarColorsLight();
        const int placed = std::min<int>(c.StarCount, static_cast<int>(c.StarRADate.size()) - 1);
        for (int i = 1; i <= placed; ++i) {
            const YaleRec& y = c.YaleStars[i];
            if (!only.empty() && y.ConstellationCode() != only) continue;
            if (y.Mag > o_.Magn) continue;
            double lon, lat;
            SkyStarCoord(c, o_.System, i, lon, lat);
            const SkyPoint p = SkyProject(v_, SkyRelativeLon(v_, o_.System, lon), lat);
            if (!Visible(p)) continue;
            DrawStarMark(cv_, p.X, p.Y, y.Mag, scheme);
            if (count < kSkyScreenStarsMax) {
                ++count;
                shown.X[count] = p.X;
                shown.Y[count] = p.Y;
                shown.StarIndex[count] = i;
            } else if (!warned) {
                warned = true;
                if (tooMany) tooMany();
            }
        }
        shown.Count = count;
        for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
            DeepRec& o = d.DeepObjs[i];
            o.ScreenX = o.ScreenY = 0;
            if (!only.empty() && Trim(o.Constellation) != only) continue;
            double lon, lat;
            SkyDeepCoord(d, o_.System, i, lon, lat);
            const SkyPoint p = SkyProject(v_, SkyRelativeLon(v_, o_.System, lon), lat);
            if (!Visible(p)) continue;
            for (int dx = 0; dx <= 1; ++dx)
                for (int dy = 0; dy <= 1; ++dy) cv_.SetPixel(p.X + dx, p.Y + dy, kSilver);
            o.ScreenX = p.X;
            o.ScreenY = p.Y;
        }
    }

    void Bodies() {
        const int ext = in_.ExterrBody;
        for (int i = ext != 0 ? 0 : 1; i <= 10; ++i) {
            if (i == ext || (i == 2 && ext != 0)) continue;
            double lon, lat;
            SkyBodyCoord(in_.s, o_.System, i, lon, lat);
            Body(i, lon, lat);
        }
    }

    void Body(int i, double lon, double lat) {
        static const int kMagClass[11] = {2, -4, -4, 1, -2, 1, -2, -1, 4, 4, 4};
        BodySpot& spot = v_.BodySpots[i];
        spot.X = spot.Y = 0;
        if (i == 1) v_.SunX = v_.SunY = 0;
        const SkyPoint p = SkyProject(v_, SkyRelativeLon(v_, o_.System, lon), lat);
        if (p.X < 0 || p.X > v_.W || p.Y < 0 || p.Y > v_.H) return;
        if (p.Depth < 0 && !o_.Outside) return;
        spot = {p.X, p.Y, kMagClass[i], p.Depth};
        if (i == 1) {
            v_.SunX = p.X;
            v_.SunY = p.Y;
        }
        const int r = static_cast<int>(
            std::nearbyint(BodyAngularSize(in_.s, i) * v_.PixelsPerDegree / kDegToRad / 2));
        if (i <= 2 && r >= 3) {
            cv_.SetPenColor(kSilver);
            ui::BufFillWith(bmp_, p.X, p.Y, r, ui::BrushStyle::Solid,
                            i == 1 ? kYellow : ui::kBlack);
            return;
        }
        const StarMarkScheme scheme = o_.White ? StarColorsDark()
                                      : i == 1 ? StarColorsYellow()
                                               : StarColorsLight();
        DrawStarMark(cv_, p.X, p.Y, kMagClass[i], scheme);
    }

    SkyView& v_;
    SkyInputs& in_;
    const SkyOptions& o_;
    ui::OffscreenBitmap& bmp_;
    ui::Canvas& cv_;
    SkyFrame frame_;
};

} // namespace

void RedrawSky(SkyView& v, SkyInputs& in, ui::OffscreenBitmap& bmp,
               const std::function<void()>& tooMany) {
    if (!in.Ready || bmp.Width() <= 0 || bmp.Height() <= 0) return;
    SkyPainter(v, in, bmp).Draw(tooMany);
}

// --- Mouse ---------------------------------------------------------------------------------------

int PickBrightestStar(const ScreenStarTable& t, const StarCatalogue& c, int& x, int& y) {
    int picked = 0;
    double best = 999.0;
    for (int k = 1; k <= t.Count && k < static_cast<int>(t.X.size()); ++k) {
        const int star = t.StarIndex[k];
        if (star < 1 || star > c.StarCount) continue;
        const double mag = c.YaleStars[star].Mag;
        if (std::abs(x - t.X[k]) + std::abs(y - t.Y[k]) >= 5 || !(mag < best)) continue;
        best = mag;
        x = t.X[k];
        y = t.Y[k];
        picked = star;
    }
    return picked;
}

std::string StarHoverText(const AstroDat& s, const StarCatalogue& c, int star) {
    return StarDesignation(s, c, star, false) + "  m " +
           Trim(FloatToStrComma(0, 1, c.YaleStars[star].Mag));
}

bool SkyHitTest(SkyView& v, AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                bool starsShown, int x, int y) {
    int px = x, py = y;
    v.StarFound = v.DeepFound = v.BodyFound = false;
    std::string text, label;
    const auto near = [&px, &py](int ox, int oy) {
        return std::abs(px - ox) + std::abs(py - oy) < 5;
    };
    if (starsShown) {
        v.Picked = PickBrightestStar(v.ScreenStars, c, px, py);
        v.StarFound = v.Picked > 0;
        if (v.StarFound) {
            text = StarHoverText(s, c, v.Picked);
            label = StarMapLabel(c, v.Picked, false);
        } else {
            for (int i = 1; i <= d.DeepCount && i < static_cast<int>(d.DeepObjs.size()); ++i) {
                const DeepRec& o = d.DeepObjs[i];
                if (o.ScreenX <= 0 || !near(o.ScreenX, o.ScreenY)) continue;
                px = o.ScreenX;
                py = o.ScreenY;
                v.Picked = i;
                v.DeepFound = true;
                text = (Trim(o.Code) + " ").substr(0, 16) + DeepObjText(s, d, i, 0) + "  m " +
                       Trim(FloatToStrComma(0, 1, o.Mag));
                label = (" " + Trim(o.Code) + " " + Trim(o.Comment)).substr(0, 56);
                break;
            }
        }
    }
    if (!v.StarFound) {
        for (int i = 0; i <= 10; ++i) {
            const BodySpot& b = v.BodySpots[i];
            if (b.X == 0 || !near(b.X, b.Y)) continue;
            px = b.X;
            py = b.Y;
            v.Picked = i;
            v.BodyFound = true;
            v.DeepFound = false;
            NamesAs words(s, false, s.ShortNames);
            text = Trim(BodyName(s, i));
            label = " " + text;
            break;
        }
    }
    const bool found = v.StarFound || v.DeepFound || v.BodyFound;
    if (!found) {
        v.HoverText.clear();
        v.HoverLabel.clear();
        return false;
    }
    v.HoverX = px;
    v.HoverY = py;
    v.HoverText = text;
    v.HoverLabel = label;
    return true;
}

bool IsPleiadesStar(int bs) {
    static const int kMembers[] = {1140, 1142, 1145, 1149, 1151, 1152, 1156, 1165, 1178, 1180};
    return std::find(std::begin(kMembers), std::end(kMembers), bs) != std::end(kMembers);
}

} // namespace qor

namespace qor {

int SozvKey(const std::string& row, int column) {
    const std::size_t from = column == 2 ? 4 : 0;
    int key = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        unsigned char ch = from + k < row.size() ? static_cast<unsigned char>(row[from + k]) : ' ';
        if (ch >= 'a' && ch <= 'z') ch = static_cast<unsigned char>(ch - 'a' + 'A');
        key = key * 256 + ch;
    }
    return key;
}

bool SozvKeyLess(const std::string& a, const std::string& b, int column) {
    return SozvKey(a, column) < SozvKey(b, column);
}

void SozvSort(std::vector<std::string>& rows, int low, int high, int column) {
    if (low >= high || low < 0 || high >= static_cast<int>(rows.size())) return;
    const std::string pivot = rows[(low + high) / 2];
    int i = low, j = high;
    while (i <= j) {
        while (SozvKeyLess(rows[i], pivot, column)) ++i;
        while (SozvKeyLess(pivot, rows[j], column)) --j;
        if (i <= j) {
            std::swap(rows[i], rows[j]);
            ++i;
            --j;
        }
    }
    if (low < j) SozvSort(rows, low, j, column);
    if (i < high) SozvSort(rows, i, high, column);
}

} // namespace qor
