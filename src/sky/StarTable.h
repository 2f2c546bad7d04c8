// The star table: the sixteen columns of the star catalogue window as texts, the sort of the
// catalogue by any of them, and the text file "wrk\Stars.txt" of the whole table.
#pragma once

#include "core/AstroDat.h"
#include "sky/StarCatalogue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

constexpr int kStarColumns = 16;
inline const std::string kStarsTxtFile = "wrk\\Stars.txt";

// Column titles; a "|" splits a title into two header lines. With `j2000` the columns of date
// have none.
std::string StarColumnTitle(const AstroDat& s, int column, bool j2000 = false);
// The text of column 0..15 of star n, trailing blanks removed. With `j2000` the right ascension
// and declination are the catalogue's and the columns of date (8, 9, 12, 13) are empty; else
// they are the places of date. Angles are written with seconds whatever the angle setting.
std::string StarCellText(AstroDat& s, const StarCatalogue& c, int n, int column, bool j2000);
// The columns that show something only with the places of date (longitude, latitude, azimuth,
// altitude).
constexpr bool StarColumnOfDate(int column) {
    return column == 8 || column == 9 || column == 12 || column == 13;
}

// The sort key of star n by a column: the catalogue sorts ascending by (Whole, Value).
// Names and comments compare their first 7 bytes as code-page 1251 bytes (a star without one
// as "zzz"); the code by constellation, Bayer letter and Flamsteed number (none last); the
// distance with an unknown one last; the other columns by their values (of date).
struct StarSortKey {
    uint64_t Whole = 0;
    double Value = 0;
    bool operator<(const StarSortKey& o) const {
        return Whole != o.Whole ? Whole < o.Whole : Value < o.Value;
    }
};
StarSortKey StarKey(const AstroDat& s, const StarCatalogue& c, int column, int n);
bool StarLess(const AstroDat& s, const StarCatalogue& c, int column, int a, int b);

// Sorts stars 1..StarCount by a column, stars of equal keys keeping their order, moving every
// per-star table with its record. Returns the order applied: the new star k was star order[k].
std::vector<int> SortStarsAll(const AstroDat& s, StarCatalogue& c, int column);

// The lines above the table in "wrk\Stars.txt" for the current data: the chart's date, time,
// zone and place as the birth-data window shows them.
struct StarsTxtMoment {
    std::string Date, Time, Zone, Lat, Long;
};
// The whole text of "wrk\Stars.txt": the title, "J2000" or the moment, the two header lines and
// one line a star in the catalogue's order.
std::vector<std::string> StarsTxtLines(AstroDat& s, const StarCatalogue& c, bool j2000,
                                       const StarsTxtMoment& moment);
// Writes "wrk\Stars.txt" (atomically); a file that cannot be written is reported through
// IOCheck, the old one stays, and the answer is false.
bool WriteStarsTxt(AstroDat& s, const StarCatalogue& c, bool j2000, const StarsTxtMoment& moment);

} // namespace qor
