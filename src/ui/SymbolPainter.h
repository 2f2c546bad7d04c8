// Texts in the program's 16 x 16 bitmap symbol font, drawn pixel by pixel on a canvas.
#pragma once

#include "core/SymbolFont.h"
#include "ui/Canvas.h"

#include <string_view>

class QPainter;

namespace qor::ui {

// The loaded glyphs and how glyph texts are painted; one per program.
struct Font16State {
    Font16Glyphs Glyphs;
    // 0 only set pixels; 1 also the clear pixels of the inner square (rows and columns 4..13
    // of the cell) in Font16BackColor; 2 every clear pixel of the cell.
    uint8_t Font16BackMode = 0;
    Colour Font16BackColor = kBlack;
    bool Font16Double = false; // each pixel a 2 x 2 block, the glyph 7 pixels up and left
};

// Advance from one glyph to the next, in both sizes.
constexpr int kFont16Advance = 12;

// Each character of the text as its glyph, the first at (x, y), each next 12 pixels further
// right. Every character is a glyph, the blank (the Sun) included: nothing is trimmed.
void DrawFont16Text(const Font16State& font, int x, int y, std::string_view text, Colour colour,
                    Canvas& canvas);

// The first character as its glyph at (x, y), then the rest of the text in "Courier New",
// size 10, regular, at (x + 3, y); the brush is left clear, the canvas font's name, size and
// style are restored and its colour stays the given one. Arabic-part labels: character 18 + letter.
// With a cell larger than 16 pixels the glyph and the text grow with it.
void TextOutCourier(const Font16State& font, int x, int y, std::string_view text, Colour colour,
                    Canvas& canvas, int cell = 16);

// The same onto a painter that is already painting (a grid cell, a paint box): the glyphs only,
// what lies between them stays.
void PaintFont16Text(QPainter& painter, const Font16State& font, int x, int y,
                     std::string_view text, Colour colour);

// Glyph texts in a cell of `cell` pixels a side, the first cell's top-left corner at (x, y),
// each next glyph 3/4 of a cell further right: up to the bitmap face's native 16 pixels the
// bitmap face exactly as DrawFont16Text draws it, beyond it the outline face "QOR511" (its ink
// centred in the cell and as tall as the bitmap's ink is in its cell) for the glyphs it has,
// the bitmap glyph scaled smoothly for the rest (or when the face is not registered). The
// background modes paint the same parts of the larger cell; Font16Double is not applied.
void DrawGlyphs(const Font16State& font, int x, int y, int cell, std::string_view text,
                Colour colour, Canvas& canvas);

// The code of the outline face "QOR511" that draws a glyph of the bitmap face (points, aspects,
// signs), 0 for a glyph it does not have.
unsigned char OutlineGlyphCode(unsigned char bitmapCode);

// The glyph table's way of drawing: each character's glyph at (x, y), x advancing by 16; set
// bits black, clear bits white when opaque and untouched otherwise.
void DrawGlyphText(const Font16Glyphs& glyphs, int x, int y, bool opaque, Canvas& canvas,
                   std::string_view text);

} // namespace qor::ui
