// The cosmos screen's mouse, keys, pan buttons, menu and view commands: the main window hands
// them here while the screen "S" is shown; CosmosSteering decides, this carries it out on the
// program (windows, sounds, the status line, the command link's answer file).
#pragma once

#include "shell/Program.h"
#include "sky/CosmosSteering.h"
#include "sky/CosmosWindows.h"

#include <memory>

namespace qor {

class CosmosInput {
public:
    CosmosInput(shell::Program& p, std::shared_ptr<CosmosSky> sky);

    // The mouse: button 0 left, 1 right (both on release), 2 a move. True when something other
    // than the centre body lies under the pointer.
    bool CosmosMouse(int button, int x, int y);
    // A left click on what CosmosMouse found last.
    void CosmosClick();
    // A key of the main window's table (true when the screen took it).
    bool NavKey(int key, ui::Shift shift);
    // One step of a held pan or zoom button.
    void Pan(const std::string& button);
    // The cosmos key with its step ("x", "X", "z", "Z", "l", "L").
    void CosmosKey(char key, double step);
    // The menu's "To the Sun".
    void ReturnToSun();
    // The menu's items enabled for the view as it stands.
    void PrepareMenu();
    // The command link's "SetOrbitPos" and "RunOrbitPos": the answer line ("" none).
    std::string SetOrbitPos(const std::string& args);
    std::string RunOrbitPos(const std::string& args);

    const CosmosPick& LastPick() const { return pick_; }
    // The speed of keypad 1 and 7 (the steps of zoom: speed / 100 + 1).
    double Speed = 10;

private:
    void Redraw();
    bool ShipCentre() const;
    void CloseStarWindows();
    shell::Program& p_;
    std::shared_ptr<CosmosSky> sky_;
    CosmosPick pick_;
};

// Registers the mouse, keys, pan buttons, the menu's actions, the link's view commands and the
// planet, satellites and designer windows.
std::shared_ptr<CosmosInput> RegisterCosmosInput(shell::Program& p, std::shared_ptr<CosmosSky> sky);

} // namespace qor
