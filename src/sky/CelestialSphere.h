// The celestial sphere ("C" screen): the sky as a sphere seen in orthographic projection in
// one of three coordinate systems (horizontal, equatorial, ecliptic), with the horizon, the
// equator, the ecliptic with the signs, the house circles, the horizon axes, a planet's
// rotation axis, the catalogue stars, the deep-sky objects and the bodies Sun to Pluto.
//
// Everything here works on plain data: the view's state (SkyView), what the settings window
// holds (SkyOptions) and the chart and catalogues (SkyInputs). The screen's glue to the
// windows lives in SkyScreen.
#pragma once

#include "core/AstroDat.h"
#include "core/SymbolFont.h" // ClampCoord
#include "sky/StarCatalogue.h"
#include "ui/OffscreenBitmap.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace qor {

struct DeepCatalogue;

enum SkySystemKind { kSkyHorizontal = 0, kSkyEquatorial = 1, kSkyEcliptic = 2 };

constexpr int kSkyZoomMin = 20, kSkyZoomMax = 6400;
constexpr int kSkyScreenStarsMax = 5001; // entries of the screen's star table
constexpr const char* kSkyEditDefault = "0.28376;0.64535;240";

// What the settings window "sky" holds (its defaults).
struct SkyOptions {
    int System = kSkyHorizontal; // SystemRadioGroup
    bool Outside = true;         // ViewGroup: the far side drawn too ("Снаружи")
    bool Equator = true, Ecliptic = true, Horizon = true, Axes = false;
    bool Stars = false, Planets = true, Zodiac = false, Houses = false;
    bool White = false; // background
    int Magn = 7;       // limiting magnitude 0..7
    int AxisBody = 0;   // AxesGroup: 0 none, 1..9 Sun..Neptune
};

// Where body i (0 Earth .. 10 Pluto) was last drawn; X = 0 when it was not.
struct BodySpot {
    int X = 0, Y = 0, MagClass = 0, Depth = 0;
};

struct SkyPoint {
    int X = 0, Y = 0, Depth = 0;
};

// The view and what the last drawing left behind.
struct SkyView {
    double CentreLon = 0.64535; // radians, 0..2π
    double Tilt = 0.28376;      // radians, -π/2..π/2
    int Zoom = 240;             // 20..6400
    int Step = 10;              // degrees per unit of a key step: 1 from zoom 1600
    int PixelsPerDegree = 3;
    // Geometry of the last drawing.
    int W = 0, H = 0, cx = 0, cy = 0, R = 0;
    // Colours of the last drawing ($00BBGGRR): the far side and the hover text.
    ui::Colour BackSide = 0xFFFFFF, HoverColour = 0xFFFF00;
    // Fixed Sun: the mode, the remembered point and the Sun's point in the last drawing.
    bool FixedSun = false;
    int SunFixX = 0, SunFixY = 0, SunX = 0, SunY = 0;
    std::array<BodySpot, 18> BodySpots{};
    ScreenStarTable ScreenStars;
    // Hover: the text (empty none), its point, the label drawn there, the object picked.
    std::string HoverText, HoverLabel;
    int HoverX = 0, HoverY = 0, Picked = 0;
    bool StarFound = false, DeepFound = false, BodyFound = false;
    // The sidereal time and latitude for which the catalogues' horizontal coordinates were
    // last computed (HorizonValid false: never).
    double HorizonSidereal = 0, HorizonLatitude = 0;
    bool HorizonValid = false;
};

// The chart, the catalogues and the program's hooks a drawing reads.
struct SkyInputs {
    AstroDat& s;
    StarCatalogue& stars;
    DeepCatalogue& deep;
    SkyOptions options;
    std::string SelectedSozv; // constellation code; empty: every star
    int ExterrBody = 0;       // 0 the Earth; 3..5 observer on Mercury, Venus, Mars
    bool Ready = true;
    // The height of the whole display in pixels (0: the bitmap's height).
    int DisplayHeight = 0;
    // The symbol font's back colour and mode the glyph texts use (may be null).
    ui::Font16State* Font = nullptr;
};

// --- Projection --------------------------------------------------------------------------------

// The orthographic projection of (λ', β) (λ' already relative to the centre) for the view's
// tilt, centre and radius: Depth > 0 on the near hemisphere; (0, tilt) goes to (cx, cy) with
// Depth = R.
SkyPoint SkyProject(const SkyView& v, double lon, double lat);

