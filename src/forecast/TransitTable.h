// The transit table of a working body: day by day through a year (from the annual ephemeris
// file), or every two hours through a month for the Moon (computed), the aspects the body makes
// to the chosen natal bodies and house cusps, each as the natal point's glyph, the aspect's
// glyph, the body's glyph and the deviation from exact in arc-minutes.
#pragma once

#include "core/Aspects.h"
#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "forecast/EphemerisFiles.h"

#include <array>
#include <string>
#include <vector>

namespace qor::forecast {

// The glyphs of the table's two printer fonts: chart points 1..38 and aspects 1..14. A point
// without a glyph of its own (a house cusp) is written as its house number; an aspect without
// one as its angle ("36°"); no entry is empty.
struct TransitGlyphs {
    std::array<std::string, 39> point;  // [1..38]
    std::array<std::string, 15> aspect; // [1..14]
    std::string fontName;
    int charset = 0;
};
// winStar: the "WinStar" column of the general settings' printer font, else "QOR".
TransitGlyphs TransitGlyphTable(bool winStar, const AspDefTable& table);

// Whether aspect a is listed: kind "M" with mode 1, kind " " with mode 2, any used kind with
// mode 3; nothing with mode 0.
bool AspectAllowed(const AspDefTable& table, int a, int aspMode);

// What the table is made of.
struct TransitTableInput {
    const AspDefTable* table = nullptr;
    int aspMode = 3;
    std::string natal = std::string(16, '.');  // natal body p (1..15) unless character p is "*"
    std::string houses = std::string(12, '.'); // cusp h (1..12) unless character h is "*"
    PointArray natalLon{};
    TransitGlyphs glyphs;
};

// The aspects of one line: for each chosen natal point (bodies 1..15, then cusps 27..38) the
// first aspect (1..14) within 1° of its separation from the transiting longitude, when allowed:
// point glyph, aspect glyph, glyph of w, " (" + signed minutes in 2 digits + ")   ".
std::string TransitTableEntries(const TransitTableInput& in, int w, double transitLon);

// The first chosen working body of a picker (1..16), 1 when none.
int WorkingBody(const std::string& workPicker);

// A line a record: "dd.mm   " + the entries of w.
std::vector<std::string> TransitTableLines(const TransitTableInput& in, int w,
                                           const std::vector<EphemerisRecord>& year);

// The Moon's table of month m of year y: a line every two hours from the 1st at 0:00 in the
// chart's zone, "dd  hh   " + the entries of the Moon. The chart moment is left as it was.
std::vector<std::string> MoonTransitTable(AstroDat& s, ChartEngine& chart,
                                          const TransitTableInput& in, int month, int year);

} // namespace qor::forecast
