#include "ui/SymbolPainter.h"

#include "core/GlyphFaces.h"
#include "ui/GlyphFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace qor::ui {

namespace {

// Inner square of the cell painted by background mode 1 (rows and columns 1-based).
bool InInnerSquare(int r, int c) {
    return r >= 4 && r <= 13 && c >= 4 && c <= 13;
}

// Share of the cell the bitmap glyphs' ink is tall (about 10 of 16 pixels).
constexpr double kInkShare = 10.0 / 16;

// One bitmap glyph scaled smoothly into a cell of `cell` pixels.
void DrawScaledBitmapGlyph(const Font16State& font, int x, int y, int cell, unsigned char code,
                           Colour colour, Canvas& canvas) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        Canvas c(img);
        Font16State plain = font;
        plain.Font16Double = false;
        DrawFont16Text(plain, 0, 0, std::string_view(reinterpret_cast<const char*>(&code), 1),
                       colour, c);
    }
    canvas.DrawImage(x, y, img.scaled(cell, cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The program's outline glyph face as the painter needs it: whether it is there, and the ink
// height of its Aries glyph at 100 pixels. Asking the font database and measuring ink are
// slower than drawing, so both are kept until a font is added to the program.
struct OutlineGlyphs {
    unsigned generation = ~0u;
    bool installed = false;
    double inkPer100 = 70;
    QString family;
    // The ink box of each glyph at each pixel size drawn so far.
    std::map<std::pair<int, unsigned char>, QRectF> inks;

    QRectF Ink(const QFont& sized, unsigned char code) {
        const auto key = std::make_pair(sized.pixelSize(), code);
        const auto it = inks.find(key);
        if (it != inks.end()) return it->second;
        const QRectF ink = QFontMetricsF(sized).tightBoundingRect(QChar(0xF000 + code));
        inks.emplace(key, ink);
        return ink;
    }
};

OutlineGlyphs& OutlineGlyphsNow() {
    thread_local OutlineGlyphs glyphs;
    const unsigned now = FontDatabaseGeneration();
    if (glyphs.generation == now) return glyphs;
    const QString family =
        QString::fromLatin1(kQorGlyphFace.faceName.data(), kQorGlyphFace.faceName.size());
    glyphs = OutlineGlyphs{};
    glyphs.generation = now;
    glyphs.installed = FontFamilyInstalled(family);
    glyphs.family = family;
    if (glyphs.installed) {
        QFont at100(family);
        at100.setPixelSize(100);
        const QRectF aries = QFontMetricsF(at100).tightBoundingRect(
            QChar(0xF000 + kQorGlyphFace.signs[1]));
        glyphs.inkPer100 = aries.height() > 1 ? aries.height() : 70;
    }
    return glyphs;
}

} // namespace

unsigned char OutlineGlyphCode(unsigned char b) {
    if (b >= 32 && b <= 47) return kQorGlyphFace.points[b - 31];
    if (b >= 48 && b <= 61) return kQorGlyphFace.aspects[b - 47];
    if (b >= 64 && b <= 75) return kQorGlyphFace.signs[b - 63];
    return 0;
}

void DrawGlyphs(const Font16State& font, int x, int y, int cell, std::string_view text,
                Colour colour, Canvas& canvas) {
    if (text.empty()) return;
    if (cell <= 16) {
        Font16State plain = font;
        plain.Font16Double = false;
        DrawFont16Text(plain, x, y, text, colour, canvas);
        return;
    }
    OutlineGlyphs& faces = OutlineGlyphsNow();
    const bool outline = faces.installed;
    QFont face(faces.family);
    // the face's sign glyphs set the size: their ink as tall as the bitmap's in its cell
    if (outline)
        face.setPixelSize(
            std::max(1, static_cast<int>(std::lround(cell * kInkShare * 100 / faces.inkPer100))));
    const int advance = cell * kFont16Advance / 16;
    QPainter& painter = canvas.Painter();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        const int gx = x + static_cast<int>(i) * advance;
        if (font.Font16BackMode == 2) {
            painter.fillRect(gx, y, cell, cell, ToQColor(font.Font16BackColor));
        } else if (font.Font16BackMode == 1) {
            const int from = cell * 3 / 16, to = cell * 13 / 16;
            painter.fillRect(gx + from, y + from, to - from, to - from,
                             ToQColor(font.Font16BackColor));
        }
        const unsigned char outlineCode = outline ? OutlineGlyphCode(code) : 0;
        if (outlineCode == 0) {
            Font16State glyphOnly = font;
            glyphOnly.Font16BackMode = 0;
            DrawScaledBitmapGlyph(glyphOnly, gx, y, cell, code, colour, canvas);
            continue;
        }
        const QString ch(QChar(0xF000 + outlineCode));
        const QRectF ink = faces.Ink(face, outlineCode);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(face);
        painter.setPen(ToQColor(colour));
        // the ink's centre on the cell's centre
        const QPointF at(gx + cell / 2.0 - ink.center().x(), y + cell / 2.0 - ink.center().y());
        painter.drawText(at, ch);
        painter.restore();
    }
}

