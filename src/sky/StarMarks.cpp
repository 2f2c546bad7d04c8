#include "sky/StarMarks.h"

#include <cstdint>

namespace qor {

namespace {

constexpr ui::Colour kWhite = 0xFFFFFF, kSilver = 0xC0C0C0, kGray = 0x808080, kBlack = 0,
                     kYellow = 0x00FFFF;

// An 8 by 8 pattern: one byte a row, bit 7 the leftmost pixel; the top-left pixel at (-4, -4).
void Pattern(const uint8_t (&rows)[8], ui::Colour c,
             const std::function<void(int, int, ui::Colour)>& pixel) {
    for (int r = 0; r < 8; ++r)
        for (int b = 0; b < 8; ++b)
            if (rows[r] & (0x80 >> b)) pixel(b - 4, r - 4, c);
}

} // namespace

StarMarkScheme StarColorsLight() {
    return {kWhite, kSilver, kGray, 0};
}
StarMarkScheme StarColorsDark() {
    return {kBlack, kGray, kGray, 0};
}
StarMarkScheme StarColorsYellow(const StarMarkScheme& from) {
    return {kYellow, kYellow, kSilver, from.style};
}

void ForEachStarMarkPixel(double m, const StarMarkScheme& k,
                          const std::function<void(int, int, ui::Colour)>& pixel) {
    // styles 2 and 3: a disc of 6 and of 8 pixels in c1 with a rim in c3
    static const uint8_t kFixed[2][2][8] = {{{0x00, 0x18, 0x3C, 0x7E, 0x7E, 0x3C, 0x18, 0x00},
                                             {0x00, 0x00, 0x42, 0x00, 0x00, 0x42, 0x00, 0x00}},
                                            {{0x18, 0x3C, 0x7E, 0xFF, 0xFF, 0x7E, 0x3C, 0x18},
                                             {0x00, 0x42, 0x81, 0x00, 0x00, 0x81, 0x42, 0x00}}};
    if (k.style == 2 || k.style == 3) {
        Pattern(kFixed[k.style - 2][0], k.c1, pixel);
        Pattern(kFixed[k.style - 2][1], k.c3, pixel);
        return;
    }
    if (m < 1) {
        if (m < -7)
            for (auto [dx, dy] : {std::pair{0, -3}, {0, 3}, {-3, 0}, {3, 0}}) pixel(dx, dy, k.c1);
        const ui::Colour outer = m < -1 ? k.c2 : k.c3;
        for (int dy = -2; dy <= 2; ++dy) pixel(0, dy, k.c1);
        pixel(-1, 0, k.c1);
        pixel(1, 0, k.c1);
        for (auto [dx, dy] : {std::pair{-2, 0}, {2, 0}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
            pixel(dx, dy, outer);
    } else if (m < 3) {
        for (auto [dx, dy] : {std::pair{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}})
            pixel(dx, dy, k.c1);
    } else if (m < 4) {
        pixel(0, 0, k.c1);
        pixel(0, -1, k.c2);
        pixel(0, 1, k.c2);
        pixel(-1, 0, k.c3);
        pixel(1, 0, k.c3);
    } else if (m < 5) {
        pixel(0, 0, k.c1);
        pixel(0, -1, k.c3);
        pixel(0, 1, k.c3);
    } else {
        pixel(0, 0, m < 6 ? k.c1 : k.c3);
    }
}

void DrawStarMark(ui::Canvas& canvas, int x, int y, double m, const StarMarkScheme& scheme) {
    ForEachStarMarkPixel(m, scheme,
                         [&](int dx, int dy, ui::Colour c) { canvas.SetPixel(x + dx, y + dy, c); });
}

} // namespace qor
