#include "ui/SymbolPainter.h"

#include <QImage>
#include <QPainter>

namespace qor::ui {

namespace {

// Inner square of the cell painted by background mode 1 (rows and columns 1-based).
bool InInnerSquare(int r, int c) {
    return r >= 4 && r <= 13 && c >= 4 && c <= 13;
}

} // namespace

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
                    Canvas& canvas) {
    if (text.empty()) return;
    DrawFont16Text(font, x, y, text.substr(0, 1), colour, canvas);
    const FontSpec saved = canvas.Font();
    canvas.SetBrushStyle(BrushStyle::Clear);
    FontSpec courier = saved;
    courier.name = "Courier New";
    courier.size = 10;
    courier.style = 0;
    courier.color = colour;
    canvas.SetFont(courier);
    canvas.TextOut(x + 3, y, text.substr(1));
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
