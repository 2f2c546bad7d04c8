// The planet-motion graph: bodies' longitudes over a period as curves, time running down,
// longitude across, reduced by a harmonic so that 360° or its 4th, 6th, 8th or 12th part fills
// the width. The geometry and the drawing are plain code on a canvas, so the screen, a test and
// a printed page draw alike.
//
// Geometry (pixels, y downward): the graph's top is y = 58 and its left edge x = 40; a division
// is width factor × (bitmap width / 800) wide, N divisions make the graph; a day of the graph
// year is (screen height − 88) / days of the year high.
#pragma once

#include "core/AstroDat.h"
#include "forecast/EphemerisFiles.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <QPoint>

#include <array>
#include <string>
#include <vector>

namespace qor::forecast {

// The harmonic items "360°", "90°", "60°", "45°", "30°".
struct HarmonicSpec {
    int degrees;        // the span of the width
    int divisions;      // N grid divisions
    int widthFactor;    // a division's width in units of bitmap width / 800
    int minorDivisions; // dotted lines per division
};
HarmonicSpec HarmonicOf(int item); // an item outside 0..4 is taken as 0

constexpr int kGraphTopY = 58;
constexpr int kGraphLeftX = 40;

struct MotionGeometry {
    HarmonicSpec harm{360, 12, 60, 3};
    double widthUnit = 1; // bitmap width / 800
    double divisionWidth = 60;
    double dayHeight = 1; // one day of the graph year
    int y0 = kGraphTopY;
    // The right edge: round(N × division width + 40).
    int XRight() const;
    // The column of a longitude (radians), reduced by the harmonic.
    int Column(double lon) const;
};
MotionGeometry MakeMotionGeometry(int bitmapWidth, int screenHeight, int harmonicItem,
                                  int daysInYear);

// The segments that join a body's previous point to its next one: one straight segment, or,
// where the curve crosses the edge (a jump of more than N − 2 divisions, or the Moon moving to
// the left), a segment to the edge and one from the other edge at the interpolated height.
struct Segment {
    QPoint from, to;
    bool operator==(const Segment&) const = default;
};
std::vector<Segment> CurveSegments(const MotionGeometry& g, int body, QPoint previous, QPoint next);

// Glyph labels along an edge: sorted by x, then spread so that neighbours stand at least 11
// pixels apart, the later ones pushed right.
struct GlyphLabel {
    int body = 0;
    int placedX = 0;
    int trueX = 0;
};
std::vector<GlyphLabel> SpreadGlyphLabels(std::vector<GlyphLabel> labels);
constexpr int kGlyphLabelGap = 11;

// What the graph window chooses.
struct MotionChoices {
    int kind = 0;     // 0 transit (1 progression, 2 direction: not drawn here)
    int period = 1;   // 0 one month, 1 one year
    int harmonic = 0; // item of HarmonicOf
    int year = 2000, month = 1;
    std::string work = std::string(16, '.');  // body i drawn unless character i is "*"
    std::string natal = std::string(16, '*'); // natal body i marked unless "*"
    std::string houses = std::string(12, '*');
};

// What a drawing did: the rows of the time axis, the y of the last grid line, the samples
// drawn, each body's points (for the tests), the annual file it lacked.
struct MotionResult {
    bool drawn = false;
    int rows = 0, yEnd = 0, samples = 0;
    std::array<std::vector<QPoint>, 16> points; // [i − 1]: body i
    std::vector<GlyphLabel> bottomLabels;
};

// The transit graph of one month or one year from the year's annual records (1 January first);
// natal longitudes for the marks. The title is message 60 (month) or 61 (year).
MotionResult DrawTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                              const MotionChoices& c, const std::vector<EphemerisRecord>& year,
                              const PointArray& natal, int screenHeight);

} // namespace qor::forecast
