// The atlas of cities: the coordinate and name files of the two language editions, the
// country list and the region names, the filtered list the atlas window shows, and the texts
// of its cells. No window here: the atlas window reads these.
#pragma once

#include "core/AstroDat.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qor {

constexpr std::size_t kAtlasMaxRecords = 700000; // the filtered list's bound
constexpr std::size_t kAtlasMaxLinked = 65535;   // what the 16-bit cross-indexes address
constexpr std::size_t kCityCoordSize = 8;
constexpr std::size_t kCityNameSize = 40;
constexpr int kCityNameLen = 31;

// One city's place, 8 bytes on file: arc-minutes north and east, map code, 1-based name index.
struct CityCoordRec {
    int16_t lat = 0;
    int16_t lon = 0;
    uint16_t mapCode = 0; // label side * 10 + size class
    uint16_t nameIndex = 0;
    bool operator==(const CityCoordRec&) const = default;
};

// One city's name record, 40 bytes on file: characters 1-31 the name, 32 a blank, 33-36 the
// region or country code, 37-38 the zone region, then the 1-based coordinate index.
struct CityNameRec {
    std::string text; // the 38 characters
    uint16_t coordIndex = 0;

    std::string Name() const { return text.substr(0, kCityNameLen); }
    std::string Code() const { return text.substr(32, 4); }       // as stored
    std::string ZoneRegion() const { return text.substr(36, 2); } // as stored
    bool operator==(const CityNameRec&) const = default;
};

// The file names of one edition.
struct AtlasFileSet {
    std::string coords, names, zones, text;
};
AtlasFileSet AtlasFileNames(bool english);

// A table of names ("codreg.ctm" or "Country.atl"), read once when the atlas loads.
struct AtlasNameTable {
    enum class State { NotRead, Reads, IoError, TooLarge, NoEntry };
    std::string file;
    State state = State::NotRead; // why it does not read is told once, at the first look-up
    int error = 0;                // the I/O error (errno)
    std::vector<std::string> lines;
    std::unordered_map<std::string, std::size_t> byCode; // entry code -> line (the first)
};

// The atlas in memory.
struct Atlas {
    AtlasFileSet files;
    std::vector<CityCoordRec> coords; // city i is coords[i - 1]
    std::size_t coordBytes = 0;
    std::vector<std::string> zones; // IANA zone of name record i at zones[i - 1]; may be empty
    std::vector<CityNameRec> list;  // the filtered list; grid row r shows list[r]
    std::string filter = "ALL";     // "ALL", "USA", "SSSR", "F" or a country code
    bool ready = false;
    AtlasNameTable regions, countries; // "codreg.ctm", "Country.atl"
    uint32_t generation = 0; // counts the loads (what was read of the names may be stale)

    // The place handed to the map.
    int16_t AtlasMapLat = 0;
    int16_t AtlasMapLong = 0;
    uint8_t AtlasMapPending = 0;
};

// --- Records ------------------------------------------------------------------------------
std::vector<CityCoordRec> DecodeCityCoords(std::string_view bytes);
std::string EncodeCityCoords(const std::vector<CityCoordRec>& coords);
std::vector<CityNameRec> DecodeCityNames(std::string_view bytes);
std::string EncodeCityNames(const std::vector<CityNameRec>& names);
// Empty when the two lists hold as many records and every cross-index points at a record
// that exists and links back; otherwise what is wrong (the file and the record).
std::string CheckAtlasLinks(const AstroDat& s, const AtlasFileSet& files,
                            const std::vector<CityCoordRec>& coords,
                            const std::vector<CityNameRec>& names);

// --- Loading and filtering --------------------------------------------------------------
// Reads the edition's coordinate file (and checks it against the names file), the city zones,
// and the region and country tables. A failure of the atlas files is reported and leaves the
// atlas not ready; a name table that does not read (missing, empty, no entry, larger than
// kAtlasNameTableMaxBytes) is told once, at its first look-up.
bool LoadAtlas(AstroDat& s, Atlas& a);
// Reads the region and country tables alone (LoadAtlas does it first).
void LoadAtlasNameTables(const AstroDat& s, Atlas& a);
constexpr std::size_t kAtlasNameTableMaxBytes = 4 << 20;
// The whole names file; false (reported) on an I/O error.
bool LoadAllCityNames(AstroDat& s, const Atlas& a, std::vector<CityNameRec>& names);
// Rebuilds the filtered list from the names file; returns its count.
std::size_t FilterAtlas(AstroDat& s, Atlas& a);
// The filter of a drop-down text.
void SetAtlasFilter(AstroDat& s, Atlas& a, std::string_view comboText);
// The drop-down entries of the edition.
std::vector<std::string> AtlasFilterChoices(AstroDat& s, const Atlas& a);
// The window caption with the list's count: the part before the first "-", " - ", count.
std::string AtlasCaption(std::string_view caption, std::size_t count);
// The first row whose name begins with the typed text (upper-cased by the edition), or
// nothing when the text does not begin with a capital letter of the edition's alphabet.
std::optional<std::size_t> FindAtlasRow(const AstroDat& s, const Atlas& a, std::string_view typed);

// --- Cells -------------------------------------------------------------------------------
// Region and country texts of codes, each made once while the cache lives (the atlas window
// keeps one while it is open).
class RegionTextCache {
public:
    const std::string& Of(AstroDat& s, const Atlas& a, std::string_view code);

private:
    std::map<std::string, std::string, std::less<>> texts_;
};
// The region text of a code as stored: empty for an empty code or one beginning with "L",
// the country (and ", USA" for a state) of an "R" code, else the region of "codreg.ctm".
std::string CodeRegionText(AstroDat& s, const Atlas& a, std::string_view code);
// The text of a cell of the grid; `regions` (may be null) caches the region texts.
std::string AtlasCellText(AstroDat& s, const Atlas& a, int column, int row,
                          RegionTextCache* regions = nullptr);
const CityCoordRec* AtlasRowCoord(const Atlas& a, int row); // null when the row has none
std::string AtlasRowZoneName(const Atlas& a, int row);      // IANA zone, empty when unknown
std::string AtlasSizeMark(uint16_t mapCode);
std::string AtlasLatText(int arcmin); // "55°45'N"
std::string AtlasLonText(int arcmin); // " 37°37'E"

// --- Regions and countries --------------------------------------------------------------
// From the tables read at loading. A code the table lacks gives the empty text; a table that
// does not read gives "unknown" ("неизвестно") and is told once.
std::string RegionName(AstroDat& s, const Atlas& a, std::string_view code);
std::string CountryOfCode(AstroDat& s, const Atlas& a, std::string_view code);
std::string CountryCodeOfName(AstroDat& s, const Atlas& a, std::string_view name);
bool IsUsStateRecord(const CityNameRec& rec);

// --- Small helpers ----------------------------------------------------------------------
// Standard zone of a longitude text in minutes east, whole hours, -720..720; nothing when the
// text is not a longitude.
std::optional<int> ZoneFromLongitude(std::string_view longitudeText);
// Upper case of code page 1251 text: "а".."я" lose 32, "ё" stays, Latin letters as in ASCII.
std::string UpperCaseRus(std::string_view text);

} // namespace qor
