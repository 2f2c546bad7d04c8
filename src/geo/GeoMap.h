// The world map's picture: land and sea (filled or as outlines), the coordinate grid with its
// labels, the cities of the atlas by size class and zoom level, the chart's place and the
// points where the planets stand overhead, drawn into the main window's off-screen bitmap from
// the view (GeoView.h), the coastlines and the settings as plain values.
#pragma once

#include "core/AstroDat.h"
#include "geo/AcgLines.h"
#include "geo/Atlas.h"
#include "geo/Coast.h"
#include "geo/GeoView.h"
#include "ui/OffscreenBitmap.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace qor {

// The six map colours ($00BBGGRR) with their defaults.
struct GeoColors {
    uint32_t ocean = 0x808000;
    uint32_t land = 0x005600;
    uint32_t grid = 0x0B6F0B;
    uint32_t frame = 0x808080;
    uint32_t acg = 0x00FFFF;
    uint32_t label = 0x000000;
    bool operator==(const GeoColors&) const = default;
};
// The colours of the six memo lines in this order; a missing line or one that is no number
// keeps that colour's default.
GeoColors GeoColorsFromLines(const std::vector<std::string>& lines);
std::vector<std::string> GeoColorLines(const GeoColors& c);

// What the map settings window says (its controls copied).
struct GeoMapOptions {
    bool contour = false;   // outlines instead of filled land
    bool grid = true;       // "Сетка"
    bool cityMarks = true;  // "Отметки городов"
    bool cityNames = false; // "Названия городов"
    int nameFontAdd = 0;    // added to the names' size
    bool planets = true;    // the planets overhead ("Рисовать планеты")
    std::string planetMask = "||--------"; // planets 1..10: "|" drawn
    // Astro-carto-graphy ("Астро * Карто * Графия"): rising and setting curves ("Asc - Dsc"),
    // meridians ("MC - IC"), the major aspects besides the conjunction, the house curves.
    bool acg = false, acgAscDsc = false, acgMcIc = false, acgMajor = false, acgHouses = false;
    // Grid line steps of levels 1..5, then label steps of levels 1..5, as "DD°MM'".
    std::array<std::string, 10> gridSteps;
    GeoMapOptions();
};
// "DD°MM'" (characters 1-2 and 4-5) in arc-minutes; 0 when it holds no step.
int GridStepArcmin(std::string_view text);

// The chart as the map shows it: the place, the sidereal time, and the planets' equatorial
// places and glyphs (index 1..10).
struct GeoSky {
    double chartLat = 0, chartLong = 0; // radians
    double lstRad = 0;                  // local apparent sidereal time, radians
    std::array<double, 11> ra{}, dec{};
    std::array<std::string, 11> glyph;
    AcgInput acg; // the planets' geocentric places and the house points for the lines
};

// One land polygon of the coastlines, decoded once, with its bounds (map units).
struct GeoLandPolygon {
    std::vector<CoastPoint> points;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
};
std::vector<GeoLandPolygon> DecodeLandPolygons(AstroDat& s, CoastFiles& c);

// A text of the grid at a pixel.
struct GeoGridLabel {
    int x = 0, y = 0;
    std::string text;
    bool operator==(const GeoGridLabel&) const = default;
};
struct GeoGrid {
    std::vector<int> meridians, parallels; // pixel x of each meridian, pixel y of each parallel
    std::vector<GeoGridLabel> labels;
};
// The grid of a view: line step and label step in arc-minutes.
GeoGrid ComputeGeoGrid(const GeoMapView& v, int lineStep, int labelStep);
// A grid label of a longitude or latitude (map units): "37E", "37E30", "" when it gets none.
std::string GeoGridLabelText(int32_t units, char plus, char minus, int labelStep);

// The size class of a map code (0 counts as 5) and the label side.
inline int CityClass(uint16_t mapCode) {
    const int c = mapCode % 10;
    return c == 0 ? 5 : c;
}

// Everything the map keeps between drawings.
struct GeoMapState {
    GeoMapView view;
    GeoColors colors;
    CoastFiles coast;
    std::vector<GeoLandPolygon> land;
    // The names of the atlas for the city labels, read once per atlas (its generation).
    std::vector<CityNameRec> names;
    uint32_t namesGeneration = 0;
    bool namesOn = true; // cleared for the run when the names file cannot be read
    std::array<std::pair<int, int>, 11> subPoints; // pixel of planets 1..10; x = -99 none
    int mapCityIndex = 0;                          // the city under the mouse, 0 none
    std::string hoverCityName;
    // The astro-carto-graphy lines, drawn at levels below 5 when set.
    std::function<void(ui::OffscreenBitmap&)> acgLines;
    std::vector<AcgLabelSpot> acgLabels; // the labels of the last drawing's lines
    // The sea and the filled land as last drawn, with what they were drawn from: a redraw of
    // the same view (another moment, other lines) starts from this picture instead of filling
    // the coastlines again.
    struct LandKey {
        GeoViewRec view;
        double scaleX = 0, scaleY = 0;
        int mapWidth = 0, mapHeight = 0, leftMargin = 0, topMargin = 0;
        int width = 0, height = 0; // the bitmap's
        uint32_t ocean = 0, land = 0;
        const GeoLandPolygon* polygons = nullptr;
        std::size_t polygonCount = 0;
        bool operator==(const LandKey&) const = default;
    };
    LandKey landKey;
    QImage landPicture; // null: none kept
    GeoMapState();
};

// Draws the whole map into the bitmap.
void DrawGeoMap(AstroDat& s, GeoMapState& st, const GeoMapOptions& o, const Atlas& atlas,
                const GeoSky& sky, ui::OffscreenBitmap& b, ui::Font16State& font);

// Pixel of a place in radians (longitude east of the view's left edge, 0..2π).
std::pair<int, int> GeoPixelOf(const GeoMapView& v, double latRad, double lonRad);
// The planets' sub-points: longitude RA − (LST − chart longitude), latitude the declination.
std::pair<double, double> SubPointOf(const GeoSky& sky, int planet); // (lat, lon) radians

// The city labels of a name record: characters 1-31 trimmed, cut before "," and "(".
std::string CityLabelName(const CityNameRec& n);

// What lies under the mouse: the first planet whose sub-point is within 3 pixels, else the
// first city (index order) drawn at the level whose pixel is within 3 pixels.
struct GeoHover {
    int planet = 0; // 1..10, 0 none
    int city = 0;   // 1-based coordinate index, 0 none
};
GeoHover GeoHoverAt(const GeoMapState& st, const Atlas& atlas, int x, int y);

} // namespace qor