void DrawFont16Text(const Font16State& font, int x, int y, std::string_view text, Colour colour,
                    Canvas& canvas) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        const int gx = x + static_cast<int>(i) * kFont16Advance;
        for (int r = 1; r <= kFont16Rows; ++r) {
            const uint16_t word = GlyphRow(font.Glyphs, code, r);
            for (int c = 1; c <= 16; ++c) {
                Colour paint;
                if (word & (0x8000u >> (c - 1))) {
                    paint = colour;
                } else if (font.Font16BackMode == 2 ||
                           (font.Font16BackMode == 1 && InInnerSquare(r, c))) {
                    paint = font.Font16BackColor;
                } else {
                    continue;
                }
                if (font.Font16Double) {
                    const int px = gx + 2 * c - 9, py = y + 2 * r - 9;
                    canvas.SetPixel(px, py, paint);
                    canvas.SetPixel(px + 1, py, paint);
                    canvas.SetPixel(px, py + 1, paint);
                    canvas.SetPixel(px + 1, py + 1, paint);
                } else {
                    canvas.SetPixel(gx + c - 1, y + r - 1, paint);
                }
            }
        }
    }
}

void TextOutCourier(const Font16State& font, int x, int y, std::string_view text, Colour colour,
                    Canvas& canvas, int cell) {
    if (text.empty()) return;
    if (cell > 16)
        DrawGlyphs(font, x, y, cell, text.substr(0, 1), colour, canvas);
    else
        DrawFont16Text(font, x, y, text.substr(0, 1), colour, canvas);
    const FontSpec saved = canvas.Font();
    canvas.SetBrushStyle(BrushStyle::Clear);
    FontSpec courier = saved;
    courier.name = "Courier New";
    courier.size = cell > 16 ? 10 * cell / 16 : 10;
    courier.style = 0;
    courier.color = colour;
    canvas.SetFont(courier);
    canvas.TextOut(x + (cell > 16 ? 3 * cell / 16 : 3), y, text.substr(1));
    FontSpec restored = saved;
    restored.color = colour;
    canvas.SetFont(restored);
}

void PaintFont16Text(QPainter& painter, const Font16State& font, int x, int y,
                     std::string_view text, Colour colour) {
    if (text.empty()) return;
    QImage img(kFont16Advance * static_cast<int>(text.size()) + 4, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        Canvas c(img);
        DrawFont16Text(font, 0, 0, text, colour, c);
    }
    painter.drawImage(x, y, img);
}

void DrawGlyphText(const Font16Glyphs& glyphs, int x, int y, bool opaque, Canvas& canvas,
                   std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        const int gx = x + static_cast<int>(i) * 16;
        for (int r = 1; r <= kFont16Rows; ++r) {
            const uint16_t word = GlyphRow(glyphs, code, r);
            for (int c = 0; c < 16; ++c) {
                if (word & (0x8000u >> c))
                    canvas.SetPixel(gx + c, y + r - 1, kBlack);
                else if (opaque)
                    canvas.SetPixel(gx + c, y + r - 1, kWhite);
            }
        }
    }
}

} // namespace qor::ui
