#include "core/Aspects.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/PageNames.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <immintrin.h>
#include <type_traits>

namespace qor {

namespace {

std::string Column(const std::string& line, int from, int count) {
    // 1-based columns of a line padded to the full width.
    return Trim(std::string_view(line).substr(from - 1, count));
}

std::string Padded(std::string line) {
    if (line.size() < kAspectLineWidth) line.resize(kAspectLineWidth, ' ');
    return line;
}

// Within the separation range 0..π; the upper end itself belongs to a window that reaches it,
// so that an exact opposition is found.
bool InWindow(double d, double lo, double hi) {
    return d >= lo && (d < hi || (hi >= kPi && d <= kPi));
}

// The angle between two longitudes, 0..π (any real inputs).
double Separation(double lon1, double lon2) {
    double d = std::fabs(lon2 - lon1);
    if (d >= kTwoPi) d = std::fmod(d, kTwoPi); // rare: a speed step past a full turn
    // min(d, 2π − d) by the processor's minimum, which the compiler would otherwise turn into
    // a branch on the chart; the same as std::min(d, 2π − d).
    const __m128d m = _mm_min_sd(_mm_set_sd(kTwoPi - d), _mm_set_sd(d));
    return std::fabs(_mm_cvtsd_f64(m));
}

// The separations of one longitude from a row of others, two at a time; the same as
// Separation one by one.
void SeparationRow(double from, const double* to, int n, double* out) {
    const __m128d twoPi = _mm_set1_pd(kTwoPi), a = _mm_set1_pd(from);
    const __m128d abs = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    int y = 0;
    for (; y + 2 <= n; y += 2) {
        const __m128d d = _mm_and_pd(_mm_sub_pd(_mm_loadu_pd(to + y), a), abs);
        if (_mm_movemask_pd(_mm_cmpge_pd(d, twoPi)) != 0) { // rare: past a full turn
            out[y] = Separation(from, to[y]);
            out[y + 1] = Separation(from, to[y + 1]);
            continue;
        }
        _mm_storeu_pd(out + y, _mm_and_pd(_mm_min_pd(_mm_sub_pd(twoPi, d), d), abs));
    }
    for (; y < n; ++y) out[y] = Separation(from, to[y]);
}

// Whether each separation d2 is as near the angle as d or nearer, two at a time; the same as
// |angle − d| >= |angle − d2| one by one.
void CloserRow(const double* angle, const double* d, const double* d2, int n, uint8_t* out) {
    const __m128d abs = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    int y = 0;
    for (; y + 2 <= n; y += 2) {
        const __m128d a = _mm_loadu_pd(angle + y);
        const __m128d now = _mm_and_pd(_mm_sub_pd(a, _mm_loadu_pd(d + y)), abs);
        const __m128d later = _mm_and_pd(_mm_sub_pd(a, _mm_loadu_pd(d2 + y)), abs);
        const int bits = _mm_movemask_pd(_mm_cmpge_pd(now, later));
        out[y] = static_cast<uint8_t>(bits & 1);
        out[y + 1] = static_cast<uint8_t>(bits >> 1);
    }
    for (; y < n; ++y) out[y] = std::fabs(angle[y] - d[y]) >= std::fabs(angle[y] - d2[y]);
}

// The class whose orb decides a pair's window: the wider-orbed of the two (c1 on a tie),
// chosen without a branch.
int WiderClass(const AspDef& def, int c1, int c2) {
    return c1 + (c2 - c1) * static_cast<int>(def.Orb[c2] > def.Orb[c1]);
}

bool AspectOn(const AspDef& def, const AspectOptions& opt) {
    return (def.AspKind == ' ' && opt.MinorCheck) || (def.AspKind == 'M' && opt.MajorCheck);
}

// The first aspect in force whose window (of the wider-orbed class) holds the separation d.
int FirstMatch(const AspDefTable& table, const bool* on, int c1, int c2, double d) {
    for (int a = 1; a <= table.AspCount; ++a) {
        if (!on[a]) continue;
        const AspDef& def = table.Asp[a];
        const int c = WiderClass(def, c1, c2);
        if (InWindow(d, def.Limits[c][0], def.Limits[c][2])) return a;
    }
    return 0;
}

// The bin of a separation (whole degrees), without a branch: the processor's minimum answers
// its second operand when the first is NaN, so a point without a position (NaN) lands in the
// last bin, and its answer is masked by the caller.
int WindowBin(double d) {
    const __m128d m =
        _mm_min_sd(_mm_set_sd(d * (1 / kDegToRad)), _mm_set_sd(AspectWindows::kBins - 1));
    return static_cast<int>(_mm_cvtsd_f64(m));
}

// The aspect of an orb class's piece that holds the separation d (kNone for none), looking
// on from the first piece of d's bin; NaN stays in that piece and is masked by the caller.
// A bin seldom holds more than one piece start: the first step is taken without a branch.
int PieceAspect(const AspectWindows::OrbClass& w, int bin, double d) {
    int k = w.firstPiece[bin];
    k += d >= w.from[k + 1];
    while (d >= w.from[k + 1]) ++k;
    return w.aspect[k];
}

int32_t IntField(const std::string& text) {
    const auto v = ParseWholeInteger(text);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) return 0;
    return static_cast<int32_t>(*v);
}

// The window ends of class c of an aspect that fall between 0 and π (the callers add those).
void AddWindowEnds(std::vector<double>& ends, const AspDef& def, int c) {
    for (const double e : {def.Limits[c][0], def.Limits[c][2]})
        if (e > 0 && e < kPi) ends.push_back(e);
}

// Whether the window of the wider-orbed class holds the other's, for every pair of classes:
// the windows are tried at every end of this aspect's windows, between which they do not
// change.
bool WiderWindowHoldsNarrower(const AspDef& def) {
    std::vector<double> at{0, kPi};
    for (int c = 1; c <= kPointClasses; ++c) AddWindowEnds(at, def, c);
    const auto in = [&](double d, int c) { return InWindow(d, def.Limits[c][0], def.Limits[c][2]); };
    for (int c1 = 1; c1 <= kPointClasses; ++c1)
        for (int c2 = 1; c2 <= kPointClasses; ++c2) {
            const int c = WiderClass(def, c1, c2);
            for (const double d : at)
                if ((in(d, c1) || in(d, c2)) && !in(d, c)) return false;
        }
    return true;
}

// The pieces of one orb class for the aspects in force.
void MakeClassPieces(const AspDefTable& table, const bool* on, int c,
                     AspectWindows::OrbClass& w) {
    std::vector<double> from{0, kPi};
    for (int a = 1; a <= table.AspCount; ++a)
        if (on[a]) AddWindowEnds(from, table.Asp[a], c);
    std::sort(from.begin(), from.end());
    from.erase(std::unique(from.begin(), from.end()), from.end());
    const int pieces = static_cast<int>(from.size());
    for (int k = 0; k < pieces; ++k) {
        w.from[k] = from[k];
        w.aspect[k] = AspectWindows::kNone;
        for (int a = 1; a <= table.AspCount; ++a) {
            const auto& lim = table.Asp[a].Limits[c];
            if (on[a] && InWindow(from[k], lim[0], lim[2])) {
                w.aspect[k] = static_cast<uint8_t>(a);
                break;
            }
        }
    }
    w.from[pieces] = HUGE_VAL;
    // A bin starts at its piece of the lowest separation it holds, less a margin for the
    // rounding of the bin's computation.
    constexpr double kMargin = 1e-9;
    int k = 0;
    for (int b = 0; b < AspectWindows::kBins; ++b) {
        const double lowest = b * kDegToRad - kMargin;
        while (k + 1 < pieces && from[k + 1] <= lowest) ++k;
        w.firstPiece[b] = static_cast<uint8_t>(k);
    }
}

} // namespace

