#include "geo/Atlas.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <numbers>

namespace qor {

namespace {

const std::string kCodRegFile = "codreg.ctm";
const std::string kCountryFile = "Country.atl";
constexpr std::size_t kCodRegFirstEntry = 5; // lines 1-5 are a header
constexpr int kUsFirst = 217;
constexpr int kUsLast = 268;

// The region code of a "codreg.ctm" line (characters 1-4) and of a "Country.atl" line
// (characters 34-36, the code without its "R").
std::string RegionCodeOf(std::string_view line) {
    return Trim(line.substr(0, std::min<std::size_t>(4, line.size())));
}
std::string CountryCodeOf(std::string_view line) {
    return line.size() > 33 ? std::string(line.substr(33, 3)) : std::string();
}

// A table of names below the program folder, read once; its entries indexed by code.
AtlasNameTable LoadNameTable(const AstroDat& s, const std::string& file, std::size_t firstEntry,
                             std::string (*codeOf)(std::string_view)) {
    using State = AtlasNameTable::State;
    AtlasNameTable t;
    t.file = file;
    const IoResult r = ReadTextLines(s.DataPath(file), t.lines, kAtlasNameTableMaxBytes);
    if (!r.ok()) {
        t.lines.clear();
        t.state = r.error == EFBIG ? State::TooLarge : State::IoError;
        t.error = r.error;
        return t;
    }
    for (std::size_t i = firstEntry; i < t.lines.size(); ++i) {
        const std::string code = codeOf(t.lines[i]);
        if (!code.empty()) t.byCode.emplace(code, i);
    }
    t.state = t.byCode.empty() ? State::NoEntry : State::Reads;
    return t;
}

// The text of a look-up in a table that does not read: told once per run, "unknown" always.
std::string UnknownName(AstroDat& s, const AtlasNameTable& t) {
    using State = AtlasNameTable::State;
    if (s.Messages.reportedMissing.insert({t.file, -1}).second) {
        if (t.state == State::IoError)
            IOCheck(s, t.error, t.file);
        else if (t.state == State::TooLarge)
            ReportOf(s).ShowMessage(MsgKind::Error,
                                    t.file + Lang(s, ": файл слишком велик для таблицы названий"_cp,
                                                  ": the file is too large for a table of names"));
        else
            ReportOf(s).ShowMessage(MsgKind::Error,
                                    t.file + Lang(s, ": в таблице названий нет ни одной записи"_cp,
                                                  ": the table of names holds no entry"));
    }
    return Lang(s, "неизвестно"_cp, "unknown");
}

std::string Column(std::string_view line, std::size_t from, std::size_t width) {
    if (from > line.size()) return {};
    return std::string(line.substr(from, width));
}

void ReportDamaged(AstroDat& s, const std::string& what) {
    ReportOf(s).ShowMessage(MsgKind::Error,
                            Lang(s, "Атлас повреждён: "_cp, "The atlas is damaged: ") + what);
}

// The names file's bytes, whole records only; false (reported) on an I/O error or a damaged
// file.
bool ReadCityNameBytes(AstroDat& s, const Atlas& a, std::string& bytes) {
    const IoResult read =
        ReadFileBytes(s.DataPath(a.files.names), bytes, kAtlasMaxLinked * kCityNameSize);
    if (read.error != EFBIG && IOCheck(s, read, a.files.names)) return false;
    if (read.error == EFBIG || bytes.size() % kCityNameSize != 0 ||
        bytes.size() / kCityNameSize > kAtlasMaxLinked) {
        ReportDamaged(s, a.files.names);
        return false;
    }
    return true;
}

std::string CoordText(int arcmin, int degWidth, char plus, char minus) {
    const int a = std::abs(arcmin);
    return IntToStrW(a / 60, degWidth) + kDegreeSign + IntToStrZ(a % 60, 2) + "'" +
           (arcmin < 0 ? minus : plus);
}

bool IsCapitalOfEdition(bool english, unsigned char c) {
    return english ? (c >= 'A' && c <= 'Z') : (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 223);
}

} // namespace

AtlasFileSet AtlasFileNames(bool english) {
    if (english) return {"geoc.atl", "geon.atl", "geoz.atl", "Wrk\\Atlas_e.txt"};
    return {"geocr.atl", "geonr.atl", "geozr.atl", "Wrk\\Atlas.txt"};
}

// --- Records ------------------------------------------------------------------------------

std::vector<CityCoordRec> DecodeCityCoords(std::string_view bytes) {
    std::vector<CityCoordRec> out;
    out.reserve(bytes.size() / kCityCoordSize);
    LeReader r(bytes);
    for (std::size_t i = 0; i + kCityCoordSize <= bytes.size(); i += kCityCoordSize) {
        CityCoordRec c;
        c.lat = r.i16();
        c.lon = r.i16();
        c.mapCode = r.u16();
        c.nameIndex = r.u16();
        out.push_back(c);
    }
    return out;
}

std::string EncodeCityCoords(const std::vector<CityCoordRec>& coords) {
    LeWriter w;
    for (const auto& c : coords) {
        w.i16(c.lat);
        w.i16(c.lon);
        w.u16(c.mapCode);
        w.u16(c.nameIndex);
    }
    return w.bytes();
}

std::vector<CityNameRec> DecodeCityNames(std::string_view bytes) {
    std::vector<CityNameRec> out;
    out.reserve(bytes.size() / kCityNameSize);
    LeReader r(bytes);
    for (std::size_t i = 0; i + kCityNameSize <= bytes.size(); i += kCityNameSize) {
        CityNameRec n;
        n.text = r.bytes(38);
        n.coordIndex = r.u16();
        out.push_back(std::move(n));
    }
    return out;
}

std::string EncodeCityNames(const std::vector<CityNameRec>& names) {
    LeWriter w;
    for (const auto& n : names) {
        w.bytes(n.text, 38, ' ');
        w.u16(n.coordIndex);
    }
    return w.bytes();
}

namespace {

// The check of the cross-indexes, given each name record's coordinate index (what the check
// reads of a name record).
template <class CoordIndexOf>
std::string CheckLinks(const AstroDat& s, const AtlasFileSet& files,
                       const std::vector<CityCoordRec>& coords, std::size_t nameCount,
                       CoordIndexOf coordIndexOf) {
    const std::string nc = std::to_string(coords.size()), nn = std::to_string(nameCount);
    // Each city has one record in each file: the counts first, so that an empty or cut file
    // is named as such rather than by the first link it breaks.
    if (coords.size() != nameCount)
        return files.coords + Lang(s, ": записей "_cp, ": ") + nc +
               Lang(s, ", а в "_cp, " records, but ") + files.names + Lang(s, " — "_cp, " holds ") +
               nn;
    const auto link = [&](const std::string& file, std::size_t rec, std::size_t to,
                          const std::string& other, bool outside) {
        return file + Lang(s, ", запись "_cp, ", record ") + std::to_string(rec) +
               Lang(s, ": ссылка на запись "_cp, ": its link to record ") + std::to_string(to) +
               Lang(s, " файла "_cp, " of ") + other +
               (outside ? Lang(s, " вне файла"_cp, " lies outside the file")
                        : Lang(s, " не ведёт обратно"_cp, " does not lead back"));
    };
    for (std::size_t i = 0; i < coords.size(); ++i) {
        const std::size_t n = coords[i].nameIndex;
        if (n < 1 || n > nameCount) return link(files.coords, i + 1, n, files.names, true);
        if (coordIndexOf(n - 1) != i + 1) return link(files.coords, i + 1, n, files.names, false);
    }
    for (std::size_t i = 0; i < nameCount; ++i) {
        const std::size_t c = coordIndexOf(i);
        if (c < 1 || c > coords.size()) return link(files.names, i + 1, c, files.coords, true);
        if (coords[c - 1].nameIndex != i + 1)
            return link(files.names, i + 1, c, files.coords, false);
    }
    return {};
}

} // namespace

std::string CheckAtlasLinks(const AstroDat& s, const AtlasFileSet& files,
                            const std::vector<CityCoordRec>& coords,
                            const std::vector<CityNameRec>& names) {
    return CheckLinks(s, files, coords, names.size(),
                      [&names](std::size_t i) { return std::size_t{names[i].coordIndex}; });
}

// --- Loading and filtering ----------------------------------------------------------------

void LoadAtlasNameTables(const AstroDat& s, Atlas& a) {
    a.regions = LoadNameTable(s, kCodRegFile, kCodRegFirstEntry, RegionCodeOf);
    a.countries = LoadNameTable(s, kCountryFile, 0, CountryCodeOf);
}

bool LoadAtlas(AstroDat& s, Atlas& a) {
    a.ready = false;
    a.files = AtlasFileNames(s.EnglishMode);
    LoadAtlasNameTables(s, a);
    a.list.clear();
    a.coords.clear();
    a.coordBytes = 0;
    a.zones.clear();

    std::string bytes;
    // More records than the cross-indexes address: damaged, and not read at all.
    const IoResult read =
        ReadFileBytes(s.DataPath(a.files.coords), bytes, kAtlasMaxLinked * kCityCoordSize);
    if (read.error == EFBIG) {
        ReportDamaged(s, a.files.coords + ": > " + std::to_string(kAtlasMaxLinked));
        return false;
    }
    if (IOCheck(s, read, a.files.coords)) return false;
    if (bytes.size() % kCityCoordSize != 0) {
        ReportDamaged(s, a.files.coords);
        return false;
    }
    if (bytes.size() / kCityCoordSize > kAtlasMaxLinked) {
        ReportDamaged(s, a.files.coords + ": " + std::to_string(bytes.size() / kCityCoordSize) +
                             " > " + std::to_string(kAtlasMaxLinked));
        return false;
    }
    // The check reads each name record's link alone (the names are read when a list needs them).
    std::string nameBytes;
    if (!ReadCityNameBytes(s, a, nameBytes)) return false;
    const std::size_t nameCount = nameBytes.size() / kCityNameSize;
    std::vector<CityCoordRec> coords = DecodeCityCoords(bytes);
    const auto coordIndexOf = [&nameBytes](std::size_t i) {
        const std::size_t at = i * kCityNameSize + 38; // the 16-bit link after the 38 characters
        return std::size_t{static_cast<unsigned char>(nameBytes[at])} |
               std::size_t{static_cast<unsigned char>(nameBytes[at + 1])} << 8;
    };
    if (const std::string bad = CheckLinks(s, a.files, coords, nameCount, coordIndexOf);
        !bad.empty()) {
        ReportDamaged(s, bad);
        return false;
    }

    // The zones of the cities: one line per name record. Without them the cities outside the
    // zone-history regions fall back to their longitude's zone.
    std::vector<std::string> zones;
    const IoResult zr = ReadTextLines(s.DataPath(a.files.zones), zones);
    if (!IOCheck(s, zr, a.files.zones)) {
        if (zones.size() == nameCount) {
            for (auto& z : zones)
                if (!z.empty() && (static_cast<unsigned char>(z.front()) <= ' ' ||
                                   static_cast<unsigned char>(z.back()) <= ' '))
                    z = Trim(z); // only a line with blanks at an end is made anew
            a.zones = std::move(zones);
        } else {
            ReportDamaged(s, a.files.zones + ": " + std::to_string(zones.size()) + " / " +
                                 std::to_string(nameCount));
        }
    }
    a.coords = std::move(coords);
    a.coordBytes = bytes.size();
    a.ready = true;
    ++a.generation;
    return true;
}

bool LoadAllCityNames(AstroDat& s, const Atlas& a, std::vector<CityNameRec>& names) {
    std::string bytes;
    if (!ReadCityNameBytes(s, a, bytes)) return false;
    names = DecodeCityNames(bytes);
    return true;
}

std::size_t FilterAtlas(AstroDat& s, Atlas& a) {
    a.list.clear();
    std::vector<CityNameRec> names;
    if (!LoadAllCityNames(s, a, names)) return 0;
    for (auto& n : names) {
        bool keep = false;
        if (a.filter == "ALL")
            keep = true;
        else if (s.EnglishMode)
            keep = (a.filter == "USA" && IsUsStateRecord(n)) || n.Code() == a.filter;
        else if (a.filter == "SSSR")
            keep = n.text[32] != ' ';
        else if (a.filter == "F")
            keep = n.text[32] == ' ';
        if (keep && a.list.size() < kAtlasMaxRecords) a.list.push_back(std::move(n));
    }
    return a.list.size();
}

void SetAtlasFilter(AstroDat& s, Atlas& a, std::string_view comboText) {
    static const std::string all = "ALL", usa = "USA", ussr = "SSSR", foreign = "F";
    if (s.EnglishMode) {
        if (comboText == "All")
            a.filter = all;
        else if (comboText == "USA")
            a.filter = usa;
        else
            a.filter = CountryCodeOfName(s, a, comboText);
        return;
    }
    const std::string t(comboText);
    if (t.starts_with("В"_cp))
        a.filter = all;
    else if (t.starts_with("Т"_cp))
        a.filter = ussr;
    else
        a.filter = foreign;
}

std::vector<std::string> AtlasFilterChoices(AstroDat& s, const Atlas& a) {
    if (!s.EnglishMode) return {"Все"_cp, "Территория СССР"_cp, "Иностранные"_cp};
    std::vector<std::string> out = {"All"};
    if (a.countries.state != AtlasNameTable::State::Reads) {
        UnknownName(s, a.countries);
        return out;
    }
    bool usa = false;
    for (const auto& line : a.countries.lines) {
        if (CutField(line, ';', 2) != "1")
            out.push_back(Trim(Column(line, 0, 31)));
        else if (!usa) {
            out.push_back("USA");
            usa = true;
        }
    }
    return out;
}

std::string AtlasCaption(std::string_view caption, std::size_t count) {
    return Trim(caption.substr(0, caption.find('-'))) + " - " + std::to_string(count);
}

std::optional<std::size_t> FindAtlasRow(const AstroDat& s, const Atlas& a, std::string_view typed) {
    const std::string text = s.EnglishMode ? UpperCaseCp(std::string(typed)) : UpperCaseRus(typed);
    if (text.empty() || !IsCapitalOfEdition(s.EnglishMode, static_cast<unsigned char>(text[0])))
        return std::nullopt;
    // A typed text longer than a name's 31 characters matches nothing.
    if (text.size() > std::size_t(kCityNameLen)) return std::nullopt;
    // The edition's upper case of every byte, so that each name is compared in place.
    std::array<unsigned char, 256> upper{};
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        upper[c] =
            static_cast<unsigned char>((s.EnglishMode ? UpperCaseCp(one) : UpperCaseRus(one))[0]);
    }
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < a.list.size(); ++i) {
        const std::string& name = a.list[i].text;
        if (name.size() < n) continue;
        std::size_t k = 0;
        while (k < n &&
               upper[static_cast<unsigned char>(name[k])] == static_cast<unsigned char>(text[k]))
            ++k;
        if (k == n) return i;
    }
    return std::nullopt;
}

