// The monthly Chiron corrections of "chiron.dat": for each month of 1930..2000, Chiron's
// accurate geocentric longitude minus the Kepler longitude of the default Chiron elements,
// radians. The chart computation adds the entry of the chart's year and month.
#pragma once

#include "core/AstroDat.h"

#include <array>

namespace qor {

constexpr int kChironFirstYear = 1930;
constexpr int kChironLastYear = 2000;
constexpr int kChironEntries = (kChironLastYear - kChironFirstYear + 1) * 12; // 852

struct ChironTable {
    std::array<double, kChironEntries> Values{}; // value k: year 1930 + k / 12, month k % 12 + 1
    bool Loaded = false;
};

// Reads "chiron.dat" (852 little-endian doubles). A missing, short, long or unreadable file, or
// one holding a value that is not a finite angle, is reported and leaves the table unloaded
// (all corrections 0) instead of a table that is silently half zeros.
bool ReadChironTable(AstroDat& s, ChironTable& table);

// The day of each month (at 0h TT) whose correction the table holds.
constexpr int kChironTableDay = 16;

// The correction for a year and month (radians); 0 outside 1930..2000 or when not loaded.
double ChironCorrection(const ChironTable& table, int year, int month);

// The correction at a Julian day (TT), a cubic through the four nearest monthly values (to the
// ends of 1930 and 2000 through the first or last four); 0 outside those years or when not loaded.
// The correction can move by a third of a degree within a month near perihelion (1945), which the
// monthly value alone does not follow.
double ChironCorrectionAt(const ChironTable& table, double jd);

} // namespace qor
