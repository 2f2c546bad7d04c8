// The deep-sky catalogue "Deepobj.txt": nebulae, clusters and galaxies with their J2000 and
// date positions and the display texts other windows ask for. Objects are numbered
// 1..DeepCount; index 0 is unused.
#pragma once

#include "core/AstroDat.h"

#include <string>
#include <vector>

namespace qor {

constexpr int kMaxDeepObjects = 1000;
constexpr std::size_t kDeepObjMaxBytes = 8 << 20; // a file beyond is no catalogue

struct DeepRec {
    std::string NameRus;              // up to 15 characters
    std::string NameEng;              // up to 15 characters
    std::string Code;                 // up to 15 characters
    double Lon = 0, Lat = 0;          // ecliptic of date, radians
    double Azimuth = 0, Altitude = 0; // radians, azimuth from the south
    double RA = 0, Dec = 0;           // equatorial of date, radians
    double RA2000 = 0, Dec2000 = 0;   // J2000, radians
    double Mag = 0;
    std::string Distance;         // thousands of light years, up to 7 characters
    std::string Size;             // arc-minutes, up to 7 characters
    std::string Constellation;    // up to 3 characters
    std::string Comment;          // up to 39 characters
    int ScreenX = 0, ScreenY = 0; // last point drawn on a sky screen (0: not drawn)
};

struct DeepCatalogue {
    int DeepCount = 0;
    std::vector<DeepRec> DeepObjs; // 1..DeepCount

    // The brightest object whose ecliptic longitude of date lies less than `limit` (radians)
    // from `lon` and which is brighter than magnitude `brighterThan`; 0 when none.
    int BrightestNear(double lon, double limit, double brighterThan = 999) const;
};

// Reads "Deepobj.txt": one object a non-empty line, fields separated by ";". A missing file is
// reported through IOCheck; lines whose right ascension (0..24 h) or declination (-90..90°)
// does not read are no objects, and lines beyond kMaxDeepObjects objects, are left out and
// reported; a file without any object, or larger than kDeepObjMaxBytes, is reported and
// gives false.
bool LoadDeepObj(AstroDat& s, DeepCatalogue& d);

// An angle text "D°M'S"" (or "H°M'S"" for hours) in radians, read as written: the sign of a
// leading "-" holds for the whole angle, also when the degrees are 0. A text without both the
// degree and the minute mark is read as decimal degrees.
double ParseDeepAngle(std::string_view text);

// Azimuth and altitude of every object for the chart's sidereal time and latitude.
void ComputeDeepHorizon(const AstroDat& s, DeepCatalogue& d);

// Column 0..14 of object n as text (trailing blanks removed); empty for other columns.
std::string DeepObjText(AstroDat& s, const DeepCatalogue& d, int n, int column);
std::string DeepColumnTitle(const AstroDat& s, int column);

} // namespace qor
