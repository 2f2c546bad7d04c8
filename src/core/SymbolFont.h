// The program's 16 x 16 bitmap symbol font ("font16.fnt") and the whole-pixel coordinates
// given to the drawing routines.
//
// The file is exactly 8192 bytes: 256 glyphs in code order, 16 rows each from top to bottom,
// one little-endian 16-bit word a row whose bit 15 (0x8000) is the leftmost pixel. Glyph c,
// row r (1..16) lies at byte c * 32 + (r - 1) * 2. Glyph texts are code page 1251 bytes, one
// glyph a byte; the Sun is code 32, a blank, so glyph texts are never trimmed.
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qor {

constexpr int kFont16Glyphs = 256;
constexpr int kFont16Rows = 16;
constexpr std::size_t kSymbolFontBytes = kFont16Glyphs * kFont16Rows * 2; // 8192
inline constexpr std::string_view kSymbolFontFile = "font16.fnt";

// The 256 glyphs in memory: word c * 16 + (r - 1) is row r of glyph c.
struct Font16Glyphs {
    std::array<uint16_t, kFont16Glyphs * kFont16Rows> words{};
    bool operator==(const Font16Glyphs&) const = default;
};

// Row r (1..16) of glyph c (0..255); 0 for any other c or r.
uint16_t GlyphRow(const Font16Glyphs& font, int c, int r);
// Writes row r of glyph c; refuses (returns false, changes nothing) c outside 0..255 or r
// outside 1..16.
bool SetGlyphRow(Font16Glyphs& font, int c, int r, uint16_t word);

// The file image and back. FromBytes accepts exactly 8192 bytes and leaves `font` unchanged
// otherwise.
std::string SymbolFontBytes(const Font16Glyphs& font);
bool SymbolFontFromBytes(std::string_view bytes, Font16Glyphs& font);

// Reads "font16.fnt" of the program folder into `font`. A file that cannot be read is
// reported through IOCheck; a file of any size other than 8192 bytes is reported as such.
// On failure `font` keeps what it had.
bool LoadSymbolFont(AstroDat& s, Font16Glyphs& font);
// Reads a font file of the same format from any path (the viewer's files).
IoResult ReadSymbolFontFile(const fs::path& path, Font16Glyphs& font);
// Writes the 8192 bytes to "font16.fnt" of the program folder, atomically; a failure is
// reported through IOCheck and the old file stays as it was.
bool SaveSymbolFont(AstroDat& s, const Font16Glyphs& font);

// Editing a whole glyph (the font editor's buttons). Each refuses a glyph number outside
// 0..255 and returns false then.
enum class GlyphShift { Up, Down, Left, Right };
bool ShiftGlyph(Font16Glyphs& font, int c, GlyphShift direction);
bool ClearGlyph(Font16Glyphs& font, int c);
using GlyphRows = std::array<uint16_t, kFont16Rows>;
GlyphRows GlyphRowsOf(const Font16Glyphs& font, int c); // all zeros outside 0..255
bool SetGlyphRows(Font16Glyphs& font, int c, const GlyphRows& rows);
// Toggles the pixel of column col (0..15, 0 the leftmost) in row r (1..16).
bool ToggleGlyphPixel(Font16Glyphs& font, int c, int r, int col);

// A real screen coordinate made whole for the graphics interface: values beyond +-3 200 000
// are compressed a thousandfold so that far-off points keep their direction without
// overflowing the device's range; then rounded to nearest, ties to even. Not a number gives
// 0, and results stay within +-2 000 000 000.
int ClampCoord(double x);

} // namespace qor