void PrepareAspectWindows(AspDefTable& table) {
    for (int mode = 0; mode < 4; ++mode) {
        AspectOptions opt;
        opt.MajorCheck = (mode & 1) != 0;
        opt.MinorCheck = (mode & 2) != 0;
        bool on[kMaxAspects + 1] = {};
        bool usable = true;
        for (int a = 1; a <= table.AspCount; ++a) {
            on[a] = AspectOn(table.Asp[a], opt);
            usable = usable && (!on[a] || WiderWindowHoldsNarrower(table.Asp[a]));
        }
        table.Windows[mode].reset();
        if (!usable) continue;
        auto windows = std::make_shared<AspectWindows>();
        for (int c = 1; c <= kPointClasses; ++c)
            MakeClassPieces(table, on, c, windows->classes[c]);
        table.Windows[mode] = std::move(windows);
    }
}

namespace {

bool AngleText(std::string_view text) {
    const auto v = ParseDecimalText(text);
    return v && *v >= 0 && *v <= 180;
}

bool BlankOr(std::string_view text, bool (*ok)(std::string_view)) {
    return Trim(text).empty() || ok(text);
}

bool WholeNumber(std::string_view text) {
    return ParseWholeInteger(text).has_value();
}

bool OrbText(std::string_view text) {
    const std::string t = Trim(text);
    const std::size_t slash = t.find('/');
    if (slash == std::string::npos) return ParseDecimalText(t).has_value();
    return ParseDecimalText(std::string_view(t).substr(0, slash)) &&
           ParseDecimalText(std::string_view(t).substr(slash + 1));
}

bool ReadsAsFields(const std::string& line) {
    return line.find(';') != std::string::npos && AngleText(CutField(line, ';', 3));
}

bool ReadsAsColumns(const std::string& line) {
    if (TrimRight(line).size() > static_cast<std::size_t>(kAspectLineWidth)) return false;
    const std::string p = Padded(line);
    const char kind = p[19];
    if (kind != 'M' && kind != ' ' && kind != '-') return false;
    if (!BlankOr(p.substr(16, 3), WholeNumber) || !AngleText(p.substr(21, 6))) return false;
    for (int col : {28, 36, 44, 52, 60})
        if (!BlankOr(p.substr(col - 1, 8), OrbText)) return false;
    return BlankOr(p.substr(67, 9), WholeNumber) && BlankOr(p.substr(76, 8), WholeNumber);
}

} // namespace

