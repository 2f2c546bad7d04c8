// The loaded planet series: per body the index record of "PLANETS.NDX" and its terms from
// "PLANETS.DAT", laid out for evaluation (see Planets.h for the routines).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qor {

constexpr int kPlanetSeriesBodies = 9; // 0 the Earth (J2000 frame), 1 Mercury .. 8 Neptune
constexpr int kMaxTermsPerBody = 700;
constexpr int kPlanetIndexRecordSize = 72; // 18 pairs of uint16 (first, count)
constexpr int kPlanetTermSize = 24;        // three doubles A, B, C

struct PlanetIndexRecord {
    // Pair 6c + p: coordinate c (0 L, 1 B, 2 R), power p of τ (0..5).
    std::array<uint16_t, 18> first{};
    std::array<uint16_t, 18> count{};
};

struct PlanetBodyTerms {
    bool loaded = false;
    PlanetIndexRecord index; // all counts zero until loaded
    // The terms of the 18 series one after the other, each series padded with zero terms to
    // whole blocks of eight, as separate arrays so that the evaluation runs over them in
    // vector registers: value A cos(B + C τ); AC = A·C serves the rate.
    std::array<uint16_t, 18> blocks{}; // blocks of eight terms per series
    // A series' terms come largest first; its leading fullBlocks take the sine and cosine to
    // the last bit, its trailing smallBlocks (the smallest amplitudes) the shortest
    // polynomials, the blocks between shorter ones (Planets.cpp says how small each must be).
    std::array<uint16_t, 18> fullBlocks{}, smallBlocks{};
    std::vector<double> A, B, C, AC;
};

// Pluto's table of places from its integrated orbit (PlutoTable.h): x, y, z of each place.
struct PlutoTable {
    std::vector<double> XYZ;
    bool Loaded = false;
};

struct PlanetSeries {
    std::array<PlanetBodyTerms, kPlanetSeriesBodies> bodies;
    PlutoTable Pluto;
};

} // namespace qor
