// The asteroid catalogue "asteroid.csv" and the user-body list (the lines of the main window's
// memo): loading, names, field access, loading the enabled bodies into the extra chart slots,
// adding a catalogue asteroid and writing the computed positions back into the list.
// Catalogue records are numbered 1..AstCount; user rows from 1.
#pragma once

#include "core/AstroDat.h"
#include "core/Chart.h"
#include "core/ChironTable.h"
#include "core/Kepler.h"

#include <array>
#include <string>
#include <vector>

namespace qor {

struct CosmosBodies;

constexpr int kMaxAsteroids = 10000;
constexpr char kAstEnabledMark = '\xD6'; // a check mark in the "Symbol" face
constexpr char kAstOrbitMark = '\xAE';   // "®": draw the orbit
constexpr char kAstSchemeMark = '\xA9';  // "©": draw the orbit and its scheme

struct AstRec {
    std::string Name; // normalised: number, blank, name (up to 23 characters)
    double H = 0, G = 0;
    double M = 0;    // mean anomaly at the epoch, radians
    double Peri = 0; // argument of perihelion, radians
    double Node = 0; // radians
    double Incl = 0; // radians
    double Ecc = 0;
    double Axis = 0;         // AU
    double Epoch = 0;        // Julian day
    double N = 0;            // mean motion, radians a day
    double Lon = 0, Lat = 0; // ecliptic of date, written by the chart computation
    int ScreenX = 0, ScreenY = 0; // the point on the last drawn stars-and-asteroids strip
};

struct AsteroidCatalogue {
    int AstCount = 0;
    std::vector<AstRec> AstCatalogue; // 1..AstCount
    // The computation's copy of the records (0-based), kept so that each orbit's axes are
    // worked out once.
    std::vector<AsteroidRecord> Work;
};

// Reads "asteroid.csv" (a header line, then one asteroid a line, fields separated by ",").
// A missing file is reported through IOCheck. Empty lines and records without a positive
// semi-major axis are refused and reported, as are lines beyond kMaxAsteroids records.
bool LoadAsteroidCatalogue(AstroDat& s, AsteroidCatalogue& c);

// "CERES 1" -> "1 Ceres": the asteroid's number (a word of digits at the end, else at the
// start) first, then the name; words written all in capitals get capitals only at the start of
// the word and after "'" or "-"; other words, and digits inside the name, stay as written.
// A name without a number comes out with one leading blank.
std::string NormalizeAstName(std::string_view text);
// Catalogue record i's name with trailing digits and blanks removed.
std::string GetCatalogueName(const AsteroidCatalogue& c, int i);
// Mean motion of a semi-major axis, radians a day (0 for a = 0).
double AstMeanMotion(double axis);

// --- User-body list ---------------------------------------------------------------------------
// The list's built-in default: eleven bodies and three blank lines, named in Russian or in
// English.
std::vector<std::string> DefaultUserBodies(bool english = false);
// Field n (from 0) of row `row` (from 1), untrimmed; empty outside the list.
std::string GetAstField(const std::vector<std::string>& lines, int n, int row);
// Replaces field n of row `row` by `text`. Works whether or not the line ends with ";"; a line
// with fewer fields gets empty fields up to n. Returns false for a row outside the list.
bool SetAstField(std::vector<std::string>& lines, int n, int row, const std::string& text);

// What loading the enabled user bodies gives the chart computation.
struct ExtraBodySlot {
    int Row = 0;                       // the user row it came from
    std::array<std::string, 7> Fields; // texts of fields 7..13: M, peri, node, incl, e, a, epoch
    std::string Name;                  // up to 23 characters
    char Glyph = 0;
    bool Orbit = false, Scheme = false;
};
struct UserBodySlots {
    int NExtra = 0;
    std::array<ExtraBodySlot, kMaxExtraBodies + 1> Slots{}; // 1..NExtra
};

// Sets the mark of rows 1 and 2, then loads the enabled rows (at most 12 - parsCount; more are
// refused with message 131 on the status line): names into PlanetsMdb slots 72.. ("Chiron"
// becomes "Хирон" in Russian mode) and the orbit flags of the Sun system.
UserBodySlots LoadAsteroidSlots(AstroDat& s, std::vector<std::string>& lines, int parsCount,
                                CosmosBodies& cosmos);

// Reads "chiron.dat" after loading the user bodies (the start-up step).
UserBodySlots LoadChironTable(AstroDat& s, std::vector<std::string>& lines, int parsCount,
                              CosmosBodies& cosmos, ChironTable& table);

// The user-list line of catalogue asteroid i (disabled, orbit shown).
std::string CatalogueAsteroidLine(const AsteroidCatalogue& c, int i);
// Appends catalogue asteroid i unless a row of that name exists; true when a line was added.
bool AddAsteroidFromCatalogue(std::vector<std::string>& lines, const AsteroidCatalogue& c, int i);

// Writes the longitude and latitude of date of the loaded extra bodies (radians, index
// 1..nExtra) into fields 5 and 6 of their rows; other rows get empty fields.
void UpdateAsteroidPositions(AstroDat& s, std::vector<std::string>& lines,
                             const std::vector<double>& lon, const std::vector<double>& lat,
                             int nExtra);

} // namespace qor
