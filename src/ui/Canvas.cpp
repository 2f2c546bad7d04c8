#include "ui/Canvas.h"

#include "core/Text.h"
#include "ui/GlyphFonts.h"
#include "ui/QtText.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygon>

#include <cmath>
#include <numbers>

namespace qor::ui {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return out;
}

bool FamilyInstalled(const QString& family) {
    return FontFamilyInstalled(family);
}

QString SansFamily() {
    static const QString family =
        FamilyInstalled("Liberation Sans") ? QString("Liberation Sans") : QString("DejaVu Sans");
    return family;
}

enum class CharMap { Cp1251, Symbol, Wingdings, Terminal, SymbolEncoded };

CharMap CharMapOf(const std::string& face) {
    const std::string f = Lower(face);
    if (f == "symbol") return CharMap::Symbol;
    if (f == "wingdings") return CharMap::Wingdings;
    if (f == "terminal") return CharMap::Terminal;
    if (f == "qor511" || f == "winstartt") return CharMap::SymbolEncoded;
    return CharMap::Cp1251;
}

// The Latin letters of the "Symbol" face: A..Z and a..z as the Greek letters in its layout.
constexpr char16_t kSymbolUpper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
                                       0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D,
                                       0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
                                       0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr char16_t kSymbolLower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
                                       0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
                                       0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5,
                                       0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};

// Code page 437 from 128 on (the "Terminal" face).
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// The circles and stars of the "Wingdings" face, codes 161..175.
constexpr char16_t kWingdingsA1[15] = {0x25CB, 0x2B55, 0x26AA, 0x25C9, 0x25CE,
                                       0x25CF, 0x25AA, 0x25FB, 0x2316, 0x2726,
                                       0x2605, 0x2736, 0x2734, 0x2739, 0x2735};

char16_t MapChar(CharMap map, unsigned char b) {
    switch (map) {
    case CharMap::Symbol:
        if (b >= 'A' && b <= 'Z') return kSymbolUpper[b - 'A'];
        if (b >= 'a' && b <= 'z') return kSymbolLower[b - 'a'];
        if (b == 0xD6) return 0x221A; // the radical, used as a check mark
        if (b == 0xB0) return 0x00B0;
        return b < 128 ? b : static_cast<char16_t>(u'?');
    case CharMap::Wingdings:
        if (b >= 0xA1 && b <= 0xAF) return kWingdingsA1[b - 0xA1];
        return static_cast<char16_t>(Cp1251ToUnicode(b));
    case CharMap::Terminal:
        return b < 128 ? b : kCp437High[b - 128];
    case CharMap::SymbolEncoded:
        return static_cast<char16_t>(0xF000 + b);
    case CharMap::Cp1251:
        break;
    }
    return static_cast<char16_t>(Cp1251ToUnicode(b));
}

} // namespace

QString FontFamilyFor(const std::string& face) {
    const std::string f = Lower(face);
    if (f == "ms sans serif" || f == "arial" || f == "arial cyr" || f == "tahoma" ||
        f == "ms serif" || f == "system")
        return SansFamily();
    if (f == "courier new" || f == "courier new cyr" || f == "courier")
        return FamilyInstalled("Liberation Mono") ? QString("Liberation Mono")
                                                  : QString("DejaVu Sans Mono");
    if (f == "times new roman" || f == "times new roman cyr")
        return FamilyInstalled("Liberation Serif") ? QString("Liberation Serif")
                                                   : QString("DejaVu Serif");
    if (f == "symbol" || f == "wingdings" || f == "terminal") return QString("DejaVu Sans");
    return QString::fromStdString(face);
}

QString FontTextFor(const std::string& face, std::string_view cp1251) {
    const CharMap map = CharMapOf(face);
    QString out;
    out.reserve(static_cast<qsizetype>(cp1251.size()));
    for (char c : cp1251) out += QChar(MapChar(map, static_cast<unsigned char>(c)));
    return out;
}

Canvas::Canvas(QPaintDevice& device) : device_(device) {
    if (device.devType() == QInternal::Image) image_ = static_cast<QImage*>(&device);
    paper_ = device.devType() == QInternal::Printer || dynamic_cast<QPagedPaintDevice*>(&device);
    painter_.begin(&device);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    ApplyPen();
    ApplyBrush();
    painter_.setFont(MakeFont());
}

