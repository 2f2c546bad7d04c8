// Astro-carto-graphy: the places of the Earth where a planet (or a point aspecting it) rises or
// sets, the meridians where it culminates and anti-culminates, and the rising curves of the
// points a quarter beyond the first six cusps; first as plain data (longitude, latitude
// polylines and meridian longitudes with their labels), then drawn on the world map.
//
// The planet's own lines take its geocentric apparent right ascension and declination (the map
// serves every place on a line, so no observer's parallax). An aspect point keeps the planet's
// declination and has its right ascension shifted by the aspect, an approximation.
#pragma once

#include "geo/GeoView.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace qor {

struct AstroDat;

// What the lines are made of. Angles in radians.
struct AcgInput {
    double lst = 0;                        // local apparent sidereal time of the chart
    double chartLong = 0;                  // the chart's longitude, east positive
    std::array<double, 11> ra{}, dec{};    // planets 1..10: geocentric apparent places
    std::array<std::string, 11> glyph{};   // planets 1..10: the symbol-font glyph
    std::string planetMask = "||--------"; // planets 1..10: "|" chosen
    bool ascDsc = false, mcIc = false, houses = false;
    bool majorAspects = false;                   // else the planets' own lines only
    std::array<double, 7> houseRa{}, houseDec{}; // 1..6: the point 90° beyond each cusp
};

// A curve of 360 points, one per degree of longitude from 0° east, closed back to its first.
struct AcgCurve {
    std::vector<std::pair<double, double>> points; // (longitude 0..2π, latitude)
    std::string label;                             // three glyph characters, or the house's digit
    double reference = 0;   // R: the longitude where the curve's point culminates
    int planet = 0;         // 1..10, 0 a house curve
    int aspect = 0;         // steps of 30°: 0, 2, 3, 4 (the house number for a house curve)
    double ra = 0, dec = 0; // the point the curve belongs to
};
struct AcgMeridian {
    double longitude = 0; // east of Greenwich, 0..2π
    std::string label;
    int planet = 0;
    int aspect = 0; // -4..6 steps of 30°: 0 MC, 6 IC
};
struct AcgLines {
    std::vector<AcgCurve> curves;       // rising/setting curves, then the house curves
    std::vector<AcgMeridian> meridians; // MC, IC and the aspect meridians
};

// The aspect characters of the symbol font by step: 0 "0", 2 "5", 3 "7", 4 "9", 6 "=".
char AcgAspectChar(int step);

AcgLines ComputeAcgLines(const AcgInput& in);

// The chart's input from the chart state: the planets' geocentric places (the topocentric
// parallax taken back out when the chart was computed with it), the points beyond the cusps.
AcgInput AcgInputOf(const AstroDat& s, bool parallaxApplied);

// Where the labels went, for the checks: one entry per label drawn.
struct AcgLabelSpot {
    int x = 0, y = 0;
    std::string text;
    bool meridian = false;
};

// Draws the lines on the map's canvas: lines in `lineColour`, labels in `labelColour`, a jump
// of 300 pixels or more between neighbouring points only moves the pen. The label places are
// spaced through 80 slots emptied at every drawing.
std::vector<AcgLabelSpot> DrawAcgLines(const AcgLines& lines, const GeoMapView& v,
                                       ui::Colour lineColour, ui::Colour labelColour,
                                       ui::Canvas& cv, ui::Font16State& font);

// The 80-slot spacing of label places: an x kept 10 pixels from recorded ones (up to three
// moves), a point moved 10 pixels towards the middle off a recorded one with the same x
// within 40 pixels; each then recorded in the first free slot (none when all are taken).
class AcgLabelSlots {
public:
    AcgLabelSlots() { Reset(); }
    void Reset();
    int SpaceX(std::array<int, 80>& taken, int x);
    int SpaceXY(int x, int y, int middleX);
    std::array<int, 80> curveX{}, meridianX{};
    std::array<std::pair<int, int>, 80> points{};
};

} // namespace qor
