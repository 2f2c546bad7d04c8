#include "core/SymbolFont.h"

#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace qor {

namespace {

bool ValidGlyph(int c) {
    return c >= 0 && c < kFont16Glyphs;
}
std::size_t WordIndex(int c, int r) {
    return static_cast<std::size_t>(c) * kFont16Rows + (r - 1);
}

} // namespace

uint16_t GlyphRow(const Font16Glyphs& font, int c, int r) {
    if (!ValidGlyph(c) || r < 1 || r > kFont16Rows) return 0;
    return font.words[WordIndex(c, r)];
}

bool SetGlyphRow(Font16Glyphs& font, int c, int r, uint16_t word) {
    if (!ValidGlyph(c) || r < 1 || r > kFont16Rows) return false;
    font.words[WordIndex(c, r)] = word;
    return true;
}

std::string SymbolFontBytes(const Font16Glyphs& font) {
    LeWriter w;
    for (uint16_t word : font.words) w.u16(word);
    return w.bytes();
}

bool SymbolFontFromBytes(std::string_view bytes, Font16Glyphs& font) {
    if (bytes.size() != kSymbolFontBytes) return false;
    LeReader r(bytes);
    Font16Glyphs read;
    for (uint16_t& word : read.words) word = r.u16();
    if (!r.ok()) return false;
    font = read;
    return true;
}

IoResult ReadSymbolFontFile(const fs::path& path, Font16Glyphs& font) {
    std::string bytes;
    IoResult r = ReadFileBytes(path, bytes, kSymbolFontBytes);
    if (r.error == EFBIG) {
        std::error_code ec;
        return IoResult::Fail(EINVAL, "font file of " + std::to_string(fs::file_size(path, ec)) +
                                          " bytes instead of 8192");
    }
    if (!r.ok()) return r;
    if (!SymbolFontFromBytes(bytes, font))
        return IoResult::Fail(EINVAL, "font file of " + std::to_string(bytes.size()) +
                                          " bytes instead of 8192");
    return r;
}

bool LoadSymbolFont(AstroDat& s, Font16Glyphs& font) {
    const std::string name(kSymbolFontFile);
    const fs::path path = s.DataPath(name);
    // The size first: a file of any other size is not read at all.
    std::string bytes;
    const IoResult r = ReadFileBytes(path, bytes, kSymbolFontBytes);
    std::error_code ec;
    const std::uintmax_t size = r.error == EFBIG ? fs::file_size(path, ec) : bytes.size();
    if (r.error != EFBIG && IOCheck(s, r, name)) return false;
    if (r.error == EFBIG || !SymbolFontFromBytes(bytes, font)) {
        ReportOf(s).ShowMessage(
            MsgKind::Error,
            Lang(s,
                 Cp("Неверный размер файла ") + name + ": " + std::to_string(size) +
                     Cp(" байт вместо 8192"),
                 "Wrong size of " + name + ": " + std::to_string(size) + " bytes instead of 8192"));
        return false;
    }
    return true;
}

bool SaveSymbolFont(AstroDat& s, const Font16Glyphs& font) {
    const std::string name(kSymbolFontFile);
    return !IOCheck(s, SaveFileAtomic(s.DataPath(name), SymbolFontBytes(font)), name);
}

GlyphRows GlyphRowsOf(const Font16Glyphs& font, int c) {
    GlyphRows rows{};
    for (int r = 1; r <= kFont16Rows; ++r) rows[r - 1] = GlyphRow(font, c, r);
    return rows;
}

bool SetGlyphRows(Font16Glyphs& font, int c, const GlyphRows& rows) {
    if (!ValidGlyph(c)) return false;
    for (int r = 1; r <= kFont16Rows; ++r) SetGlyphRow(font, c, r, rows[r - 1]);
    return true;
}

bool ClearGlyph(Font16Glyphs& font, int c) {
    return SetGlyphRows(font, c, GlyphRows{});
}

bool ShiftGlyph(Font16Glyphs& font, int c, GlyphShift direction) {
    if (!ValidGlyph(c)) return false;
    const GlyphRows old = GlyphRowsOf(font, c);
    GlyphRows rows{};
    for (int i = 0; i < kFont16Rows; ++i) {
        switch (direction) {
        case GlyphShift::Up:
            rows[i] = i + 1 < kFont16Rows ? old[i + 1] : 0;
            break;
        case GlyphShift::Down:
            rows[i] = i > 0 ? old[i - 1] : 0;
            break;
        case GlyphShift::Right:
            rows[i] = static_cast<uint16_t>(old[i] >> 1);
            break;
        case GlyphShift::Left:
            rows[i] = static_cast<uint16_t>(old[i] << 1);
            break;
        }
    }
    return SetGlyphRows(font, c, rows);
}

bool ToggleGlyphPixel(Font16Glyphs& font, int c, int r, int col) {
    if (!ValidGlyph(c) || r < 1 || r > kFont16Rows || col < 0 || col > 15) return false;
    return SetGlyphRow(font, c, r, static_cast<uint16_t>(GlyphRow(font, c, r) ^ (0x8000u >> col)));
}

int ClampCoord(double x) {
    constexpr double kLimit = 3200000.0;
    if (x > kLimit)
        x = kLimit + (x - kLimit) * 0.001;
    else if (x < -kLimit)
        x = -kLimit + (x + kLimit) * 0.001;
    // Beyond even the compressed range (or not a number) no whole coordinate is meaningful.
    constexpr double kIntLimit = 2000000000.0;
    if (std::isnan(x)) return 0;
    x = std::clamp(x, -kIntLimit, kIntLimit);
    return static_cast<int>(RoundEven(x));
}

} // namespace qor
