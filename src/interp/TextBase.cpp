#include "interp/TextBase.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <array>
#include <cmath>

namespace qor::interp {

namespace {

constexpr std::array<std::string_view, 12> kPlanetCodes = {"SU", "MO", "ME", "VE", "MA", "JU",
                                                           "SA", "UR", "NE", "PL", "AS", "MC"};
constexpr std::array<std::string_view, 12> kSignCodes = {"AR", "TA", "GE", "CP", "LE", "VI",
                                                         "LI", "SC", "SA", "CA", "AQ", "PI"};
constexpr std::array<std::string_view, 14> kAspectCodes = {
    "CNJ", "SSX", " 36", " 40", "SSQ", "SXT", " 72", "SQR", "108", "TRI", "SQQ", "144", "150", "OPP"};
constexpr std::array<int, 14> kAspectCodeAngles = {0,  30,  36,  40,  45,  60,  72,
                                                   90, 108, 120, 135, 144, 150, 180};

template <std::size_t N>
int PositionIn(const std::array<std::string_view, N>& table, std::string_view code) {
    for (std::size_t i = 0; i < N; ++i)
        if (table[i] == code) return static_cast<int>(i) + 1;
    return 0;
}

std::string_view WithoutBracket(std::string_view header) {
    if (!header.empty() && header[0] == '[') header.remove_prefix(1);
    return header;
}

bool StartsNumeric(std::string_view t) {
    return !t.empty() && (t[0] == ' ' || (t[0] >= '0' && t[0] <= '9'));
}

// The whole number of a field, blanks around it allowed; 0 for anything else.
int Number(std::string_view field) {
    return StrToIntDef0(field);
}

// The part of `t` before `c` from `from` on, and the position after `c`; false when `c` is
// missing.
bool Until(std::string_view t, char c, std::size_t& from, std::string_view& piece) {
    const std::size_t at = t.find(c, from);
    if (at == std::string_view::npos) return false;
    piece = t.substr(from, at - from);
    from = at + 1;
    return true;
}

} // namespace

int PlanetCode(std::string_view code) {
    const int i = PositionIn(kPlanetCodes, code);
    if (i == 11) return 27;
    if (i == 12) return 36;
    return i;
}

int SignCode(std::string_view code) {
    return PositionIn(kSignCodes, code);
}

int AspectCode(std::string_view code) {
    return PositionIn(kAspectCodes, code);
}

int AspectCodeAngle(int code) {
    return code >= 1 && code <= 14 ? kAspectCodeAngles[static_cast<std::size_t>(code - 1)] : -1;
}

int AspectByAngle(const AspDefTable& page, int degrees) {
    for (int i = 1; i <= page.AspCount && i <= kMaxAspects; ++i)
        if (RoundEven(page.Asp[static_cast<std::size_t>(i)].AspAngle / kDegToRad) == degrees)
            return i;
    return 0;
}

bool ParsePlnKey(std::string_view header, PlnKey& key) {
    key = {};
    const std::string_view t = WithoutBracket(header);
    std::size_t at = 0;
    std::string_view a, b;
    if (StartsNumeric(t)) {
        if (!Until(t, '.', at, a) || !Until(t, ']', at, b)) return false;
        key.first = Number(a);
        key.second = Number(b);
    } else {
        if (!Until(t, ' ', at, a) || !Until(t, ']', at, b)) return false;
        key.first = PlanetCode(a);
        key.second = StartsNumeric(b) ? Number(b) : SignCode(b);
    }
    return key.first != 0 && key.second != 0;
}

bool ParseCombKey(std::string_view header, CombKey& key) {
    key = {};
    const std::string_view t = WithoutBracket(header);
    std::size_t at = 0;
    std::string_view a, b, c;
    if (!Until(t, '.', at, a) || !Until(t, '.', at, b) || !Until(t, ']', at, c)) return false;
    key = {Number(a), Number(b), Number(c)};
    return key.a != 0 && key.b != 0 && key.c != 0;
}

namespace {
AspKeyResult ParseAspKeyFields(std::string_view header, const AspDefTable& page, AspKey& key) {
    key = {};
    const std::string_view t = WithoutBracket(header);
    std::size_t at = 0;
    std::string_view first, middle, last;
    bool onPage = true;
    if (StartsNumeric(t)) {
        if (!Until(t, '.', at, first) || !Until(t, '.', at, middle) || !Until(t, ']', at, last))
            return AspKeyResult::Bad;
        key.p1 = Number(first);
        const auto field = ParseWholeInteger(middle);
        if (!field) return AspKeyResult::Bad;
        if (middle.size() < 3) {
            // the page's aspect number
            if (*field < 1) return AspKeyResult::Bad;
            key.aspect = static_cast<int>(*field);
            onPage = key.aspect <= page.AspCount;
        } else if (middle.size() == 3) {
            // an angle in whole degrees
            key.aspect = AspectByAngle(page, static_cast<int>(*field));
            onPage = key.aspect != 0;
        } else {
            return AspKeyResult::Bad;
        }
        key.p2 = Number(last);
        if (key.p2 > 100) key.p2 = key.p2 <= 112 ? key.p2 - 100 + 26 : 0;
    } else {
        if (!Until(t, ' ', at, first) || !Until(t, ' ', at, middle) || !Until(t, ']', at, last))
            return AspKeyResult::Bad;
        key.p1 = PlanetCode(first);
        const int code = AspectCode(middle);
        if (code == 0) return AspKeyResult::Bad;
        key.aspect = AspectByAngle(page, AspectCodeAngle(code));
        onPage = key.aspect != 0;
        key.p2 = PlanetCode(last);
    }
    if (key.p1 < 1 || key.p1 > 40 || key.p2 < 1 || key.p2 > 40) return AspKeyResult::Bad;
    return onPage ? AspKeyResult::Ok : AspKeyResult::NotOnPage;
}
} // namespace

AspKeyResult ParseAspKey(std::string_view header, const AspDefTable& page, AspKey& key) {
    const AspKeyResult r = ParseAspKeyFields(header, page, key);
    if (r == AspKeyResult::Bad) key = {};
    return r;
}

AspKey AspKeyFieldsRead(std::string_view header, const AspDefTable& page) {
    AspKey key;
    ParseAspKeyFields(header, page, key);
    return key;
}

std::string HeaderTitle(std::string_view header) {
    const std::size_t close = header.find(']');
    return close == std::string_view::npos ? std::string() : Trim(header.substr(close + 1));
}

std::vector<Section> ReadSections(std::string_view baseBytes, const HeaderMatch& match,
                                  SectionScan scan, bool* stopped) {
    std::vector<Section> out;
    if (stopped) *stopped = false;
    TextLineScanner lines(baseBytes);
    std::string_view line;
    bool inside = false;
    std::string group;
    while (lines.NextContent(line)) {
        const bool header = IsHeader(line);
        const bool groupLine = scan.endAtGroup && line[0] == '{';
        if (inside && (header || groupLine)) {
            if (!scan.every) break;
            inside = false;
        }
        if (inside) {
            out.back().lines.emplace_back(line);
            continue;
        }
        if (groupLine) {
            const std::string_view title = line.substr(1, line.find('}') - 1);
            group = Trim(title);
            continue;
        }
        if (!header) continue;
        const Verdict v = match(line);
        if (v == Verdict::Stop) {
            if (stopped) *stopped = true;
            break;
        }
        if (v == Verdict::Take) {
            out.push_back({std::string(line), {}, group});
            inside = true;
        }
    }
    return out;
}

} // namespace qor::interp