// --- Cells --------------------------------------------------------------------------------

const CityCoordRec* AtlasRowCoord(const Atlas& a, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= a.list.size()) return nullptr;
    const std::size_t c = a.list[row].coordIndex;
    if (c < 1 || c > a.coords.size()) return nullptr;
    return &a.coords[c - 1];
}

std::string AtlasRowZoneName(const Atlas& a, int row) {
    const CityCoordRec* c = AtlasRowCoord(a, row);
    if (!c || c->nameIndex < 1 || c->nameIndex > a.zones.size()) return {};
    return a.zones[c->nameIndex - 1];
}

std::string AtlasSizeMark(uint16_t mapCode) {
    switch (mapCode % 10) {
    case 1:
        return "|||";
    case 2:
        return "||";
    case 3:
        return "|";
    case 9:
        return "\x97"; // em dash
    default:
        return {};
    }
}

std::string AtlasLatText(int arcmin) {
    return CoordText(arcmin, 2, 'N', 'S');
}
std::string AtlasLonText(int arcmin) {
    return CoordText(arcmin, 3, 'E', 'W');
}

const std::string& RegionTextCache::Of(AstroDat& s, const Atlas& a, std::string_view code) {
    if (const auto it = texts_.find(code); it != texts_.end()) return it->second;
    return texts_.emplace(std::string(code), CodeRegionText(s, a, code)).first->second;
}

