// The map's geometry without a window, worked by hand on a bitmap of 1080 x 540 pixels: the
// world view's scales (5 pixels a degree across, 5.625 down), zoom, pan, centring, the stack.
#include "geo/GeoMap.h"
#include "geo/GeoView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor {
namespace {

constexpr int kW = 1080, kH = 540;

GeoMapView World() {
    GeoMapView v;
    v.Init();
    v.SetBitmap(kW, kH);
    return v;
}

TEST(GeoView, WorldViewProjectsBothWays) {
    GeoMapView v = World();
    EXPECT_EQ(v.level, 1);
    EXPECT_EQ(v.view, GeoViewRec{});
    EXPECT_DOUBLE_EQ(v.scaleX, 0.005);
    EXPECT_DOUBLE_EQ(v.scaleY, -0.005625);
    struct Case {
        int32_t lon, lat;
        int x, y;
    };
    const Case cases[] = {{0, 0, 540, 270},
                          {-108000, 48000, 0, 0},
                          {107800, -48000, 1079, 540},
                          {22200, 33300, 651, 83},
                          {-30000, -6000, 390, 304}};
    for (const Case& c : cases) {
        EXPECT_EQ(v.Project(c.lon, c.lat), std::make_pair(c.x, c.y)) << c.lon << " " << c.lat;
        const auto [lon, lat] = v.Unproject(c.x, c.y);
        EXPECT_NEAR(lon, c.lon, 100) << c.lon; // within a pixel
        EXPECT_NEAR(lat, c.lat, 100) << c.lat;
    }
    // A longitude is taken east of the left edge, less than a full turn: 180°E is 180°W.
    EXPECT_EQ(v.Project(108000, 0).first, 0);
}

TEST(GeoView, ClickInTheMiddleZoomsByTheFactor) {
    GeoMapView v = World();
    ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
    EXPECT_EQ(v.level, 2);
    // hh = 90 pixels: top = 48000 + (270 - 90) / -0.005625 = 16000; a third of the height.
    EXPECT_EQ(v.view.top, 16000);
    EXPECT_EQ(v.view.bottom, -16000);
    // At the equator a degree east is as long as a degree north: 1080 pixels are 64000 units.
    EXPECT_DOUBLE_EQ(v.scaleY, -540.0 / 32000);
    EXPECT_DOUBLE_EQ(v.scaleX, 540.0 / 32000);
    EXPECT_EQ(v.view.left, -32000);
    EXPECT_EQ(v.view.right, 32000);
    EXPECT_EQ(v.stack[1], v.view);
    EXPECT_EQ(v.stack[0], GeoViewRec{});
    // Away from the equator the degrees of longitude are shorter on the ground: wider view.
    GeoMapView n = World();
    ASSERT_EQ(n.ZoomAt(540, 120, kH), GeoZoom::Zoomed);
    const double mid = (n.view.top + n.view.bottom) / 2.0 / 600 * M_PI / 180;
    EXPECT_NEAR(n.scaleX, -n.scaleY * std::cos(mid), 1e-12);
    EXPECT_NEAR(n.view.right - n.view.left, kW / n.scaleX, 2);
}

TEST(GeoView, ZoomAtTheLeftEdgePansFirstAndKeepsTheClickedPlaceInTheMiddle) {
    GeoMapView v = World();
    // x = 10 is 170 pixels short of the half width 180: two pans west of an eighth each.
    ASSERT_EQ(v.ZoomAt(10, 270, kH), GeoZoom::Zoomed);
    EXPECT_EQ(v.level, 2);
    EXPECT_EQ(v.stack[0].left, 54000); // the world view panned twice by 27000, wrapped
    EXPECT_EQ((v.view.left + v.view.right) / 2, -106000); // the clicked longitude
    EXPECT_EQ(v.view.right - v.view.left, 64000);         // the requested size
}

TEST(GeoView, TheDeepestLevelIgnoresClicksAndStepsBackOut) {
    GeoMapView v = World();
    for (int level = 2; level <= 6; ++level) {
        ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
        EXPECT_EQ(v.level, level);
    }
    const GeoViewRec deepest = v.view;
    EXPECT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Ignored);
    EXPECT_EQ(v.level, 6);
    EXPECT_EQ(v.view, deepest);
    for (int level = 5; level >= 1; --level) {
        ASSERT_TRUE(v.ZoomOut());
        EXPECT_EQ(v.level, level);
        EXPECT_EQ(v.view, v.stack[static_cast<std::size_t>(level - 1)]);
    }
    EXPECT_FALSE(v.ZoomOut());
    EXPECT_EQ(v.view, GeoViewRec{});
}

TEST(GeoView, AClickThatSevenPansCannotPlaceDrawsThePannedView) {
    GeoMapView v = World();
    ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
    v.zoomFactor = 1; // the frame is the whole picture: a corner needs eight pans
    const GeoViewRec before = v.view;
    EXPECT_EQ(v.ZoomAt(0, 0, kH), GeoZoom::Panned);
    EXPECT_EQ(v.level, 2);
    EXPECT_NE(v.view, before);
    EXPECT_EQ(v.stack[1], v.view); // the panned view is stored: the map draws it
}

