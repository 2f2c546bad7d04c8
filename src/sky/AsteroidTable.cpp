#include "sky/AsteroidTable.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <system_error>
#include <utility>

namespace qor {

namespace {

struct ColumnHeader {
    const char* ru; // UTF-8
    const char* en;
};

const ColumnHeader kHeaders[kAsteridColumns] = {
    {"Название, Номер", "Name, Number"},
    {" Долгота", "Longitude"},
    {" Широта", "Latitude"},
    {" mH", " mH"},
    {" mG", " mG"},
    {"Ср.аномалия", "Mean Anomaly"},
    {"Арг.перигелия", "Arg.Perihelion"},
    {"Долгота узла", "Long.Node"},
    {"Наклон орбиты", "Orb.Inclination"},
    {"Эксцентриситет", "Eccentricity"},
    {"Большая полуось", "Semimajor axis"},
    {"Эпоха (JD)", "Epoch (JD)"},
};

char UpperAscii(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

std::string AngleText(AstroDat& s, double rad) {
    const int saved = s.DMSFormat;
    s.DMSFormat = 1;
    std::string t = FormatDMS(s, rad * kRadToArcSec);
    s.DMSFormat = saved;
    return t;
}

std::string LongitudeText(AstroDat& s, double rad) {
    const bool saved = s.ShortNames;
    s.ShortNames = true;
    std::string t = FormatZodiacDMS(s, NormAngle(rad) * kRadToArcSec);
    s.ShortNames = saved;
    return t;
}

double ColumnValue(const AstRec& r, int col) {
    switch (col) {
    case 1: return r.Lon;
    case 2: return r.Lat;
    case 3: return r.H;
    case 4: return r.G;
    case 5: return r.M;
    case 6: return r.Peri;
    case 7: return r.Node;
    case 8: return r.Incl;
    case 9: return r.Ecc;
    case 10: return r.Axis;
    case 11: return r.Epoch;
    default: return 0;
    }
}

void QuickSort(std::vector<AstRec>& v, int l, int r, int col, bool byName) {
    // Hoare's partition about a copy of the middle record, the smaller side first so that the
    // depth of the recursion stays logarithmic.
    while (l < r) {
        const AstRec pivot = v[(l + r) / 2];
        int i = l, j = r;
        do {
            while (AsteroidBefore(v[i], pivot, col, byName)) ++i;
            while (AsteroidBefore(pivot, v[j], col, byName)) --j;
            if (i <= j) {
                std::swap(v[i], v[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - l < r - i) {
            if (l < j) QuickSort(v, l, j, col, byName);
            l = i;
        } else {
            if (i < r) QuickSort(v, i, r, col, byName);
            r = j;
        }
    }
}

} // namespace

std::string AsteridHeader(const AstroDat& s, int col) {
    if (col < 0 || col >= kAsteridColumns) return {};
    return s.EnglishMode ? std::string(kHeaders[col].en) : Cp(kHeaders[col].ru);
}

std::string AsteridCell(AstroDat& s, const AstRec& r, int col) {
    switch (col) {
    case 0: return r.Name;
    case 1: return LongitudeText(s, r.Lon);
    case 2: return AngleText(s, r.Lat);
    case 3: return FloatToStrWD(5, 2, r.H);
    case 4: return FloatToStrWD(5, 2, r.G);
    case 5: return AngleText(s, r.M);
    case 6: return AngleText(s, r.Peri);
    case 7: return AngleText(s, r.Node);
    case 8: return AngleText(s, r.Incl);
    case 9: return FloatToStrWD(10, 7, r.Ecc);
    case 10: return FloatToStrWD(10, 7, r.Axis);
    case 11: return FloatToStrWD(3, 1, r.Epoch);
    default: return {};
    }
}

int FindAsteroidRow(const AsteroidCatalogue& c, const std::string& text) {
    const int n = std::min<int>(c.AstCount, static_cast<int>(c.AstCatalogue.size()) - 1);
    for (int i = 1; i <= n; ++i) {
        const std::string& name = c.AstCatalogue[i].Name;
        if (name.size() < text.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < text.size() && same; ++k)
            same = UpperAscii(name[k]) == UpperAscii(text[k]);
        if (same) return i;
    }
    return 0;
}

std::string NameWithoutDigits(const std::string& name) {
    std::string t;
    for (char ch : name)
        if (ch < '0' || ch > '9') t += ch;
    return t;
}

long long NumberOfName(const std::string& name) {
    long long n = 0;
    for (char ch : name)
        if (ch >= '0' && ch <= '9' && n < 100000000000000LL) n = n * 10 + (ch - '0');
    return n;
}

bool AsteroidBefore(const AstRec& a, const AstRec& b, int col, bool byName) {
    if (col == 0) {
        if (byName) return NameWithoutDigits(a.Name) < NameWithoutDigits(b.Name);
        return NumberOfName(a.Name) < NumberOfName(b.Name);
    }
    return ColumnValue(a, col) < ColumnValue(b, col);
}

void SortAsteroids(AsteroidCatalogue& c, int col, bool byName) {
    const int n = std::min<int>(c.AstCount, static_cast<int>(c.AstCatalogue.size()) - 1);
    if (n > 1) QuickSort(c.AstCatalogue, 1, n, col, byName);
}

std::string SortCaption(const AstroDat& s, int col, bool byName) {
    std::string header = Trim(AsteridHeader(s, col));
    if (col == 0) {
        const std::size_t comma = header.find(',');
        if (comma != std::string::npos)
            header = Trim(byName ? header.substr(comma + 1) : header.substr(0, comma));
    }
    return Lang(s, Cp("Сортировать по"), "Sort by") + " \"" + header + "\"";
}

std::vector<std::string> AsteroidFileLines(AstroDat& s, const AsteroidCatalogue& c) {
    std::vector<std::string> lines{GetMsgText(s, 135), s.AsteroidTimeText};
    const int n = std::min<int>(c.AstCount, static_cast<int>(c.AstCatalogue.size()) - 1);
    for (int i = 1; i <= n; ++i) {
        const AstRec& r = c.AstCatalogue[i];
        std::string name = r.Name.substr(0, 23);
        name.resize(23, ' ');
        lines.push_back(name + AsteridCell(s, r, 1) + AsteridCell(s, r, 2));
    }
    return lines;
}

bool WriteAsteroidFile(AstroDat& s, const AsteroidCatalogue& c) {
    const fs::path path = s.DataPath(kAsteroidFileName);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec); // a failure shows in the writing below
    const IoResult r = WriteTextFileAtomic(path, AsteroidFileLines(s, c));
    return !IOCheck(s, r, kAsteroidFileName);
}

} // namespace qor
