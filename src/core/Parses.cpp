#include "core/Parses.h"

#include "core/AstroMath.h"
#include "core/Chart.h"
#include "core/Formats.h"
#include "core/PageNames.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace qor {

namespace {

// The point codes of the formula language and the chart points they name, in the order of
// the body table: 15 Proserpine, 16 Chiron, 17 Skyship.
struct PointCode {
    const char* code;
    int point;
};
constexpr PointCode kPointCodes[] = {
    {"Sun", 1},  {"Lun", 2},  {"Mer", 3},  {"Ven", 4},  {"Mar", 5},  {"Jup", 6},
    {"Sat", 7},  {"Ura", 8},  {"Nep", 9},  {"Plu", 10}, {"Nod", 11}, {"Lil", 13},
    {"Sel", 14}, {"Pro", 15}, {"Chi", 16}, {"Shp", 17},
};

} // namespace

int ParsPointOfCode(std::string_view term) {
    for (const auto& c : kPointCodes)
        if (term == c.code) return c.point;
    return 0;
}

namespace {

std::optional<int> WholeNumber(std::string_view text) {
    int v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<double> DecimalNumber(std::string_view text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

char Reversed(char c) {
    return c == '+' ? '-' : c == '-' ? '+' : c;
}

// Day chart: the brackets go. Night chart: each group and the sign before it turn round.
// False on a bracket error.
bool ResolveBrackets(std::string& f, bool night) {
    for (;;) {
        const std::size_t p = f.find('[');
        if (p == std::string::npos) return f.find(']') == std::string::npos;
        if (night && p > 0) {
            if (f[p - 1] != '+' && f[p - 1] != '-') return false;
            f[p - 1] = Reversed(f[p - 1]);
        }
        f.erase(p, 1);
        const std::size_t q = f.find(']', p);
        if (q == std::string::npos || f.find('[', p) < q) return false;
        if (night)
            for (std::size_t k = p; k < q; ++k) f[k] = Reversed(f[k]);
        f.erase(q, 1);
    }
}

std::string NoBlanks(std::string text) {
    std::erase(text, ' ');
    return text;
}

void ReportFormulaError(AstroDat& s, std::string_view formula) {
    SetStatus(s, GetMsgText(s, 52, std::string(formula)));
    s.ParsError = false;
}

} // namespace

ParsLine ParsSplitLine(std::string_view line) {
    ParsLine p;
    p.comment = !line.empty() && line[0] == ';';
    p.glyph = CutField(line, ';', 0);
    p.name = CutField(line, ';', 1);
    p.formula = CutField(line, ';', 2);
    return p;
}

std::string ParsJoinLine(const ParsLine& line) {
    return line.glyph + ";" + line.name + ";" + line.formula;
}

const std::vector<std::string>& ParsDefaultPages() {
    static const std::vector<std::string> pages = {"Parses", "Firnel", "Mardok", "Senvir"};
    return pages;
}

std::string ParsPageFile(const AstroDat& s, std::string_view pageName) {
    const auto& shipped = ParsDefaultPages();
    const bool english =
        s.EnglishMode && std::find(shipped.begin(), shipped.end(), pageName) != shipped.end();
    return "Parses\\" + std::string(pageName) + (english ? "-e.prs" : ".prs");
}

IoResult ReadParsPage(const AstroDat& s, std::string_view pageName,
                      std::vector<std::string>& lines) {
    return ReadTextLines(s.DataPath(ParsPageFile(s, pageName)), lines);
}

IoResult WriteParsPage(const AstroDat& s, std::string_view pageName,
                       const std::vector<std::string>& lines) {
    const fs::path path = s.DataPath(ParsPageFile(s, pageName));
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return WriteTextFileAtomic(path, lines);
}

bool RenameParsPage(AstroDat& s, std::vector<std::string>& pages, std::size_t index,
                    const std::string& newName) {
    return RenamePage(s, pages, index, newName,
                      [&s](const std::string& page) { return ParsPageFile(s, page); });
}

int HouseRuler(const PointArray& lon, const ParsInputs& in, int h) {
    if (h < 1 || h > 12) return 0; // the cusps are points 27..38
    const int sign = ClampedIndex(NormAngle(lon[26 + h]) / kDegToRad / 30.0, 0, 11);
    return in.SignRuler[sign + 1];
}

void ParsSetActive(AstroDat& s, std::string_view pageName,
                   const std::vector<std::string>& pageLines, int nExtra) {
    s.ParsActive.clear();
    std::string title(1, '"');
    title.append(pageName);
    title.push_back('"');
    s.ParsActive.push_back(std::move(title));
    for (const auto& line : pageLines) {
        if (!line.empty() && line[0] == ';') continue;
        if (static_cast<int>(s.ParsActive.size()) + nExtra >= 10) break;
        s.ParsActive.push_back(line);
    }
    ParsCountActive(s);
}

void ParsCountActive(AstroDat& s) {
    s.ParsCount = std::clamp(static_cast<int>(s.ParsActive.size()) - 1, 0, kMaxActiveParts);
}

int ParsPointCount(const AstroDat& s, int nExtra) {
    return std::clamp(s.ParsCount, 0, MaxActiveParts(nExtra));
}

void ParsComputeChart(AstroDat& s) {
    ParsInputs in;
    in.SunAltitude = s.Bodies[1][kBodyAltitude];
    in.NExtra = s.NExtra;
    in.SignRuler = s.SignRuler;
    ParsComputeActive(s, s.PlanetLon, in);
}

namespace {
bool EvalFormula(AstroDat& s, std::string_view formula, const PointArray& lon,
                 const ParsInputs& in, bool trace);
} // namespace

void ParsComputeActive(AstroDat& s, PointArray& lon, const ParsInputs& in) {
    s.ParsGlyphs.fill(0);
    s.ParsValid.fill(false);
    const int count = ParsPointCount(s, in.NExtra);
    for (int i = 1; i <= count && i < static_cast<int>(s.ParsActive.size()); ++i) {
        // The glyph and the formula of the line (ParsSplitLine without the name).
        const std::string& line = s.ParsActive[i];
        const std::string glyph = CutField(line, ';', 0), formula = CutField(line, ';', 2);
        s.ParsGlyphs[i] = glyph.empty() ? '\0' : glyph[0];
        const bool valid = NoBlanks(formula).empty() || EvalFormula(s, formula, lon, in, false);
        s.ParsValid[i] = valid && !formula.empty();
        lon[ParsPoint(in.NExtra, i)] = s.ParsValid[i] ? s.ParsResult : 0.0;
    }
}

namespace {

// Evaluates one formula into ParsResult; its trace into ParsTrace only when `trace` is set
// (the chart computation, which runs every active part twice, shows no trace). False after a
// bracket error, when the part has no value.
bool EvalFormula(AstroDat& s, std::string_view formula, const PointArray& lon,
                 const ParsInputs& in, bool trace) {
    std::string f = NoBlanks(std::string(formula));
    const bool night = in.SunAltitude < 0;
    if (!ResolveBrackets(f, night)) {
        // The part has no value: it never takes the value of the formula before it.
        s.ParsResult = 0;
        if (trace) s.ParsTrace.clear();
        ReportFormulaError(s, formula);
        return false;
    }

    if (trace) s.ParsTrace.clear();
    double sum = 0;
    double sign = 1;
    std::size_t pos = 0;
    while (pos <= f.size()) {
        std::size_t op = pos; // the next sign, or npos
        while (op < f.size() && f[op] != '+' && f[op] != '-') ++op;
        if (op == f.size()) op = std::string::npos;
        const std::string_view term =
            std::string_view(f).substr(pos, op == std::string::npos ? op : op - pos);
        double value = 0;
        if (!term.empty()) {
            int point = -1;
            if (std::isdigit(static_cast<unsigned char>(term[0]))) {
                if (const auto deg = DecimalNumber(term))
                    value = *deg * kDegToRad;
                else
                    s.ParsError = true;
            } else if ((term[0] == 'H' || term[0] == 'D') && term.size() > 1 &&
                       std::isdigit(static_cast<unsigned char>(term[1]))) {
                const auto n = WholeNumber(term.substr(1));
                if (!n || *n < 1 || *n > 12)
                    s.ParsError = true;
                else
                    point = term[0] == 'H' ? 26 + *n : HouseRuler(lon, in, *n);
            } else {
                point = ParsPointOfCode(term);
                if (point == 0) s.ParsError = true;
            }
            if (point > 0 && point <= 40) value = lon[point];
            if (trace) {
                s.ParsTrace.push_back(sign > 0 ? '+' : '-');
                s.ParsTrace += NoBlanks(FormatDMS(s, NormAngle(value) * kRadToArcSec));
                s.ParsTrace.push_back(' ');
            }
        }
        sum += sign * value;
        if (op == std::string::npos) break;
        sign = f[op] == '+' ? 1 : -1;
        pos = op + 1;
    }
    s.ParsResult = NormAngle(sum);
    if (trace) s.ParsTrace += "= " + NoBlanks(FormatDMS(s, s.ParsResult * kRadToArcSec));
    if (s.ParsError) ReportFormulaError(s, formula);
    return true;
}

} // namespace

std::string ParsEvalFormula(AstroDat& s, std::string_view formula, const PointArray& lon,
                            const ParsInputs& in, bool* valid) {
    if (valid) *valid = true;
    if (NoBlanks(std::string(formula)).empty()) return {};
    if (!EvalFormula(s, formula, lon, in, true)) {
        if (valid) *valid = false;
        return {};
    }
    const bool shortNames = s.ShortNames;
    s.ShortNames = true;
    std::string text = FormatZodiacDMS(s, s.ParsResult * kRadToArcSec);
    s.ShortNames = shortNames;
    return text;
}

std::string ParsFindByGlyph(const AstroDat& s, char glyph) {
    for (std::size_t i = 1; i < s.ParsActive.size(); ++i) {
        const ParsLine part = ParsSplitLine(s.ParsActive[i]);
        if (!part.glyph.empty() && part.glyph[0] == glyph) return part.name;
    }
    return {};
}

} // namespace qor
