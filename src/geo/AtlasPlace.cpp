#include "geo/AtlasPlace.h"

#include "core/Formats.h"
#include "core/Text.h"

#include <algorithm>

namespace qor {

std::pair<std::string, std::string> SplitCityCountry(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return {std::string(text), {}};
    return {std::string(text.substr(0, comma)), Trim(text.substr(comma + 1))};
}

AtlasPlace TakeAtlasPlace(AstroDat& s, const Atlas& a, int row, const ZoneMoment& m,
                          RegionTextCache* regions) {
    AtlasPlace p;
    if (row < 0 || static_cast<std::size_t>(row) >= a.list.size()) return p;
    // The country comes from the record's code whatever the grid shows: with a country filter
    // the grid holds the bare names.
    const CityNameRec& n = a.list[static_cast<std::size_t>(row)];
    p.city = TrimRight(n.Name());
    p.country = regions ? regions->Of(s, a, n.Code()) : CodeRegionText(s, a, n.Code());
    p.lat = AtlasCellText(s, a, 2, row);
    p.lon = AtlasCellText(s, a, 3, row);
    p.zone = CityZone(s, m, AtlasCellText(s, a, 5, row), p.lon, AtlasRowZoneName(a, row));
    p.dT = CityZoneText(p.zone);
    return p;
}

bool SetAtlasMapPlace(Atlas& a, int row) {
    const CityCoordRec* c = AtlasRowCoord(a, row);
    if (!c) return false;
    a.AtlasMapLat = c->lat;
    a.AtlasMapLong = c->lon;
    a.AtlasMapPending = 1;
    return true;
}

std::string CityShortName(std::string_view name) {
    return Trim(name.substr(0, std::min(name.find_first_of(",("), name.size())));
}

std::string CitySizeCode::Label() const {
    return IntToStrZ(Code(), 2);
}

CitySizeCode CitySizeOf(uint16_t mapCode) {
    CitySizeCode c;
    c.sizeClass = mapCode % 10;
    if (c.sizeClass < 1 || c.sizeClass > 9) c.sizeClass = 5;
    c.side = mapCode / 10;
    if (c.side > 3) c.side = 3;
    return c;
}

} // namespace qor
