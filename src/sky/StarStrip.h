// The stars-and-asteroids screen ("A"): the zodiac as a flat strip, ecliptic longitude across
// and latitude up, on white: a degree grid with the sign glyphs, the catalogue asteroids at
// their places of date, the named stars, the deep-sky objects and the bodies Sun to Pluto. The
// strip pans and zooms across up to 100 times; at full zoom every object is labelled.
//
// Plain data and drawing here; the screen's glue to the windows lives in StripScreen.
#pragma once

#include "core/AstroDat.h"
#include "sky/Asteroids.h"
#include "sky/CelestialSphere.h"
#include "sky/StarCatalogue.h"
#include "ui/OffscreenBitmap.h"

#include <functional>
#include <string>
#include <vector>

namespace qor {

struct DeepCatalogue;

constexpr int kStripMaxLabels = 300;
constexpr double kStripZoomMax = 100;

struct StripRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

enum class StripPick { None, Star, Deep, Body, Asteroid };

struct StripView {
    double CentreLon = 0; // radians, any value (differences are reduced)
    double Zoom = 1;      // 1..100
    bool AllNames = true; // labels at full zoom
    // Geometry of the last drawing: the usable width and height, the centre.
    int W = 0, H = 0, cx = 0, cy = 0;
    int DragStart = -1; // pointer x where a drag began, -1 none
    // The labels placed on the last drawing and the height of a text line.
    std::vector<StripRect> Labels;
    int TextHeight = 13;
    ScreenStarTable ScreenStars;
    std::array<BodySpot, 18> BodySpots{};
    // Hover: the text (empty none), the label drawn above the object, its point, what it is.
    std::string HoverText, HoverLabel;
    int HoverX = 0, HoverY = 0, Picked = 0;
    StripPick Found = StripPick::None;
    double FoundLon = 0; // the found object's ecliptic longitude
};

struct StripInputs {
    AstroDat& s;
    StarCatalogue& stars;
    DeepCatalogue& deep;
    AsteroidCatalogue& asteroids;
    bool Ready = true;
    ui::Font16State* Font = nullptr;
};

// Pixels per radian of longitude at zoom 1: a whole turn is twice the width.
double StripPixelsPerRadian(const StripView& v);
int StripX(const StripView& v, double lon);
int StripY(const StripView& v, double lat);
// The ecliptic place (longitude 0..2π) under a screen point.
void StripInverse(const StripView& v, int x, int y, double& lon, double& lat);
void SetStripGeometry(StripView& v, int width, int height);

void StarAstrPan(StripView& v, double step);
void StarAstrZoom(StripView& v, double factor);

// Moves a label of w × h at (x, y) down by whole heights until it overlaps none placed, and
// records it (beyond kStripMaxLabels it is moved but not recorded).
void PlaceStripLabel(StripView& v, int x, int& y, int w, int h);

// The whole strip; `tooMany` once per drawing with more named stars than the table holds.
void RedrawStarAstr(StripView& v, StripInputs& in, ui::OffscreenBitmap& bmp,
                    const std::function<void()>& tooMany = {});

// What lies under the pointer by the last drawing: the brightest star, else the first deep-sky
// object, else the first body, else the first asteroid (within |dx| + |dy| < 5). Sets the
// hover fields.
StripPick StripHitTest(StripView& v, AstroDat& s, const StarCatalogue& c, const DeepCatalogue& d,
                       const AsteroidCatalogue& a, int x, int y);

// The apparent places of date of every catalogue asteroid into the records (Lon, Lat).
void CalcCatalogueAsteroids(AstroDat& s, const GeneralOptions& gen, AsteroidCatalogue& a);

} // namespace qor
