#include "geo/AtlasText.h"

#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <numbers>

namespace qor {

namespace {

void ReportLine(AstroDat& s, const std::string& fileName, std::size_t line,
                const std::string& what) {
    ReportOf(s).ShowMessage(MsgKind::Error, fileName + Lang(s, ", строка "_cp, ", line ") +
                                                std::to_string(line) + ": " + what);
}

int ArcMinutes(double rad) {
    return static_cast<int>(RoundEven(rad / (std::numbers::pi / 180) * 60));
}

std::string PathText(const fs::path& p) {
    std::string out;
    Utf8ToCp1251(p.string(), out);
    return out;
}

// Saves several files so that either all change or none: each is saved atomically, and when
// one fails the ones already saved get their old bytes back.
bool SaveFilesTogether(AstroDat& s, const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::pair<fs::path, std::optional<std::string>>> saved;
    for (const auto& [name, bytes] : files) {
        const fs::path path = s.DataPath(name);
        std::optional<std::string> old;
        std::string oldBytes;
        if (ReadFileBytes(path, oldBytes).ok()) old = std::move(oldBytes);
        const IoResult r = SaveFileAtomic(path, bytes);
        if (!r.ok()) {
            for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
                std::error_code ec;
                if (it->second)
                    SaveFileAtomic(it->first, *it->second);
                else
                    fs::remove(it->first, ec);
            }
            IOCheck(s, r, name);
            return false;
        }
        saved.emplace_back(path, std::move(old));
    }
    return true;
}

} // namespace

std::optional<std::vector<std::string>> AtlasTextLines(AstroDat& s,
                                                       const std::vector<CityCoordRec>& coords,
                                                       const std::vector<CityNameRec>& names,
                                                       const std::vector<std::string>& zones) {
    std::vector<std::string> lines;
    lines.reserve(names.size());
    const bool withZones = !zones.empty();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const CityNameRec& n = names[i];
        const std::size_t c = n.coordIndex;
        if (c < 1 || c > coords.size()) {
            ReportOf(s).ShowMessage(MsgKind::Error,
                                    Lang(s, "Атлас повреждён: "_cp, "The atlas is damaged: ") +
                                        std::to_string(i + 1));
            return std::nullopt;
        }
        // A ";" would split the line into other fields: such a record cannot be exported.
        if (n.text.find(';') != std::string::npos ||
            (withZones && i < zones.size() && zones[i].find(';') != std::string::npos)) {
            ReportOf(s).ShowMessage(MsgKind::Error, Lang(s, "Знак \";\" в записи атласа: "_cp,
                                                         "A \";\" in an atlas record: ") +
                                                        TrimRight(n.Name()));
            return std::nullopt;
        }
        std::string line = n.Name() + ";" + AtlasLatText(coords[c - 1].lat) + ";" +
                           AtlasLonText(coords[c - 1].lon) + ";" + n.Code() + ";" + n.ZoneRegion() +
                           ";" + IntToStrW(coords[c - 1].mapCode, 2);
        if (withZones) line += ";" + (i < zones.size() ? zones[i] : std::string());
        lines.push_back(std::move(line));
    }
    return lines;
}

bool ExportAtlasTxt(AstroDat& s, const Atlas& a) {
    std::vector<CityNameRec> names;
    if (!LoadAllCityNames(s, a, names)) return false;
    const auto lines = AtlasTextLines(s, a.coords, names, a.zones);
    if (!lines) return false;
    const fs::path path = s.DataPath(a.files.text);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (IOCheck(s, WriteTextFileAtomic(path, *lines), a.files.text)) return false;
    const std::string n = std::to_string(lines->size());
    SetStatus(s, Lang(s, "Файл "_cp + PathText(path) + " создан. "_cp + n + " городов"_cp,
                      "File " + PathText(path) + " is created. " + n + " cities"));
    return true;
}

