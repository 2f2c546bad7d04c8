#include "geo/GeoView.h"

#include "core/Formats.h"

#include <algorithm>
#include <cmath>

namespace qor {

namespace {

constexpr double kUnitToRad = 3.14159265358979323846 / (180.0 * 600.0);

// Pixels are kept far outside any bitmap but within what the painter's integers hold.
int ClampPixel(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -3.2e6, 3.2e6)));
}

double NonZero(double v) {
    return NonZeroGuard(v);
}

} // namespace

int32_t WrapLongitude(int64_t lon) {
    int64_t v = (lon + kGeoHalfTurn) % kGeoFullTurn;
    if (v < 0) v += kGeoFullTurn;
    return static_cast<int32_t>(v - kGeoHalfTurn);
}

void GeoMapView::Init() {
    view = GeoViewRec{};
    level = 0;
    Push();
}

void GeoMapView::Push() {
    if (level >= kGeoZoomLevels) return;
    ++level;
    stack[static_cast<std::size_t>(level - 1)] = view;
}

void GeoMapView::Pop() {
    if (level <= 1) return;
    --level;
    view = stack[static_cast<std::size_t>(level - 1)];
}

void GeoMapView::Store() {
    if (level >= 1) stack[static_cast<std::size_t>(level - 1)] = view;
}

void GeoMapView::SetBitmap(int width, int height) {
    mapWidth = std::max(width, 1);
    mapHeight = std::max(height, 1);
    FitScales();
}

void GeoMapView::FitScales() {
    scaleX = (mapWidth - leftMargin) / NonZero(double(view.right) - view.left);
    scaleY = (mapHeight - topMargin) / NonZero(double(view.bottom) - view.top);
}

void GeoMapView::ScalesAtMidLatitude() {
    scaleY = (mapHeight - topMargin) / NonZero(double(view.bottom) - view.top);
    const double mid = (double(view.top) + view.bottom) / 2 * kUnitToRad;
    scaleX = -scaleY * std::cos(mid);
}

void GeoMapView::RederiveLongitudes() {
    const double c = (double(view.left) + view.right) / 2;
    const double r = std::round((mapWidth - leftMargin) / NonZero(scaleX) / 2);
    view.left = static_cast<int32_t>(std::lround(c - r));
    view.right = static_cast<int32_t>(std::lround(c + r));
}

void GeoMapView::KeepOnTheMap() {
    if (view.top > kGeoMaxLatitude) {
        const int32_t d = view.top - kGeoMaxLatitude;
        view.top -= d;
        view.bottom -= d;
    }
    if (view.bottom < -kGeoMaxLatitude) {
        const int32_t d = -kGeoMaxLatitude - view.bottom;
        view.top += d;
        view.bottom += d;
    }
    if (view.left >= kGeoHalfTurn) {
        view.left -= kGeoFullTurn;
        view.right -= kGeoFullTurn;
    } else if (view.left < -kGeoHalfTurn) {
        view.left += kGeoFullTurn;
        view.right += kGeoFullTurn;
    }
}

GeoZoom GeoMapView::ZoomAt(int x, int y, int paintHeight) {
    if (level >= zoomMax) return GeoZoom::Ignored;
    FitScales();
    const int width = mapWidth - leftMargin, height = mapHeight - topMargin;
    const int hw = (width / zoomFactor) / 2, hh = (height / zoomFactor) / 2;
    // The new view's frame is brought onto the map first: pans west, north or south, at most
    // seven of them.
    bool placed = false;
    for (int pans = 0; pans < kGeoPanSteps; ++pans) {
        if (x - hw < 0) {
            Pan(GeoPanDirection::West, 2.0);
            x += width / 8;
        } else if (y - hh < 0) {
            Pan(GeoPanDirection::North, 2.0);
            y += height / 8;
        } else if (y + hh > paintHeight) {
            Pan(GeoPanDirection::South, 2.0);
            y -= height / 8;
        } else {
            placed = true;
            break;
        }
    }
    // After seven pans the click is dropped; the panned view stands (and is drawn).
    if (!placed) return GeoZoom::Panned;
    const double c = WrapLongitude(std::llround((x - leftMargin) / NonZero(scaleX) + view.left));
    const int32_t top = view.top + static_cast<int32_t>(std::lround((y - hh - topMargin) / scaleY));
    view.bottom = top + (view.bottom - view.top) / zoomFactor;
    view.top = top;
    ScalesAtMidLatitude();
    const double r = std::round(width / NonZero(scaleX) / 2);
    view.left = static_cast<int32_t>(std::lround(c - r));
    view.right = static_cast<int32_t>(std::lround(c + r));
    Push();
    return GeoZoom::Zoomed;
}

bool GeoMapView::ZoomOut() {
    if (level < 2) return false;
    Pop();
    return true;
}

void GeoMapView::Pan(GeoPanDirection d, double factor) {
    const int32_t dx =
        static_cast<int32_t>(std::lround((double(view.right) - view.left) / (4 * factor)));
    const int32_t dy = std::abs(
        static_cast<int32_t>(std::lround((double(view.bottom) - view.top) / (4 * factor))));
    switch (d) {
    case GeoPanDirection::West:
        view.left -= dx;
        view.right -= dx;
        break;
    case GeoPanDirection::East:
        view.left += dx;
        view.right += dx;
        break;
    case GeoPanDirection::North:
        view.top += dy;
        view.bottom += dy;
        break;
    case GeoPanDirection::South:
        view.top -= dy;
        view.bottom -= dy;
        break;
    }
    KeepOnTheMap();
    if (level > 1) {
        ScalesAtMidLatitude();
        RederiveLongitudes();
    }
    Store();
}

void GeoMapView::CentreOn(int32_t lon, int32_t lat) {
    const int32_t dy = lat - (view.top + view.bottom) / 2;
    // The shorter way round: a place across the 180° meridian moves the view a little.
    const int32_t dx = WrapLongitude(int64_t(lon) - (int64_t(view.left) + view.right) / 2);
    view.top += dy;
    view.bottom += dy;
    view.left += dx;
    view.right += dx;
    KeepOnTheMap();
    if (level > 1) {
        ScalesAtMidLatitude();
        RederiveLongitudes();
    }
    Store();
}

std::pair<int, int> GeoMapView::Project(int32_t lon, int32_t lat) const {
    int64_t dx = (int64_t(lon) - view.left) % kGeoFullTurn;
    if (dx < 0) dx += kGeoFullTurn;
    return {ClampPixel(dx * scaleX) + leftMargin,
            ClampPixel((double(lat) - view.top) * scaleY) + topMargin};
}

std::pair<double, double> GeoMapView::Unproject(int x, int y) const {
    double lon = (x - leftMargin) / NonZero(scaleX) + view.left;
    lon = std::fmod(lon + kGeoHalfTurn, double(kGeoFullTurn));
    if (lon < 0) lon += kGeoFullTurn;
    return {lon - kGeoHalfTurn, (y - topMargin) / NonZero(scaleY) + view.top};
}

} // namespace qor