std::string CodeRegionText(AstroDat& s, const Atlas& a, std::string_view code) {
    const std::string c = Trim(code);
    if (c.empty() || c[0] == 'L') return {};
    return c[0] == 'R' ? CountryOfCode(s, a, c) : RegionName(s, a, c);
}

std::string AtlasCellText(AstroDat& s, const Atlas& a, int column, int row,
                          RegionTextCache* regions) {
    if (row < 0 || static_cast<std::size_t>(row) >= a.list.size()) return {};
    const CityNameRec& n = a.list[row];
    const CityCoordRec* c = AtlasRowCoord(a, row);
    switch (column) {
    case 0:
        return c ? AtlasSizeMark(c->mapCode) : std::string();
    case 1: {
        std::string text = TrimRight(n.Name());
        const std::string code = Trim(n.Code());
        const bool oneCountry = s.EnglishMode && a.filter != "ALL" && a.filter != "USA";
        if (!code.empty() && code[0] != 'L' && !oneCountry)
            text += ", " + (regions ? regions->Of(s, a, n.Code()) : CodeRegionText(s, a, n.Code()));
        return text;
    }
    case 2:
        return c ? AtlasLatText(c->lat) : std::string();
    case 3:
        return c ? AtlasLonText(c->lon) : std::string();
    case 4:
        return n.Code();
    case 5:
        return n.ZoneRegion();
    default:
        return {};
    }
}

