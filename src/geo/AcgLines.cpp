#include "geo/AcgLines.h"

#include "core/AstroDat.h"
#include "core/AstroMath.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr double kStep = kPi / 6; // one aspect step, 30°
constexpr double kRadToUnits = 180.0 * 600.0 / kPi;

// The cosine and sine of each whole degree of longitude 0..359, as every curve takes them.
const std::array<std::pair<double, double>, 360>& DegreeCosSin() {
    static const auto table = [] {
        std::array<std::pair<double, double>, 360> t{};
        for (int k = 0; k < 360; ++k) {
            const double l = k * kDegToRad;
            t[static_cast<std::size_t>(k)] = {std::cos(l), std::sin(l)};
        }
        return t;
    }();
    return table;
}

// The curve of the points where (ra, dec) stands on the horizon: for each longitude L the
// latitude φ with cos φ cos δ cos H + sin φ sin δ = 0, H = L + GST − α the hour angle.
std::vector<std::pair<double, double>> HorizonCurve(double gst, double ra, double dec) {
    const double g = gst - ra;
    const double a = std::cos(dec) * std::cos(-g), b = std::cos(dec) * std::sin(-g);
    double c = std::sin(dec);
    if (c == 0) c = 1e-29;
    std::vector<std::pair<double, double>> pts;
    pts.reserve(360);
    const auto& cs = DegreeCosSin();
    for (int k = 0; k < 360; ++k) {
        const auto [cosL, sinL] = cs[static_cast<std::size_t>(k)];
        pts.emplace_back(k * kDegToRad, std::atan(-(cosL * a + sinL * b) / c));
    }
    return pts;
}

bool Chosen(const AcgInput& in, int planet) {
    const std::size_t i = static_cast<std::size_t>(planet - 1);
    return i < in.planetMask.size() && in.planetMask[i] == '|';
}

} // namespace

char AcgAspectChar(int step) {
    switch (std::abs(step)) {
    case 0:
        return '0';
    case 2:
        return '5';
    case 3:
        return '7';
    case 4:
        return '9';
    case 6:
        return '=';
    default:
        return ' ';
    }
}

AcgLines ComputeAcgLines(const AcgInput& in) {
    AcgLines out;
    const double gst = in.lst - in.chartLong;
    for (int i = 1; i <= 10; ++i) {
        if (!in.ascDsc || !Chosen(in, i)) continue;
        const double ra = in.ra[static_cast<std::size_t>(i)];
        const double dec = in.dec[static_cast<std::size_t>(i)];
        const double r = NormAngle(ra - gst);
        for (int a : {0, 2, 3, 4}) {
            if (a != 0 && !in.majorAspects) continue;
            AcgCurve c;
            c.planet = i;
            c.aspect = a;
            c.label = in.glyph[static_cast<std::size_t>(i)] + AcgAspectChar(a) + '\x0E';
            c.reference = r;
            c.ra = NormAngle(ra - a * kStep);
            c.dec = dec;
            c.points = HorizonCurve(gst, c.ra, dec);
            out.curves.push_back(std::move(c));
        }
    }
    for (int i = 1; i <= 10; ++i) {
        if (!in.mcIc || !Chosen(in, i)) continue;
        const double ra = in.ra[static_cast<std::size_t>(i)];
        for (int a = -5; a <= 6; ++a) {
            if (std::abs(a) == 1 || std::abs(a) == 5) continue;
            if (!in.majorAspects && a != 0 && a != 6) continue;
            AcgMeridian m;
            m.planet = i;
            m.aspect = a;
            m.label = in.glyph[static_cast<std::size_t>(i)] + AcgAspectChar(a) + '\x0F';
            m.longitude = NormAngle(NormAngle(ra - a * kStep) - gst);
            out.meridians.push_back(std::move(m));
        }
    }
    if (in.houses) {
        for (int h = 1; h <= 6; ++h) {
            AcgCurve c;
            c.aspect = h;
            c.label = std::to_string(h);
            c.ra = in.houseRa[static_cast<std::size_t>(h)];
            c.dec = in.houseDec[static_cast<std::size_t>(h)];
            c.reference = c.ra - gst;
            c.points = HorizonCurve(gst, c.ra, c.dec);
            out.curves.push_back(std::move(c));
        }
    }
    return out;
}

