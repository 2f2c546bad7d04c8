// The astronomical data table: for every body of the chart (rows 1.., one per chart point
// 0..14 and the extra bodies) 26 columns of coordinates, distances, motion, angular diameter,
// heliocentric elements and position and the pole of the body's equator, with the time
// quantities of the moment; and the same as the lines of the text export. The window
// "AstroForm" (AstroForm.h) shows it; the texts are made here.
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace qor::chart {

constexpr int kAstroColumns = 26;

// The time-step labels of the astronomical data window, formatted from the chart state.
struct AstroTimeTexts {
    std::string LeapLabel; // "Високосный" / "Leap", or empty
    std::string GregLabel; // "Григорианский" / "Gregorian", or the Julian twin
    std::string JdLabel;   // Julian day, width 13, 5 decimals
    std::string TeLabel;   // delta T, seconds, 1 decimal
    std::string EoLabel;   // mean obliquity, degrees, minutes and seconds
    std::string dELabel;   // nutation in obliquity, arc-seconds + '"'
    std::string dFLabel;   // nutation in longitude, arc-seconds + '"'
    std::string StLabel;   // local sidereal time "hh:mm:ss"
};
AstroTimeTexts AstroTimeLabels(const AstroDat& s);

struct AstroTableOptions {
    bool DecimalMode = false;   // the export's decimal degrees (and hours) instead of D°M'S"
    int ExterrBody = 0;         // the observer's planet: its own row and the Earth's moon and
                                // lunar points are not observed
    bool BlackMoonFocus = true; // the Black Moon has a distance (km) when it is the focus
    // The body table's name of record n (an extra body is record point + 57).
    std::function<std::string(int)> BodyTableName;
};

// Rows of the grid: the title row and one per chart point 0..14 + NExtra.
inline int AstroRowCount(const AstroDat& s) {
    return 16 + s.NExtra;
}

// The text of one cell: row 0 the column titles, row r the chart point r − 1. A cell of a row
// that has no such value is empty. Names follow GlyphNames: the glyph followed by the
// character 17 for a retrograde body, else the name followed by "(R)", 15 wide.
std::string AstroCellText(AstroDat& s, const AstroTableOptions& o, int col, int row);

// The angular diameter of chart point 0..10 at its geocentric distance, radians (0 for any
// other point).
double PlanetAngDiam(const AstroDat& s, int point);

// An angular diameter in arc-seconds: "   31,6\"" below a minute, else "32' 1,6\"" (the
// seconds rounded to a tenth, 60 carried into the minutes); decimal: arc-minutes, width 8,
// 5 decimals.
std::string DiamText(double arcsec, bool decimal);

// The export: the caption, the nine time quantities (each a label's caption, a blank and its
// value), then every row with the columns whose character c + 2 of `flags` is "1", each
// column as wide as its widest cell and followed by one blank. Character 1 of `flags` "1"
// writes decimal numbers. Names in words.
struct AstroLabelCaptions {
    // Julian day, sidereal time, mean obliquity, SVP, nutation in obliquity and in longitude,
    // universal date, universal time, delta T.
    std::array<std::string, 9> Captions;
};
std::vector<std::string> AstroTextTable(AstroDat& s, AstroTableOptions o,
                                        const std::string& caption,
                                        const AstroLabelCaptions& labels,
                                        const std::string& flags);

// "Wrk\Astro<n>.txt", the first n = 1..999 whose file does not exist; empty when all exist.
std::string NextAstroFileName(const AstroDat& s);

} // namespace qor::chart