TEST(GeoView, PanNorthStopsAt80DegreesKeepingTheHeight) {
    GeoMapView v = World();
    ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
    const int32_t height = v.view.top - v.view.bottom;
    for (int i = 0; i < 20; ++i) v.Pan(GeoPanDirection::North, 2.0);
    EXPECT_EQ(v.view.top, kGeoMaxLatitude);
    EXPECT_EQ(v.view.top - v.view.bottom, height);
    for (int i = 0; i < 40; ++i) v.Pan(GeoPanDirection::South, 2.0);
    EXPECT_EQ(v.view.bottom, -kGeoMaxLatitude);
    EXPECT_EQ(v.view.top - v.view.bottom, height);
    EXPECT_EQ(v.stack[1], v.view);
    // East across 180°: the left edge stays within ±180°, the right one runs past.
    for (int i = 0; i < 40; ++i) {
        v.Pan(GeoPanDirection::East, 2.0);
        EXPECT_GE(v.view.left, -kGeoHalfTurn);
        EXPECT_LT(v.view.left, kGeoHalfTurn);
    }
}

TEST(GeoView, CentringTakesTheShorterWayAndStaysWithin80Degrees) {
    GeoMapView v = World();
    ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
    v.CentreOn(102000, 30000); // 170°E 50°N
    EXPECT_EQ((v.view.left + v.view.right) / 2, 102000);
    EXPECT_EQ((v.view.top + v.view.bottom) / 2, 30000);
    v.CentreOn(-105000, 30000); // 175°W: 15° further east, across the meridian
    EXPECT_EQ((v.view.left + v.view.right) / 2, 111000);
    EXPECT_EQ(WrapLongitude((v.view.left + v.view.right) / 2), -105000);
    v.CentreOn(0, 53000); // 88°N: the view stops at 80°N
    EXPECT_EQ(v.view.top, kGeoMaxLatitude);
}

TEST(GeoGrid, ViewAcross180LabelsMeridiansEastThenWest) {
    GeoMapView v = World();
    ASSERT_EQ(v.ZoomAt(540, 270, kH), GeoZoom::Zoomed);
    v.CentreOn(108000, 0); // the 180° meridian in the middle
    v.FitScales();
    const GeoGrid g = ComputeGeoGrid(v, 60, 60); // a line every degree
    std::vector<std::string> meridians;
    for (const GeoGridLabel& l : g.labels)
        if (l.y == v.topMargin - 2) meridians.push_back(l.text);
    ASSERT_GE(meridians.size(), 10u);
    const auto e = std::find(meridians.begin(), meridians.end(), "180E");
    ASSERT_NE(e, meridians.end());
    EXPECT_EQ(*(e - 1), "179E");
    EXPECT_EQ(*(e + 1), "179W");
    EXPECT_TRUE(std::is_sorted(g.meridians.begin(), g.meridians.end()));
    // Labels of parts of a degree: at the label step only.
    EXPECT_EQ(GeoGridLabelText(22200, 'E', 'W', 30), "37E");
    EXPECT_EQ(GeoGridLabelText(22500, 'E', 'W', 30), "37E30");
    EXPECT_EQ(GeoGridLabelText(22400, 'E', 'W', 30), "");
    EXPECT_EQ(GeoGridLabelText(-22500, 'N', 'S', 10), "37S30");
    // The world view with its 40° step: meridians from 160°W to 160°E, parallels 40°S to 40°N.
    const GeoGrid w = ComputeGeoGrid(World(), 2400, 2400);
    EXPECT_EQ(w.meridians.size(), 9u);
    EXPECT_EQ(w.parallels.size(), 3u);
    EXPECT_EQ(w.labels.front().text, "160W");
}

TEST(GeoGrid, StepsOfTheSettingsWindow) {
    EXPECT_EQ(GridStepArcmin("40\xB0"
                             "00'"),
              2400);
    EXPECT_EQ(GridStepArcmin(" 0\xB0"
                             "10'"),
              10);
    EXPECT_EQ(GridStepArcmin("xx"), 0);
    EXPECT_EQ(GridStepArcmin(" 1\xB0"
                             "75'"),
              0);
}

TEST(GeoColours, MissingOrUnreadableLinesKeepTheirDefaults) {
    const GeoColors d;
    // The window's stored memo held four lines: the last two colours keep their defaults.
    const GeoColors c = GeoColorsFromLines({"10485760", "32768", "8421504", "8388608"});
    EXPECT_EQ(c.ocean, 10485760u);
    EXPECT_EQ(c.land, 32768u);
    EXPECT_EQ(c.grid, 8421504u);
    EXPECT_EQ(c.frame, 8388608u);
    EXPECT_EQ(c.acg, d.acg);
    EXPECT_EQ(c.label, d.label);
    const GeoColors bad = GeoColorsFromLines({"blue", "", "-5", "16777216", "65535", "255"});
    EXPECT_EQ(bad.ocean, d.ocean);
    EXPECT_EQ(bad.land, d.land);
    EXPECT_EQ(bad.grid, d.grid);
    EXPECT_EQ(bad.frame, d.frame);
    EXPECT_EQ(bad.acg, 65535u);
    EXPECT_EQ(bad.label, 255u);
    EXPECT_EQ(GeoColorsFromLines(GeoColorLines(c)), c);
}

} // namespace
} // namespace qor