AspectPageCheck CheckAspectPage(const std::vector<std::string>& lines) {
    AspectPageCheck c;
    const bool anyField = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find(';') != std::string::npos;
    });
    c.layout = anyField ? AspectLayout::Fields : AspectLayout::Columns;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) continue;
        if (anyField ? ReadsAsFields(lines[i]) : ReadsAsColumns(lines[i])) continue;
        c.layout = AspectLayout::Unreadable;
        c.badLine = static_cast<int>(i) + 1;
        break;
    }
    return c;
}

std::string ConvertAspectLine(const std::string& line) {
    const std::string p = Padded(line);
    static constexpr int kOrbColumns[kPointClasses] = {28, 36, 60, 60, 60, 44, 52, 60, 60, 60, 60};
    std::string out = Column(p, 1, 16) + ";" + Column(p, 17, 3) + ";" + p.substr(19, 1) + ";" +
                      Column(p, 22, 6) + ";";
    for (int col : kOrbColumns) out += Column(p, col, 8) + ";";
    out += Column(p, 68, 9) + ";" + Column(p, 77, 8);
    return out;
}

bool ReadAspectTable(AspDefTable& table, std::vector<std::string>& lines) {
    // The layout is the whole page's: a line without ";" is converted only on a page of the
    // old layout, never a stray line of a page in fields.
    const bool columns = CheckAspectPage(lines).layout == AspectLayout::Columns;
    bool converted = false;
    table.AspCount = std::min<int>(static_cast<int>(lines.size()), kMaxAspects);
    for (int i = 1; i <= table.AspCount; ++i) {
        std::string& src = lines[i - 1];
        if (columns && !Trim(src).empty()) {
            src = ConvertAspectLine(src);
            converted = true;
        }
        const std::string line = Padded(src);
        AspDef& a = table.Asp[i];
        a = AspDef{};
        a.AspName = CutField(line, ';', 0);
        const int code = IntField(CutField(line, ';', 1));
        if (code > 0 && code < 256) table.AspGlyph[i] = static_cast<char>(code);
        const std::string kind = CutFieldRaw(line, ';', 2);
        a.AspKind = kind.empty() ? ' ' : kind[0];
        a.AspAngle = StrToFloatHM(CutField(line, ';', 3)) * kDegToRad;
        for (int c = 1; c <= kPointClasses; ++c) {
            const std::string text = CutField(line, ';', 3 + c);
            a.AspOrbText[c] = text;
            const auto slash = text.find('/');
            const double orbA = StrToFloatHM(text.substr(0, slash)) * kDegToRad;
            const double orbB = slash == std::string::npos
                                    ? orbA
                                    : StrToFloatHM(text.substr(slash + 1)) * kDegToRad;
            a.Orb[c] = orbA;
            // The separation of two points runs from 0 to π: clamp the windows there, by angle,
            // whatever line the aspect stands on.
            a.Limits[c] = {std::max(0.0, a.AspAngle - orbA), std::max(0.0, a.AspAngle - orbB),
                           std::min(kPi, a.AspAngle + orbA), std::min(kPi, a.AspAngle + orbB)};
        }
        a.AspColorDark = IntField(CutField(line, ';', 15));
        a.AspColorLight = IntField(CutField(line, ';', 16));
    }
    PrepareAspectWindows(table);
    return converted;
}

