// Arabic parts: the page files of part definitions, the active parts and the evaluation of
// their formulas into chart points.
//
// A formula is a sum of signed terms: point codes ("Sun", "Lun" ... "Chi"), house cusps
// ("H1".."H12"), rulers of the sign on a cusp ("D1".."D12") and numbers of degrees. A group in
// square brackets counts as written in a day chart and with every sign turned round (the sign
// before it included) in a night chart.
#pragma once

#include "core/AstroDat.h"
#include "core/Files.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

constexpr int kMaxActiveParts = 9;

// One line of a page: glyph ";" name ";" formula; a line starting with ";" is a comment.
struct ParsLine {
    std::string glyph, name, formula;
    bool comment = false;
};
ParsLine ParsSplitLine(std::string_view line);
std::string ParsJoinLine(const ParsLine& line);

// The program name of a page's file: "Parses\" + page + ".prs"; in English mode the pages
// shipped with the program have English copies, "Parses\" + page + "-e.prs".
std::string ParsPageFile(const AstroDat& s, std::string_view pageName);

// The pages shipped with the program, in tab order.
const std::vector<std::string>& ParsDefaultPages();

// Reads and writes a page of the program folder (code page 1251 lines).
IoResult ReadParsPage(const AstroDat& s, std::string_view pageName,
                      std::vector<std::string>& lines);
IoResult WriteParsPage(const AstroDat& s, std::string_view pageName,
                       const std::vector<std::string>& lines);

// Renames page `index` of `pages` and moves its file with it. Refuses (with a message) a bad
// name and a name whose file already exists, so no page is ever written over; a page whose
// file does not exist yet is renamed alone. Returns true when renamed.
bool RenameParsPage(AstroDat& s, std::vector<std::string>& pages, std::size_t index,
                    const std::string& newName);

// What the formulas read of the chart besides the point longitudes.
struct ParsInputs {
    double SunAltitude = 0; // radians: ≥ 0 makes a day chart
    int NExtra = 0;         // enabled extra bodies: the parts follow them
    // The ruling body of each sign 1..12 (0: none), from the rulership table of the
    // dignities; the default is the classical one.
    std::array<int, 13> SignRuler = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
};

// The chart point of a point code ("Sun" 1 .. "Chi" 16, "Shp" 17), 0 for an unknown code.
// Codes are case-sensitive; "Nod" is the north node.
int ParsPointOfCode(std::string_view code);

// The body ruling the sign on the cusp of house h (1..12), 0 when none or for another h.
// A cusp that rounds to 360° is in Pisces.
int HouseRuler(const PointArray& lon, const ParsInputs& in, int h);

// Makes the page's parts the active ones: the title line (the page name in double quotes)
// and the page's part lines in order, comment lines left out, at most 9 − NExtra of them.
void ParsSetActive(AstroDat& s, std::string_view pageName,
                   const std::vector<std::string>& pageLines, int nExtra);
// ParsCount from the active list as restored from the window state.
void ParsCountActive(AstroDat& s);

// The number of active parts that have a chart point: never past point 26, so the parts
// never reach the house cusps, whatever NExtra has become since the activation.
int ParsPointCount(const AstroDat& s, int nExtra);
// The chart point of active part i (1-based).
inline int ParsPoint(int nExtra, int i) {
    return 14 + nExtra + i;
}

// The chart computation's hook (ChartOptions::ComputeParts): the active parts of the chart of
// `s` from its points, the Sun's altitude, NExtra and the sign rulers of the state.
void ParsComputeChart(AstroDat& s);

// Evaluates every active part into `lon` at its chart point (the cusps 27..38 must be
// computed already). A part whose formula fails is marked invalid in ParsValid and its point
// set to 0.
void ParsComputeActive(AstroDat& s, PointArray& lon, const ParsInputs& in);

// Evaluates one formula: the value as a zodiac text with sign abbreviations (empty for an
// empty formula or an error), with ParsResult (radians) and ParsTrace set. A bracket error
// stops the evaluation; an unknown code counts 0. Either puts message 52 with the formula on
// the status line. `valid`, when given, is false after a bracket error.
std::string ParsEvalFormula(AstroDat& s, std::string_view formula, const PointArray& lon,
                            const ParsInputs& in, bool* valid = nullptr);

// The name of the active part with this glyph; empty when none has it.
std::string ParsFindByGlyph(const AstroDat& s, char glyph);

} // namespace qor
