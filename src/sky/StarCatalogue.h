// The star catalogue: the records of "yale.mdb", the name texts "yale.nme" / "yale.cmm", the
// per-star position tables, the texts that name a star, and the positions of date.
//
// Stars are numbered 1..StarCount; index 0 of every table is unused. Star i is the same star
// in every per-star table: reorder them only through ReorderStars / LoadShortCatalogue.
#pragma once

#include "core/AstroDat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

struct DeepCatalogue;

constexpr int kMaxStars = 9110;
constexpr std::size_t kYaleRecordSize = 54;
// Files far beyond what the catalogue keeps are not read at all.
constexpr std::size_t kYaleMaxBytes = 16 << 20;
constexpr std::size_t kStarTextMaxBytes = 65535;
constexpr int kStarTextMaxOffset = 12000;
constexpr double kStarPmToRadPerCentury = 100 * 4.84813681109536e-06; // "/yr -> rad/cy

// One record of "yale.mdb" as kept in memory.
struct YaleRec {
    uint32_t HD = 0;
    uint16_t BS = 0;
    uint16_t NameOffset = 0;    // 1-based offset into StarNames, 0 none
    uint16_t CommentOffset = 0; // 1-based offset into StarComments, 0 none
    // Designation bytes after the length byte: Flamsteed, Bayer index 1..24, superscript
    // digit, the 3-letter constellation code; empty when the star has none.
    std::string Designation;
    std::string Spectrum;
    double PmRA = 0;  // radians of right ascension per Julian century
    double PmDec = 0; // radians per Julian century
    float Mag = 0;
    int32_t Distance = 0; // thousandths of a parsec; 0 or less: unknown

    int Flamsteed() const { return Designation.size() > 0 ? (unsigned char)Designation[0] : 0; }
    int Bayer() const { return Designation.size() > 1 ? (unsigned char)Designation[1] : 0; }
    int Superscript() const { return Designation.size() > 2 ? (unsigned char)Designation[2] : 0; }
    std::string ConstellationCode() const {
        return Designation.size() > 3 ? Designation.substr(3, 3) : std::string();
    }
};

// The stars a screen drew, kept by that screen's state (for its mouse), not by the catalogue.
struct ScreenStarTable {
    int Count = 0;
    std::vector<int> X, Y, StarIndex; // 1..kMaxStars
};

struct StarCatalogue {
    int StarCount = 0;
    std::vector<YaleRec> YaleStars; // 1..StarCount
    // J2000 position (radians) as read; never overwritten.
    std::vector<double> StarRA2000, StarDec2000;
    // Position of date from ComputeStarPositions (radians).
    std::vector<double> StarRADate, StarDecDate;
    std::vector<double> StarLon, StarLat;          // ecliptic of date, radians
    std::vector<double> StarAzimuth, StarAltitude; // from the south; radians
    std::string StarNames;    // name texts: Russian file, or the English one in English mode
    std::string StarComments; // comment texts (Russian mode only)
    double StarsCalcT = 0;    // ChartT of the positions of date
    bool ShortStarCatalogue = false;

    // The brightest named star whose ecliptic longitude of date lies less than `limit`
    // (radians) from `lon` and which is brighter than magnitude `brighterThan`; 0 when none.
    int BrightestNear(double lon, double limit, double brighterThan = 999) const;
};

// --- Loading ---------------------------------------------------------------------------------
// Reads "yale.mdb" and the name texts. A missing "yale.mdb" leaves the catalogue empty without a
// message (the start-up check names missing files); a file of more than kMaxStars records, a
// size that is no multiple of the record, and name texts beyond their limit are read up to the
// limit and reported. A record with a value out of range (a position off the sphere, a proper
// motion or magnitude no star has, NaN or infinity) or a file beyond kYaleMaxBytes is reported
// and leaves the catalogue empty. Returns false when the catalogue stays empty.
bool LoadYaleCatalogue(AstroDat& s, StarCatalogue& c);
// With ShortStarCatalogue set: keeps the stars that have a name, in order. Clear: reads the
// whole catalogue again (the name texts stay as they are).
void LoadShortCatalogue(AstroDat& s, StarCatalogue& c);
// Puts the stars in the order of `order` (a permutation of 1..StarCount; order[0] ignored),
// moving every per-star table with its record.
void ReorderStars(StarCatalogue& c, const std::vector<int>& order);

// --- Names and designations --------------------------------------------------------------------
std::string NameHead(std::string_view text);
std::string NameTail(std::string_view text);
// The entry at a 1-based offset of a names text (empty outside the text or the offsets).
std::string StarTextEntry(const std::string& text, int offset);
std::string StarName(const StarCatalogue& c, int n);
std::string StarOtherNames(const StarCatalogue& c, int n);
std::string StarDesignation(const AstroDat& s, const StarCatalogue& c, int n, bool whole);
// The short label of a star on a map: Bayer letter (with its superscript) or Flamsteed
// number, the constellation code, the name (its first one unless `whole`).
std::string StarMapLabel(const StarCatalogue& c, int n, bool whole);
std::string StarCatalogueCode(const std::string& designation);
const std::string& GreekLetterName(int n); // the whole 21-character text; blanks outside 1..24
std::string GreekLetterLocal(const AstroDat& s, int n);
std::string ConstellationName(const AstroDat& s, const std::string& code);
// The 88 constellation rows: code, Russian genitive padded to 19, the Latin name.
const std::vector<std::string>& Constellations();

// --- Positions of date -----------------------------------------------------------------------
// Brings every star (proper motion, precession, nutation and, with UseLightTime, annual
// aberration) and every deep-sky object (the same without proper motion) from J2000 to the
// moment of the chart's time block (ChartT, EpsMean, NutEps, NutPsi), equatorial and ecliptic.
// Catalogue places need no light-time term: the stars' distances are not used. The J2000
// fields stay as read.
void ComputeStarPositions(const AstroDat& s, StarCatalogue& c, DeepCatalogue* deep);
// The place of date of one J2000 position with proper motion (radians, radians a century).
void StarPlaceOfDate(const AstroDat& s, double& ra, double& dec, double pmRA, double pmDec);
// The J2000 place moved by its proper motion (the change of the coordinates, radians a
// century) over T Julian centuries, along the star's great circle.
void StarProperMotion(double& ra, double& dec, double pmRA, double pmDec, double T);
// Azimuth and altitude of every star for the chart's sidereal time and latitude.
void ComputeStarHorizon(const AstroDat& s, StarCatalogue& c);

} // namespace qor
