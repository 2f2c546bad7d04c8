// The atlas's text form ("Wrk\Atlas.txt" / "Wrk\Atlas_e.txt"): export of the binary files and
// the import that rebuilds them, and the map-code change of one city.
#pragma once

#include "geo/Atlas.h"

#include <optional>
#include <string>
#include <vector>

namespace qor {

// Text lines of the atlas, one a name record in the names file's order: name; latitude;
// longitude; code; zone region; map code; and, when the city zones are known, the IANA zone.
// Nothing (reported) when a record cannot be written as a line (a ";" in a name, a dangling
// coordinate index).
std::optional<std::vector<std::string>> AtlasTextLines(AstroDat& s,
                                                       const std::vector<CityCoordRec>& coords,
                                                       const std::vector<CityNameRec>& names,
                                                       const std::vector<std::string>& zones);
// Writes the edition's text file atomically; status line "File ... is created. N cities".
bool ExportAtlasTxt(AstroDat& s, const Atlas& a);

// The binary atlas made from text lines: coordinates ordered west to east.
struct AtlasTables {
    std::vector<CityCoordRec> coords;
    std::vector<CityNameRec> names;
    std::vector<std::string> zones;
};
// Nothing (reported with the line number) on a line that is not an atlas line, and when the
// text holds no city or more cities than the 16-bit links address.
std::optional<AtlasTables> ParseAtlasText(AstroDat& s, const std::vector<std::string>& lines,
                                          const std::string& fileName);
// Rebuilds the edition's coordinate, name and zone files from its text file and loads the
// atlas again; on any failure the files and the atlas stay as they were.
bool ImportAtlasTxt(AstroDat& s, Atlas& a);

// Orders coordinate records west to east; records of equal longitude keep their order.
void SortCityCoords(std::vector<CityCoordRec>& coords);

// Sets the map code of city i (1-based) and rewrites the coordinate file atomically; on a
// failed save the old code stays in memory and on disk.
bool SetCityMapCode(AstroDat& s, Atlas& a, int city, uint16_t mapCode);

} // namespace qor
