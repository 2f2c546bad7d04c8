// The geometry of the world map: the view in map units (1/600 degree; longitudes east, wrapped
// at ±180°; latitudes north, kept within ±80°), its zoom stack of ten levels, the scales from
// map units to the pixels of the bitmap, the projection both ways, pan, zoom and centring.
// No drawing and no window: the map screen draws with what this gives.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace qor {

constexpr int32_t kGeoHalfTurn = 108000;   // 180 degrees
constexpr int32_t kGeoFullTurn = 216000;   // 360 degrees
constexpr int32_t kGeoMaxLatitude = 48000; // 80 degrees: the view never goes further
constexpr int kGeoZoomLevels = 10;
constexpr int kGeoPanSteps = 7; // pans a zoom makes at most to keep its frame on the map

struct GeoViewRec {
    int32_t top = kGeoMaxLatitude, bottom = -kGeoMaxLatitude;
    int32_t left = -kGeoHalfTurn, right = kGeoHalfTurn;
    bool operator==(const GeoViewRec&) const = default;
};

enum class GeoPanDirection { West = 0, East = 1, North = 2, South = 3 };

// What a click on the map did.
enum class GeoZoom {
    Ignored, // the deepest level: nothing changes
    Zoomed,  // one level deeper, around the click
    Panned   // the click's frame could not be brought onto the map: only the pans took place
};

class GeoMapView {
public:
    GeoViewRec view;
    std::array<GeoViewRec, kGeoZoomLevels> stack{}; // level k is stack[k - 1]
    int level = 0;                                  // entries of the stack; 1 is the world view
    int zoomMax = 6;                                // the deepest level a click reaches
    int zoomFactor = 3; // the view's size is divided by it per zoom step
    int mapWidth = 1, mapHeight = 1;
    int leftMargin = 0, topMargin = 0;
    double scaleX = 0, scaleY = 0; // pixels per map unit (scaleY < 0: north is up)

    // The world view, alone on the stack.
    void Init();
    void Push();  // a new level with the view (up to 10)
    void Pop();   // back to the level below (never below 1)
    void Store(); // the view into the current level
    // The bitmap's size; then the scales that fit the view to it.
    void SetBitmap(int width, int height);
    void FitScales();

    // Zoom in around pixel (x, y) of a click; `paintHeight` is the main window's picture.
    GeoZoom ZoomAt(int x, int y, int paintHeight);
    // Back to the level below; false at the world view.
    bool ZoomOut();
    // One pan step: a quarter of the view divided by `factor` (no drawing).
    void Pan(GeoPanDirection d, double factor);
    // Moves the view's centre onto a place (map units), within ±80° of latitude.
    void CentreOn(int32_t lon, int32_t lat);

    // Pixel of a place (map units); with the margins. The longitude is taken east of the
    // view's left edge, 0 to 360°.
    std::pair<int, int> Project(int32_t lon, int32_t lat) const;
    // The place (map units, longitude wrapped into ±180°) under pixel (x, y).
    std::pair<double, double> Unproject(int x, int y) const;
    // The view's longitudes from their mean and scaleX (after the scales changed).
    void RederiveLongitudes();
    // The scales of a view at its mid-latitude: scaleY from the height, scaleX the same
    // length on the ground (levels 2 and deeper).
    void ScalesAtMidLatitude();

private:
    void KeepOnTheMap(); // latitudes within ±80°, left edge within ±180°
};

// std::lround (halves away from zero) of a pixel coordinate within ±1e6, without the library
// call: the fraction v - trunc(v) is exact.
inline int RoundPixel(double v) {
    const double t = std::trunc(v);
    const double f = v - t;
    return static_cast<int>(t) + (f >= 0.5 ? 1 : 0) - (f <= -0.5 ? 1 : 0);
}

// A longitude in map units brought into [-180°, 180°).
int32_t WrapLongitude(int64_t lon);

} // namespace qor
