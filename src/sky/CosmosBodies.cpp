#include "sky/CosmosBodies.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "sky/SkyFiles.h"

#include <cmath>
#include <vector>

namespace qor {

namespace {

constexpr std::array<int, 23> kModeSlot = {0,  1,  2,  3,  4,  6,  9,  26, 45, 61, 70, 72,
                                           73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83};
constexpr std::array<int, 23> kModePoint = {-1, 1,  3,  4,  0,  5,  6,  7,  8,  9,  10, 15,
                                            16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
constexpr std::array<int, 23> kSatellites = {0, 9, 0, 0, 1, 2, 16, 18, 15, 8, 1, 0,
                                             0, 0, 0, 0, 0, 0, 0,  0,  0,  0, 0};

double InitialScale(int mode) {
    return mode == -1 ? 1000.0 : mode == 1 ? 100.0 : 1.0;
}

} // namespace

CosmosBodies::CosmosBodies() {
    for (int mode = kMinCosmosMode; mode <= kMaxCosmosMode; ++mode)
        CosmosScale(mode) = InitialScale(mode);
}

const std::array<std::string, 72>& CosmosNamesEng() {
    static const std::array<std::string, 72> t = {
        "",          "Sun",         "Mercury",    "Venus",     "Earth",      " Moon",
        "Mars",      " Phobos",     " Deimos",    "Jupiter",   " Metis",     " Adrastea",
        " Amalthea", " Thebe",      " Io",        " Europa",   " Ganymede",  " Callisto",
        " Leda",     " Himalia",    " Lysithea",  " Elara",    " Ananke",    " Carme",
        " Pasiphae", " Sinope",     "Saturn",     " Pan",      " Atlas",     " Prometheus",
        " Pandora",  " Epimetheus", " Janus",     " Mimas",    " Enceladus", " Tethys",
        " Telesto",  " Calypso",    " Dione",     " Helene",   " Rhea",      " Titan",
        " Hyperion", " Iapetus",    " Phoebe",    "Uranus",    " Cordelia",  " Ophelia",
        " Bianca",   " Cressida",   " Desdemona", " Juliet",   " Portia",    " Rosalind",
        " Belinda",  " Puck",       " Miranda",   " Ariel",    " Umbriel",   " Titania",
        " Oberon",   "Neptune",     " Naiad",     " Thalassa", " Despina",   " Galatea",
        " Larissa",  " Proteus",    " Triton",    " Nereid",   "Pluto",      " Charon"};
    return t;
}

int CosmosModeSlot(int mode) {
    return (mode < 0 || mode > kMaxCosmosMode) ? -1 : kModeSlot[mode];
}
int CosmosModePoint(int mode) {
    return (mode < 0 || mode > kMaxCosmosMode) ? -1 : kModePoint[mode];
}
int SatelliteCount(int mode) {
    return (mode < 0 || mode > kMaxCosmosMode) ? 0 : kSatellites[mode];
}

namespace {

// What a body record can hold (astronomical units, radians per day, radians, kilometres,
// hours, Earth masses); a value beyond, NaN or infinity is a damaged file.
bool BodyRecordInRange(const PlnMdbRec& p) {
    const auto angle = [](double a) { return std::fabs(a) <= 2 * kTwoPi; };
    return p.Axis >= 0 && p.Axis <= 1e6 && std::fabs(p.MeanMotion) <= 100 && p.Ecc >= 0 &&
           p.Ecc < 1 && angle(p.Incl) && p.Diameter >= 0 && p.Diameter <= 1e8 && angle(p.Node) &&
           angle(p.Peri) && angle(p.MeanLon) && angle(p.EquatorIncl) &&
           std::fabs(p.RotationHours) <= 1e6 && p.Mass >= 0 && p.Mass <= 1e12;
}

} // namespace

int LoadPlanetsMdb(AstroDat& s, CosmosBodies& b) {
    const std::string fileName = "planets.mdb";
    std::string bytes;
    const IoResult read = ReadFileBytes(s.DataPath(fileName), bytes, kPlanetsMdbMaxBytes);
    if (read.error == EFBIG) {
        ReportDataFault(s, fileName, "файл слишком велик; тела не прочитаны",
                        "the file is too large; the bodies were not read");
        return 0;
    }
    if (IOCheck(s, read, fileName)) return 0;
    std::size_t records = bytes.size() / kPlnMdbRecordSize;
    if (bytes.size() % kPlnMdbRecordSize != 0)
        ReportDataFault(s, fileName, "неполная последняя запись не прочитана",
                        "an incomplete last record was not read");
    if (records > static_cast<std::size_t>(kPlanetsFileSlots)) {
        ReportRecordsBeyondLimit(s, fileName, static_cast<long long>(records - kPlanetsFileSlots),
                                 kPlanetsFileSlots);
        records = kPlanetsFileSlots;
    }
    // Checked whole before any slot changes: a damaged file fills nothing.
    std::vector<PlnMdbRec> bodies(records + 1);
    LeReader r(bytes);
    for (std::size_t k = 1; k <= records; ++k) {
        PlnMdbRec& p = bodies[k];
        const std::string name = r.bytes(24);
        p.Name = name.substr(1, std::min<std::size_t>((unsigned char)name[0], 23));
        p.Axis = r.f64();
        p.MeanMotion = r.f64();
        p.Ecc = r.f64();
        p.Incl = r.f64();
        p.Diameter = r.f64();
        p.Node = r.f64();
        p.Peri = r.f64();
        p.MeanLon = r.f64();
        p.EquatorIncl = r.f64();
        p.RotationHours = r.f64();
        p.Mass = r.f64();
        if (!BodyRecordInRange(p)) {
            ReportDataFault(s, fileName,
                            "значение вне допустимых пределов в записи " + std::to_string(k) +
                                "; тела не прочитаны",
                            "a value out of range in record " + std::to_string(k) +
                                "; the bodies were not read");
            return 0;
        }
    }
    for (std::size_t k = 1; k <= records; ++k) b.PlanetsMdb[k] = std::move(bodies[k]);
    if (s.EnglishMode)
        for (int k = 1; k <= 71; ++k) b.PlanetsMdb[k].Name = CosmosNamesEng()[k].substr(0, 23);
    const std::string freeName = Lang(s, Cp("Астероид"), "Asteroid");
    for (int k = kFirstFreeSlot; k < kPlanetsMdbSlots; ++k) {
        b.PlanetsMdb[k].Name = freeName;
        b.PlanetsMdb[k].Diameter = 100.0;
        b.PlanetsMdb[k].Axis = 3.0;
    }
    return static_cast<int>(records);
}

void LoadCosmosSettings(CosmosBodies& b, const std::vector<std::string>& orbitMemo) {
    for (int i = 0; i <= kMaxCosmosMode; ++i) {
        std::string line = i < static_cast<int>(orbitMemo.size()) ? orbitMemo[i] : std::string();
        double scale = StrToFloatHM(NextField(line, ';'));
        if (i == 1 && scale < 1.0) scale = 1.0;
        if (i >= 2 && i <= 10 && scale < 0.001) scale = 0.001;
        if (i >= 11 && scale < 1e-8) scale = 1e-8;
        b.CosmosScale(i) = scale;
        b.ModeAngleX(i) = StrToFloatHM(NextField(line, ';'));
        b.ModeAngleZ(i) = StrToFloatHM(NextField(line, ';'));
        b.ModeAngleF(i) = 0;
    }
    for (int m = 1; m <= kMaxCosmosMode; ++m)
        for (int k = 1; k <= 21; ++k) b.OrbitFlags[m][k] = 1;
}

std::vector<std::string> SaveCosmosSettings(CosmosBodies& b) {
    std::vector<std::string> lines;
    for (int i = 0; i <= kMaxCosmosMode; ++i)
        lines.push_back(Trim(FloatToStrWD(0, 8, b.CosmosScale(i))) + ";" +
                        Trim(FloatToStrWD(0, 3, b.ModeAngleX(i))) + ";" +
                        Trim(FloatToStrWD(0, 3, b.ModeAngleZ(i))));
    return lines;
}

std::vector<std::string> DefaultOrbitMemo() {
    return {"0.001;-1.222;-0.349;0.000", "5.726;4.939;1.517;0.000",   "0.001;-1.222;-0.349;0.000",
            "0.001;-1.222;-0.349;0.000", "0.006;-1.222;-0.349;0.000", "0.001;-1.222;-0.349;0.000",
            "0.030;-1.222;-0.349;0.000", "0.060;-1.222;-0.349;0.000", "0.010;-1.222;-0.349;0.000",
            "0.005;-1.222;-0.349;0.000", "0.001;-1.222;-0.349;0.000"};
}

} // namespace qor
