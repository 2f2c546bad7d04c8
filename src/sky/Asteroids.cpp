#include "sky/Asteroids.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Kepler.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/CosmosBodies.h"
#include "sky/SkyFiles.h"

#include <cmath>

namespace qor {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

bool AllDigits(const std::string& w) {
    if (w.empty()) return false;
    for (char ch : w)
        if (!IsDigit(ch)) return false;
    return true;
}

// A word written all in capitals (it has letters, none of them small, and no digits).
bool AllCapitals(const std::string& w) {
    for (char ch : w)
        if (IsDigit(ch)) return false;
    return UpperCaseCp(w) == w && LowerCaseCp(w) != w;
}

// Capital at the start and after "'" or "-", small letters elsewhere.
std::string TitleWord(const std::string& w) {
    std::string out;
    bool start = true;
    for (char ch : w) {
        const std::string one(1, ch);
        out += start ? one : LowerCaseCp(one);
        start = ch == '\'' || ch == '-';
    }
    return out;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string w;
    for (char ch : text) {
        if (ch == ' ' || ch == '\t') {
            if (!w.empty()) words.push_back(w);
            w.clear();
        } else {
            w += ch;
        }
    }
    if (!w.empty()) words.push_back(w);
    return words;
}

} // namespace

double AstMeanMotion(double axis) {
    return MeanMotionOf(axis);
}

std::string NormalizeAstName(std::string_view text) {
    std::vector<std::string> words = Words(text);
    bool onlyDigits = true;
    for (const auto& w : words) onlyDigits = onlyDigits && AllDigits(w);
    if (words.empty() || onlyDigits) {
        std::string digits;
        for (const auto& w : words) digits += w;
        return digits + " ";
    }
    std::string number;
    if (AllDigits(words.back())) {
        number = words.back();
        words.pop_back();
    } else if (AllDigits(words.front())) {
        number = words.front();
        words.erase(words.begin());
    }
    std::string name;
    for (const auto& w : words) {
        if (!name.empty()) name += ' ';
        name += AllCapitals(w) ? TitleWord(w) : w;
    }
    return number + " " + name;
}

std::string GetCatalogueName(const AsteroidCatalogue& c, int i) {
    if (i < 1 || i > c.AstCount) return {};
    std::string name = c.AstCatalogue[i].Name;
    while (!name.empty() && (name.back() == ' ' || IsDigit(name.back()))) name.pop_back();
    return name;
}

bool LoadAsteroidCatalogue(AstroDat& s, AsteroidCatalogue& c) {
    const std::string fileName = "asteroid.csv";
    c.AstCount = 0;
    c.AstCatalogue.assign(1, {});
    std::vector<std::string> lines;
    if (IOCheck(s, ReadTextLines(s.DataPath(fileName), lines), fileName)) return false;
    long long refused = 0, beyond = 0;
    int firstRefusedLine = 0;
    for (std::size_t li = 1; li < lines.size(); ++li) {
        std::string rest = lines[li];
        if (Trim(rest).empty()) {
            if (li + 1 == lines.size()) continue; // a final empty line is only the file's end
            if (++refused == 1) firstRefusedLine = static_cast<int>(li) + 1;
            continue;
        }
        AstRec r;
        r.Name = NormalizeAstName(NextField(rest, ',')).substr(0, 23);
        r.H = StrToFloatHM(NextField(rest, ','));
        r.G = StrToFloatHM(NextField(rest, ','));
        r.M = StrToFloatHM(NextField(rest, ',')) * kDegToRad;
        r.Peri = StrToFloatHM(NextField(rest, ',')) * kDegToRad;
        r.Node = StrToFloatHM(NextField(rest, ',')) * kDegToRad;
        r.Incl = StrToFloatHM(NextField(rest, ',')) * kDegToRad;
        r.Ecc = StrToFloatHM(NextField(rest, ','));
        r.Axis = StrToFloatHM(NextField(rest, ','));
        r.Epoch = StrToFloatHM(NextField(rest, ',')) + 2400000.5;
        if (r.Axis <= 0 || r.Ecc < 0 || r.Ecc >= 1) {
            if (++refused == 1) firstRefusedLine = static_cast<int>(li) + 1;
            continue;
        }
        if (c.AstCount == kMaxAsteroids) {
            ++beyond;
            continue;
        }
        r.N = AstMeanMotion(r.Axis);
        c.AstCatalogue.push_back(std::move(r));
        ++c.AstCount;
    }
    if (refused > 0) {
        const std::string n = std::to_string(refused), l = std::to_string(firstRefusedLine);
        ReportDataFault(s, fileName,
                        "пропущено строк без орбиты (пустых или с неверными элементами): " + n +
                            ", первая - строка " + l,
                        "lines without an orbit (empty or with wrong elements) left out: " + n +
                            ", the first is line " + l);
    }
    if (beyond > 0) ReportRecordsBeyondLimit(s, fileName, beyond, kMaxAsteroids);
    return c.AstCount > 0;
}

