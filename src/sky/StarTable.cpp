#include "sky/StarTable.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <numeric>

namespace qor {

namespace {

// Widths of the columns in "wrk\Stars.txt" (the comment, column 4, goes last, unpadded).
constexpr int kStarsTxtWidths[kStarColumns] = {20, 5,  9,  14, 0,  10, 12, 8,
                                               14, 12, 16, 12, 12, 12, 7,  7};

// The angle format and the short sign names for the time of one cell.
class CellFormats {
public:
    explicit CellFormats(AstroDat& s) : s_(s), dms_(s.DMSFormat), shortNames_(s.ShortNames) {
        s.DMSFormat = 1;
    }
    ~CellFormats() {
        s_.DMSFormat = dms_;
        s_.ShortNames = shortNames_;
    }
    CellFormats(const CellFormats&) = delete;
    CellFormats& operator=(const CellFormats&) = delete;

private:
    AstroDat& s_;
    int dms_;
    bool shortNames_;
};

std::string Arc(const AstroDat& s, double rad) {
    return FormatDMS(s, rad * kRadToArcSec);
}

double At(const std::vector<double>& v, int n) {
    return n >= 0 && n < static_cast<int>(v.size()) ? v[n] : 0.0;
}

// The comment of star n in Russian mode, one trailing "." taken off.
std::string CommentText(const StarCatalogue& c, int n) {
    std::string text = StarTextEntry(c.StarComments, c.YaleStars[n].CommentOffset);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

// The key of a name or comment text: cut before its first ";", ".", ","; a star without one
// as "zzz"; the first 7 bytes, blank-padded, as one number (the first byte most significant).
uint64_t TextKey(std::string text, bool none) {
    if (none) {
        text = "zzz";
    } else {
        for (char stop : {';', '.', ','}) text = text.substr(0, text.find(stop));
    }
    text.resize(7, ' ');
    uint64_t key = 0;
    for (int k = 0; k < 7; ++k) key = key * 256 + static_cast<unsigned char>(text[k]);
    return key;
}

uint64_t UpperAscii(char ch) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return static_cast<unsigned char>(ch);
}

} // namespace

std::string StarColumnTitle(const AstroDat& s, int column, bool j2000) {
    static const char* const titles[kStarColumns][2] = {
        {"Название", "Name"},
        {"BS", "BS"},
        {"HD", "HD"},
        {"Код Флемстеда|- Байера", "Flemstad -|Bayer code"},
        {"Английский|комментарий", "Comment"},
        {"Спектр", "Spectrum"},
        {"Расстояние|в парсеках", "Distance|in parsecs"},
        {"Яркость", "Magni-|tude"},
        {"Долгота", "Longitude"},
        {"Широта", "Latitude"},
        {"Прямое|восхождение", "Right|Ascention"},
        {"Склонение", "Declination"},
        {"Азимут", "Azimuth"},
        {"Высота", "Altitude"},
        {"mRA|\"/год", "mRA|\"/year"},
        {"mDecl|\"/год", "mDecl|\"/year"}};
    if (column < 0 || column >= kStarColumns || (j2000 && StarColumnOfDate(column))) return {};
    return s.EnglishMode ? std::string(titles[column][1]) : Cp(titles[column][0]);
}

std::string StarCellText(AstroDat& s, const StarCatalogue& c, int n, int column, bool j2000) {
    if (n < 1 || n > c.StarCount || n >= static_cast<int>(c.YaleStars.size())) return {};
    if (j2000 && StarColumnOfDate(column)) return {};
    const YaleRec& r = c.YaleStars[n];
    CellFormats formats(s);
    std::string text;
    switch (column) {
    case 0:
        text = StarName(c, n);
        break;
    case 1:
        text = IntToStrW(r.BS, 4);
        break;
    case 2:
        text = IntToStrW(r.HD, 6);
        break;
    case 3:
        text = StarCatalogueCode(r.Designation);
        break;
    case 4:
        text = s.EnglishMode ? StarOtherNames(c, n) : CommentText(c, n);
        break;
    case 5:
        text = " " + r.Spectrum;
        break;
    case 6:
        if (r.Distance > 0) text = FloatToStrWD(8, 3, r.Distance / 1000.0);
        break;
    case 7:
        text = FloatToStrWD(5, 2, r.Mag);
        break;
    case 8:
        s.ShortNames = true;
        text = FormatZodiacDMS(s, At(c.StarLon, n) * kRadToArcSec);
        break;
    case 9:
        text = Arc(s, NormAngleSigned(At(c.StarLat, n)));
        break;
    case 10:
        text = FormatHMSRadSpaced(true, false, j2000 ? At(c.StarRA2000, n) : At(c.StarRADate, n));
        break;
    case 11:
        text = Arc(s, NormAngleSigned(j2000 ? At(c.StarDec2000, n) : At(c.StarDecDate, n)));
        break;
    case 12:
        text = Arc(s, At(c.StarAzimuth, n));
        break;
    case 13:
        text = Arc(s, At(c.StarAltitude, n));
        break;
    case 14:
        text = FloatToStrWD(6, 3, r.PmRA / kStarPmToRadPerCentury);
        break;
    case 15:
        text = FloatToStrWD(6, 3, r.PmDec / kStarPmToRadPerCentury);
        break;
    default:
        return {};
    }
    return TrimRight(text);
}

StarSortKey StarKey(const AstroDat& s, const StarCatalogue& c, int column, int n) {
    const YaleRec& r = c.YaleStars[n];
    StarSortKey key;
    switch (column) {
    case 0:
        key.Whole = TextKey(StarTextEntry(c.StarNames, r.NameOffset), r.NameOffset == 0);
        break;
    case 4:
        // English mode has no comment texts: the column's own text.
        if (s.EnglishMode) {
            const std::string other = StarOtherNames(c, n);
            key.Whole = TextKey(other, other.empty());
        } else {
            key.Whole =
                TextKey(StarTextEntry(c.StarComments, r.CommentOffset), r.CommentOffset == 0);
        }
        break;
    case 1:
        key.Whole = r.BS;
        break;
    case 2:
        key.Whole = r.HD;
        break;
    case 3:
        if (r.Designation.empty()) {
            key.Whole = 0xFFFFFFFFFFull;
        } else {
            const std::string code = r.ConstellationCode() + "   ";
            key.Whole =
                (((UpperAscii(code[0]) * 256 + UpperAscii(code[1])) * 256 + UpperAscii(code[2])) *
                     256 +
                 static_cast<uint64_t>(r.Bayer())) *
                    256 +
                static_cast<uint64_t>(r.Flamsteed());
        }
        break;
    case 5:
        for (int k = 0; k < 3; ++k)
            key.Whole = key.Whole * 256 + (k < static_cast<int>(r.Spectrum.size())
                                               ? static_cast<unsigned char>(r.Spectrum[k])
                                               : 0u);
        break;
    case 6:
        // an unknown distance after every known one, however far
        key.Whole = r.Distance > 0 ? static_cast<uint64_t>(r.Distance)
                                   : std::numeric_limits<uint64_t>::max();
        break;
    case 7:
        key.Value = r.Mag;
        break;
    case 8:
        key.Value = At(c.StarLon, n);
        break;
    case 9:
        key.Value = At(c.StarLat, n);
        break;
    case 10:
        key.Value = static_cast<float>(At(c.StarRADate, n));
        break;
    case 11:
        key.Value = static_cast<float>(At(c.StarDecDate, n));
        break;
    case 12:
        key.Value = At(c.StarAzimuth, n);
        break;
    case 13:
        key.Value = At(c.StarAltitude, n);
        break;
    case 14:
        key.Value = static_cast<float>(r.PmRA / kStarPmToRadPerCentury);
        break;
    case 15:
        key.Value = static_cast<float>(r.PmDec / kStarPmToRadPerCentury);
        break;
    default:
        break;
    }
    return key;
}

bool StarLess(const AstroDat& s, const StarCatalogue& c, int column, int a, int b) {
    return StarKey(s, c, column, a) < StarKey(s, c, column, b);
}

std::vector<int> SortStarsAll(const AstroDat& s, StarCatalogue& c, int column) {
    const int n = std::min<int>(c.StarCount, static_cast<int>(c.YaleStars.size()) - 1);
    std::vector<StarSortKey> keys(static_cast<std::size_t>(std::max(n, 0)) + 1);
    for (int i = 1; i <= n; ++i) keys[i] = StarKey(s, c, column, i);
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    if (n < 2) return order;
    std::stable_sort(order.begin() + 1, order.end(),
                     [&keys](int a, int b) { return keys[a] < keys[b]; });
    ReorderStars(c, order);
    return order;
}

std::vector<std::string> StarsTxtLines(AstroDat& s, const StarCatalogue& c, bool j2000,
                                       const StarsTxtMoment& moment) {
    std::vector<std::string> lines;
    lines.push_back(Lang(s, "Каталог звезд"_cp, "Star Catalog"));
    lines.emplace_back();
    if (j2000) {
        lines.emplace_back("J2000");
    } else {
        lines.push_back(Lang(s, "Дата: "_cp, "Date: ") + moment.Date);
        lines.push_back(Lang(s, "Время: "_cp, "Time: ") + moment.Time);
        lines.push_back(Lang(s, "Временная зона: "_cp, "Time Zone: ") + moment.Zone);
        lines.push_back(Lang(s, "Место: "_cp, "Place: ") + moment.Lat + " " + moment.Long);
    }
    lines.emplace_back();
    // One line of the table from the sixteen cell texts.
    auto tableLine = [j2000](const std::vector<std::string>& cells) {
        std::string line;
        for (int col = 0; col < kStarColumns; ++col) {
            if (col == 4) continue;
            const int w = j2000 && StarColumnOfDate(col) ? 0 : kStarsTxtWidths[col];
            const std::string& t = cells[col];
            const std::string pad(std::max<int>(0, w - static_cast<int>(t.size())), ' ');
            line += col == 0 ? t + pad : pad + t;
        }
        return line + " " + cells[4];
    };
    for (int part = 0; part < 2; ++part) {
        std::vector<std::string> cells(kStarColumns);
        for (int col = 0; col < kStarColumns; ++col) {
            const std::string title = StarColumnTitle(s, col, j2000);
            const std::size_t bar = title.find('|');
            if (part == 0)
                cells[col] = title.substr(0, bar);
            else if (bar != std::string::npos)
                cells[col] = title.substr(bar + 1);
        }
        lines.push_back(tableLine(cells));
    }
    std::vector<std::string> cells(kStarColumns);
    for (int n = 1; n <= c.StarCount; ++n) {
        for (int col = 0; col < kStarColumns; ++col) cells[col] = StarCellText(s, c, n, col, j2000);
        lines.push_back(tableLine(cells));
    }
    return lines;
}

bool WriteStarsTxt(AstroDat& s, const StarCatalogue& c, bool j2000, const StarsTxtMoment& moment) {
    const std::filesystem::path file = s.DataPath(kStarsTxtFile);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const IoResult r = WriteTextFileAtomic(file, StarsTxtLines(s, c, j2000, moment));
    return !IOCheck(s, r, kStarsTxtFile);
}

} // namespace qor
