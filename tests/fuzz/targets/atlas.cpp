// The atlas: the coordinate, name and city-zone files with their cross links, the region table
// codreg.ctm and the country table Country.atl (five parts); then the filter, the grid's cells
// and the look-ups the atlas window makes.
#include "FuzzTarget.h"

#include "geo/Atlas.h"

#include <algorithm>

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    const auto parts = SplitParts(bytes, 5);
    const AtlasFileSet files = AtlasFileNames(false);
    Put(files.coords, parts[0]);
    Put(files.names, parts[1]);
    Put(files.zones, parts[2]);
    Put("codreg.ctm", parts[3]);
    Put("Country.atl", parts[4]);
    AstroDat s;
    Reset(s);
    Atlas a;
    if (!LoadAtlas(s, a)) return;
    FilterAtlas(s, a);
    for (const auto& choice : AtlasFilterChoices(s, a)) {
        SetAtlasFilter(s, a, choice);
        break;
    }
    FindAtlasRow(s, a, "\xCC\xEE\xF1");
    const int rows = static_cast<int>(std::min<std::size_t>(a.list.size(), 40));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 8; ++column) AtlasCellText(s, a, column, row);
        AtlasRowZoneName(a, row);
        const CityNameRec& rec = a.list[static_cast<std::size_t>(row)];
        RegionName(s, a, rec.Code());
        CountryOfCode(s, a, rec.Code());
    }
    std::vector<CityNameRec> names;
    LoadAllCityNames(s, a, names);
}

// The first cities of the shipped atlas, their links renumbered, so that the seed is small
// and whole.
std::string SmallAtlas(std::size_t count) {
    const AtlasFileSet files = AtlasFileNames(false);
    const auto coords = DecodeCityCoords(SourceFile("data/" + files.coords));
    auto names = DecodeCityNames(SourceFile("data/" + files.names));
    std::string zonesText = SourceFile("data/" + files.zones);
    names.resize(std::min(count, names.size()));
    std::vector<std::pair<CityCoordRec, std::size_t>> picked; // coordinate, name index
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t c = names[i].coordIndex;
        if (c == 0 || c > coords.size()) return {};
        picked.push_back({coords[c - 1], i});
    }
    std::stable_sort(picked.begin(), picked.end(),
                     [](const auto& x, const auto& y) { return x.first.lon < y.first.lon; });
    std::vector<CityCoordRec> outCoords;
    for (std::size_t k = 0; k < picked.size(); ++k) {
        CityCoordRec c = picked[k].first;
        c.nameIndex = static_cast<uint16_t>(picked[k].second + 1);
        names[picked[k].second].coordIndex = static_cast<uint16_t>(k + 1);
        outCoords.push_back(c);
    }
    std::string zones;
    const auto zoneLines = Lines(zonesText);
    for (std::size_t i = 0; i < names.size() && i < zoneLines.size(); ++i) zones += zoneLines[i] + "\r\n";
    return JoinParts({EncodeCityCoords(outCoords), EncodeCityNames(names), zones,
                      SourceFile("data/codreg.ctm"), SourceFile("data/Country.atl")});
}

std::vector<std::string> Seeds() {
    return {SmallAtlas(300), SmallAtlas(5)};
}

} // namespace
QOR_FUZZ_TARGET(atlas, Run, Seeds, "text.dict")
} // namespace qor::fuzz
