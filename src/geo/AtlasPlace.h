// What the atlas hands on: the place of a row for the birth data or the home place, the place
// for the map, and the parts of a city's map code for the size editor.
#pragma once

#include "geo/Atlas.h"
#include "geo/Zones.h"

#include <string>
#include <utility>

namespace qor {

// A name-and-region text split at its first ",": the city before it and the trimmed rest;
// without a comma the whole text and an empty country.
std::pair<std::string, std::string> SplitCityCountry(std::string_view text);

struct AtlasPlace {
    std::string city, country, lat, lon, dT; // dT empty when the zone could not be found
    ZoneLookup zone;
};
// The place of grid row `row` at a local moment: the city's name and the region or country of
// its code (whatever the filter shows in column 1), columns 2 and 3 and the city's zone at the
// moment. An empty place for a row that does not exist.
AtlasPlace TakeAtlasPlace(AstroDat& s, const Atlas& a, int row, const ZoneMoment& m,
                          RegionTextCache* regions = nullptr);

// A city's name as the map and the size editor show it: cut at "," and "(", trimmed.
std::string CityShortName(std::string_view name);

// Hands the row's coordinates to the map; false when the row has no city.
bool SetAtlasMapPlace(Atlas& a, int row);

// The size editor's reading of a map code: class 1..9 (others count as 5), side 0..3 (above
// 3 counts as 3), and the two-digit label.
struct CitySizeCode {
    int sizeClass = 5, side = 0;
    std::string Label() const;
    uint16_t Code() const { return static_cast<uint16_t>(side * 10 + sizeClass); }
};
CitySizeCode CitySizeOf(uint16_t mapCode);

} // namespace qor
