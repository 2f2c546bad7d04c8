// Finding a sky object by name on the celestial sphere and on the stars-and-asteroids strip:
// which object a text names on each screen (exact names, "*" and a BS number, the asteroid
// name's beginning on the strip only), and the line of the search window's memo to search.
#pragma once

#include "core/AstroDat.h"
#include "sky/Asteroids.h"
#include "sky/StarCatalogue.h"

#include <string>
#include <vector>

namespace qor {

struct DeepCatalogue;

enum class FoundKind { None, Body, Deep, Star, Asteroid };

struct FoundObject {
    FoundKind kind = FoundKind::None;
    int index = 0; // body 1..10, deep-sky object, star or asteroid record
};

// The BS number of a text "*NNNN" (its characters 2..5; not a number: 0), or -1 when the text
// does not start with "*" or the number is 65536 or more.
int SearchedBS(const std::string& name);

// On the sphere: a body (its name without blanks, the last of 1..10 that matches), else the
// first deep-sky object by code or name, else the first star by name or "*BS".
FoundObject FindSkyObject(AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                          const std::string& name);
// On the strip: the same, then the first catalogue asteroid whose name begins with the text.
// An empty text finds nothing.
FoundObject FindStripObject(AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                            const AsteroidCatalogue& a, const std::string& name);

// The search window's text for the memo line `line` (0-based): the whole line with its first
// "_" turned into a blank; empty when there is no such line or it is empty.
std::string SearchLine(const std::vector<std::string>& lines, int line);
// A double-clicked word the same way.
std::string SearchText(std::string text);

} // namespace qor
