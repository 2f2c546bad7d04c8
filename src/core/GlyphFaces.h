// The code tables of the two glyph faces the printed chart can use: the program's own
// "QOR511" (file "qor.ttf", shipped) and the outside maker's "WinstarTT" (file "wstartt.ttf",
// not shipped: used only when the user has it installed). A code 0 means the face has no
// glyph for the item; 53 ("5") marks a point without a glyph of its own.
#pragma once

#include <array>
#include <string_view>

namespace qor {

struct GlyphFaceTable {
    std::string_view faceName;
    std::string_view fileName;
    unsigned char degreeGlyph;
    std::array<unsigned char, 37> points;  // 1..36 chart points (index 0 unused)
    std::array<unsigned char, 15> aspects; // 1..14 the aspects of the default page
    std::array<unsigned char, 13> signs;   // 1..12 Aries..Pisces (index 0 is 0)
};

// Cross of a sign (1..12) as a code of the QOR511 face: cardinal, fixed, mutable.
constexpr unsigned char kQorCrossGlyphs[3] = {247, 248, 249};
// Element of a sign as a code of the QOR511 face: fire, earth, air, water.
constexpr unsigned char kQorElementGlyphs[4] = {243, 244, 245, 246};

namespace detail {
constexpr std::array<unsigned char, 37> QorPoints() {
    std::array<unsigned char, 37> t{};
    for (int k = 1; k <= 16; ++k) t[k] = static_cast<unsigned char>(140 + k);
    for (int k = 17; k <= 26; ++k) t[k] = 53;
    t[27] = 65;
    t[36] = 77;
    return t;
}
constexpr std::array<unsigned char, 37> WinstarPoints() {
    std::array<unsigned char, 37> t{0,   162, 161, 163, 164, 165, 166, 167, 168,
                                    169, 170, 171, 193, 233, 234, 238, 177};
    for (int k = 17; k <= 26; ++k) t[k] = 53;
    t[27] = 173;
    t[36] = 172;
    return t;
}
constexpr std::array<unsigned char, 15> QorAspects() {
    std::array<unsigned char, 15> t{};
    for (int n = 1; n <= 14; ++n) t[n] = static_cast<unsigned char>(170 + n);
    return t;
}
constexpr std::array<unsigned char, 13> WinstarSigns() {
    std::array<unsigned char, 13> t{};
    for (int n = 1; n <= 12; ++n) t[n] = static_cast<unsigned char>(144 + n);
    return t;
}
} // namespace detail

inline constexpr GlyphFaceTable kQorGlyphFace{
    "QOR511",
    "qor.ttf",
    253,
    detail::QorPoints(),
    detail::QorAspects(),
    {0, 126, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139}};

inline constexpr GlyphFaceTable kWinstarGlyphFace{
    "WinstarTT",
    "wstartt.ttf",
    239,
    detail::WinstarPoints(),
    {0, 194, 200, 0, 0, 199, 198, 202, 197, 0, 196, 203, 0, 201, 195},
    detail::WinstarSigns()};

} // namespace qor
