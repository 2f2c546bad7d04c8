#include "core/Aspects.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

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

// The angle between two longitudes, 0..π (any real inputs; one turn of reduction is enough
// for longitudes in [0, 2π) and a speed step beside them).
double Separation(double lon1, double lon2) {
    double d = std::fabs(lon2 - lon1);
    if (d >= kTwoPi) d = std::fmod(d, kTwoPi);
    return d > kPi ? kTwoPi - d : d;
}

bool AspectOn(const AspDef& def, const AspectOptions& opt) {
    return (def.AspKind == ' ' && opt.MinorCheck) || (def.AspKind == 'M' && opt.MajorCheck);
}

// The first aspect in force whose window (of the wider-orbed class) holds the separation d.
int FirstMatch(const AspDefTable& table, const bool* on, int c1, int c2, double d) {
    for (int a = 1; a <= table.AspCount; ++a) {
        if (!on[a]) continue;
        const AspDef& def = table.Asp[a];
        const int c = def.Orb[c2] > def.Orb[c1] ? c2 : c1;
        if (InWindow(d, def.Limits[c][0], def.Limits[c][2])) return a;
    }
    return 0;
}

int32_t IntField(const std::string& text) {
    const auto v = ParseWholeInteger(text);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) return 0;
    return static_cast<int32_t>(*v);
}