std::string WriteAspectTable(const AspDefTable& table, int a) {
    if (a < 1 || a > table.AspCount) return {};
    const AspDef& d = table.Asp[a];
    std::string name;
    for (char ch : d.AspName) {
        if (ch == '\r' || ch == '\n') continue;
        name += ch == ';' ? ',' : ch; // a ";" would split the field on reading
    }
    std::string line = name + ";" + IntToStrW(static_cast<unsigned char>(table.AspGlyph[a]), 3) +
                       ";" + std::string(1, d.AspKind) + ";" +
                       FloatToStrWD(1, 2, d.AspAngle / kDegToRad) + ";";
    for (int c = 1; c <= kPointClasses; ++c) line += d.AspOrbText[c] + ";";
    line += IntToStrW(d.AspColorDark, 1) + ";" + IntToStrW(d.AspColorLight, 1);
    return line;
}

std::string AspectDisplayName(const AstroDat& s, const std::string& name) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"Соединение", "Conjunction"},        {"Полусекстиль", "Semisextile"},
        {"Полуквинтиль", "Semiquintile"},     {"Нонагон", "Nonagon"},
        {"Полуквадрат", "Semisquare"},        {"Секстиль", "Sextile"},
        {"Квинтиль", "Quintile"},             {"Квадратура", "Square"},
        {"ПолутораКвинтил", "Sesquiquintile"}, {"Тригон", "Trine"},
        {"Сесквиквадрат", "Sesquisquare"},    {"Биквинтиль", "Biquintile"},
        {"Квинконция", "Quincunx"},           {"Оппозиция", "Opposition"}};
    const std::string trimmed = Trim(name);
    if (s.EnglishMode)
        for (const auto& [russian, english] : kNames)
            if (trimmed == Cp(russian)) return english;
    return trimmed;
}

std::vector<std::string> BuiltInAspectLines(bool english) {
    struct Row {
        const char* name;
        const char* english;
        char kind;
        int angle;
        const char* orbs[5]; // Sun, Moon, Jupiter, Saturn, the rest
        int32_t dark, light;
    };
    static constexpr Row kRows[] = {
        {"Соединение", "Conjunction", 'M', 0, {"12/12", "10/10", "8/8", "5/5", "5"}, 16776960, 16711680},
        {"Полусекстиль", "Semisextile", ' ', 30, {"1.5", "1", "1", "1", "1"}, 16777215, 255},
        {"Полуквинтиль", "Semiquintile", ' ', 36, {"1.5", "1", "1", "1", "1"}, 65280, 51200},
        {"Нонагон", "Novile", ' ', 40, {"1.5", "1", "1", "1", "1"}, 65535, 33023},
        {"Полуквадрат", "Semisquare", ' ', 45, {"1.5", "1", "1", "1", "1"}, 255, 0},
        {"Секстиль", "Sextile", 'M', 60, {"6.5/5", "6/5", "5", "5", "5"}, 16777215, 255},
        {"Квинтиль", "Quintile", 'M', 72, {"2", "1.5", "1", "1", "1"}, 65280, 51200},
        {"Квадратура", "Square", 'M', 90, {"10/8", "8/5", "7/5", "5", "5"}, 255, 0},
        {"ПолутораКвинтил", "Sesquiquintile", ' ', 108, {"1", "1", "1", "1", "1"}, 65280, 51200},
        {"Тригон", "Trine", 'M', 120, {"10/8", "8/6", "7/5", "5", "5"}, 16777215, 255},
        {"Сесквиквадрат", "Sesquisquare", ' ', 135, {"1", "1", "1", "1", "1"}, 255, 0},
        {"Биквинтиль", "Biquintile", ' ', 144, {"1", "1", "1", "1", "1"}, 65280, 51200},
        {"Квинконция", "Quincunx", ' ', 150, {"1", "1", "1", "1", "1"}, 16777215, 0},
        {"Оппозиция", "Opposition", 'M', 180, {"12/12", "10/10", "8/8", "5/5", "5"}, 255, 0},
    };
    // Which of the five orb columns serves each point class 1..11.
    static constexpr int kColumnOfClass[kPointClasses] = {0, 1, 4, 4, 4, 2, 3, 4, 4, 4, 4};
    std::vector<std::string> lines;
    int i = 0;
    for (const Row& r : kRows) {
        std::string line = (english ? std::string(r.english) : Cp(r.name)) + ";" + IntToStrW('0' + i, 3) + ";" + std::string(1, r.kind) +
                           ";" + FloatToStrWD(1, 2, r.angle) + ";";
        for (int col : kColumnOfClass) line += std::string(r.orbs[col]) + ";";
        line += std::to_string(r.dark) + ";" + std::to_string(r.light);
        lines.push_back(line);
        ++i;
    }
    return lines;
}