std::vector<std::string> DefaultUserBodies(bool english) {
    // the fictitious bodies under their names of the language (the ship's name makes it the
    // space ship in either)
    const auto name = [english](const char* russian, const char* latin) {
        return english ? std::string(latin) : Cp(russian);
    };
    return {" ;;46;155;" + name("Прозерпина", "Proserpina") +
                ";;;187.502320;319.538004;63.696644;3.000799;0.08550236;77.926077235;2445375.5;",
            " ;;47;156;Chiron;;;334.49016;339.15565;209.39125;6.927748;0.384554;13.751385;"
            "2448800,5;",
            " ;;55;178;" + name("Корабль", "SkyShip") +
                ";;; 30.0; 90.0; 25.0; 12.33; 0.1; 1.2; 2451544.5;",
            " ;;;;" + name("Купидон", "Cupido") + ";;; 104.5959;;;;; 40.998370; 2415020.5;",
            " ;;;;" + name("Гадес", "Hades") + ";;;   337.4517;;;;; 50.667443; 2415020.5;",
            " ;;;;" + name("Зевс", "Zeus") + ";;;    104.0904;;;;; 59.214362; 2415020.5;",
            " ;;;;" + name("Кронос", "Kronos") + ";;;   17.7346;;;;; 64.816896; 2415020.5;",
            " ;;;;" + name("Аполлон", "Apollon") + ";;; 138.0354;;;;; 70.361652; 2415020.5;",
            " ;;;;" + name("Адметос", "Admetos") + ";;; 351.3202;;;;; 73.736476; 2415020.5;",
            " ;;;;" + name("Вулкан", "Vulkanus") + ";;;   55.9826;;;;; 77.445895; 2415020.5;",
            " ;;;;" + name("Посейдон", "Poseidon") + ";;;165.3595;;;;; 83.493733; 2415020.5;",
            "",
            "",
            ""};
}

std::string GetAstField(const std::vector<std::string>& lines, int n, int row) {
    if (row < 1 || row > static_cast<int>(lines.size()) || n < 0) return {};
    return CutFieldRaw(lines[row - 1], ';', n);
}

bool SetAstField(std::vector<std::string>& lines, int n, int row, const std::string& text) {
    if (row < 1 || row > static_cast<int>(lines.size()) || n < 0) return false;
    std::string line = lines[row - 1];
    // Start of field n: after the n-th ";" (the line's start for n = 0).
    std::size_t start = 0;
    for (int k = 0; k < n; ++k) {
        const std::size_t p = line.find(';', start);
        if (p == std::string::npos) {
            line += ';'; // the line has fewer fields: add empty ones up to n
            start = line.size();
        } else {
            start = p + 1;
        }
    }
    std::size_t end = line.find(';', start);
    if (end == std::string::npos) end = line.size();
    line.replace(start, end - start, text);
    lines[row - 1] = line;
    return true;
}