Canvas::~Canvas() {
    if (painter_.isActive()) painter_.end();
}

bool Canvas::End() {
    return painter_.isActive() && painter_.end();
}

int Canvas::Width() const {
    return device_.width();
}
int Canvas::Height() const {
    return device_.height();
}
int Canvas::Dpi() const {
    const int dpi = device_.logicalDpiY();
    return dpi > 0 ? dpi : 96;
}

void Canvas::SetPenColor(Colour c) {
    penColor_ = c & 0xFFFFFF;
    ApplyPen();
}
void Canvas::SetPenWidth(int w) {
    penWidth_ = w < 1 ? 1 : w;
    ApplyPen();
}
void Canvas::SetPenStyle(PenStyle s) {
    penStyle_ = s;
    ApplyPen();
}
void Canvas::SetPenMode(PenMode m) {
    penMode_ = m;
    ApplyCompositionMode();
}
void Canvas::SetBrushColor(Colour c) {
    brushColor_ = c & 0xFFFFFF;
    ApplyBrush();
}
void Canvas::SetBrushStyle(BrushStyle s) {
    brushStyle_ = s;
    ApplyBrush();
}

void Canvas::SetFont(const FontSpec& f) {
    font_ = f;
    painter_.setFont(MakeFont());
}
void Canvas::SetFontName(const std::string& name) {
    font_.name = name;
    painter_.setFont(MakeFont());
}
void Canvas::SetFontSize(int points) {
    font_.size = points;
    painter_.setFont(MakeFont());
}
void Canvas::SetFontStyle(int style) {
    font_.style = style;
    painter_.setFont(MakeFont());
}
void Canvas::SetFontColor(Colour c) {
    font_.color = c & 0xFFFFFF;
}

