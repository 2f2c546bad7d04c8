// The star mark: the small pixel pattern, sized by magnitude, with which the sky screens and
// the cosmos view draw stars, in one of three colour schemes.
#pragma once

#include "ui/Canvas.h"

#include <functional>

namespace qor {

// Colours of a mark ($00BBGGRR) and its style: 0 and 1 by magnitude, 2 and 3 two fixed
// patterns (a disc of 6 and of 8 pixels).
struct StarMarkScheme {
    ui::Colour c1 = 0xFFFFFF, c2 = 0xC0C0C0, c3 = 0x808080;
    int style = 0;
};

// White, silver, grey, style 0: the scheme of every mark unless another is given.
StarMarkScheme StarColorsLight();
// Black, grey, grey, style 0 (on a white ground).
StarMarkScheme StarColorsDark();
// Yellow, yellow, silver, with the style of `from` (the Sun).
StarMarkScheme StarColorsYellow(const StarMarkScheme& from = StarColorsLight());

// The pixels of a mark of magnitude m around (0, 0): each (dx, dy, colour), in drawing order.
void ForEachStarMarkPixel(double m, const StarMarkScheme& scheme,
                          const std::function<void(int dx, int dy, ui::Colour)>& pixel);

// Draws one mark at (x, y).
void DrawStarMark(ui::Canvas& canvas, int x, int y, double m,
                  const StarMarkScheme& scheme = StarColorsLight());

} // namespace qor