std::string AspectFileName(const std::string& pageName) {
    return "Aspects\\" + pageName + ".asp";
}

bool LoadAspectPage(AstroDat& s, const std::string& pageName, AspDefTable& table,
                    std::vector<std::string>& lines) {
    // A refused page leaves the lines shown in force.
    const auto refuse = [&](const std::string& text) {
        ReportOf(s).ShowMessage(MsgKind::Warning, text);
        ReadAspectTable(table, lines);
        return false;
    };
    if (const auto why = PageNameProblem(s, pageName))
        return refuse(Lang(s, Cp("Страница аспектов \""), "Aspect page \"") + pageName +
                      "\": " + *why);
    const std::string name = AspectFileName(pageName);
    const fs::path path = s.DataPath(name);
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(path, ec));
    // Something of that name that is not a file (a folder) is never written over.
    if (exists && !fs::is_regular_file(path, ec))
        return refuse(name + Lang(s, Cp(": не файл страницы аспектов; не прочитан"),
                                  ": not an aspect page file; it was not read"));
    if (exists) {
        std::vector<std::string> read;
        const IoResult r = ReadTextLines(path, read, kAspectPageMaxBytes);
        if (r.error == EFBIG)
            return refuse(name + Lang(s, Cp(": файл слишком велик для страницы аспектов"),
                                      ": the file is too large for an aspect page"));
        if (IOCheck(s, r, name)) {
            ReadAspectTable(table, lines);
            return false;
        }
        if (const AspectPageCheck c = CheckAspectPage(read); c.layout == AspectLayout::Unreadable)
            return refuse(name + Lang(s, Cp(", строка "), ", line ") + std::to_string(c.badLine) +
                          Lang(s, Cp(": не строка страницы аспектов; файл не прочитан"),
                               ": not a line of an aspect page; the file was not read"));
        lines = std::move(read);
    }
    const bool converted = ReadAspectTable(table, lines);
    if (!exists || converted) {
        std::error_code mk;
        fs::create_directories(path.parent_path(), mk);
        if (IOCheck(s, WriteTextFileAtomic(path, lines), name)) return false;
    }
    return true;
}

bool SaveAspectPage(AstroDat& s, const std::string& pageName,
                    const std::vector<std::string>& lines) {
    const std::string name = AspectFileName(pageName);
    const fs::path path = s.DataPath(name);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return !IOCheck(s, WriteTextFileAtomic(path, lines), name);
}

std::optional<std::vector<std::string>> ReadAspectPageFile(const AstroDat& s,
                                                           const std::string& pageName) {
    if (PageNameProblem(s, pageName)) return std::nullopt;
    const fs::path path = s.DataPath(AspectFileName(pageName));
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines, kAspectPageMaxBytes).ok()) return std::nullopt;
    if (CheckAspectPage(lines).layout == AspectLayout::Unreadable) return std::nullopt;
    return lines;
}

// --- Writing aspects ------------------------------------------------------------------------

WholeAndHundredths SplitHundredths(double degrees) {
    WholeAndHundredths r;
    r.whole = static_cast<long long>(std::trunc(degrees));
    r.hundredths = static_cast<int>(std::nearbyint((degrees - static_cast<double>(r.whole)) * 100));
    if (r.hundredths >= 100) {
        r.whole += 1;
        r.hundredths = 0;
    }
    return r;
}

std::string AspectAngleText(double degrees) {
    const WholeAndHundredths a = SplitHundredths(degrees);
    std::string text = IntToStrW(a.whole, 4);
    if (a.hundredths > 0) text += "." + IntToStrZ(a.hundredths, 2);
    return text + "\xB0";
}