QFont Canvas::MakeFont() const {
    QFont f(FontFamilyFor(font_.name));
    // Sizes are points of the device: the same size gives the same look on screen and paper.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(std::abs(font_.size) * Dpi() / 72.0))));
    f.setBold(font_.style & fsBold);
    f.setItalic(font_.style & fsItalic);
    f.setUnderline(font_.style & fsUnderline);
    f.setStrikeOut(font_.style & fsStrikeOut);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void Canvas::ApplyPen() {
    if (penStyle_ == PenStyle::Clear) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(penColor_));
    pen.setWidth(penWidth_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (penStyle_) {
    case PenStyle::Dash:
        pen.setStyle(Qt::DashLine);
        break;
    case PenStyle::Dot:
        pen.setStyle(Qt::DotLine);
        break;
    case PenStyle::DashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case PenStyle::DashDotDot:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    painter_.setPen(pen);
}

void Canvas::ApplyBrush() {
    Qt::BrushStyle s = Qt::SolidPattern;
    switch (brushStyle_) {
    case BrushStyle::Solid:
        s = Qt::SolidPattern;
        break;
    case BrushStyle::Clear:
        s = Qt::NoBrush;
        break;
    case BrushStyle::Horizontal:
        s = Qt::HorPattern;
        break;
    case BrushStyle::Vertical:
        s = Qt::VerPattern;
        break;
    case BrushStyle::FDiagonal:
        s = Qt::FDiagPattern;
        break;
    case BrushStyle::BDiagonal:
        s = Qt::BDiagPattern;
        break;
    case BrushStyle::Cross:
        s = Qt::CrossPattern;
        break;
    case BrushStyle::DiagCross:
        s = Qt::DiagCrossPattern;
        break;
    }
    painter_.setBrush(QBrush(ToQColor(brushColor_), s));
}

void Canvas::ApplyCompositionMode() {
    // Raster operations exist on images only; elsewhere (printers) the pen simply paints.
    QPainter::CompositionMode m = QPainter::CompositionMode_SourceOver;
    if (image_) {
        switch (penMode_) {
        case PenMode::Copy:
            break;
        case PenMode::NotXor:
            m = QPainter::RasterOp_NotSourceXorDestination;
            break;
        case PenMode::Xor:
            m = QPainter::RasterOp_SourceXorDestination;
            break;
        case PenMode::Not:
            m = QPainter::RasterOp_NotDestination;
            break;
        }
    }
    painter_.setCompositionMode(m);
}

void Canvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void Canvas::LineTo(int x, int y) {
    const QPoint from = penPos_;
    penPos_ = {x, y};
    if (penStyle_ == PenStyle::Clear || from == penPos_) return;
    if (penWidth_ > 1 || penStyle_ != PenStyle::Solid || paper_) {
        painter_.drawLine(from, penPos_);
        return;
    }
    // A thin line pixel by pixel (Bresenham) from the first point on, so that its pixels do not
    // depend on the direction and the last point is left for the next line of a polyline.
    int px = from.x(), py = from.y();
    if (image_ && penMode_ == PenMode::Copy && (px == x || py == y)) {
        // Along a row or a column: the same pixels as one rectangle.
        const QPoint last(px == x  ? x
                          : x > px ? x - 1
                                   : x + 1,
                          py == y  ? y
                          : y > py ? y - 1
                                   : y + 1);
        painter_.fillRect(QRect(QPoint(std::min(px, last.x()), std::min(py, last.y())),
                                QPoint(std::max(px, last.x()), std::max(py, last.y()))),
                          painter_.pen().color());
        return;
    }
    const int dx = std::abs(x - px), dy = -std::abs(y - py);
    QPolygon pixels;
    pixels.reserve(std::max(dx, -dy));
    const int sx = px < x ? 1 : -1, sy = py < y ? 1 : -1;
    int err = dx + dy;
    while (px != x || py != y) {
        pixels << QPoint(px, py);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            px += sx;
        }
        if (e2 <= dx) {
            err += dx;
            py += sy;
        }
    }
    // Only the pen's width changes for the points: put back just the pen.
    const QPen kept = painter_.pen();
    if (kept.width() == 0) {
        painter_.drawPoints(pixels);
        return;
    }
    QPen pen = kept;
    pen.setWidth(0);
    painter_.setPen(pen);
    painter_.drawPoints(pixels);
    painter_.setPen(kept);
}

void Canvas::SetPixel(int x, int y, Colour c) {
    if (image_ && penMode_ == PenMode::Copy) {
        if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
        // An opaque pixel painted plainly is the colour itself: written straight into the
        // picture, as the painter's one-pixel fill would leave it (the glyph texts set many).
        const QImage::Format f = image_->format();
        if ((f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
             f == QImage::Format_ARGB32_Premultiplied) &&
            painter_.compositionMode() == QPainter::CompositionMode_SourceOver &&
            !painter_.hasClipping() && painter_.opacity() == 1.0 &&
            painter_.worldTransform().type() == QTransform::TxNone &&
            image_->devicePixelRatio() == 1.0) {
            reinterpret_cast<QRgb*>(image_->scanLine(y))[x] =
                qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            return;
        }
        painter_.fillRect(x, y, 1, 1, ToQColor(c));
        return;
    }
    painter_.fillRect(x, y, 1, 1, ToQColor(c));
}

void Canvas::SetPixels(const QPolygon& points, Colour c) {
    if (points.isEmpty()) return;
    const QPen kept = painter_.pen();
    QPen pen(ToQColor(c));
    pen.setWidth(0);
    painter_.setPen(pen);
    painter_.drawPoints(points);
    painter_.setPen(kept);
}

Colour Canvas::Pixel(int x, int y) const {
    if (!image_ || !image_->valid(x, y)) return kBlack;
    return FromQColor(QColor::fromRgb(image_->pixel(x, y)));
}

namespace {

// The rectangle x1..x2-1, y1..y2-1 for Qt's outline drawing, which covers right and bottom.
QRect OutlineBox(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

// Angle of the ray from the centre of the box through (x, y), in degrees counter-clockwise on
// the screen from the ray pointing right.
double RayAngle(const QRect& box, int x, int y) {
    const double cx = box.left() + box.width() / 2.0, cy = box.top() + box.height() / 2.0;
    const double a = std::atan2(-(y - cy), x - cx) * 180.0 / std::numbers::pi;
    return a < 0 ? a + 360.0 : a;
}

} // namespace

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    const QRect box = OutlineBox(x1, y1, x2, y2);
    if (brushStyle_ != BrushStyle::Clear) painter_.fillRect(box, painter_.brush());
    if (penStyle_ != PenStyle::Clear) {
        painter_.save();
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(box.adjusted(0, 0, -1, -1));
        painter_.restore();
    }
}

void Canvas::FillRect(int x1, int y1, int x2, int y2) {
    painter_.fillRect(OutlineBox(x1, y1, x2, y2), painter_.brush());
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    painter_.drawEllipse(OutlineBox(x1, y1, x2, y2).adjusted(0, 0, -1, -1));
}

void Canvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const QRect box = OutlineBox(x1, y1, x2, y2).adjusted(0, 0, -1, -1);
    const double a = RayAngle(box, x3, y3), b = RayAngle(box, x4, y4);
    double span = b - a;
    if (span <= 0) span += 360.0;
    painter_.drawArc(box, static_cast<int>(std::lround(a * 16)),
                     static_cast<int>(std::lround(span * 16)));
}

void Canvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const QRect box = OutlineBox(x1, y1, x2, y2).adjusted(0, 0, -1, -1);
    const double a = RayAngle(box, x3, y3), b = RayAngle(box, x4, y4);
    double span = b - a;
    if (span <= 0) span += 360.0;
    painter_.drawPie(box, static_cast<int>(std::lround(a * 16)),
                     static_cast<int>(std::lround(span * 16)));
}

void Canvas::Polygon(const std::vector<QPoint>& points) {
    if (points.empty()) return;
    painter_.drawPolygon(QPolygon(QList<QPoint>(points.begin(), points.end())), Qt::OddEvenFill);
}

void Canvas::PolyPolygon(const std::vector<std::vector<QPoint>>& polygons) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& poly : polygons) {
        if (poly.empty()) continue;
        path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(poly.begin(), poly.end()))));
        path.closeSubpath();
    }
    painter_.drawPath(path);
}

Canvas::MeasuredFont& Canvas::Measured() const {
    // A font added to the program may change what a family resolves to: measure afresh.
    const unsigned generation = FontDatabaseGeneration();
    if (generation != measuredGeneration_) {
        measured_.clear();
        measuredGeneration_ = generation;
    }
    const QFont& font = painter_.font();
    for (MeasuredFont& m : measured_)
        if (m.font == font) return m;
    // A bound on what is kept: the fonts of a screen are few.
    if (measured_.size() >= 32) measured_.clear();
    const QFontMetrics fm(font, &device_);
    measured_.push_back({font, fm.height(), fm.ascent(), {}});
    return measured_.back();
}

int Canvas::Advance(const QString& text) const {
    MeasuredFont& m = Measured();
    const auto it = m.widths.constFind(text);
    if (it != m.widths.constEnd()) return it.value();
    // A bound on what is kept: texts that change every second (clocks) must not pile up.
    if (m.widths.size() >= 4096) m.widths.clear();
    const int w = QFontMetrics(m.font, &device_).horizontalAdvance(text);
    m.widths.insert(text, w);
    return w;
}

void Canvas::TextOut(int x, int y, std::string_view text) {
    const QString q = FontTextFor(font_.name, text);
    const int w = Advance(q);
    const MeasuredFont& m = Measured();
    if (brushStyle_ != BrushStyle::Clear && !q.isEmpty())
        painter_.fillRect(QRect(x, y, w, m.height), ToQColor(brushColor_));
    // Only the pen changes for the text: put back just the pen.
    const QPen kept = painter_.pen();
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(QPoint(x, y + m.ascent), q);
    painter_.setPen(kept);
    penPos_ = {x + w, y};
}

int Canvas::TextWidth(std::string_view text) const {
    return Advance(FontTextFor(font_.name, text));
}

int Canvas::TextHeight(std::string_view) const {
    return Measured().height;
}

void Canvas::DrawImage(int x, int y, const QImage& image) {
    painter_.drawImage(QPoint(x, y), image);
}

} // namespace qor::ui
