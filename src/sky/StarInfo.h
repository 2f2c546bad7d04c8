// What the star windows and the star view show of one catalogue star: its distance texts,
// its place in space, and a model of the star from its magnitude, distance and spectrum
// (absolute magnitude, luminosity, temperature, radius, colour).
#pragma once

#include "core/AstroDat.h"
#include "sky/Geometry3D.h"
#include "sky/StarCatalogue.h"
#include "ui/Canvas.h"

#include <string>
#include <string_view>

namespace qor {

// A distance in parsecs as the star windows write it: "0" when not positive, else with a
// decimal comma in width 4: two decimals below 10, one below 100, none from 100.
std::string StarDistanceText(double parsecs);

struct SpaceVector {
    double x = 0, y = 0, z = 0;
};
SpaceVector operator-(const SpaceVector& a, const SpaceVector& b);
double Length(const SpaceVector& v);

// Heliocentric ecliptic rectangular coordinates of star n in parsecs (from its ecliptic place
// of date and its distance field); 0 for a star without a distance.
SpaceVector StarXYZ(const StarCatalogue& c, int n);

// Star n's place (parsecs) as the star view centres on it: at 100 pc when the catalogue gives
// no distance.
SpaceVector StarPlace(const StarCatalogue& c, int n);

// Star n's distance in parsecs; 0 when the catalogue gives none (a field below 1).
double StarDistanceParsecs(const StarCatalogue& c, int n);

// The star of that BS number (1..StarCount), 0 when the catalogue has none.
int StarIndexOfBS(const StarCatalogue& c, int bs);

// The spectral class as the star model reads it: a leading luminosity prefix ("g", "d", "sd",
// "sg", "c") is skipped; the class letter and the subclass digit follow (a missing or
// non-digit subclass counts 0). The index is the digit plus 0 for O, 10 B, 20 A, 30 F, 40 G,
// 50 K, 60 M (other letters 0).
struct SpectralClass {
    char letter = ' ';
    int digit = 0;
    int index = 0;
};
SpectralClass ReadSpectralClass(std::string_view spectrum);

// Surface temperature (kelvin) of a spectral index: -0.386 x³ + 50.8 x² - 2260 x + 40000, never
// below 2000 K (the cubic turns negative for late M stars).
double StarTemperature(double spectralIndex);

// The physical model of a star of apparent magnitude m at distanceField thousandths of a
// parsec (a positive field).
struct StarModel {
    double absMag = 0;      // M = m + 5 + 5 log10(1000 / field)
    double luminosity = 0;  // 2.512 ^ (4.73 - M), solar units
    double temperature = 0; // kelvin
    double radius = 0;      // (6000 / T)² √L, solar radii
};
StarModel StarModelOf(double m, double distanceField, std::string_view spectrum);

// The colour of the star's disc in the star view, from its class and subclass.
ui::Colour StarDiscColour(std::string_view spectrum);

// The texts of the star window for star n (designation, name and the values beside the fixed
// captions).
struct StarFormTexts {
    std::string Designation, Name, BS, HD, Longitude, Latitude, RA, Dec, Azimuth, Altitude,
        Magnitude, Distance, Spectrum;
};
StarFormTexts FillStarForm(const AstroDat& s, StarCatalogue& c, int n);

// The view of the star window in the star view: where the observer stands and how the view is
// turned.
struct DeepStarView {
    int CosmosStar = 0;            // the centre star's index, 0 none
    SpaceVector Observer;          // the centre star's place, parsecs
    double ScaleAu = 0;            // the view's width, astronomical units
    const Matrix3* View = nullptr; // the view's rotation
};
struct DeepStarTexts {
    std::string Designation, Name;
    bool Physical = false; // the rest is filled (the star has a distance)
    std::string AbsMag, Luminosity, Spectrum, Temperature, Radius, SunDistance;
    std::string CentreCaption, CentreValue; // distance from the centre star, or radiation
    std::string Longitude, Latitude;
    std::string HelioX, HelioY, HelioZ;
    std::string FrameTitle, FrameX, FrameY, FrameZ, FrameLongitude, FrameLatitude;
    std::string ScreenX, ScreenY, ScreenZ;
    std::string ObserverDistance;
    double ObserverParsecs = 0;
};
DeepStarTexts FillDeepStarInfo(const AstroDat& s, StarCatalogue& c, int n, const DeepStarView& v);

} // namespace qor
