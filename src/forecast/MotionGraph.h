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
#include "core/ChartEngine.h"
#include "forecast/EphemerisFiles.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <QPoint>

#include <array>
#include <functional>
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
    int kind = 0;     // 0 transit, 1 progression, 2 direction
    int period = 1;   // 0 one month, 1 one year, 2 ten years, 3 thirty-six years
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
    // A cache file that could not be opened: its kind and the year to build it for (the
    // graph is drawn again once it is there).
    bool missing = false;
    EphemerisKind missingKind = EphemerisKind::Annual;
    int requestYear = 0;
    bool readError = false; // a file there but unreadable (reported by the loader)
    // Progressions: the Julian day (UT) of each sample's chart.
    std::vector<double> sampleJd;
};

// Opening a cache file: its records, or that it is missing or unreadable (the loader tells
// the user of an unreadable file).
enum class FileLoad { Loaded, Missing, Unreadable };
using CenturyLoader = std::function<FileLoad(int century, std::vector<EphemerisRecord>&)>;

// The transit graph of one month or one year from the year's annual records (1 January first);
// natal longitudes for the marks. The title is message 60 (month) or 61 (year).
MotionResult DrawTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                              const MotionChoices& c, const std::vector<EphemerisRecord>& year,
                              const PointArray& natal, int screenHeight);

// The transits of ten or thirty-six years from the century files, a sample a month (the 1st at
// 0h UT): the century of the first year from its first month, then the next century from its
// second year (its first is the year the two share). The title is message 62.
MotionResult DrawDecadeTransitGraph(AstroDat& s, ui::Canvas& canvas, const ui::Font16State& font,
                                    const MotionChoices& c, const CenturyLoader& load,
                                    const PointArray& natal, int screenHeight);

// Progressions (a day after the birth for a year of life) and directions (every body moved by a
// degree of right ascension a year) of the current chart of `s`, whose time step and chart are
// computed: its natal positions are the marks. Progressions compute a chart on `chart` (an
// engine on `s`) for every sample. Years before the birth step back from it. The chart of `s`
// is left exactly as it was, the second chart's arrays included. Titles: messages 58, 59, 63, 64.
MotionResult DrawChartMotionGraph(AstroDat& s, ChartEngine& chart, ui::Canvas& canvas,
                                  const ui::Font16State& font, const MotionChoices& c,
                                  int screenHeight);

// A body at right ascension ra and declination dec directed by arc (radians, added to the right
// ascension), as ecliptic longitude in [0, 2π) with the obliquity given by its sine and cosine.
double DirectedLongitude(double sinEps, double cosEps, double ra, double dec, double arc);

// The progressed moment for 1 January of a year: the birth moved by a day for each year between
// them (back for an earlier year), less the birth's distance from 1 January of its own year in
// progressed hours (a year of life being 24 hours). Changes the chart moment of `s`; birthJd and
// jan1Jd are the Julian days of the birth and of 1 January of its year at its time of day.
void MoveToProgressedJanuary(AstroDat& s, int year, double birthJd, double jan1Jd);

} // namespace qor::forecast
