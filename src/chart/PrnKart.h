// The printed natal chart: one landscape page with the wheel on the left (zodiac ring, cusps of
// one or both charts, body labels with their degree numbers and retrograde marks, aspect lines
// with glyphs, orbit marks), the table of points and cusps to its right, the header line, the
// second chart's title and the stamp "QOR 5.12".
//
// The page is drawn in fixed colours on white through the canvas on any paint device: a printer
// page, a PDF file or an image at any resolution. Its geometry follows the device's page size
// and the metrics of the Sun's glyph in the chosen glyph face. It reads the chart and the
// options and works on copies of its own: the screen's rows, colours, aspect matrix, hot spots
// and angle format are as they were after a print.
#pragma once

#include "chart/Kart.h"
#include "core/GlyphFaces.h"

#include <QPoint>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QPaintDevice;

namespace qor::chart {

// What the page placed, for the checks (no hot spots on paper).
struct PrintedLabel {
    int Point = 0;
    bool Outer = false;
    double Angle = 0;
    int Radius = 0, X = 0, Y = 0; // the label's centre as placed on its ray
    std::string Text;             // the glyph text or the body's name
    bool Glyph = true;            // false: a body without a glyph (its name)
};
struct PrintedCusp {
    int House = 0;
    bool Outer = false;
    double Angle = 0;
    QPoint From, To;
};
struct PrintedAspect {
    int I = 0, J = 0, Aspect = 0;
    unsigned char Glyph = 0; // the glyph printed at the chord's middle, 0 none
    QPoint End1, End2, Mid;
};
struct PrintedRow {
    int Point = 0; // 1..26 a chart point, 26 + h the cusp of house h
    int Y = 0;
};

struct PrintedPage {
    bool Drawn = false;
    std::string FaceName;
    int Width = 0, Height = 0;
    int LineHeight = 0, GlyphWidth = 0, Centre = 0, Radius = 0;
    TKart Wheel;
    std::array<uint8_t, 27> PointRow{};
    std::vector<PrintedLabel> Labels;
    std::vector<PrintedCusp> Cusps;
    std::vector<PrintedAspect> Aspects;
    std::vector<PrintedRow> Rows;
};

// The face a print uses: the outside maker's "WinstarTT" when it is chosen and installed; the
// program's own "QOR511" otherwise (a chosen face that is missing is reported: its codes in a
// substitute font would show wrong letters).
const GlyphFaceTable& PrintGlyphFace(AstroDat& s, bool winstarChosen);

// The glyph text of chart point k (1..36) in the face: its code; for an active Arabic part the
// character 127 and the part's letter; for point 15 of a face other than the program's own the
// three characters "]", its code, "["; "5" for a body without a glyph.
std::string PrnObjGlyph(const AstroDat& s, const GlyphFaceTable& face, int k);

// The aspect glyph printed on the chord of aspect n (0 none): only aspects 4 and 6..13 that
// the face has a glyph for.
unsigned char PrnAspectGlyph(const GlyphFaceTable& face, int n);

// The dignity letter of a status (1 rulership .. 4 fall, 0 none) in the language.
std::string PrnDignityLetter(int status, bool english);

// Draws the page on the device. Nothing is drawn (false) before the start-up has finished
// (chart.Ready false) or when the painter cannot begin or end on the device (a printer that
// refuses the job, a PDF file that cannot be written). The record, when given, gets what the
// page placed.
bool PrintKart(AstroDat& s, const KartOptions& o, const KartChartState& chart,
               const KartServices& services, const GlyphFaceTable& face, QPaintDevice& device,
               PrintedPage* record = nullptr);

} // namespace qor::chart
