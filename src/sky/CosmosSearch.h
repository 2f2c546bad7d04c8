// Finding an object by name on the cosmos view and turning the view onto it: which object a
// text names there (deep-sky objects, a star by its BS number or its name's beginning, the
// bodies but the Moon, the moons of the centre body), where it lies in the picture, the turn
// of the view that brings it to the middle, and the passes of aiming with their stop rules.
#pragma once

#include "core/AstroDat.h"
#include "sky/CosmosScene.h"

#include <functional>
#include <string>

namespace qor {

struct DeepCatalogue;
struct StarCatalogue;

enum class CosmosTargetKind { None, Deep, Star, Body, Satellite };

struct CosmosTarget {
    CosmosTargetKind kind = CosmosTargetKind::None;
    int index = 0; // deep-sky object, star, chart body 0..10, or moon k of the centre body
};

// In this order, the first match: a deep-sky object by code or name; "*" and a BS number; a
// star whose whole name entry begins with the text; a body 0..10 but the Moon whose name
// begins with it; when the view is not the Sun's, a moon of the centre body whose name
// (without blanks) begins with it. An empty text names nothing.
CosmosTarget FindCosmosObject(AstroDat& s, const CosmosBodies& b, const StarCatalogue& c,
                              const DeepCatalogue& d, const std::string& name);

// For bodies a and b (0..26): the angle at b from the direction towards a to the direction
// towards the Sun, counter-clockwise in the ecliptic, 0..2π, from their heliocentric
// longitudes and radius vectors (the triangle Sun-a-b solved by the law of tangents).
double PairMidDirection(const AstroDat& s, int a, int b);

// Where a target lies in the view as last drawn.
struct AimPoint {
    bool valid = false; // the target has a place in this view
    bool front = false; // it would be drawn: before the eye (a star: in the sky behind)
    double x = 0, y = 0;    // screen point
    SpaceVector dir;        // from the view's centre, ecliptic axes (any length)
    double reachPx = 0;     // its distance from the centre, pixels
    bool sky = false;       // a star or a deep-sky object
};
AimPoint CosmosTargetPoint(const AstroDat& s, const CosmosView& v, const CosmosBodies& b,
                           const StarCatalogue& c, const DeepCatalogue& d, CosmosTarget t);

// Turns the current mode's tilt and turn so that a point in direction `dir` (ecliptic axes,
// from the centre) lies on the line of sight: between the centre and the eye when
// `towardEye`, beyond the centre otherwise. The third angle stays.
void AimModeAt(CosmosBodies& b, const SpaceVector& dir, bool towardEye);

// The view width that shows moon k of the current mode with its orbit: ten times its orbit,
// at most 3000 AU; 0 when the mode has no such moon.
double MoonViewScale(const CosmosBodies& b, int k);

struct AimOutcome {
    bool found = false;
    int passes = 0;
    double x = 0, y = 0; // the last screen point looked at
};
// The passes: each looks at the target; it is found when it is in front within 20 pixels of
// the screen's middle in both directions, or when the 31st pass looks; from the 7th pass on
// the search gives up when the point's x (in whole pixels) equals that of two passes before;
// otherwise `turn` moves the view (and redraws) for the next pass. An invalid point gives up.
AimOutcome AimInPasses(int width, int height, const std::function<AimPoint()>& look,
                       const std::function<void(const AimPoint&)>& turn);

// The whole aiming at a target: a moon's view width first, a picture, the passes (each turn
// redraws), and a last picture; the result's point is the target's place in that picture.
AimOutcome AimCosmosAt(const AstroDat& s, const CosmosView& v, CosmosBodies& b,
                       const StarCatalogue& c, const DeepCatalogue& d, CosmosTarget t,
                       const std::function<void()>& redraw);

} // namespace qor