AcgInput AcgInputOf(const AstroDat& s, bool parallaxApplied) {
    AcgInput in;
    in.lst = LocalSiderealRad(s);
    in.chartLong = s.ChartLong;
    for (int i = 1; i <= 10; ++i) {
        const BodyRec& b = s.Bodies[static_cast<std::size_t>(i)];
        double ra = b[kBodyRA], dec = b[kBodyDec];
        if (parallaxApplied) {
            // Back from the observer to the Earth's centre: the topocentric vector plus the
            // observer's (the inverse of the parallax the chart applied).
            const double k = kAstronomicalUnitKm / kEarthRadiusKm;
            const double r = b[kBodyDistance] * k;
            if (b[kBodyDistance] <= 30 && r > 0) {
                const double cgl = std::cos(s.GeocLat);
                const double x =
                    r * std::cos(dec) * std::cos(ra) + s.GeocRadius * cgl * std::cos(in.lst);
                const double y =
                    r * std::cos(dec) * std::sin(ra) + s.GeocRadius * cgl * std::sin(in.lst);
                const double z = r * std::sin(dec) + s.GeocRadius * std::sin(s.GeocLat);
                ra = ArcTan2Pos(y, x);
                dec = std::atan2(z, std::hypot(x, y));
            }
        }
        in.ra[static_cast<std::size_t>(i)] = ra;
        in.dec[static_cast<std::size_t>(i)] = dec;
    }
    for (int h = 1; h <= 6; ++h) {
        // the point a quarter beyond the cusp, on the ecliptic, with the true obliquity
        const double lon = s.PlanetLon[static_cast<std::size_t>(26 + h)] + kPi / 2;
        in.houseRa[static_cast<std::size_t>(h)] =
            ArcTan2Pos(std::sin(lon) * s.CosEps, std::cos(lon));
        in.houseDec[static_cast<std::size_t>(h)] = std::asin(s.SinEps * std::sin(lon));
    }
    return in;
}

// --- Label slots ------------------------------------------------------------------------------

void AcgLabelSlots::Reset() {
    curveX.fill(-1);
    meridianX.fill(-1);
    points.fill({-1, -1});
}

int AcgLabelSlots::SpaceX(std::array<int, 80>& taken, int x) {
    for (int pass = 0; pass < 3; ++pass) {
        bool moved = false;
        for (int x0 : taken) {
            if (x0 < 0) continue;
            if (x0 <= x && x < x0 + 10) {
                x = x0 + 10;
                moved = true;
                break;
            }
            if (x0 - 10 <= x && x < x0) {
                x = x0 - 10;
                moved = true;
                break;
            }
        }
        if (!moved) break;
    }
    for (int& slot : taken)
        if (slot < 0) {
            slot = x;
            break;
        }
    return x;
}

int AcgLabelSlots::SpaceXY(int x, int y, int middleX) {
    for (int pass = 0; pass < 3; ++pass) {
        bool moved = false;
        for (const auto& [x0, y0] : points) {
            if (x0 < 0) continue;
            if (x0 == x && std::abs(y - y0) < 40) {
                x += x < middleX ? 10 : -10;
                moved = true;
                break;
            }
        }
        if (!moved) break;
    }
    for (auto& slot : points)
        if (slot.first < 0) {
            slot = {x, y};
            break;
        }
    return x;
}

// --- Drawing ----------------------------------------------------------------------------------

namespace {

class AcgPainter {
public:
    AcgPainter(const GeoMapView& v, ui::Colour line, ui::Colour label, ui::Canvas& cv,
               ui::Font16State& font)
        : v_(v), line_(line), label_(label), cv_(cv), font_(font) {}

    // The curve as polylines, one per run between jumps across the map's seam.
    void Curve(const AcgCurve& c) {
        if (c.points.empty()) return;
        cv_.SetPenColor(line_);
        QPolygon run;
        QPoint prev = Pixel(c.points.front().first, c.points.front().second);
        run << prev;
        auto step = [&](double lon, double lat) {
            const QPoint p = Pixel(lon, lat);
            Label(c, lon, lat, prev, p);
            if (std::abs(p.x() - prev.x()) >= 300) {
                Flush(run);
                run.clear();
            }
            run << p;
            prev = p;
        };
        for (std::size_t k = 1; k < c.points.size(); ++k)
            step(c.points[k].first, c.points[k].second);
        step(c.points.front().first, c.points.front().second); // closed
        Flush(run);
        cv_.MoveTo(prev.x(), prev.y());
    }

    void Meridian(const AcgMeridian& m) {
        const int x = Pixel(m.longitude, 0).x();
        cv_.SetPenColor(line_);
        cv_.Painter().drawLine(x, v_.topMargin, x, v_.mapHeight - 1);
        const int lx = spacing.SpaceX(spacing.meridianX, x);
        const int h = v_.mapHeight;
        Glyphs(lx - 2, h - 44, m.label, true);
        spots.push_back({lx - 2, h - 44, m.label, true});
    }

