// The body table of the cosmos view: the records of "planets.mdb" in slots 1..71, twelve free
// slots 72..83 for asteroids and fictitious bodies, the centre modes of the view with their
// slots and chart points, and the per-mode view settings with their text form.
#pragma once

#include "core/AstroDat.h"
#include "sky/Geometry3D.h"

#include <array>
#include <string>
#include <vector>

namespace qor {

constexpr int kPlanetsMdbSlots = 84;  // slots 0..83
constexpr int kPlanetsFileSlots = 83; // slots 1..83 may come from the file
constexpr int kFirstFreeSlot = 72;
constexpr std::size_t kPlnMdbRecordSize = 112;
constexpr std::size_t kPlanetsMdbMaxBytes = 1 << 20; // a file beyond is no body file
constexpr int kMinCosmosMode = -1;
constexpr int kMaxCosmosMode = 22;

struct PlnMdbRec {
    std::string Name;      // up to 23 characters
    double Axis = 0;       // semi-major axis about the centre body, AU
    double MeanMotion = 0; // radians per day
    double Ecc = 0;
    double Incl = 0;          // radians
    double Diameter = 0;      // km
    double Node = 0;          // radians
    double Peri = 0;          // longitude of pericentre, radians
    double MeanLon = 0;       // mean longitude at JD 2451545.5, radians
    double EquatorIncl = 0;   // equator to orbit, radians
    double RotationHours = 0; // 0: not given
    double Mass = 0;
};

struct CosmosBodies {
    std::array<PlnMdbRec, kPlanetsMdbSlots> PlanetsMdb{};
    int CosmosMode = 1;
    // The centre star of mode -1 by its BS number (0 none): the catalogue may be re-sorted.
    int CosmosStarBS = 0;
    std::array<double, kMaxCosmosMode + 2> Scale{}; // index mode + 1
    // The view matrices with each mode's angles.
    MatrixBank Bank;
    std::array<std::array<uint8_t, 22>, kMaxCosmosMode + 1> OrbitFlags{};
    std::array<std::array<uint8_t, 22>, kMaxCosmosMode + 1> OrbitSchemeFlags{};

    CosmosBodies();
    double& CosmosScale(int mode) { return Scale[mode + 1]; }
    double& ModeAngleX(int mode) { return Bank.ModeAngleX(mode); }
    double& ModeAngleZ(int mode) { return Bank.ModeAngleZ(mode); }
    double& ModeAngleF(int mode) { return Bank.ModeAngleF(mode); }
};

// The English names of slots 1..71 (satellites with one leading blank); index 0 empty.
const std::array<std::string, 72>& CosmosNamesEng();
// Slot of a mode (0..22), -1 for mode -1 or out of range.
int CosmosModeSlot(int mode);
// Chart point of a mode; -1 "unchanged" (mode 0) or none.
int CosmosModePoint(int mode);
// Satellites drawn around the centre of a mode (0..22), without the extra bodies.
int SatelliteCount(int mode);

// Reads "planets.mdb" into slots 1.. (records past slot 83 are left out and reported; a size
// that is no multiple of the record is reported and its tail ignored); English names in English
// mode; then sets the free slots 72..83 to an asteroid ("Asteroid" in English), 100 km, 3 AU. A file that cannot be read
// is reported through IOCheck and fills nothing; so does a file beyond kPlanetsMdbMaxBytes
// and one with a value out of range in any record (a negative axis or diameter, an
// eccentricity outside 0..1, an angle beyond two turns, NaN or infinity), which is reported.
// Returns the number of records read.
int LoadPlanetsMdb(AstroDat& s, CosmosBodies& b);

// Reads the 23 view-setting lines (scale; angle X; angle Z); missing lines read as empty.
void LoadCosmosSettings(CosmosBodies& b, const std::vector<std::string>& orbitMemo);
// The 23 lines as saved.
std::vector<std::string> SaveCosmosSettings(CosmosBodies& b);
// The built-in default text of the settings memo.
std::vector<std::string> DefaultOrbitMemo();

} // namespace qor
