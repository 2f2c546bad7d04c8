// The stars-and-asteroids screen ("A") in the running program, the search window "Find" and
// the searches of the sphere and the strip: the screen's mouse, pan buttons and menu items,
// the interpretation text on a right click, and the pointer sent to what was found.
#pragma once

#include "shell/Program.h"
#include "sky/ObjectSearch.h"
#include "sky/StarStrip.h"
#include "ui/Forms.h"

#include <memory>
#include <string>

namespace qor {

struct SkyData;

struct StripScreen {
    StripScreen(shell::Program& p, SkyData& data) : p(p), data(data) {}
    shell::Program& p;
    SkyData& data;
    StripView view;

    void Redraw();
    void CenterStarAstr(double lon);
    // kind 2 a move, 0 a left release, 1 a right release; true when an object is under it.
    bool StarAstrMouse(int kind, int x, int y);
    void StarAstrMouseDown(int x, int y);
    void Pan(const std::string& button);
    // The searches of the strip and the sphere (message 107 when nothing matches).
    bool FindOnStarAstr(const std::string& name);
    bool FindOnSky(const std::string& name);
    // The cosmos view's search: the view is turned in passes until the object lies in the
    // middle (the main window shows the cosmos first).
    bool FindOnCosmos(const std::string& name);
    // The pointer onto a point of the screen, and circles flashing about it for 1.8 s.
    void PointAtScreenXY(int x, int y);
    // Where the last search pointed (the paint box's point).
    int PointedX = 0, PointedY = 0;

private:
    void NotFound(const std::string& name);
    void ShowCoordinates(int x, int y);
};

class TFind : public ui::TForm {
public:
    explicit TFind(shell::Program& p);
    ui::TMemo* Memo;
    ui::TPanel* Panel1;
    ui::TButton* Button1;
    // Hands the text to the service form's one-shot timer and closes the window.
    void FindObject(const std::string& text);
    void Button1Click();
    void MemoDblClick();

private:
    shell::Program& p_;
};

std::shared_ptr<StripScreen> RegisterStripScreen(shell::Program& p, SkyData& data);

} // namespace qor
