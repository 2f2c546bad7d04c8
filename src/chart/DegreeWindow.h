// What the degree window shows of one zodiac degree: its number and ruler, its texts from the
// two degree-text files, and the chart points, angles, stars and deep-sky objects inside it on
// a one-degree scale. The window itself (SabGrad.h) only gathers the inputs and shows the
// picture drawn here.
//
// Degree d = 1..360 covers the longitudes [d - 1, d) degrees: 0°00' to 0°59' of Aries is 1.
#pragma once

#include "core/AstroDat.h"
#include "ui/Canvas.h"
#include "ui/SymbolPainter.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qor {
struct StarCatalogue;
struct DeepCatalogue;
} // namespace qor

namespace qor::chart {

using ui::Colour;

constexpr int kDegreeWindowWidth = 389;
constexpr int kDegreeWindowHeight = 212;
constexpr Colour kDegreeStarColor = 0x800000; // navy ($00BBGGRR)
constexpr Colour kDegreeCuspColor = 0xFF00FF; // magenta
// Stars fainter than this are left out of every degree: a degree holds a few dozen catalogue
// stars, and the scale has room for the bright ones.
constexpr double kDegreeStarMagLimit = 5.0;

// The ruler of degree d (1..360): the body number of Mars, Sun, Venus, Mercury, Moon, Saturn,
// Jupiter in turn, from degree 1.
int DegreeRuler(int d);
// The ruler's name in words, its blanks removed ("Mars", "Марс").
std::string DegreeRulerName(AstroDat& s, int d);

// The longitude (radians, [0, 2pi)) under the pointer at (dx, dy) from the wheel's centre, dy
// pointing up (the wheel's mouse passes X - cx, cy - Y), for the wheel's start angle and
// direction (NatalWheel::ScreenAngle). The exact centre gives the start angle's longitude.
double PointerLongitude(double dx, double dy, double startAngle, bool counterClock);

// The two degree-text files (program names) and whether each is read.
struct DegreeTextFiles {
    std::string First, Second;
    bool FirstOn = true, SecondOn = false;
};

// The default file names of a language.
DegreeTextFiles DefaultDegreeTextFiles(bool english);

// Reads the texts of a degree from the two files. A file that cannot be read is told once (the
// I/O message) and then skipped quietly for the rest of the run while it stays unreadable.
class DegreeTextReader {
public:
    // Appends the texts of the degree of `lon` (radians) to `text`, lines ended by "/": the
    // heading "     g° <sign title>" from the first file that has the sign's section, then the
    // entry of each file (its first line after five blanks). With both files read, "/" (an
    // empty line) stands before the second file's part.
    void ReadDegreeText(AstroDat& s, const DegreeTextFiles& files, std::string& text,
                        double lon);
    // How many files were read the last time (0..2).
    int FilesRead() const { return filesRead_; }

private:
    std::set<std::string> told_;
    int filesRead_ = 0;
};

// One thing drawn on the scale: its longitude, its label and how it is drawn.
struct DegreeObject {
    enum Kind { Body, Star, DeepSky, Cusp };
    Kind What = Body;
    double Lon = 0;       // radians
    std::string Label;    // the glyph label of a body (symbol font), else a text
    bool Glyph = false;   // Label is drawn in the symbol font
    int Index = 0;        // chart point, star, deep-sky object or house number
};

// Where the objects of a degree come from: the chart's points as the wheel last drew them.
struct DegreeObjectSources {
    const PointArray* Lon = nullptr; // chart point longitudes (1..40)
    int LastPoint = 14;              // the last chart point the wheel shows
    // Whether point 1..26 has a row in the planet grid and is shown on the wheel.
    std::function<bool(int point)> Shown;
    // The glyph label of a chart point (as the wheel writes it), and its name in words for a
    // point that has no glyph.
    std::function<std::string(int point)> Label;
    std::function<std::string(int point)> Name;
    const StarCatalogue* Stars = nullptr;
    const DeepCatalogue* Deep = nullptr;
    // Column 0 of a deep-sky object (its name text).
    std::function<std::string(int object)> DeepText;
};

// The chart points, stars, deep-sky objects and cusps inside degree d, in that order (each
// kind by its number). Angles and cusps are labelled "Asc", "IC", "Dsc", "MC" or their house
// number; stars and deep-sky objects by their names up to the first ",".
std::vector<DegreeObject> DegreeObjects(const DegreeObjectSources& src, int d);

// The lines of a "/"-separated text broken at blanks to fit `width` (by `measure`); a word
// wider than the width is broken between its characters. Every line keeps at least one
// character, so the wrap always ends.
std::vector<std::string> WrapDegreeText(std::string_view text, int width,
                                        const std::function<int(std::string_view)>& measure);

// The contents of the window as drawn.
struct DegreeBox {
    std::string Title;               // "d [ruler]"
    std::string Text;                // the degree texts, lines ended by "/"
    std::vector<DegreeObject> Objects;
    bool DrawObjects = true;         // the scale and its objects
    bool BothTexts = false;          // both files were read: the scale sits lower
};

// Where each object of the last drawing went (for the checks and the hints).
struct PlacedDegreeObject {
    DegreeObject Object;
    int X = 0;        // the tick
    int LabelX = 0, LabelY = 0, LabelWidth = 0;
    bool LabelShown = true; // false: no room for it, the tick alone is drawn
};
struct DegreeLayout {
    std::vector<std::string> Lines; // the wrapped text
    int TextBottom = 0;
    int ScaleY = 0;                 // 0 without the scale
    std::vector<PlacedDegreeObject> Placed;
};

// Draws the box on the canvas (its whole size): title, wrapped text, and with DrawObjects the
// scale with its ticks and labels, overlapping labels lifted (a label that would climb into the
// text, or off the bottom, is left out and its tick stays). `font` is the text font, `glyphs`
// the symbol font of the body labels.
DegreeLayout DrawDegreeBox(ui::Canvas& c, const ui::Font16State& glyphs, const ui::FontSpec& font,
                           const DegreeBox& box);

} // namespace qor::chart
