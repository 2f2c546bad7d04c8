// The asteroid catalogue as the catalogue window shows it: the twelve columns' headers and
// cell texts, the search by the name's beginning, the sort by a column (in place, so the
// records' indices change), the sort item's caption and the file of the positions of date
// "Wrk\Asteroid.txt".
#pragma once

#include "core/AstroDat.h"
#include "sky/Asteroids.h"

#include <string>
#include <vector>

namespace qor {

constexpr int kAsteridColumns = 12;
inline constexpr const char* kAsteroidFileName = "Wrk\\Asteroid.txt";

// Header of column col (0..11) in the program's language.
std::string AsteridHeader(const AstroDat& s, int col);
// The text of record r in column col (angles in degrees, minutes and seconds whatever the
// angle format; the longitude within its sign with the sign's short name).
std::string AsteridCell(AstroDat& s, const AstRec& r, int col);

// The first record (from 1) whose name begins with the text, letters compared without regard
// to case (the name's number included); 1 for an empty text, 0 when none matches.
int FindAsteroidRow(const AsteroidCatalogue& c, const std::string& text);

// Sort keys of column 0: the name without its digits, or the number its digits make.
std::string NameWithoutDigits(const std::string& name);
long long NumberOfName(const std::string& name);
// Whether record a sorts before record b by column col (byName: column 0 by the name's text).
bool AsteroidBefore(const AstRec& a, const AstRec& b, int col, bool byName);
// Sorts records 1..AstCount by the column, ascending (a quicksort about the middle record).
void SortAsteroids(AsteroidCatalogue& c, int col, bool byName);
// The sort item's caption: "Сортировать по "<header>"", column 0 naming the order the next
// sort takes (the name while byName is on, the number otherwise).
std::string SortCaption(const AstroDat& s, int col, bool byName);

// The lines of "Wrk\Asteroid.txt": the heading, the moment of the positions, then one line a
// record in the table's order: the name in 23 characters, the longitude and the latitude.
std::vector<std::string> AsteroidFileLines(AstroDat& s, const AsteroidCatalogue& c);
// Writes them (atomically); a failure is reported and the file stays as it was.
bool WriteAsteroidFile(AstroDat& s, const AsteroidCatalogue& c);

} // namespace qor
