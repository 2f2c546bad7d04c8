// Interpretation text bases: code page 1251 text in sections, each opened by a bracketed key.
//
//   / a comment line (skipped everywhere, inside sections too)
//   [1.5] Sun in the fifth house          a header: the key up to the first "]", then a title
//   A body line, copied into the report unchanged (leading blanks kept).
//
// Lines end in CR LF or LF; trailing blanks are cut; empty lines are skipped. There is no
// index: every lookup reads the base from its first line.
//
// The keys name chart facts by codes or numbers (chart points 1..40: bodies 1..16, cusps of
// houses 1..12 at 27..38; signs 1..12; aspects as numbers of the aspect page):
//   point key    [SU 5] [SU AR] [1.5]          ParsePlnKey
//   three numbers [1.5.3]                      ParseCombKey
//   aspect key   [SU SQR MO] [1.4.2] [1.120.2] ParseAspKey
#pragma once

#include "core/Aspects.h"
#include "core/TextLines.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::interp {

// --- Codes -----------------------------------------------------------------------------------

// "SU".."PL" give chart points 1..10, "AS" 27 (the ascendant), "MC" 36; anything else 0.
int PlanetCode(std::string_view code);
// "AR" "TA" "GE" "CP" "LE" "VI" "LI" "SC" "SA" "CA" "AQ" "PI" give signs 1..12 (the fourth is
// "CP", the tenth "CA", as the bases are keyed); anything else 0.
int SignCode(std::string_view code);
// "CNJ" "SSX" " 36" " 40" "SSQ" "SXT" " 72" "SQR" "108" "TRI" "SQQ" "144" "150" "OPP" give
// 1..14; anything else 0.
int AspectCode(std::string_view code);
// The angle in degrees of aspect code 1..14 (0 for the conjunction .. 180 for the opposition);
// -1 for anything else.
int AspectCodeAngle(int code);

// The first definition 1..AspCount of the page whose angle, in whole degrees rounded to the
// nearest, equals `degrees`; 0 when none has it.
int AspectByAngle(const AspDefTable& page, int degrees);

// --- Keys ------------------------------------------------------------------------------------
// Each parser takes the header line from its "[" on (or without it). Numbers are whole
// numbers, blanks around them allowed; a key without its "]" fails.

struct PlnKey {
    int first = 0, second = 0;
};
// [SU 5] and [1.5] give (1, 5); [MC 10] (36, 10); [SU AR] (1, 1). Fails ([1.AR]) unless both
// numbers are non-zero.
bool ParsePlnKey(std::string_view header, PlnKey& key);

struct CombKey {
    int a = 0, b = 0, c = 0;
};
// [a.b.c]: succeeds when all three are non-zero.
bool ParseCombKey(std::string_view header, CombKey& key);

struct AspKey {
    int p1 = 0, aspect = 0, p2 = 0;
};
enum class AspKeyResult {
    Ok,        // a key whose aspect the page has
    NotOnPage, // a well-formed key whose aspect the page lacks: it matches no pair
    Bad,       // not an aspect key
};
// Numeric form [p1.a.p2]: a field of one or two characters is the page's aspect number; a
// field of three characters is an angle in degrees ([1.120.2]); p2 101..112 stands for the
// cusp of house p2 − 100. Letter form [SU SQR MO]: the code names the aspect by its angle.
// An empty, zero or non-numeric aspect field, a longer one, or a point outside 1..40 is Bad.
AspKeyResult ParseAspKey(std::string_view header, const AspDefTable& page, AspKey& key);
// The fields of a key as far as they were read before it proved no aspect key (0 for the
// rest): what the error box about it names.
AspKey AspKeyFieldsRead(std::string_view header, const AspDefTable& page);

// --- Lines -----------------------------------------------------------------------------------

inline bool IsHeader(std::string_view line) {
    return !line.empty() && line[0] == '[';
}
// The title of a header: the text after its first "]", trimmed (empty without a "]").
std::string HeaderTitle(std::string_view header);

// --- Sections --------------------------------------------------------------------------------

// What a reader says of a header (given from its "["): pass it by, take its section, or stop
// reading the base (a key that is not a key of the base's kind).
enum class Verdict { Skip, Take, Stop };
using HeaderMatch = std::function<Verdict(std::string_view header)>;

struct Section {
    std::string header;             // the header line
    std::vector<std::string> lines; // its body lines, comments and empty lines left out
    std::string group;              // with groups: the title of the last group line before it
};

struct SectionScan {
    bool every = false;      // every matching section to the end of the base, else the first
    // A line beginning with "{" is a group line: it ends a section, and the text up to the
    // next "}" (trimmed) is the group title of the sections after it.
    bool endAtGroup = false;
};

// The sections of a base (its bytes) that the rule takes, in file order; `stopped` tells
// whether the rule stopped the reading.
std::vector<Section> ReadSections(std::string_view baseBytes, const HeaderMatch& match,
                                 SectionScan scan = {}, bool* stopped = nullptr);

} // namespace qor::interp
