// House systems: the twelve cusps of a chart in one of eighteen systems, from the right
// ascension of the meridian, the obliquity and the latitude. These routines keep no state;
// the chart computation (Chart.h) feeds them and stores their cusps as points 27..38.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

constexpr int kHouseSystemCount = 18;
constexpr int kDefaultHouseSystem = 1;

// House system numbers, in the order of the settings window's list.
enum HouseSystemNumber {
    kHousesPolichPage = 1,
    kHousesPlacidus = 2,
    kHousesKoch = 3,
    kHousesPorphyry = 4,
    kHousesAlcabitius = 5,
    kHousesRegiomontanus = 6,
    kHousesCampanus = 7,
    kHousesMorinus = 8,
    kHousesEqualMC = 9,
    kHousesEqualAsc = 10,
    kHousesSolarBalance = 11,
    kHousesDraconic = 12,
    kHousesEarth = 13,
    kHousesSolar = 14,
    kHousesLunar = 15,
    kHousesJamaspa = 16,
    kHousesJamaspaEqual = 17,
    kHousesJamaspaMC = 18,
};

// What the house formulas need of the chart.
//   ramc: right ascension of the meridian, radians
//   sinEps, cosEps: the true obliquity of the date
//   lat: latitude of the observer, radians (geodetic or geocentric, as the chart chooses)
//   sun, moon, northNode: ecliptic longitudes of date, radians (the equal systems 11, 12, 14, 15)
struct HouseFrame {
    double ramc = 0;
    double sinEps = 0.3977771559319137; // J2000
    double cosEps = 0.9174820620691818;
    double lat = 0;
    double sun = 0;
    double moon = 0;
    double northNode = 0;
};

// The Sun's rise and set moments around the chart moment t0 (Julian days) for the three
// systems built on the Sun's day and night arcs: t1 the last sunrise at or before t0, t3 the
// first sunset after t1 and t2 the first sunrise after t0; so t1 <= t0 < t3 by day and
// t3 <= t0 < t2 by night.
struct SunArcs {
    double t0 = 0, t1 = 0, t2 = 0, t3 = 0;
};

// Cusps 1..12 (index 0 unused), longitudes of date in [0, 2π).
using HouseCusps = std::array<double, 13>;

// Where the search for each Placidus cusp (11, 12, 2, 3) starts: its right ascension less the
// one it starts from without a guess. A computation writes the ones it found; the same chart a
// moment later starts there and needs about half the steps, with the same cusps but for their
// last bits.
struct PlacidusStart {
    std::array<double, 4> offset{};
    bool known = false;
};

// The cusps of `system` (1..18). Systems 16..18 need the Sun's arcs; without them (or for an
// unknown system number) the result is nullopt. `start`, when given, is read and written.
std::optional<HouseCusps> ComputeHouseCusps(int system, const HouseFrame& f,
                                            const SunArcs* arcs = nullptr,
                                            PlacidusStart* start = nullptr);

// The midheaven and the ascendant of the frame.
double MidheavenOf(const HouseFrame& f);
// The longitude rising when the meridian has the right ascension x (the ascendant for x).
double HouseCuspAngle(double x, const HouseFrame& f);

// The Placidus cusp whose right ascension is the meridian's plus `fraction` of its diurnal
// semi-arc (above the horizon, fraction 1/3 or 2/3 for cusps 11, 12), or the meridian's plus π
// less `fraction` of its nocturnal semi-arc (below, for cusps 3 and 2). The semi-arc condition
// holds to better than 1e-9° wherever the semi-arcs exist (outside the polar circles).
double PlacidusCusp(const HouseFrame& f, double fraction, bool aboveHorizon);

// True when the system's construction breaks down near the poles (all but the equal systems
// and Morinus).
bool HouseSystemFailsAtHighLatitude(int system);

// The system's name as the settings window lists it (code page 1251), 1..18.
const std::string& HouseSystemName(int system, bool english);
// The system whose name (Russian or English) equals the text; nullopt when none does.
std::optional<int> HouseSystemFromText(std::string_view text);

} // namespace qor
