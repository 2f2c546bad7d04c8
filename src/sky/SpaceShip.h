// The space ship: a free body named "Корабль" (or "SkyShip") at the centre of the cosmos view is
// drawn as a small shaded box in the plane of its orbit, its long axis pointing away from the
// Sun, seen through the view's turn and perspective with the faces hidden behind others left
// out.
#pragma once

#include "core/ChartState.h"
#include "sky/Geometry3D.h"
#include "ui/Canvas.h"

#include <array>

namespace qor {

// The ship's model: eight corners (20 units are the body's radius) and six faces.
struct ShipFace {
    std::array<int, 4> corners; // 0-based corner numbers in drawing order
    ui::Colour fill, pen;
};
const std::array<std::array<double, 3>, 8>& ShipCorners();
const std::array<ShipFace, 6>& ShipFaces();

// Draws the ship of chart body `body` (its heliocentric longitude, node and inclination fix the
// box's frame) at the view's centre, the body `diameterKm` wide, with `pixelsPerAu` and the
// eye `eyeDistance` pixels away, turned by the view of `mode`. Returns which faces it drew.
std::array<bool, 6> DrawShipBox(ui::Canvas& canvas, MatrixBank& bank, int mode, const BodyRec& body,
                                double diameterKm, double pixelsPerAu, double eyeDistance);

} // namespace qor