// The aspects whose widest window can hold a separation, by half-degree bins, in page order,
// with their orbs and windows in a compact copy: a pair then tries one or two aspects instead
// of the whole page.
class AspectBins {
public:
    AspectBins(const AspDefTable& table, const bool* on) {
        for (int a = 1; a <= table.AspCount; ++a) {
            if (!on[a]) continue;
            const AspDef& def = table.Asp[a];
            Window& w = win_[a];
            double lo = kPi, hi = 0;
            for (int c = 1; c <= kPointClasses; ++c) {
                w.orb[c] = def.Orb[c];
                w.lo[c] = def.Limits[c][0];
                w.hi[c] = def.Limits[c][2];
                lo = std::min(lo, w.lo[c]);
                hi = std::max(hi, w.hi[c]);
            }
            if (hi < lo) continue;
            for (int b = Bin(lo); b <= Bin(hi); ++b) {
                if (count_[b] < kPerBin)
                    list_[b][count_[b]++] = static_cast<uint8_t>(a);
                else
                    count_[b] = kOverflow;
            }
        }
        on_ = on;
    }
    int FirstMatch(const AspDefTable& table, int c1, int c2, double d) const {
        const int b = Bin(d);
        if (count_[b] == kOverflow) return qor::FirstMatch(table, on_, c1, c2, d);
        for (int i = 0; i < count_[b]; ++i) {
            const int a = list_[b][i];
            const Window& w = win_[a];
            const int c = w.orb[c2] > w.orb[c1] ? c2 : c1;
            if (InWindow(d, w.lo[c], w.hi[c])) return a;
        }
        return 0;
    }

private:
    static constexpr int kBins = 361; // half degrees 0..180
    static constexpr int kPerBin = 6;
    static constexpr uint8_t kOverflow = 255;
    struct Window {
        double orb[kPointClasses + 1], lo[kPointClasses + 1], hi[kPointClasses + 1];
    };
    static int Bin(double d) {
        return std::clamp(static_cast<int>(d * (2 / kDegToRad)), 0, kBins - 1);
    }
    std::array<Window, kMaxAspects + 1> win_;
    std::array<std::array<uint8_t, kPerBin>, kBins> list_{};
    std::array<uint8_t, kBins> count_{};
    const bool* on_ = nullptr;
};

} // namespace

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
    bool converted = false;
    table.AspCount = std::min<int>(static_cast<int>(lines.size()), kMaxAspects);
    for (int i = 1; i <= table.AspCount; ++i) {
        std::string& src = lines[i - 1];
        if (src.find(';') == std::string::npos) {
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

std::vector<std::string> BuiltInAspectLines() {
    struct Row {
        const char* name;
        char kind;
        int angle;
        const char* orbs[5]; // Sun, Moon, Jupiter, Saturn, the rest
        int32_t dark, light;
    };
    static constexpr Row kRows[] = {
        {"Соединение", 'M', 0, {"12/12", "10/10", "8/8", "5/5", "5"}, 16776960, 16711680},
        {"Полусекстиль", ' ', 30, {"1.5", "1", "1", "1", "1"}, 16777215, 255},
        {"Полуквинтиль", ' ', 36, {"1.5", "1", "1", "1", "1"}, 65280, 51200},
        {"Нонагон", ' ', 40, {"1.5", "1", "1", "1", "1"}, 65535, 33023},
        {"Полуквадрат", ' ', 45, {"1.5", "1", "1", "1", "1"}, 255, 0},
        {"Секстиль", 'M', 60, {"6.5/5", "6/5", "5", "5", "5"}, 16777215, 255},
        {"Квинтиль", 'M', 72, {"2", "1.5", "1", "1", "1"}, 65280, 51200},
        {"Квадратура", 'M', 90, {"10/8", "8/5", "7/5", "5", "5"}, 255, 0},
        {"ПолутораКвинтил", ' ', 108, {"1", "1", "1", "1", "1"}, 65280, 51200},
        {"Тригон", 'M', 120, {"10/8", "8/6", "7/5", "5", "5"}, 16777215, 255},
        {"Сесквиквадрат", ' ', 135, {"1", "1", "1", "1", "1"}, 255, 0},
        {"Биквинтиль", ' ', 144, {"1", "1", "1", "1", "1"}, 65280, 51200},
        {"Квинконция", ' ', 150, {"1", "1", "1", "1", "1"}, 16777215, 0},
        {"Оппозиция", 'M', 180, {"12/12", "10/10", "8/8", "5/5", "5"}, 255, 0},
    };
    // Which of the five orb columns serves each point class 1..11.
    static constexpr int kColumnOfClass[kPointClasses] = {0, 1, 4, 4, 4, 2, 3, 4, 4, 4, 4};
    std::vector<std::string> lines;
    int i = 0;
    for (const Row& r : kRows) {
        std::string line = Cp(r.name) + ";" + IntToStrW('0' + i, 3) + ";" + std::string(1, r.kind) +
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
    const std::string name = AspectFileName(pageName);
    const fs::path path = s.DataPath(name);
    std::error_code ec;
    const bool exists = fs::is_regular_file(path, ec);
    if (exists) {
        std::vector<std::string> read;
        if (IOCheck(s, ReadTextLines(path, read), name)) return false;
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

int MatchAspect(const AspDefTable& table, const AspectOptions& opt, int c1, int c2, double lon1,
                double lon2) {
    const double d = Separation(lon1, lon2);
    for (int a = 1; a <= table.AspCount; ++a) {
        const AspDef& def = table.Asp[a];
        const bool on =
            (def.AspKind == ' ' && opt.MinorCheck) || (def.AspKind == 'M' && opt.MajorCheck);
        if (!on) continue;
        const int c = def.Orb[c2] > def.Orb[c1] ? c2 : c1;
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

    const int lastBody = std::min(26, 14 + ch.nExtra + ch.parsCount);
    const int first = ch.exterrBody != 0 ? 0 : 1;
    auto active = [&](int p) { return (p >= first && p <= lastBody) || (p >= 27 && p <= 38); };
    const bool across = dbl && opt.AspectingMode == 'X';
    const PointArray& lon1 = dbl && opt.AspectingMode == 'O' ? *ch.lonBck : *ch.lon;
    const PointArray& spd1 = dbl && opt.AspectingMode == 'O' ? *ch.speedBck : *ch.speed;
    const PointArray& lon2 = dbl && opt.AspectingMode != 'I' ? *ch.lonBck : *ch.lon;
    const PointArray& spd2 = dbl && opt.AspectingMode != 'I' ? *ch.speedBck : *ch.speed;

    bool on[kMaxAspects + 1] = {};
    for (int a = 1; a <= table.AspCount; ++a) on[a] = AspectOn(table.Asp[a], opt);
    const AspectBins bins(table, on);

    auto pair = [&](int i, int j) {
        if (dbl && !across && i == j) return;
        // Opposite cusps of one chart are always in opposition.
        if (!across && i > 26 && j > 26 && std::abs(i - j) == 6) return;
        const double l1 = lon1[i], l2 = lon2[j];
        const double d = Separation(l1, l2);
        const int a = bins.FirstMatch(table, AspPointClass(i), AspPointClass(j), d);
        if (a == 0) return;
        out.AspMatrix[i][j] = static_cast<uint8_t>(a);
        if (!move1 && !move2) return;
        const double m1 = move1 ? l1 + spd1[i] / 100000 : l1; // Separation reduces them
        const double m2 = move2 ? l2 + spd2[j] / 100000 : l2;
        const double angle = table.Asp[a].AspAngle;
        out.AspApplying[i][j] =
            std::fabs(angle - d) >= std::fabs(angle - Separation(m1, m2)) ? 1 : 0;
    };

    // The active points, bodies and parts first, then the cusps.
    int points[41];
    int count = 0;
    for (int p = first; p <= 38; ++p)
        if (active(p)) points[count++] = p;

    if (dbl) {
        for (int x = 0; x < count; ++x)
            for (int y = 0; y < count; ++y) pair(points[x], points[y]);
        return;
    }
    // A single chart: each pair once, mirrored.
    for (int x = 0; x < count; ++x) {
        const int i = points[x];
        for (int y = x + 1; y < count; ++y) {
            const int j = points[y];
            pair(i, j);
            out.AspMatrix[j][i] = out.AspMatrix[i][j];
            out.AspApplying[j][i] = out.AspApplying[i][j];
        }
    }
}

} // namespace qor