std::optional<AtlasTables> ParseAtlasText(AstroDat& s, const std::vector<std::string>& lines,
                                          const std::string& fileName) {
    AtlasTables t;
    for (std::size_t ln = 0; ln < lines.size(); ++ln) {
        const std::string& line = lines[ln];
        if (Trim(line).empty()) continue;
        const std::size_t lineNo = ln + 1;
        if (t.names.size() == kAtlasMaxLinked) {
            ReportOf(s).ShowMessage(MsgKind::Error, fileName +
                                                        Lang(s, ": больше "_cp, ": more than ") +
                                                        std::to_string(kAtlasMaxLinked) +
                                                        Lang(s, " городов"_cp, " cities"));
            return std::nullopt;
        }
        const auto fields = std::count(line.begin(), line.end(), ';') + 1;
        if (fields != 6 && fields != 7) {
            ReportLine(
                s, fileName, lineNo,
                Lang(s, "нужно 6 полей через \";\""_cp, "6 fields separated by \";\" expected"));
            return std::nullopt;
        }
        const auto lat = ParseLatitude(CutField(line, ';', 1));
        if (!lat) {
            ReportLine(s, fileName, lineNo,
                       Lang(s, "неверная широта"_cp, "bad latitude") + " \"" +
                           CutField(line, ';', 1) + "\"");
            return std::nullopt;
        }
        const auto lon = ParseLongitude(CutField(line, ';', 2));
        if (!lon) {
            ReportLine(s, fileName, lineNo,
                       Lang(s, "неверная долгота"_cp, "bad longitude") + " \"" +
                           CutField(line, ';', 2) + "\"");
            return std::nullopt;
        }
        const auto map = ParseWholeInteger(CutField(line, ';', 5));
        const std::string mapText = CutField(line, ';', 5);
        if ((map && (*map < 0 || *map > 65535)) || (!map && !mapText.empty())) {
            ReportLine(s, fileName, lineNo,
                       Lang(s, "неверный код размера"_cp, "bad map code") + " \"" + mapText + "\"");
            return std::nullopt;
        }
        // The name takes characters 1-31 (cut there), character 32 stays blank; the code keeps
        // its first character, which marks the edition's own territory when it is not blank.
        const std::string name = FitTextLeft(CutField(line, ';', 0), kCityNameLen);
        const std::string code = FitTextLeft(TrimRight(CutFieldRaw(line, ';', 3)), 4);
        const std::string zone = FitTextRight(CutField(line, ';', 4), 2);
        const std::size_t n = t.names.size() + 1;
        t.names.push_back({name + " " + code + zone, 0});
        t.coords.push_back({static_cast<int16_t>(ArcMinutes(*lat)),
                            static_cast<int16_t>(ArcMinutes(*lon)),
                            static_cast<uint16_t>(map.value_or(0)), static_cast<uint16_t>(n)});
        // A line without a zone leaves the city to the zone history or its longitude.
        t.zones.push_back(fields == 7 ? CutField(line, ';', 6) : std::string());
    }
    // A text without a city would rebuild the atlas empty.
    if (t.names.empty()) {
        ReportOf(s).ShowMessage(MsgKind::Error,
                                fileName + Lang(s, ": нет ни одного города; атлас не изменён"_cp,
                                                ": no city in the file; the atlas is unchanged"));
        return std::nullopt;
    }
    SortCityCoords(t.coords);
    for (std::size_t i = 0; i < t.coords.size(); ++i)
        t.names[t.coords[i].nameIndex - 1].coordIndex = static_cast<uint16_t>(i + 1);
    return t;
}

bool ImportAtlasTxt(AstroDat& s, Atlas& a) {
    a.files = AtlasFileNames(s.EnglishMode);
    SetStatus(s, Lang(s, "Подождите..."_cp, "Wait..."));
    std::vector<std::string> lines;
    if (IOCheck(s, ReadTextLines(s.DataPath(a.files.text), lines), a.files.text)) return false;
    const auto t = ParseAtlasText(s, lines, a.files.text);
    if (!t) return false;
    std::vector<std::pair<std::string, std::string>> files = {
        {a.files.coords, EncodeCityCoords(t->coords)}, {a.files.names, EncodeCityNames(t->names)}};
    files.emplace_back(a.files.zones, JoinTextLines(t->zones));
    if (!SaveFilesTogether(s, files)) return false;
    if (!LoadAtlas(s, a)) return false;
    SetStatus(s, "OK " + std::to_string(t->names.size()) + " items");
    return true;
}

void SortCityCoords(std::vector<CityCoordRec>& coords) {
    std::stable_sort(coords.begin(), coords.end(),
                     [](const CityCoordRec& x, const CityCoordRec& y) { return x.lon < y.lon; });
}

bool SetCityMapCode(AstroDat& s, Atlas& a, int city, uint16_t mapCode) {
    if (city < 1 || static_cast<std::size_t>(city) > a.coords.size()) return false;
    const uint16_t old = a.coords[city - 1].mapCode;
    a.coords[city - 1].mapCode = mapCode;
    if (IOCheck(s, SaveFileAtomic(s.DataPath(a.files.coords), EncodeCityCoords(a.coords)),
                a.files.coords)) {
        a.coords[city - 1].mapCode = old;
        return false;
    }
    return true;
}

} // namespace qor
