// Aspect definitions and the aspect matrix. An aspect page is text, one aspect a line, fields
// separated by ";": name; glyph code; kind ("M" major, blank minor, "-" unused); angle in
// degrees; eleven orbs (a, or a/b, degrees) for the point classes Sun..Pluto and "other";
// the line colours on a black and on a light background. Pages of the older fixed-column
// layout are converted on reading.
#pragma once

#include "core/AstroDat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

constexpr int kMaxAspects = 46;
constexpr int kPointClasses = 11;
constexpr int kAspectLineWidth = 84;
constexpr std::size_t kAspectPageMaxBytes = 1 << 20; // far beyond 46 lines of any layout

struct AspDef {
    std::string AspName;
    char AspKind = ' ';                                      // 'M' major, ' ' minor, '-' not used
    double AspAngle = 0;                                     // radians
    std::array<std::string, kPointClasses + 1> AspOrbText{}; // [1..11] as written
    std::array<double, kPointClasses + 1> Orb{};             // [1..11] first orb a, radians
    // [1..11]: angle − a, angle − b, angle + a, angle + b (radians, within 0..π).
    std::array<std::array<double, 4>, kPointClasses + 1> Limits{};
    int32_t AspColorDark = 0;
    int32_t AspColorLight = 0;
};

// The aspects in force cut the separations 0..π into pieces, one table per orb class: within
// a piece the first aspect whose window of that class holds the separation is the same. The
// pieces start at every window end; a piece runs up to the next start, the last one, π alone,
// included. A pair of points takes the first aspect of the two classes' answers: the window
// of the wider-orbed class holds the narrower one, which PrepareAspectWindows makes sure of
// before it makes the tables.
struct AspectWindows {
    static constexpr int kBins = 181;                     // whole degrees of separation
    static constexpr int kMaxPieces = 2 * kMaxAspects + 2; // every window's two ends, 0 and π
    static constexpr uint8_t kNone = 255;                  // no aspect in the piece
    struct OrbClass {
        std::array<double, kMaxPieces + 1> from{}; // piece starts, then +∞
        std::array<uint8_t, kMaxPieces> aspect{};  // the piece's aspect, kNone for none
        std::array<uint8_t, kBins> firstPiece{};   // the piece of each bin's lowest separation
    };
    std::array<OrbClass, kPointClasses + 1> classes{}; // [1..11]
};

struct AspDefTable {
    int AspCount = 0;
    std::array<AspDef, kMaxAspects + 1> Asp{}; // [1..AspCount]
    // Symbol-font character of each aspect: "0".."=" for 1..14, none (0) beyond.
    std::array<char, kMaxAspects + 1> AspGlyph = DefaultGlyphs();

    // The windows of the aspects in force, one table per setting of the major (bit 0) and
    // minor (bit 1) switches; made by ReadAspectTable (PrepareAspectWindows). Empty where the
    // page's orbs do not allow them (see AspectWindows): CalcAspects then checks every pair
    // in full.
    std::array<std::shared_ptr<const AspectWindows>, 4> Windows{};

    static constexpr std::array<char, kMaxAspects + 1> DefaultGlyphs() {
        std::array<char, kMaxAspects + 1> g{};
        g[0] = ' ';
        for (int i = 1; i <= 14; ++i) g[i] = static_cast<char>('0' + i - 1);
        return g;
    }
};

// The class of a chart point for the orbs: 1..10 for the Sun..Pluto, 11 for all others.
inline int AspPointClass(int p) {
    return p >= 1 && p <= 10 ? p : 11;
}

// Fills the quick answers of the table from its definitions; call it after changing them.
void PrepareAspectWindows(AspDefTable& table);

// Converts a line of the fixed-column layout to the ";" layout.
std::string ConvertAspectLine(const std::string& line);

// The layout of a whole page: the ";" fields, the old fixed columns (no line holds a ";"), or
// neither. A page reads in a layout when every line that is not blank does: in the fields,
// its angle (field 4) is a number of 0..180 degrees; in the columns, the line is at most 84
// long, its kind column holds "M", "-" or a blank, its angle columns a number of 0..180, and
// its code, orb and colour columns numbers or blanks.
enum class AspectLayout { Fields, Columns, Unreadable };
struct AspectPageCheck {
    AspectLayout layout = AspectLayout::Fields;
    int badLine = 0; // 1-based: the first line that reads in neither layout
};
AspectPageCheck CheckAspectPage(const std::vector<std::string>& lines);

// Parses the page lines into the table (at most 46). A page in the old layout has its lines
// replaced by their ";" form in `lines`; returns true when it had, so the caller saves the
// page. A page in neither layout is taken as fields, never converted.
bool ReadAspectTable(AspDefTable& table, std::vector<std::string>& lines);

// The page line of aspect a (1..AspCount).
std::string WriteAspectTable(const AspDefTable& table, int a);

// The 14 aspects from the conjunction to the opposition that a new page starts from, named
// in Russian or in English.
std::vector<std::string> BuiltInAspectLines(bool english = false);

