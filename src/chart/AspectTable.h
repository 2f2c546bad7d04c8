// The aspect table: one row and one column per chart point listed in it, each cell the
// angular distance of the two points or the deviation of their aspect, with the marks of an
// applying or separating aspect; and the same as the lines of the text export. The window
// "AspTabl" (AspTablForm.h) shows it; the texts are made here.
#pragma once

#include "core/Aspects.h"
#include "core/AstroDat.h"

#include <functional>
#include <string>
#include <vector>

namespace qor::chart {

// What the cells read: the two charts' points and speeds, the aspect page and matrix, and the
// settings that decide the texts.
struct AspectTableInputs {
    const PointArray* Lon = nullptr;      // the inner (or only) chart
    const PointArray* LonBck = nullptr;   // the outer chart of a double chart
    const PointArray* Speed = nullptr;    // daily motions of the inner chart
    const PointArray* SpeedBck = nullptr; // and of the outer one
    const AspDefTable* Table = nullptr;
    const AspectMatrix* Matrix = nullptr;
    bool DoubleChart = false;
    char AspectingMode = 'I'; // 'I' inner with itself, 'O' outer with itself, 'X' across
    char DynMethod = ' ';     // the second chart's method (blank: transit or synastry)
    bool OrbBox = false;      // show an aspect's deviation from exactness
    bool Exact = true;        // degrees, minutes and seconds; else decimal degrees
    bool HelioMode = false;
};

// The points the table lists, in order: the points 1..26 whose `flags` character is "|" (the
// settings window's table flags, with "-" for a point the planet table does not list), then,
// unless the chart is heliocentric, the cusps 27..38 whose `houseFlags` character is "|".
std::vector<int> AspectTablePoints(const std::string& flags, const std::string& houseFlags,
                                   bool helio);
// The window's flag string: `tableFlags` (26 positions) with "-" where `pointRow` is 0.
std::string AspectTableFlags(const std::string& tableFlags, const std::array<uint8_t, 27>& pointRow);

// The text of the cell of the row point and the column point: seven blanks for a point with
// itself (but across the two charts); else the distance (0..180°), or with `glyphMode` and
// OrbBox the aspect's deviation from exactness; between ">" and "<" when the aspect applies,
// "<" and ">" when it separates, blanks when there is no aspect or the outer chart is a
// direction or progression compared across.
std::string AspCellText(const AspectTableInputs& in, int rowPoint, int colPoint, bool glyphMode);

// The aspect of the cell (0 none).
int AspCellAspect(const AspectTableInputs& in, int rowPoint, int colPoint);

// The header text of a point in words: bodies by name, an extra body by its name in the body
// table (through `bodyTableName`), an active Arabic part by its name, cusps "Asc", "IC",
// "Dsc", "MC" or the house number; `retrograde` adds "(R)".
std::string AspHeaderText(AstroDat& s, int point, bool retrograde,
                          const std::function<std::string(int)>& bodyTableName);

// The export: the caption, then one line a row, each cell (the headers included) padded to 14
// characters in the exact format or 10 in the normal one, the header row four blanks further
// right in the exact format.
std::vector<std::string> AspectTableText(const std::string& caption,
                                         const std::vector<std::vector<std::string>>& cells,
                                         bool exact);

} // namespace qor::chart
