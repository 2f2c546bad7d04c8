#include "geo/GeoMap.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "geo/AtlasPlace.h"
#include "ui/SymbolPainter.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qor {

using ui::Canvas;
using ui::Colour;

namespace {

constexpr double kRadToUnits = 180.0 * 600.0 / 3.14159265358979323846;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// Pixels beyond this lie far outside any bitmap; the painter's coordinates stay exact there.
constexpr double kFarPixel = 1.0e6;

// The marker sprites of sizes 1 to 4: 7 rows of 9 cells, E edge, F fill.
const char* const kSprites[4][7] = {
    {".........", ".........", ".........", "....E....", ".........", ".........", "........."},
    {".........", ".........", "....E....", "...EFE...", "....E....", ".........", "........."},
    {".........", "....E....", "...EFE...", "..EFFFE..", "...EFE...", "....E....", "........."},
    {"...EEE...", "..EFFFE..", ".EFFFFFE.", ".EFFFFFE.", ".EFFFFFE.", "..EFFFE..", "...EEE..."}};

QColor Q(uint32_t bgr) {
    return ui::ToQColor(bgr);
}

double Far(double v) {
    return std::clamp(v, -kFarPixel, kFarPixel);
}

int64_t DegreesOf(int64_t a) {
    return a / 600;
}

} // namespace

// --- Colours and options ------------------------------------------------------------------

GeoColors GeoColorsFromLines(const std::vector<std::string>& lines) {
    GeoColors c;
    uint32_t* fields[] = {&c.ocean, &c.land, &c.grid, &c.frame, &c.acg, &c.label};
    for (std::size_t i = 0; i < 6 && i < lines.size(); ++i) {
        const auto v = ParseWholeInteger(Trim(lines[i]));
        if (v && *v >= 0 && *v <= 0xFFFFFF) *fields[i] = static_cast<uint32_t>(*v);
    }
    return c;
}

std::vector<std::string> GeoColorLines(const GeoColors& c) {
    return {std::to_string(c.ocean), std::to_string(c.land), std::to_string(c.grid),
            std::to_string(c.frame), std::to_string(c.acg),  std::to_string(c.label)};
}

GeoMapOptions::GeoMapOptions() {
    const char* steps[] = {"40°00'", "10°00'", " 5°00'", " 1°00'", " 0°10'"};
    for (int i = 0; i < 5; ++i) gridSteps[i] = gridSteps[i + 5] = Cp(steps[i]);
}

int GridStepArcmin(std::string_view text) {
    if (text.size() < 5) return 0;
    const auto d = ParseWholeInteger(Trim(text.substr(0, 2)));
    const auto m = ParseWholeInteger(Trim(text.substr(3, 2)));
    if (!d || !m || *d < 0 || *m < 0 || *m > 59) return 0;
    return static_cast<int>(*d * 60 + *m);
}

GeoMapState::GeoMapState() {
    subPoints.fill({-99, -99});
}

// --- Coast ----------------------------------------------------------------------------------

std::vector<GeoLandPolygon> DecodeLandPolygons(AstroDat& s, CoastFiles& c) {
    std::vector<GeoLandPolygon> out;
    if (!c.open) return out;
    for (const CoastPolygon& poly : CollectCoastPolygons(s, c).polygons) {
        GeoLandPolygon g;
        for (int ch : poly.chains) CoastChainPoints(c, ch, g.points);
        if (g.points.size() < 3) continue;
        g.minX = g.maxX = g.points[0].x;
        g.minY = g.maxY = g.points[0].y;
        for (const CoastPoint& p : g.points) {
            g.minX = std::min(g.minX, p.x);
            g.maxX = std::max(g.maxX, p.x);
            g.minY = std::min(g.minY, p.y);
            g.maxY = std::max(g.maxY, p.y);
        }
        out.push_back(std::move(g));
    }
    return out;
}