UserBodySlots LoadAsteroidSlots(AstroDat& s, std::vector<std::string>& lines, int parsCount,
                                CosmosBodies& cosmos) {
    const std::string mark(1, kAstEnabledMark);
    SetAstField(lines, 0, 1, mark);
    SetAstField(lines, 0, 2, mark);
    UserBodySlots out;
    int k = 0;
    for (int r = 1; r <= static_cast<int>(lines.size()); ++r) {
        if (GetAstField(lines, 0, r) != mark) continue;
        if (parsCount + k >= kMaxExtraBodies) {
            SetStatus(s, GetMsgText(s, 131));
            break;
        }
        ++k;
        ExtraBodySlot& slot = out.Slots[k];
        slot.Row = r;
        for (int f = 0; f < 7; ++f) slot.Fields[f] = GetAstField(lines, 7 + f, r);
        slot.Name = GetAstField(lines, 4, r).substr(0, 23);
        if (slot.Name == "Chiron" && !s.EnglishMode) slot.Name = Cp("Хирон");
        cosmos.PlanetsMdb[71 + k].Name = slot.Name;
        slot.Glyph = static_cast<char>(StrToIntDef0(GetAstField(lines, 2, r)) & 0xFF);
        const std::string orbit = Trim(GetAstField(lines, 1, r));
        slot.Orbit = !orbit.empty();
        slot.Scheme = orbit == std::string(1, kAstSchemeMark);
        cosmos.OrbitFlags[1][9 + k] = slot.Orbit ? 1 : 0;
        if (slot.Orbit) cosmos.OrbitSchemeFlags[1][9 + k] = slot.Scheme ? 1 : 0;
    }
    out.NExtra = k;
    return out;
}

UserBodySlots LoadChironTable(AstroDat& s, std::vector<std::string>& lines, int parsCount,
                              CosmosBodies& cosmos, ChironTable& table) {
    UserBodySlots slots = LoadAsteroidSlots(s, lines, parsCount, cosmos);
    ReadChironTable(s, table);
    return slots;
}

std::string CatalogueAsteroidLine(const AsteroidCatalogue& c, int i) {
    if (i < 1 || i > c.AstCount) return {};
    const AstRec& a = c.AstCatalogue[i];
    auto deg = [](double rad) { return FloatToStrWD(10, 7, rad / kDegToRad); };
    // The user list's elements are of the equinox of their epoch; the catalogue's of J2000.
    double incl = a.Incl, node = a.Node, peri = a.Peri;
    OrbitAnglesOfEquinox(a.Epoch, incl, node, peri);
    return " ;" + std::string(1, kAstOrbitMark) + ";53;198;" + GetCatalogueName(c, i) + ";;;" +
           deg(a.M) + ";" + deg(peri) + ";" + deg(node) + ";" + deg(incl) + ";" +
           FloatToStrWD(10, 7, a.Ecc) + ";" + FloatToStrWD(10, 7, a.Axis) + ";" +
           FloatToStrWD(3, 1, a.Epoch);
}

bool AddAsteroidFromCatalogue(std::vector<std::string>& lines, const AsteroidCatalogue& c, int i) {
    if (i < 1 || i > c.AstCount) return false;
    const std::string name = GetCatalogueName(c, i);
    for (int r = 1; r <= static_cast<int>(lines.size()); ++r)
        if (GetAstField(lines, 4, r) == name) return false;
    lines.push_back(CatalogueAsteroidLine(c, i));
    return true;
}

void UpdateAsteroidPositions(AstroDat& s, std::vector<std::string>& lines,
                             const std::vector<double>& lon, const std::vector<double>& lat,
                             int nExtra) {
    const bool savedShort = s.ShortNames;
    s.ShortNames = true;
    const std::string mark(1, kAstEnabledMark);
    int k = 0;
    for (int r = 1; r <= static_cast<int>(lines.size()); ++r) {
        std::string lonText, latText;
        if (GetAstField(lines, 0, r) == mark) {
            ++k;
            if (k <= nExtra && k < static_cast<int>(lon.size()) &&
                k < static_cast<int>(lat.size())) {
                lonText = FormatZodiacDMS(s, lon[k] * kRadToArcSec);
                latText = FormatDMS(s, lat[k] * kRadToArcSec);
            }
        }
        if (Trim(lines[r - 1]).empty()) continue; // blank rows stay blank
        SetAstField(lines, 5, r, lonText);
        SetAstField(lines, 6, r, latText);
    }
    s.ShortNames = savedShort;
}

} // namespace qor
