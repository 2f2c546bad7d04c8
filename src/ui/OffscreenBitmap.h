// The off-screen bitmap of the main window (BufBitmap): every screen is drawn into it and
// then copied to the window in one step, so the window never shows a half-drawn screen.
// The Buf* routines draw on it with its canvas's current pen, brush and font.
#pragma once

#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QWidget;

namespace qor {
struct AstroDat;
}

namespace qor::ui {

class OffscreenBitmap {
public:
    // An empty bitmap; `font` is the program's symbol font, used by the glyph texts.
    explicit OffscreenBitmap(const Font16State& font);
    // A new picture of the given size (the old one is dropped), white, with a fresh canvas.
    void Resize(int width, int height);
    Canvas& canvas() { return *canvas_; }
    const QImage& image() const { return image_; }
    const Font16State& font() const { return font_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

private:
    const Font16State& font_;
    QImage image_;
    std::unique_ptr<Canvas> canvas_;
};

void BufLine(OffscreenBitmap& b, int x1, int y1, int x2, int y2);
Colour BufGetPenColor(OffscreenBitmap& b);
// Circle outline of radius r around (x, y); the brush is left clear.
void BufCircle(OffscreenBitmap& b, int x, int y, int r);
// Arc of that circle from the point at angle a (x + r cos a, y + r sin a, rounded; y down, so
// growing angles turn clockwise on the screen) counter-clockwise to the point at angle b.
void BufArc(OffscreenBitmap& b, int x, int y, int r, double a, double bAngle);
// Circle filled with the brush style and colour, outlined in the pen; the brush is restored.
void BufFillWith(OffscreenBitmap& b, int x, int y, int r, BrushStyle style, Colour colour);
// Closed polygon filled with a solid brush of brushColour and outlined in penColour (both
// stay set).
void BufPolygon(OffscreenBitmap& b, const std::vector<QPoint>& points, Colour brushColour,
                Colour penColour);
void ClearBuffer(OffscreenBitmap& b, Colour colour);

// Texts.
void BufTextOut(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour);
// Trailing blanks dropped; "MS Sans Serif" 8, regular, in the colour (which stays).
void BufTextOutSans(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour);
// A star name with a Greek-letter prefix: a first character other than a blank or a digit
// 1..9 in "Symbol" 12 at (x, y - 2), the rest in "MS Sans Serif" 10 at y from where it ended.
void TextOutSymbol(int x, int y, std::string_view text, Colour colour, Canvas& canvas);
// A glyph text on the bitmap; one that begins with the character 18 (an Arabic part) goes to
// TextOutCourier. Nothing is trimmed: the blank is the Sun's glyph.
void DrawFont16TextBuf(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour);
// A zodiac position label: degrees, minutes (and seconds) in the current font with the sign's
// glyph. The position is split after rounding, so it never shows 60 minutes or 30 degrees;
// the numbers before the glyph fill the width of their widest form, so the glyphs of labels
// drawn one under another stand in one column.
void DrawDegreeLabel(const AstroDat& s, OffscreenBitmap& b, bool withSeconds, int x, int y,
                     Colour colour, double arcsec);

// Copies the bitmap to a paint box at (0, 0), from within its paint event; nothing when the box
// is not visible.
void FlipBuffer(const OffscreenBitmap& b, QWidget& paintBox, QPainter& painter);

} // namespace qor::ui
