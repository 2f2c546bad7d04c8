#include "ui/OffscreenBitmap.h"

#include "core/AstroDat.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

namespace qor::ui {

OffscreenBitmap::OffscreenBitmap(const Font16State& font) : font_(font) {
    Resize(1, 1);
}

void OffscreenBitmap::Resize(int width, int height) {
    canvas_.reset();
    image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    // 96 dots per inch, as the screen's font sizes assume.
    image_.setDotsPerMeterX(3780);
    image_.setDotsPerMeterY(3780);
    image_.fill(Qt::white);
    canvas_ = std::make_unique<Canvas>(image_);
}

void BufLine(OffscreenBitmap& b, int x1, int y1, int x2, int y2) {
    b.canvas().MoveTo(x1, y1);
    b.canvas().LineTo(x2, y2);
}

Colour BufGetPenColor(OffscreenBitmap& b) {
    return b.canvas().PenColor();
}

void BufCircle(OffscreenBitmap& b, int x, int y, int r) {
    b.canvas().SetBrushStyle(BrushStyle::Clear);
    b.canvas().Ellipse(x - r, y - r, x + r, y + r);
}

void BufArc(OffscreenBitmap& b, int x, int y, int r, double a, double bAngle) {
    Canvas& c = b.canvas();
    c.SetBrushStyle(BrushStyle::Clear);
    const int x3 = x + static_cast<int>(RoundEven(r * std::cos(a)));
    const int y3 = y + static_cast<int>(RoundEven(r * std::sin(a)));
    const int x4 = x + static_cast<int>(RoundEven(r * std::cos(bAngle)));
    const int y4 = y + static_cast<int>(RoundEven(r * std::sin(bAngle)));
    c.Arc(x - r, y - r, x + r, y + r, x3, y3, x4, y4);
}

void BufFillWith(OffscreenBitmap& b, int x, int y, int r, BrushStyle style, Colour colour) {
    Canvas& c = b.canvas();
    const BrushStyle oldStyle = c.GetBrushStyle();
    const Colour oldColour = c.BrushColor();
    c.SetBrushStyle(style);
    c.SetBrushColor(colour);
    c.Ellipse(x - r, y - r, x + r, y + r);
    c.SetBrushColor(oldColour);
    c.SetBrushStyle(oldStyle);
}

void BufPolygon(OffscreenBitmap& b, const std::vector<QPoint>& points, Colour brushColour,
                Colour penColour) {
    Canvas& c = b.canvas();
    c.SetBrushStyle(BrushStyle::Solid);
    c.SetBrushColor(brushColour);
    c.SetPenColor(penColour);
    c.Polygon(points);
}

void ClearBuffer(OffscreenBitmap& b, Colour colour) {
    Canvas& c = b.canvas();
    c.SetBrushStyle(BrushStyle::Solid);
    c.SetBrushColor(colour);
    const PenMode mode = c.GetPenMode();
    c.SetPenMode(PenMode::Copy);
    c.FillRect(0, 0, b.Width(), b.Height());
    c.SetPenMode(mode);
}

void BufTextOut(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour) {
    Canvas& c = b.canvas();
    const Colour old = c.Font().color;
    c.SetFontColor(colour);
    c.TextOut(x, y, text);
    c.SetFontColor(old);
}

void BufTextOutSans(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour) {
    const std::string t = TrimRight(text);
    if (t.empty()) return;
    Canvas& c = b.canvas();
    const FontSpec saved = c.Font();
    FontSpec f = saved;
    f.name = "MS Sans Serif";
    f.size = 8;
    f.style = 0;
    f.color = colour;
    c.SetFont(f);
    c.TextOut(x, y, t);
    f = saved;
    f.color = colour;
    c.SetFont(f);
}

void TextOutSymbol(int x, int y, std::string_view text, Colour colour, Canvas& canvas) {
    const std::string t = TrimRight(text);
    if (t.empty()) return;
    const FontSpec saved = canvas.Font();
    FontSpec f = saved;
    f.color = colour;
    f.style = 0;
    std::string_view rest = t;
    const char first = t[0];
    if (first != ' ' && !(first >= '1' && first <= '9')) {
        f.name = "Symbol";
        f.size = 12;
        canvas.SetFont(f);
        canvas.TextOut(x, y - 2, rest.substr(0, 1));
        x = canvas.PenPos().x();
        rest = rest.substr(1);
    }
    f.name = "MS Sans Serif";
    f.size = 10;
    canvas.SetFont(f);
    canvas.TextOut(x, y, rest);
    f = saved;
    f.color = colour;
    canvas.SetFont(f);
}

void DrawFont16TextBuf(OffscreenBitmap& b, int x, int y, std::string_view text, Colour colour) {
    if (text.empty()) return;
    if (text[0] == '\x12')
        TextOutCourier(b.font(), x, y, text, colour, b.canvas());
    else
        DrawFont16Text(b.font(), x, y, text, colour, b.canvas());
}

void DrawDegreeLabel(const AstroDat& s, OffscreenBitmap& b, bool withSeconds, int x, int y,
                     Colour colour, double arcsec) {
    // The numbers right-aligned in the width of their widest form, so that the sign glyphs
    // of a column of labels stand in one line (a blank is narrower than a digit).
    Canvas& c = b.canvas();
    auto rightAligned = [&](const std::string& text, const std::string& widest) {
        const int field = c.TextWidth(widest);
        BufTextOut(b, x + field - c.TextWidth(text), y, text, colour);
        return x + field;
    };
    if (withSeconds) {
        const ZodiacParts p = SplitZodiacSeconds(arcsec);
        const std::string tail = std::string(1, kDegreeSign) + IntToStrW(p.min, 2) + "'" +
                                 IntToStrW(p.sec, 2) + "\"";
        const int end = rightAligned(IntToStrW(p.deg, 2) + tail,
                                     "00" + std::string(1, kDegreeSign) + "00'00\"");
        DrawFont16TextBuf(b, end + 2, y, SignName(s, p.sign + 1), colour);
        return;
    }
    const ZodiacParts p = SplitZodiacMinutes(arcsec);
    const int end = rightAligned(IntToStrW(p.deg, 2), "00");
    DrawFont16TextBuf(b, end, y, SignName(s, p.sign + 1), colour);
    BufTextOut(b, end + 16, y, IntToStrW(p.min, 2), colour);
}

void FlipBuffer(const OffscreenBitmap& b, QWidget& paintBox, QPainter& painter) {
    if (!paintBox.isVisible()) return;
    painter.drawImage(QPoint(0, 0), b.image());
}

} // namespace qor::ui