// A longitude-like coordinate made relative to the view's centre, 0..2π (mirrored in the
// horizontal system, where the azimuth grows westward).
double SkyRelativeLon(const SkyView& v, int system, double lon);

// Sets W, H, cx, cy, R for a bitmap of that size and a display of that height.
void SkyGeometry(SkyView& v, int width, int height, int displayHeight, int zoom);

// The conversions between the three systems at the chart's moment and place.
struct SkyFrame {
    double sinEps = 0, cosEps = 1; // true obliquity
    double lst = 0;                // local sidereal time, radians
    double sinPhi = 0, cosPhi = 1; // latitude
    static SkyFrame Of(const AstroDat& s);
    // (lon, lat) of system `from` in system `to`.
    void Convert(int from, double lon, double lat, int to, double& outLon, double& outLat) const;
};

// Coordinates of body i (0..26), star i, deep-sky object i in the view's system.
void SkyBodyCoord(const AstroDat& s, int system, int i, double& lon, double& lat);
// Stars and deep-sky objects in the horizontal system use their stored azimuth and altitude,
// recomputed first when the sidereal time or the latitude changed since the last time.
void SkyEnsureHorizon(SkyView& v, const AstroDat& s, StarCatalogue& c, DeepCatalogue& d);
void SkyStarCoord(const StarCatalogue& c, int system, int i, double& lon, double& lat);
void SkyDeepCoord(const DeepCatalogue& d, int system, int i, double& lon, double& lat);

// Apparent diameter of body i (0..10) in radians from its geocentric distance.
double BodyAngularSize(const AstroDat& s, int i);

// --- Steering ------------------------------------------------------------------------------------

// Each returns true when the view changed (the caller redraws); the hover text is cleared then.
bool RotateSkyLon(SkyView& v, int system, char sign, double step);
bool TiltSky(SkyView& v, char sign, double step);
bool ZoomSky(SkyView& v, int num, int den);

// The saved view "tilt;centre;zoom": a text whose fields are no numbers, or a zoom outside
// 20..6400, gives the default view. SkyEditText writes it back with 5 decimals.
void ReadSkyEdit(SkyView& v, const std::string& text);
std::string SkyEditText(const SkyView& v);

// The fixed-Sun mode: false when the Sun is not on the screen (the mode is not entered).
bool SkyFixSun(SkyView& v, bool on);

// --- Drawing
// ---------------------------------------------------------------------------------------

// Draws the whole sphere into the bitmap and refills BodySpots, the screen's star table and
// the deep-sky screen points. `tooMany` is called once per drawing with more visible stars
// than the table holds.
void RedrawSky(SkyView& v, SkyInputs& in, ui::OffscreenBitmap& bmp,
               const std::function<void()>& tooMany = {});

// --- Mouse ---------------------------------------------------------------------------------------

// What lies under the pointer (x, y) by the last drawing: the brightest star within 4 px,
// else the first deep-sky object; a body within 4 px overrides a deep-sky object (not a star).
// Sets the view's hover fields; true when something was found.
bool SkyHitTest(SkyView& v, AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                bool starsShown, int x, int y);

// The brightest star of a screen's star table within |dx| + |dy| < 5 of (x, y), each
// accepted star becoming the point the next ones are measured from; 0 when none. (x, y) end
// at the star's point.
int PickBrightestStar(const ScreenStarTable& t, const StarCatalogue& c, int& x, int& y);
// The hover text of a star: its designation and magnitude.
std::string StarHoverText(const AstroDat& s, const StarCatalogue& c, int star);

// The Pleiades members by BS number (a click on one shows the cluster's picture).
bool IsPleiadesStar(int bs);

} // namespace qor

namespace qor {

// --- Constellation list ------------------------------------------------------------------------

// The sort key of a constellation row ("code Russian-name Latin-name"): three characters from
// the code (column 1) or the start of the Russian name (column 2), Latin letters upper-cased,
// compared as bytes of code page 1251.
int SozvKey(const std::string& row, int column);
bool SozvKeyLess(const std::string& a, const std::string& b, int column);
// Sorts rows[low..high] (0-based, inclusive) by that key.
void SozvSort(std::vector<std::string>& rows, int low, int high, int column);

} // namespace qor
