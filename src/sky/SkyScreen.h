// The celestial sphere screen ("C") of the main window: its settings window "sky", the
// constellations window "Sozv", the mouse, keys and pan buttons, and the view kept in the main
// window's edit "SkyEdit" between runs. CelestialSphere draws; this carries it out on the
// program (windows, sounds, the status line).
#pragma once

#include "shell/Program.h"
#include "sky/CelestialSphere.h"
#include "sky/CosmosWindows.h"
#include "ui/Forms.h"

#include <memory>
#include <string>
#include <vector>

namespace qor {

struct SkyData;

// The sphere's state in the running program.
struct SkySphere {
    SkySphere(shell::Program& p, SkyData& data, std::shared_ptr<CosmosSky> cosmos)
        : p(p), data(data), cosmos(std::move(cosmos)) {}
    shell::Program& p;
    SkyData& data;
    std::shared_ptr<CosmosSky> cosmos; // the star and planet windows
    SkyView view;
    // Copied from the settings window by ReadSkySettings.
    int SkySystem = kSkyHorizontal;
    bool Equator = true, Ecliptic = true;

    // What the settings window holds now (its defaults when it is not there).
    SkyOptions Options() const;
    void InitSkyView();
    void ReadSkySettings();
    void SaveSkyView();
    void RedrawSky();
    void RedrawSkyIfShown();
    // The mouse (kind 2 a move, 0 a left release, 1 a right release): true when an object is
    // under the pointer.
    bool SkyMouseHover(int kind, int x, int y);
    void SkyClickAction();
    // The fixed-Sun box of the settings window.
    void SkyFixSunBox();
    void Rotate(char sign, double step);
    void Tilt(char sign, double step);
    void Zoom(int num, int den);
    bool NavKey(int key, ui::Shift shift);
    void Pan(const std::string& button);

private:
    void ShowHover(const std::string& before);
    void RedrawUnlessRunning();
};

class Tsky : public ui::TForm {
public:
    explicit Tsky(SkySphere& sphere);
    ui::TTabControl* TabControl;
    ui::TPanel* MainPanel;
    ui::TPanel* AxesPanel;
    ui::TRadioGroup* SystemRadioGroup;
    ui::TRadioGroup* ViewGroup;
    ui::TGroupBox* DrawBox;
    ui::TCheckBox* EquatCheckBox;
    ui::TCheckBox* EcliptCheckBox;
    ui::TCheckBox* HorizonBox;
    ui::TCheckBox* AxesBox;
    ui::TCheckBox* StarBox;
    ui::TCheckBox* PlanetBox;
    ui::TCheckBox* ZodiakBox;
    ui::TCheckBox* HousBox;
    ui::TCheckBox* SunBox;
    ui::TGroupBox* BackBox;
    ui::TRadioButton* BlackButton;
    ui::TRadioButton* WhiteButton;
    ui::TLabel* MagnLabel;
    ui::TSpinEdit* Magn;
    ui::TRadioGroup* AxesGroup;
    ui::TButton* FindButton;

private:
    SkySphere& sphere_;
};

class TSozv : public ui::TForm {
public:
    TSozv(shell::Program& p, SkyData& data);
    ui::TDrawGrid* DrawGrid1;
    ui::TDrawGrid* DrawGrid2;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* Npicture;
    // The rows in the window's order ("code Russian-name Latin-name").
    std::vector<std::string> Rows;
    // The double click on row r (1..88): chooses that constellation or clears the choice.
    void ToggleRow(int r);
    // A click on header column 1 or 2 sorts by it.
    void SortBy(int column);

private:
    void PopupMenuPopup();
    shell::Program& p_;
    SkyData& data_;
    int clickedRow_ = 0, clickedCol_ = 0;
};

// Registers the screen "C", its windows and the constellations window.
std::shared_ptr<SkySphere> RegisterSkySphere(shell::Program& p, SkyData& data);

} // namespace qor
