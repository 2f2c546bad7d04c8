// Steering the cosmos view: what lies under the mouse (the hit test and its caption), what a
// click does (re-centring on a planet, a body or a star), the keys that turn and zoom the view,
// and the view commands of the command link. Plain routines over the view's state; the screen
// (CosmosScreen) carries out what they ask of windows, sounds and messages.
#pragma once

#include "sky/CosmosScene.h"

#include <string>

namespace qor {

struct DeepCatalogue;
struct StarCatalogue;

// What a code of the hit test names: 0 the centre body, 1..21 satellite k of the view (in the
// Sun's view a planet or extra body), 100 + k the centre body of mode k, 1000 the Sun in the
// star view, 1000 + s catalogue star s (1..kMaxStars), 100000 + i deep-sky object i.
constexpr int kPickStarBase = 1000;
constexpr int kPickDeepBase = 100000;
inline bool IsStarPick(int code) {
    return code > kPickStarBase && code <= kPickStarBase + 9110;
}
inline bool IsDeepPick(int code) {
    return code > kPickDeepBase && code <= kPickDeepBase + 1000;
}

enum class PickKind { None = 0, Star = 1, ModeBody = 2, Satellite = 3, Centre = 4, Deep = 6 };

struct CosmosPick {
    PickKind kind = PickKind::None;
    int code = 0;
    int x = 0, y = 0;       // where the object lies on the screen
    double magnitude = 999; // its brightness
};

// The object under the pointer at (x, y) in the picture last drawn: the satellites, the centre,
// the other centres, the Sun and the centre star of the star view, the deep-sky objects and
// the stars, in this order; among stars the brightest, or a named one over a nameless one.
CosmosPick CosmosHitTest(const CosmosView& v, const CosmosBodies& b, StarCatalogue& stars,
                         const DeepCatalogue& deep, int x, int y);

// The caption of a picked object: its name and distance from the eye, the star's designation,
// the deep-sky object's names. Empty for a centre disc wider than 3 pixels in radius.
std::string CosmosObjectCaption(AstroDat& s, CosmosView& v, const CosmosBodies& b,
                                StarCatalogue& stars, const DeepCatalogue& deep,
                                const CosmosPick& pick);

// The width of the ship's view when a click centres on it (10 km, in AU) at the most.
constexpr double kShipViewScale = 6.684491978609626e-08;

// What a left click on a picked object asks for.
struct ClickOutcome {
    bool handled = false;    // something changed; windows close and the view is redrawn
    int newMode = 1000;      // the centre mode to take (1000: unchanged)
    int centreOnStar = 0;    // centre the star view on this star (index)
    int deepPicture = 0;     // show the picture of this deep-sky object
    bool noDistance = false; // the star has no distance: message 72 and nothing else
    std::string sound;       // "Long.wav", "Short.wav" or "Ship.wav"
};
// The rules of a click by its code (see IsStarPick ...), for the view as it stands.
ClickOutcome CosmosClickOutcome(const CosmosBodies& b, const StarCatalogue& stars, int code);

// Turns the current mode's angle "X", "Z" or "F" by `degrees` (an angle beyond 4π is first
// reset to 0.001).
void TurnModeAngle(CosmosBodies& b, char axis, double degrees);

// Multiplies the current mode's scale by `factor` (below 1 zooms in): a centre disc larger than
// the picture's height is first brought to half of it, a zoom-in never makes the disc as wide
// as the screen, the ship's view stays at least 2 km and every view at most 1000 pc wide.
void CosmosZoom(CosmosBodies& b, const CosmosView& v, double factor, bool shipCentre);

// The keys of the view: "x"/"X" tilt, "z"/"Z" turn by ±0.1° x step, "l"/"L" zoom out and in.
// A step of exactly 0 counts as 1.
void CosmosKey(CosmosBodies& b, const CosmosView& v, char key, double step, bool shipCentre);

// The least scale of a mode, AU (the settings' lower bounds; 1e-8 AU for the others).
double ModeScaleFloor(int mode);

// "SetOrbitPos": "mode;scale;angleX;angleZ" (":" reads as the decimal point). False, with the
// problem, when the mode is not one of -1..22; nothing changes then.
bool RestoreCosmosView(CosmosBodies& b, const std::string& text, std::string& problem);

// "RunOrbitPos": "letter;amount;count": D adds the amount to the scale (never below the mode's
// floor), Q to the tilt, V to the turn; any other letter changes nothing. False, with the
// problem, when the count is not 0..10000.
struct OrbitRun {
    char op = ' ';
    double amount = 0;
    int count = 0;
};
bool ParseOrbitRun(const std::string& text, OrbitRun& run, std::string& problem);
void OrbitRunStep(CosmosBodies& b, const OrbitRun& run);

} // namespace qor