    AcgLabelSlots spacing;
    std::vector<AcgLabelSpot> spots;

private:
    QPoint Pixel(double lon, double lat) const {
        // east of the view's left edge, within one turn: up to a turn beyond by one exact
        // subtraction (what fmod gives there), else by fmod
        const double turn = kGeoFullTurn;
        double dx = lon * kRadToUnits - v_.view.left;
        if (dx >= turn && dx < 2 * turn)
            dx -= turn;
        else if (!(dx >= 0 && dx < turn))
            dx = std::fmod(dx, turn);
        if (dx < 0) dx += kGeoFullTurn;
        if (v_.level >= 2 && dx > kGeoHalfTurn) dx -= kGeoFullTurn;
        const double y = (lat * kRadToUnits - v_.view.top) * v_.scaleY;
        return QPoint(RoundPixel(std::clamp(dx * v_.scaleX, -1e6, 1e6)) + v_.leftMargin,
                      RoundPixel(std::clamp(y, -1e6, 1e6)) + v_.topMargin);
    }

    void Flush(const QPolygon& run) {
        if (run.size() >= 2) cv_.Painter().drawPolyline(run);
    }

    void Label(const AcgCurve& c, double lon, double lat, QPoint p0, QPoint p1) {
        const int x0 = p0.x(), y0 = p0.y(), x1 = p1.x(), y1 = p1.y();
        const int ym = (v_.topMargin + v_.mapHeight) / 2;
        const bool crosses = (y1 - ym < 1 && y0 - ym > 0) || (y1 - ym >= 1 && y0 - ym <= 0);
        if (!crosses || y0 == y1 || std::abs(x1 - x0) >= 300) return;
        int x = static_cast<int>(std::lround(x0 - (x0 - x1) * double(y0 - ym) / (y0 - y1)));
        int y = ym;
        bool middle = true;
        if (x + 16 > v_.mapWidth && x + 16 - v_.mapWidth < 300) {
            if (x0 == x1) return;
            x = v_.mapWidth - 16;
            const int yr =
                static_cast<int>(std::lround(y0 - (y0 - y1) * double(x0 - x) / (x0 - x1)));
            y = yr + static_cast<int>(std::lround((ym - yr) * 0.3 * lat));
            middle = false;
        } else if (x < v_.leftMargin && v_.leftMargin - x < 300) {
            if (x0 == x1) return;
            x = v_.leftMargin;
            y = y0 - static_cast<int>(std::lround((y0 - y1) * double(x0 - x) / (x0 - x1)));
            middle = false;
        }
        std::string text = c.label;
        if (c.planet == 0) {
            int h = std::atoi(text.c_str());
            if (h >= 1 && h <= 3) h += 6;
            const double d = std::remainder(lon - c.reference, 2 * kPi);
            if (d <= -kPi / 6 && h >= 7 && h <= 9) h -= 6;
            if (d > kPi / 6 && h >= 4 && h <= 6) h += 6;
            text = h == 1    ? "Asc"
                   : h == 4  ? "IC"
                   : h == 7  ? "Dsc"
                   : h == 10 ? "MC"
                             : std::to_string(h);
            cv_.SetBrushStyle(ui::BrushStyle::Clear);
            cv_.SetFontColor(label_);
            cv_.TextOut(x, y, text);
            cv_.SetBrushStyle(ui::BrushStyle::Solid);
            spots.push_back({x, y, text, false});
            return;
        }
        // The setting half (east of R): conjunction and sextile become their setting marks.
        const double d = std::remainder(lon - c.reference, 2 * kPi);
        if (text.size() >= 2) {
            char& a = text[text.size() - 2];
            if (d > 0) {
                if (a == '0')
                    a = '=';
                else if (a == '5')
                    a = '9';
            } else if (a == '9') {
                a = '5';
            }
        }
        x = middle ? spacing.SpaceX(spacing.curveX, x)
                   : spacing.SpaceXY(x, y, (v_.leftMargin + v_.mapWidth) / 2);
        Glyphs(x, y - 14, text, false);
        spots.push_back({x, y, text, false});
    }

    // The label's glyphs one below the other, 14 pixels apart, from (x, top).
    void Glyphs(int x, int top, const std::string& text, bool) {
        const uint8_t mode = font_.Font16BackMode;
        font_.Font16BackMode = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            ui::DrawFont16Text(font_, x, top + 14 * static_cast<int>(i), text.substr(i, 1), label_,
                               cv_);
        font_.Font16BackMode = mode;
    }

    const GeoMapView& v_;
    ui::Colour line_, label_;
    ui::Canvas& cv_;
    ui::Font16State& font_;
};

} // namespace

std::vector<AcgLabelSpot> DrawAcgLines(const AcgLines& lines, const GeoMapView& v,
                                       ui::Colour lineColour, ui::Colour labelColour,
                                       ui::Canvas& cv, ui::Font16State& font) {
    AcgPainter p(v, lineColour, labelColour, cv, font);
    cv.SetPenWidth(1);
    for (const AcgCurve& c : lines.curves)
        if (c.planet != 0) p.Curve(c);
    for (const AcgMeridian& m : lines.meridians) p.Meridian(m);
    for (const AcgCurve& c : lines.curves)
        if (c.planet == 0) p.Curve(c);
    return p.spots;
}

} // namespace qor