// --- Regions and countries ----------------------------------------------------------------

std::string RegionName(AstroDat& s, const Atlas& a, std::string_view code) {
    if (a.regions.state != AtlasNameTable::State::Reads) return UnknownName(s, a.regions);
    const auto it = a.regions.byCode.find(Trim(code));
    if (it == a.regions.byCode.end()) return {};
    const std::string& line = a.regions.lines[it->second];
    std::string name = Trim(Column(line, 7, 28));
    const std::string second = Trim(Column(line, 35, 18));
    if (!second.empty() && second != name) name += ", " + second;
    return name;
}

std::string CountryOfCode(AstroDat& s, const Atlas& a, std::string_view code) {
    if (code.empty()) return {};
    if (a.countries.state != AtlasNameTable::State::Reads) return UnknownName(s, a.countries);
    const auto it = a.countries.byCode.find(std::string(code.substr(1)));
    if (it == a.countries.byCode.end()) return {};
    const std::string& line = a.countries.lines[it->second];
    std::string name = CutField(line, ';', 0);
    if (CutField(line, ';', 2) == "1") name += ", USA";
    return name;
}

std::string CountryCodeOfName(AstroDat& s, const Atlas& a, std::string_view name) {
    if (a.countries.state != AtlasNameTable::State::Reads) {
        UnknownName(s, a.countries);
        return {};
    }
    for (const auto& line : a.countries.lines)
        if (CutField(line, ';', 0) == name) return CutField(line, ';', 1);
    return {};
}

bool IsUsStateRecord(const CityNameRec& rec) {
    const int n = StrToIntDef0(rec.text.substr(33, 3));
    return n >= kUsFirst && n <= kUsLast;
}

// --- Small helpers ------------------------------------------------------------------------

std::optional<int> ZoneFromLongitude(std::string_view longitudeText) {
    const auto rad = ParseLongitude(longitudeText);
    if (!rad) return std::nullopt;
    const long long arcmin = RoundEven(*rad / (std::numbers::pi / 180) * 60);
    const long long hours = arcmin >= 0 ? (arcmin + 450) / 900 : (arcmin - 450) / 900;
    return static_cast<int>(hours * 60);
}

std::string UpperCaseRus(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 224)
            ch = static_cast<char>(c - 32);
        else if (c >= 'a' && c <= 'z')
            ch = static_cast<char>(c - 32);
    }
    return out;
}

} // namespace qor