namespace {

// Filled land: every polygon near the view once, or twice where the view crosses the 180°
// meridian, in one path filled even-odd (lakes stay open); the coasts are then drawn in grey,
// not the closing edges along the meridian.
void FillLand(const GeoMapState& st, QPainter& p) {
    const GeoMapView& v = st.view;
    QPainterPath fill, coast;
    fill.setFillRule(Qt::OddEvenFill);
    const double w = v.mapWidth, h = v.mapHeight;
    for (const GeoLandPolygon& g : st.land) {
        const double y0 = (double(g.maxY) - v.view.top) * v.scaleY + v.topMargin;
        const double y1 = (double(g.minY) - v.view.top) * v.scaleY + v.topMargin;
        if (y1 < -2 || y0 > h + 2) continue;
        for (int turn = -1; turn <= 1; ++turn) {
            const double shift = double(turn) * kGeoFullTurn - v.view.left;
            const double x0 = (g.minX + shift) * v.scaleX + v.leftMargin;
            const double x1 = (g.maxX + shift) * v.scaleX + v.leftMargin;
            if (x1 < -2 || x0 > w + 2) continue;
            int lastX = 0, lastY = 0;
            bool first = true;
            const std::size_t n = g.points.size();
            for (std::size_t i = 0; i < n; ++i) {
                const CoastPoint& q = g.points[i];
                const double px = Far((q.x + shift) * v.scaleX + v.leftMargin);
                const double py = Far((double(q.y) - v.view.top) * v.scaleY + v.topMargin);
                const int ix = RoundPixel(px), iy = RoundPixel(py);
                if (first) {
                    fill.moveTo(ix, iy);
                    coast.moveTo(ix, iy);
                    first = false;
                } else if (std::abs(ix - lastX) >= 2 || std::abs(iy - lastY) >= 2 || i + 1 == n) {
                    fill.lineTo(ix, iy);
                    // The edges along the 180° meridian close the pieces of a ring cut there.
                    const bool seam = std::abs(q.x) == kGeoHalfTurn &&
                                      std::abs(g.points[i - 1].x) == kGeoHalfTurn;
                    if (seam)
                        coast.moveTo(ix, iy);
                    else
                        coast.lineTo(ix, iy);
                } else {
                    continue;
                }
                lastX = ix;
                lastY = iy;
            }
            fill.closeSubpath();
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Q(st.colors.land));
    p.drawPath(fill);
    p.setPen(QPen(Q(kGrey), 0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(coast);
}

// The canvas paints colours as they are: copy mode, no clip, no transform, full opacity.
bool PaintsPlainly(Canvas& cv) {
    const QPainter& p = cv.Painter();
    return cv.GetPenMode() == ui::PenMode::Copy &&
           p.compositionMode() == QPainter::CompositionMode_SourceOver && !p.hasClipping() &&
           p.opacity() == 1.0 && p.worldTransform().type() == QTransform::TxNone;
}

// Whether the sea and land picture kept from the last drawing is what filling would give now:
// drawn from the same view, bitmap, colours and coastlines, and the painter paints plainly.
bool LandPictureFits(const GeoMapState& st, const ui::OffscreenBitmap& b, Canvas& cv,
                     GeoMapState::LandKey& key) {
    const GeoMapView& v = st.view;
    key = {.view = v.view,
           .scaleX = v.scaleX,
           .scaleY = v.scaleY,
           .mapWidth = v.mapWidth,
           .mapHeight = v.mapHeight,
           .leftMargin = v.leftMargin,
           .topMargin = v.topMargin,
           .width = b.Width(),
           .height = b.Height(),
           .ocean = st.colors.ocean,
           .land = st.colors.land,
           .polygons = st.land.data(),
           .polygonCount = st.land.size()};
    return PaintsPlainly(cv) && !st.landPicture.isNull() && st.landKey == key;
}

// Keeps the bitmap as the land picture (none when `keep` is false); the picture's memory is
// reused while the bitmap's size stays, as fresh pages cost more than the copy.
void KeepLandPicture(GeoMapState& st, const ui::OffscreenBitmap& b, bool keep) {
    const QImage& img = b.image();
    if (!keep) {
        st.landPicture = QImage();
        return;
    }
    if (st.landPicture.size() != img.size() || st.landPicture.format() != img.format() ||
        st.landPicture.bytesPerLine() != img.bytesPerLine())
        st.landPicture = QImage(img.size(), img.format());
    std::memcpy(st.landPicture.bits(), img.constBits(),
                static_cast<std::size_t>(img.sizeInBytes()));
}

// Outlines: each chain of a visible 10° cell as a black line; a segment as wide as the map
// (a chain across the picture's seam) is not drawn.
void DrawCoastOutlines(const GeoMapState& st, QPainter& p) {
    const GeoMapView& v = st.view;
    const CoastView cv{v.view.top, v.view.bottom, v.view.left, v.view.right};
    const int maxSeg = v.mapWidth - 24;
    p.setPen(QPen(Q(kBlack), 0));
    std::vector<CoastPoint> pts;
    for (int i = 1; i <= st.coast.ChainCount(); ++i) {
        if (!CoastChainVisible(st.coast.index[i - 1], cv)) continue;
        pts.clear();
        if (CoastChainPoints(st.coast, i, pts) != ChainRead::Ok) continue;
        int lastX = 0, lastY = 0;
        for (std::size_t j = 0; j < pts.size(); ++j) {
            int64_t dx = int64_t(pts[j].x) - v.view.left;
            if (dx < 0) dx += kGeoFullTurn;
            if (v.level >= 2 && dx >= kGeoHalfTurn + 1) dx -= kGeoFullTurn;
            const int x = RoundPixel(Far(dx * v.scaleX)) + v.leftMargin;
            const int y = RoundPixel(Far((double(pts[j].y) - v.view.top) * v.scaleY)) + v.topMargin;
            if (j > 0) {
                if (std::abs(x - lastX) < 2 && std::abs(y - lastY) < 2 && j + 1 < pts.size())
                    continue;
                // Not across the picture's seam, nor along the 180° meridian where a ring was
                // cut and closed.
                const bool meridian =
                    std::abs(pts[j].x) == kGeoHalfTurn && std::abs(pts[j - 1].x) == kGeoHalfTurn;
                if (std::abs(x - lastX) < maxSeg && !meridian) p.drawLine(lastX, lastY, x, y);
            }
            lastX = x;
            lastY = y;
        }
    }
}

void DrawGrid(const GeoMapState& st, const GeoMapOptions& o, Canvas& cv) {
    const GeoMapView& v = st.view;
    const int li = v.level <= 4 ? v.level - 1 : 4;
    const int lineStep = GridStepArcmin(o.gridSteps[static_cast<std::size_t>(std::max(li, 0))]);
    const int labelStep =
        v.level >= 6
            ? lineStep
            : GridStepArcmin(
                  o.gridSteps[static_cast<std::size_t>(5 + std::clamp(v.level - 1, 0, 4))]);
    if (lineStep <= 0) return;
    const GeoGrid g = ComputeGeoGrid(v, lineStep, labelStep);
    QPainter& p = cv.Painter();
    p.setPen(QPen(Q(st.colors.grid), 0));
    for (int x : g.meridians) p.drawLine(x, v.topMargin, x, v.mapHeight);
    for (int y : g.parallels) p.drawLine(v.leftMargin, y, v.mapWidth, y);
    cv.SetBrushStyle(ui::BrushStyle::Clear);
    cv.SetFont({204, 0, "MS Sans Serif", 8, 0});
    cv.SetFontColor(o.contour ? kBlack : st.colors.label);
    for (const GeoGridLabel& l : g.labels) cv.TextOut(l.x, l.y, l.text);
}

void DrawMarker(Canvas& cv, bool contour, int x, int y, int size) {
    if (size < 1) return;
    const uint32_t edge = contour ? kGrey : kRed, fill = contour ? kBlack : kWhite;
    if (size <= 4) {
        const auto& sprite = kSprites[size - 1];
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 9; ++col) {
                const char c = sprite[row][col];
                if (c != '.') cv.SetPixel(x - 5 + col + 1, y - 4 + row + 1, c == 'E' ? edge : fill);
            }
        return;
    }
    const int r = (size - 4) * 16;
    cv.SetPenColor(edge);
    cv.SetBrushColor(kWhite);
    cv.SetBrushStyle(ui::BrushStyle::DiagCross);
    cv.Ellipse(x - r, y - r, x + r, y + r);
    cv.SetBrushStyle(ui::BrushStyle::Solid);
}

void DrawCities(AstroDat& s, GeoMapState& st, const GeoMapOptions& o, const Atlas& atlas,
                Canvas& cv) {
    const GeoMapView& v = st.view;
    const int level = v.level;
    auto inside = [&](int x, int y) { return x > 0 && y > 0 && x < v.mapWidth && y < v.mapHeight; };
    auto pixel = [&](const CityCoordRec& c) {
        const auto [x, y] = v.Project(int32_t(c.lon) * 10, int32_t(c.lat) * 10);
        return std::pair{x - v.leftMargin, y - v.topMargin};
    };
    if (o.cityMarks)
        for (const CityCoordRec& c : atlas.coords) {
            const int cls = CityClass(c.mapCode);
            if (cls > level + 1) continue;
            const auto [x, y] = pixel(c);
            if (inside(x, y)) DrawMarker(cv, o.contour, x, y, level - cls + 1);
        }
    if (!o.cityNames || !st.namesOn || level < 2) return;
    if (st.names.empty() || st.namesGeneration != atlas.generation) {
        st.names.clear();
        if (!LoadAllCityNames(s, atlas, st.names)) {
            st.namesOn = false; // reported once; no names and no city hints for the run
            return;
        }
        st.namesGeneration = atlas.generation;
    }
    const ui::FontSpec saved = cv.Font();
    cv.SetBrushStyle(ui::BrushStyle::Clear);
    cv.SetFontColor(o.contour ? kBlack : st.colors.label);
    for (const CityCoordRec& c : atlas.coords) {
        const int cls = CityClass(c.mapCode);
        const int d = level - cls;
        if (cls > level + 1 || d < 1) continue;
        const auto [x, y] = pixel(c);
        if (!inside(x, y) || c.nameIndex < 1 || c.nameIndex > st.names.size()) continue;
        const int size = (d == 1 ? 8 : d == 2 ? 12 : 14 + 2 * (d - 3)) + o.nameFontAdd;
        cv.SetFont({204, 0, "Times New Roman", size, cls == 1 && d >= 3 ? 1 : 0});
        cv.SetFontColor(o.contour ? kBlack : st.colors.label);
        const std::string text = CityLabelName(st.names[c.nameIndex - 1u]);
        const int w = cv.TextWidth(text), h = cv.TextHeight(text);
        int tx = x, ty = y;
        switch (c.mapCode / 10) {
        case 0:
            ty = y - h;
            break;
        case 1:
            break;
        case 2:
            tx = x - w;
            break;
        default:
            tx = x - w;
            ty = y - h;
            break;
        }
        cv.TextOut(tx, ty, text);
    }
    cv.SetFont(saved);
    cv.SetBrushStyle(ui::BrushStyle::Solid);
}

} // namespace

// --- Grid -----------------------------------------------------------------------------------

std::string GeoGridLabelText(int32_t units, char plus, char minus, int labelStep) {
    const int64_t a = std::llabs(int64_t(units));
    const char letter = units >= 0 ? plus : minus;
    if (a % 600 == 0) return std::to_string(DegreesOf(a)) + letter;
    if (labelStep > 0 && a % (10 * int64_t(labelStep)) == 0)
        return std::to_string(DegreesOf(a)) + letter + IntToStrZ(static_cast<int>(a % 600 / 10), 2);
    return {};
}

GeoGrid ComputeGeoGrid(const GeoMapView& v, int lineStep, int labelStep) {
    GeoGrid g;
    if (lineStep <= 0) return g;
    const int64_t step = 10 * int64_t(lineStep);
    const int64_t kFrom = lineStep == 2400 ? -8 : -(12000 / lineStep);
    for (int64_t k = kFrom; k * step <= v.view.right; ++k) {
        const int64_t m = k * step;
        if (m < v.view.left) continue;
        const int x = static_cast<int>(std::lround((m - v.view.left) * v.scaleX)) + v.leftMargin;
        g.meridians.push_back(x);
        int64_t wrapped = m; // into ±180°, both ends kept: 180°E and 180°W
        while (wrapped > kGeoHalfTurn) wrapped -= kGeoFullTurn;
        while (wrapped < -kGeoHalfTurn) wrapped += kGeoFullTurn;
        const std::string t = GeoGridLabelText(static_cast<int32_t>(wrapped), 'E', 'W', labelStep);
        if (!t.empty()) g.labels.push_back({x - 4, v.topMargin - 2, t});
    }
    const int64_t kMax = lineStep == 2400 ? 1 : 4800 / lineStep;
    for (int64_t k = -kMax; k <= kMax; ++k) {
        const int64_t lat = k * step;
        if (lat < v.view.bottom || lat > v.view.top) continue;
        const int y = static_cast<int>(std::lround((lat - v.view.top) * v.scaleY)) + v.topMargin;
        g.parallels.push_back(y);
        const std::string t = GeoGridLabelText(static_cast<int32_t>(lat), 'N', 'S', labelStep);
        if (!t.empty())
            g.labels.push_back({v.leftMargin + 2, y <= v.topMargin + 24 ? y : y - 12, t});
    }
    return g;
}

// --- Places ---------------------------------------------------------------------------------

std::pair<int, int> GeoPixelOf(const GeoMapView& v, double latRad, double lonRad) {
    const double left = v.view.left / kRadToUnits;
    const double dx = NormAngle(lonRad - left);
    return {static_cast<int>(std::lround(Far(dx * kRadToUnits * v.scaleX))) + v.leftMargin,
            static_cast<int>(std::lround(Far((latRad * kRadToUnits - v.view.top) * v.scaleY))) +
                v.topMargin};
}

std::pair<double, double> SubPointOf(const GeoSky& sky, int planet) {
    const double gst = sky.lstRad - sky.chartLong;
    return {sky.dec[static_cast<std::size_t>(planet)],
            NormAngleSigned(sky.ra[static_cast<std::size_t>(planet)] - gst)};
}

std::string CityLabelName(const CityNameRec& n) {
    return CityShortName(TrimRight(n.Name()));
}

GeoHover GeoHoverAt(const GeoMapState& st, const Atlas& atlas, int x, int y) {
    GeoHover h;
    for (int i = 1; i <= 10; ++i) {
        const auto [px, py] = st.subPoints[static_cast<std::size_t>(i)];
        if (px != -99 && std::abs(px - x) <= 3 && std::abs(py - y) <= 3) {
            h.planet = i;
            return h;
        }
    }
    if (!st.namesOn) return h;
    for (std::size_t i = 0; i < atlas.coords.size(); ++i) {
        const CityCoordRec& c = atlas.coords[i];
        if (CityClass(c.mapCode) > st.view.level) continue;
        const auto [px, py] = st.view.Project(int32_t(c.lon) * 10, int32_t(c.lat) * 10);
        if (std::abs(px - x) <= 3 && std::abs(py - y) <= 3) {
            h.city = static_cast<int>(i + 1);
            return h;
        }
    }
    return h;
}

// --- The map --------------------------------------------------------------------------------

void DrawGeoMap(AstroDat& s, GeoMapState& st, const GeoMapOptions& o, const Atlas& atlas,
                const GeoSky& sky, ui::OffscreenBitmap& b, ui::Font16State& font) {
    GeoMapView& v = st.view;
    v.SetBitmap(b.Width(), b.Height());
    Canvas& cv = b.canvas();
    // The sea and the filled land: the picture kept from the last drawing when it fits (the
    // canvas left as clearing leaves it), else cleared and filled anew, and then kept.
    GeoMapState::LandKey landKey;
    const bool landKept = !o.contour && LandPictureFits(st, b, cv, landKey);
    if (landKept) {
        cv.SetBrushStyle(ui::BrushStyle::Solid);
        cv.SetBrushColor(st.colors.ocean);
    } else {
        ui::ClearBuffer(b, o.contour ? kWhite : st.colors.ocean);
    }
    QPainter& p = cv.Painter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (o.contour) {
        if (o.grid) DrawGrid(st, o, cv);
        DrawCoastOutlines(st, p);
    } else {
        if (landKept) {
            p.drawImage(0, 0, st.landPicture);
        } else {
            FillLand(st, p);
            KeepLandPicture(st, b, PaintsPlainly(cv));
            st.landKey = landKey;
        }
        if (o.grid) DrawGrid(st, o, cv);
    }
    p.restore();
    cv.SetBrushStyle(ui::BrushStyle::Solid);
    DrawCities(s, st, o, atlas, cv);

    // The chart's place.
    {
        const auto [x, y] = GeoPixelOf(v, sky.chartLat, sky.chartLong);
        cv.SetPenColor(kRed);
        cv.SetBrushColor(kRed);
        cv.SetBrushStyle(ui::BrushStyle::Solid);
        cv.Ellipse(x - 4, y - 4, x + 4, y + 4);
    }
    st.acgLabels.clear();
    if (v.level < 5 && o.acg) {
        AcgInput in = sky.acg;
        in.planetMask = o.planetMask;
        in.ascDsc = o.acgAscDsc;
        in.mcIc = o.acgMcIc;
        in.majorAspects = o.acgMajor;
        in.houses = o.acgHouses;
        for (int i = 1; i <= 10; ++i)
            in.glyph[static_cast<std::size_t>(i)] = sky.glyph[static_cast<std::size_t>(i)];
        const Colour line = o.contour ? kBlack : st.colors.acg;
        const Colour label = o.contour ? kBlack : st.colors.label;
        st.acgLabels = DrawAcgLines(ComputeAcgLines(in), v, line, label, cv, font);
    }
    if (v.level < 5 && st.acgLines) st.acgLines(b);

    // The planets overhead, their glyphs on white.
    st.subPoints.fill({-99, -99});
    if (o.planets) {
        const uint8_t mode = font.Font16BackMode;
        const Colour back = font.Font16BackColor;
        font.Font16BackMode = 1;
        font.Font16BackColor = kWhite;
        for (int i = 1; i <= 10; ++i) {
            if (static_cast<std::size_t>(i - 1) >= o.planetMask.size() ||
                o.planetMask[static_cast<std::size_t>(i - 1)] != '|')
                continue;
            const auto [lat, lon] = SubPointOf(sky, i);
            const auto xy = GeoPixelOf(v, lat, lon);
            st.subPoints[static_cast<std::size_t>(i)] = xy;
            ui::DrawFont16Text(font, xy.first - 7, xy.second - 7,
                               sky.glyph[static_cast<std::size_t>(i)], kBlack, cv);
        }
        font.Font16BackMode = mode;
        font.Font16BackColor = back;
    }
}

} // namespace qor
