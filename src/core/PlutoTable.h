// Pluto in every year of 1600..2400: the compiled periodic theory (Planets.h) inside the years it
// is good for, 1885..2099, and outside them a table of heliocentric places from a numerically
// integrated orbit ("pluto.dat", made by tools/pluto/make_pluto.cpp), interpolated. Outside
// 1600..2400 Pluto is not available.
//
// The table: kPlutoTableEntries places, one every kPlutoTableStepDays days from
// kPlutoTableFirstJd (0h TT), each three little-endian doubles x, y, z: heliocentric rectangular
// ecliptic coordinates of J2000, AU. A place between them is the polynomial of degree 7 through
// the eight nearest (four on each side); the velocity is its derivative.
#pragma once

#include "core/AstroDat.h"
#include "core/AstroMath.h"
#include "core/Planets.h"

#include <optional>

namespace qor {

constexpr double kPlutoTableFirstJd = 2305380.5; // 1599 Oct 25, a multiple of 20 days before the
                                                  // 2006 epoch of the orbit's elements
constexpr double kPlutoTableStepDays = 20;
constexpr int kPlutoTableEntries = 14637; // to 2400 Dec 31 and four places beyond
constexpr int kPlutoTableWindow = 8;      // places in one interpolation

// Where each source serves, as Julian days of TT: [first, end).
constexpr double kPlutoAvailableFirstJd = 2305447.5; // 1600 Jan 1
constexpr double kPlutoAvailableEndJd = 2598007.5;   // 2401 Jan 1
constexpr double kPlutoTheoryFirstJd = 2409542.5;    // 1885 Jan 1
constexpr double kPlutoTheoryEndJd = 2488069.5;      // 2100 Jan 1
constexpr int kPlutoFirstYear = 1600, kPlutoLastYear = 2400;

// Reads "pluto.dat" into s.Planets.Pluto. A missing file, one of another size, or one holding a
// place that is not finite or not 25..55 AU from the Sun is reported (a warning: the program
// runs on with Pluto inside the theory's years only) and leaves the table unloaded.
PlanetLoadResult LoadPlutoTable(AstroDat& s);

// The interpolated place and velocity (AU, AU per day) at Julian day jd (TT), J2000 ecliptic;
// nullopt where the table does not reach or is not loaded.
struct PlutoTablePlace {
    Vec3 r, v;
};
std::optional<PlutoTablePlace> PlutoTableAt(const PlutoTable& table, double jd);

// Pluto heliocentric of J2000 (longitude in [0, 2π), latitude, radius) with the rates of the
// three per Julian century, at T (Julian centuries of TT from J2000): the compiled theory in
// 1885..2099, the table outside; nullopt outside 1600..2400 (or outside the theory's years when
// the table is not loaded).
std::optional<Spherical> PlutoHelioRate(const PlanetSeries& series, double T, Spherical& rate);

// Whether Pluto has a place at T, and the texts that say it has none.
bool PlutoAvailable(const PlanetSeries& series, double T);
std::string PlutoUnavailableText(const AstroDat& s);

} // namespace qor