std::string AspectLineAngle(double degrees) {
    const WholeAndHundredths a = SplitHundredths(degrees);
    return IntToStrW(a.whole, 3) + (a.hundredths > 0 ? "." + IntToStrZ(a.hundredths, 2) : "   ");
}

int AspectAtAngle(const AspDefTable& table, double degrees) {
    const auto written = [](double d) {
        const WholeAndHundredths a = SplitHundredths(d);
        return a.whole * 100 + a.hundredths;
    };
    const long long wanted = written(degrees);
    for (int a = 1; a <= table.AspCount; ++a)
        if (written(table.Asp[a].AspAngle / kDegToRad) == wanted) return a;
    return 0;
}

std::string AspectNameField(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != '\r' && c != '\n' && c != ';') out += c;
    out.resize(kAspectNameWidth, ' ');
    return out;
}

std::optional<std::string> OrbFieldText(std::string_view typed) {
    std::string text;
    for (char c : typed)
        if (c != ' ' && c != '\t') text += c;
    const auto orb = [](std::string_view t) {
        // A plain number of degrees: no sign, 0..180.
        if (t.empty() || t[0] == '+' || t[0] == '-') return false;
        const auto v = ParseDecimalText(t);
        return v && *v >= 0 && *v <= 180;
    };
    const std::size_t slash = text.find('/');
    const bool ok = slash == std::string::npos
                        ? orb(text)
                        : orb(std::string_view(text).substr(0, slash)) &&
                              orb(std::string_view(text).substr(slash + 1));
    if (!ok) return std::nullopt;
    return text;
}

std::string BuildAspectLine(const AspectLineFields& f) {
    return AspectNameField(f.name) + ";" + IntToStrW(f.glyph, 3) + ";" + std::string(1, f.kind) +
           ";" + AspectLineAngle(f.angle) + ";" + f.orbs + std::to_string(f.dark) + ";" +
           std::to_string(f.light) + ";";
}

int MatchAspect(const AspDefTable& table, const AspectOptions& opt, int c1, int c2, double lon1,
                double lon2) {
    const double d = Separation(lon1, lon2);
    for (int a = 1; a <= table.AspCount; ++a) {
        const AspDef& def = table.Asp[a];
        const bool on =
            (def.AspKind == ' ' && opt.MinorCheck) || (def.AspKind == 'M' && opt.MajorCheck);
        if (!on) continue;
        const int c = WiderClass(def, c1, c2);
        if (InWindow(d, def.Limits[c][0], def.Limits[c][2])) return a;
    }
    return 0;
}

int AspectTestHit(const AspDefTable& table, int mode, double lon1, double lon2) {
    const double d = Separation(lon1, lon2);
    for (int a = 1; a <= table.AspCount; ++a) {
        const AspDef& def = table.Asp[a];
        if (mode == 1) {
            if (std::fabs(d - def.AspAngle) <= kDegToRad) return a;
        } else if (mode == 2) {
            const auto& lim = def.Limits[kPointClasses];
            if (d < lim[2] || (lim[2] >= kPi && d <= kPi)) return d < lim[0] ? 0 : a;
        }
    }
    return 0;
}

