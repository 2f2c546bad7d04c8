// The cosmos view ("S" screen): a perspective picture of the solar system seen from outside,
// centred on the Sun, on a planet with its moons, on one of the free body slots, or (mode -1)
// on a catalogue star among the stars in space. CosmosRedraw draws the whole picture into the
// off-screen bitmap from the chart's bodies, the body table, the star and deep-sky catalogues
// and the view's state, and leaves behind where everything was drawn (for the picking).
//
// Units: astronomical units (the view's own 149 600 000 km), parsecs for stars; the view's
// pixels per AU are the drawing width over the mode's scale, and the eye stands one drawing
// width in front of the picture.
#pragma once

#include "core/AstroDat.h"
#include "sky/CosmosBodies.h"
#include "sky/Geometry3D.h"
#include "sky/StarInfo.h"
#include "ui/OffscreenBitmap.h"

#include <array>
#include <functional>
#include <string>

namespace qor {

struct DeepCatalogue;
struct StarCatalogue;
struct SurfaceRegions;

constexpr double kCosmosKmPerAu = 149600000;
constexpr double kCosmosAuPerParsec = 206264.80624709636;
constexpr int kMaxScreenCoord = 32000; // a projected point beyond this is never drawn
constexpr int kSatFrames = 22;         // satellites 1..21 of a mode; 0 the centre

// Where a centre body of a mode was drawn in the current picture.
struct ModeBody {
    bool shown = false;
    double x = 0, y = 0, z = 0; // screen x, y and the depth
    double distance = 0;        // from the eye, AU
    double magnitude = 999;     // apparent
};

// One satellite of the current mode (0 the centre).
struct SatFrame {
    int ScreenX = 0, ScreenY = 0, ScreenZ = 0; // rounded projected position
    int Magnitude = 999;                       // 999: not drawn
    int Slot = 0;                              // body-table slot
    int Point = -1;                            // chart point (the Sun-centred view and the Moon)
    double Anomaly = 0;                        // angle from the pericentre in the orbit's plane
    double OrbitRadiusPx = 0;                  // distance from the centre, pixels; 0: not shown
    double Longitude = 0;                      // longitude in the orbit, from the node's frame
    double A = 0, E = 0;                       // semi-major axis (AU) and eccentricity of the orbit
    double DiscRadiusPx = 0;
    Matrix3 OrbitMatrix{};
    // A chart body (the Sun-centred view, the Earth's Moon) stands where the chart puts it:
    // its place from the centre, AU (its orbit is the mean one and may pass beside it).
    bool ChartPlace = false;
    SpaceVector Place;
};

// The stars drawn: the centre star of the star view is kept by its BS number, so that a
// re-sorted or shortened catalogue keeps the same star.
struct CosmosView {
    std::array<ModeBody, kMaxCosmosMode + 1> ModeBodies{};
    SpaceVector Observer; // the centre star's place (mode -1), parsecs
    int CentreRadius = 0; // pixels
    std::array<int, kMaxCosmosMode + 2> MouseX{}, MouseY{}; // index mode + 1
    int CentrePoint = 1;                                    // chart point of the centre body
    int DrawWidth = 0;                                      // pixels; also the eye's distance
    int DrawHeight = 0;
    double CentreDiameter = 0; // km
    double PixelsPerAu = 0;
    double EyeDistance = 0; // AU, of the object being drawn
    double BodyDiameterPx = 0;
    double CentreMagnitude = 0;
    SpaceVector SunScreen; // the Sun's turned and divided position
    bool SunShown = false;
    int HoverX = 0, HoverY = 0;
    double HoverMagnitude = 0;
    double OrbitE = 0, OrbitA = 0, OrbitLon = 0, OrbitR = 0;
    std::array<SatFrame, kSatFrames> SatFrames{};
    int SatCount = 0; // satellites of the last picture
    bool FlatProjection = false;
    std::string CosmosHoverText;
    // The centre's equator: its inclination and node on the ecliptic.
    double EquatorIncl = 0, EquatorNode = 0;
    int ShipPoint = 0; // the chart point of the space ship while it is the centre, else 0
    ScreenStarTable ScreenStars; // the stars of the last picture
};

// The settings the picture reads from the windows (the settings window's two boxes, the
// surface designer's ring colour and region number, the selected constellation).
struct CosmosDrawOptions {
    bool EqatorBox = false;              // planetographic grid
    bool ImageBox = true;                // surface regions
    ui::Colour SatRingColour = 11189177; // Saturn's rings
    bool ShowNumbBox = false;            // the designer's region number on the globe
    int NumSpinValue = 0;
    std::string SelectedSozv; // constellation code; empty: every star
};

struct CosmosInputs {
    AstroDat& s;
    CosmosBodies& bodies;
    StarCatalogue& stars;
    DeepCatalogue& deep;
    CosmosDrawOptions options;
    bool Ready = true; // start-up finished
    // The surface of the body of a mode (2..10), nullptr when it has none.
    std::function<const SurfaceRegions*(int mode)> Surface;
    // Draws the space ship while it is the centre (its screen centre and size in pixels).
    std::function<void(ui::Canvas&, int cx, int cy, double sizePx)> DrawShip;
};

// The whole picture (see the file's head); nothing before start-up has finished.
void CosmosRedraw(CosmosView& view, CosmosInputs& in, ui::OffscreenBitmap& bmp);

// The view of the current mode as the service form shows it: "mode: scale angleX angleZ".
std::string CosmosViewLine(CosmosBodies& b);

// A distance (AU) with its unit: parsecs from one parsec, else astronomical units from 1 AU,
// else kilometres; three significant digits from 100 on, thousands set apart by blanks.
std::string DistanceText(const AstroDat& s, double au);

// Apparent magnitude of the Sun seen from eyeAu.
double SunMagnitude(double eyeAu);
// Apparent magnitude of a body of that diameter (km) at sunAu from the Sun (at least 10 000 km)
// seen from eyeAu: a disc half lit.
double BodyMagnitudeOf(double diameterKm, double sunAu, double eyeAu);
// Body-table slot `slot` seen from eyeAu: the Sun by its own rule; another body at the
// distance from the Sun `sunAu`.
double BodyMagnitude(const CosmosBodies& b, int slot, double sunAu, double eyeAu);
// The centre body of mode k from eyeAu (its own semi-major axis as the distance from the Sun).
double ModeBodyMagnitude(const CosmosBodies& b, int mode, double eyeAu);

// Kepler's equation E - e sin E = M by bisection on [-10, 10] rad to 1e-10 rad; then the
// radius (a units) and the true anomaly in [0, 2π).
struct KeplerSolution {
    double E = 0, r = 0, trueAnomaly = 0;
};
KeplerSolution SolveKepler(double a, double e, double meanAnomaly);

// The heliocentric ecliptic position (AU) of chart body n (0 the Earth, 1 the Sun at the
// origin, 2 the Moon, 3.. the planets and extra bodies).
SpaceVector HelioPosition(const AstroDat& s, int n);

// The name of a free body slot that makes it the space ship ("Корабль" or "SkyShip").
bool IsShipName(const std::string& name);

// The chart point of satellite k of the Sun-centred view: 1, 2 Mercury and Venus, 3 the Earth,
// 4..9 Mars..Pluto, 10..21 the extra bodies 15..26; -1 otherwise.
int SunViewPoint(int k);

} // namespace qor