// An aspect's name as the windows show it: in English mode the names of the built-in aspects
// (which the shipped pages use) in English, any other name as the page writes it; trimmed.
std::string AspectDisplayName(const AstroDat& s, const std::string& name);

// The file of an aspect page: "Aspects\<page>.asp".
std::string AspectFileName(const std::string& pageName);

// Reads the page file into `lines` and the table; a page given in the old layout is saved
// back in the ";" layout at once. A missing page is created from `lines` as they are (the
// page shown before, or the built-in one). A page name that the page-name rule refuses (a
// folder separator, "..", a reserved character), a file that cannot be read (no permission, a
// folder of that name), a file that reads in neither layout and a file too large to be a page
// are refused with a message: nothing is written, `lines` stay and the table is parsed from
// them. True when the page's file holds `lines`.
bool LoadAspectPage(AstroDat& s, const std::string& pageName, AspDefTable& table,
                    std::vector<std::string>& lines);

// Saves the page's lines as its file (atomically); a failure is reported and the old file stays.
bool SaveAspectPage(AstroDat& s, const std::string& pageName, const std::vector<std::string>& lines);

// The lines of a page file as they stand, without a word: nothing when the page's file is
// missing, cannot be read or reads in neither layout.
std::optional<std::vector<std::string>> ReadAspectPageFile(const AstroDat& s,
                                                           const std::string& pageName);

// --- Writing aspects ------------------------------------------------------------------------

// An angle of degrees as whole degrees and hundredths, the hundredths rounded and carried
// (10.999 is 11 and 0).
struct WholeAndHundredths {
    long long whole = 0;
    int hundredths = 0;
};
WholeAndHundredths SplitHundredths(double degrees);

// The angle as the aspect grid shows it: the whole degrees 4 wide, "." and two digits of
// hundredths when there are any, then "°".
std::string AspectAngleText(double degrees);
// The angle field of a page line as the new-aspect dialog writes it: the whole degrees 3 wide,
// then "." and two digits of hundredths, or three blanks.
std::string AspectLineAngle(double degrees);

// The aspect (1..AspCount) whose angle is written the same as `degrees` (to the hundredth),
// 0 when none.
int AspectAtAngle(const AspDefTable& table, double degrees);

// An aspect's name as a page line holds it: line breaks and ";" removed (they would break the
// line), then blank-padded or cut to 16 characters.
constexpr std::size_t kAspectNameWidth = 16;
std::string AspectNameField(std::string_view name);

// An orb as typed into the grid: blanks removed; a number a, or a/b, each 0..180 degrees.
// Nothing when the text is no orb.
std::optional<std::string> OrbFieldText(std::string_view typed);

// The fields of an aspect line written by the new-aspect dialog.
struct AspectLineFields {
    std::string name;
    int glyph = 0;        // symbol-font code
    char kind = ' ';      // "M", blank or "-"
    double angle = 0;     // degrees, 0..180
    std::string orbs;     // the eleven orb fields, each followed by ";"
    int32_t dark = 0;     // line colour on a black background
    int32_t light = 0;    // and on a light one
};
std::string BuildAspectLine(const AspectLineFields& f);

// --- The aspect matrix ------------------------------------------------------------------------

// Options of the natal-chart settings window that the matrix reads (the window's defaults).
struct AspectOptions {
    bool MajorCheck = true;
    bool MinorCheck = false;
    char AspectingMode = 'X'; // double chart: 'I' inner with itself, 'O' outer, 'X' across
    int CoinsideBox = 1;      // double chart, mode 'X': 0 the outer chart stands still, 1 the inner
};

using PairMatrix = std::array<std::array<uint8_t, 41>, 41>;

// The chart (or the two charts) whose aspects are wanted.
struct AspectCharts {
    const PointArray* lon = nullptr;      // inner chart longitudes
    const PointArray* speed = nullptr;    // and daily motions (radians per day)
    const PointArray* lonBck = nullptr;   // outer chart of a double chart
    const PointArray* speedBck = nullptr; //
    bool doubleChart = false;
    bool directions = false; // the second chart is a direction or progression (not transits)
    int exterrBody = 0;      // observer on another planet: the Earth takes part
    int nExtra = 0;          // extra bodies 15..14+nExtra
    int parsCount = 0;       // active Arabic parts after them
};

struct AspectMatrix {
    PairMatrix AspMatrix{};   // 0 no aspect, else the aspect number
    PairMatrix AspApplying{}; // 1 applying, 0 separating (or no motion considered)
};

// Fills the matrices for all pairs of active points: bodies and parts, then the cusps 27..38.
void CalcAspects(const AspDefTable& table, const AspectOptions& opt, const AspectCharts& charts,
                 AspectMatrix& out);

// The aspect (1..AspCount) between points of classes c1 and c2 at longitudes lon1, lon2, or 0.
int MatchAspect(const AspDefTable& table, const AspectOptions& opt, int c1, int c2, double lon1,
                double lon2);

// The tools' quick tests for one pair of longitudes: mode 1 the first aspect within 1° of the
// separation, mode 2 the first aspect whose class-11 orb holds it. 0 when none.
int AspectTestHit(const AspDefTable& table, int mode, double lon1, double lon2);

} // namespace qor