void CalcAspects(const AspDefTable& table, const AspectOptions& opt, const AspectCharts& ch,
                 AspectMatrix& out) {
    for (auto& row : out.AspMatrix) row.fill(0);
    for (auto& row : out.AspApplying) row.fill(0);
    if (!ch.lon || !ch.speed) return;
    const bool dbl = ch.doubleChart && ch.lonBck && ch.speedBck;

    // Which points move while applying and separating are judged.
    bool move1 = true, move2 = true;
    if (dbl && opt.AspectingMode != 'I' && ch.directions) {
        move1 = move2 = false;
    } else if (dbl && opt.AspectingMode == 'X') {
        move1 = opt.CoinsideBox == 0;
        move2 = opt.CoinsideBox != 0;
    }
    const double step1 = move1 ? 1e-5 : 0, step2 = move2 ? 1e-5 : 0; // days
    const bool moving = move1 || move2;

    const int lastBody = std::min(26, 14 + ch.nExtra + ch.parsCount);
    const int first = ch.exterrBody != 0 ? 0 : 1;
    const bool across = dbl && opt.AspectingMode == 'X';
    const PointArray& lon1 = dbl && opt.AspectingMode == 'O' ? *ch.lonBck : *ch.lon;
    const PointArray& spd1 = dbl && opt.AspectingMode == 'O' ? *ch.speedBck : *ch.speed;
    const PointArray& lon2 = dbl && opt.AspectingMode != 'I' ? *ch.lonBck : *ch.lon;
    const PointArray& spd2 = dbl && opt.AspectingMode != 'I' ? *ch.speedBck : *ch.speed;

    bool on[kMaxAspects + 1] = {};
    double angleOf[kMaxAspects + 1] = {};
    for (int a = 1; a <= table.AspCount; ++a) {
        on[a] = AspectOn(table.Asp[a], opt);
        angleOf[a] = table.Asp[a].AspAngle;
    }

    // The points in force, bodies and parts first, then the cusps; their longitudes now and
    // a small step along their speeds later, side by side.
    int points[41], cls[41];
    double now1[41], later1[41], now2[41], later2[41];
    int count = 0;
    for (int p = first; p <= 38; ++p) {
        if (p > lastBody && p < 27) continue;
        points[count] = p;
        cls[count] = AspPointClass(p);
        now1[count] = lon1[p];
        later1[count] = lon1[p] + spd1[p] * step1;
        now2[count] = lon2[p];
        later2[count] = lon2[p] + spd2[p] * step2;
        ++count;
    }

    // Each pair once in a single chart, every ordered pair in a double one. Applying when the
    // step brings the separation nearer the aspect's angle (or keeps it there); computed for
    // every pair and masked, so that no branch depends on the chart.
    const auto fill = [&](auto aspectAt, auto twoCharts) {
        constexpr bool kTwo = decltype(twoCharts)::value;
        for (int x = 0; x < count; ++x) {
            const int i = points[x], c1 = cls[x];
            uint8_t* rowAsp = out.AspMatrix[i].data();
            uint8_t* rowApp = out.AspApplying[i].data();
            const int y0 = kTwo ? 0 : x + 1;
            double sepNow[41], sepLater[41];
            SeparationRow(now1[x], now2 + y0, count - y0, sepNow + y0);
            SeparationRow(later1[x], later2 + y0, count - y0, sepLater + y0);
            uint8_t aspect[41], closer[41];
            double angle[41];
            for (int y = y0; y < count; ++y) {
                const int a = aspectAt(c1, cls[y], sepNow[y]);
                aspect[y] = static_cast<uint8_t>(a);
                angle[y] = angleOf[a];
            }
            CloserRow(angle + y0, sepNow + y0, sepLater + y0, count - y0, closer + y0);
            for (int y = y0; y < count; ++y) {
                const int j = points[y], a = aspect[y];
                const uint8_t applying = static_cast<uint8_t>(closer[y] & (a != 0) & moving);
                rowAsp[j] = static_cast<uint8_t>(a);
                rowApp[j] = applying;
                if constexpr (!kTwo) {
                    out.AspMatrix[j][i] = static_cast<uint8_t>(a);
                    out.AspApplying[j][i] = applying;
                }
            }
        }
    };
    const auto fillFor = [&](auto aspectAt) {
        if (dbl)
            fill(aspectAt, std::true_type{});
        else
            fill(aspectAt, std::false_type{});
    };
    if (const AspectWindows* w =
            table.Windows[(opt.MajorCheck ? 1 : 0) | (opt.MinorCheck ? 2 : 0)].get()) {
        fillFor([w](int c1, int c2, double d) {
            const int bin = WindowBin(d);
            const int hit = std::min(PieceAspect(w->classes[c1], bin, d),
                                     PieceAspect(w->classes[c2], bin, d));
            // No aspect, or a point without a position (NaN).
            return hit * static_cast<int>((hit != AspectWindows::kNone) & (d == d));
        });
    } else {
        fillFor([&](int c1, int c2, double d) { return FirstMatch(table, on, c1, c2, d); });
    }
    // A point with itself only across two charts; opposite cusps of one chart never (they
    // are always opposite).
    if (!across) {
        for (int x = 0; x < count; ++x) {
            out.AspMatrix[points[x]][points[x]] = 0;
            out.AspApplying[points[x]][points[x]] = 0;
        }
        for (int c = 27; c <= 32; ++c)
            for (const auto& [i, j] : {std::pair{c, c + 6}, std::pair{c + 6, c}}) {
                out.AspMatrix[i][j] = 0;
                out.AspApplying[i][j] = 0;
            }
    }
}

} // namespace qor
