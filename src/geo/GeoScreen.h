// The world map as the main window's screen "G": its drawing, the mouse (hover hint, the
// coordinates under the pointer, the zoom frame and the click zoom, the map's menu), the keys
// and the pan buttons, the place the atlas hands over, and the settings window's classes.
#pragma once

#include "geo/Atlas.h"
#include "geo/GeoMap.h"
#include "shell/Program.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace qor::geo {

class GeoScreen {
public:
    GeoScreen(shell::Program& p, Atlas& atlas, GeoMapState& map);

    // Start-up: the colours, then the view and the coastlines.
    void LoadColors();
    void InitGeoMap();
    // The whole map into the off-screen bitmap (not before the start-up has finished).
    void RedrawGeoMap();
    // The map drawn and shown on the main window when it is the current screen.
    void Show();

    void MouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void MouseMove(ui::Shift shift, int x, int y);
    void MouseUp(ui::MouseButton b, ui::Shift shift, int x, int y);
    bool NavKey(int key, ui::Shift shift);
    void PanButton(const std::string& button);
    // The map's menu at a screen point, its items enabled for the level and the city.
    void PopupMenu(QPoint screen);
    // The hint and the coordinates of the place under pixel (x, y).
    void GeoMapMouseMove(int x, int y);
    // Shows a place of the atlas (arc-minutes): the view centred on it when it lies outside
    // (once, its latitude held within ±80°), then the pointer there and a short flash.
    void ShowPlaceOnGeoMap(int latArcmin, int lonArcmin);
    // The size editor for the city under the mouse (Alt+C, the map's menu).
    bool OpenCitySizeForHover();

    // The texts of the last hover (for the tests and the status line).
    std::string HintText, PanelText;
    // The frame a left drag shows (screen pixels of the picture), empty when none.
    QRect DragFrame;
    // Steps of the flash still to come (it runs from a timer, 100 ms apart).
    int FlashSteps = 0;
    QPoint FlashAt;

private:
    GeoSky Sky() const;
    void UpdateOverlay();
    shell::Program& p_;
    Atlas& atlas_;
    GeoMapState& map_;
    bool leftHeld_ = false;
    class Overlay;
    QPointer<QWidget> overlay_; // gone with the main window's picture
};

// Registers the screen "G", the settings window "GeoSet", the map's start-up steps, menu items,
// tick duty and save duty.
void RegisterGeoScreen(shell::Program& p, Atlas& atlas);

} // namespace qor::geo
