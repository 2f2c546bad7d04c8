// The texts of the planet window (one chart body's coordinates, orbit, distances and the rise
// and set of the Sun and the Moon) and of the satellites table (the bodies that orbit the
// cosmos view's centre), with the orbit switches the satellites window keeps between runs.
#pragma once

#include "core/AstroDat.h"
#include "core/ChartEngine.h"
#include "sky/CosmosBodies.h"

#include <array>
#include <string>
#include <vector>

namespace qor {

// --- Planet window ---------------------------------------------------------------------------
// The value labels by their number (2..7 coordinates, 20..26 orbit, 28 distance from the
// Earth, 31 rise, 32 set, 34 culmination).
struct PlanetInfoTexts {
    std::string Caption;
    std::array<std::string, 35> Label;
};
// A distance from AU: up to 0.1 AU whole kilometres, else AU with 5 decimals (width 9).
std::string PlanetDistanceText(const AstroDat& s, double au);
// The texts for chart body `index` (the heliocentric chart shows the Earth for the Sun). False
// for an index below 0 (the window stays as it was).
bool FillPlanetInfo(AstroDat& s, const CosmosBodies& b, ChartEngine& e, const GeneralOptions& g,
                    int index, bool helioMode, bool blackMoonFocus, PlanetInfoTexts& out);

// --- Satellites table -------------------------------------------------------------------------
constexpr int kSatColumns = 13;
// The body-table slot of row r (1..) of the table of `mode`.
int SatelliteRowSlot(int mode, int row);
// The rows of the table of `mode` (0 for the star view and modes without satellites).
int SatelliteRows(int mode);
// A header "first/second" (two lines) and a cell's text.
std::string SatelliteHeader(const AstroDat& s, int mode, int column);
std::string SatelliteCell(const AstroDat& s, const CosmosBodies& b, int mode, int row, int column);

// The orbit switches of systems 1..10 as the window keeps them: one line a system, character j
// = the switch of satellite j (22 of them). Shorter lines (of older runs) set what they hold;
// the rest keep their defaults.
std::vector<std::string> DefaultSatelliteFlags();
void LoadSatelliteFlags(CosmosBodies& b, const std::vector<std::string>& lines);
std::vector<std::string> SaveSatelliteFlags(const CosmosBodies& b);

} // namespace qor
