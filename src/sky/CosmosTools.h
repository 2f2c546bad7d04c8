// The tool windows of the cosmos view: the planet window "PlnForm" (one chart body's data), the
// satellites table "SatData" (the bodies round the centre, with their orbit switches) and the
// planet-surface designer "ImgDes". The texts come from BodyTables, the surface files from
// Surface; the windows bind them to their controls.
#pragma once

#include "sky/CosmosWindows.h"
#include "sky/Surface.h"
#include "ui/Forms.h"

#include <functional>
#include <random>
#include <string>

namespace qor {

class TPlnForm : public ui::TForm {
public:
    explicit TPlnForm(CosmosSky& sky);
    // Fills the labels for the body sky.ClickedIndex (nothing when it is below 0).
    void FillPlanetInfo();
    // The value labels by number (2..7, 20..26, 28, 31, 32, 34; others nullptr).
    std::array<ui::TLabel*, 35> Values{};

private:
    CosmosSky& sky_;
};

class TSatData : public ui::TForm {
public:
    explicit TSatData(CosmosSky& sky);
    ui::TDrawGrid* DrawGrid;
    ui::TMemo* Memo; // the orbit switches of systems 1..10
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem *N1, *N2, *N5, *N6, *N7, *N3;

    // The table of the current centre (caption, rows and cells).
    void FillTable();
    // The pop-up menu's state for the current row.
    void PopupMenuPopup();
    void N1Click(); // find the row's body on the screen
    void N2Click(); // its orbit on or off
    void N5Click(); // its orbit scheme on or off
    void SetAllOrbits(bool on);
    int CurrentRow() const;

private:
    CosmosSky& sky_;
    int mode_ = 1;
};

class TImgDes : public ui::TForm {
public:
    explicit TImgDes(CosmosSky& sky);
    ui::TEdit* PlnEdit;
    ui::TEdit* FileEdit;
    ui::TSpinEdit* NumSpinEdit;
    ui::TEdit *LEdit, *BEdit, *REdit, *NameEdit;
    ui::TComboBox* ComboBox1;
    ui::TLabel *PlnLabel, *RegLabel, *CntLabel, *SatRingLabel;
    ui::TEdit* SatRingEdit;
    ui::TPanel* Panel2;
    ui::TPaintBox* PaintBox;
    ui::TButton *CreateButton, *ChangeButton, *DeleteButton, *MultButton;
    ui::TCheckBox* ShowNumbBox;

    // The regions of the body of the current cosmos view, read again.
    void LoadRegions();
    void ShowSurfaceRegion(int k);
    void CreateButtonClick();
    void ChangeButtonClick();
    void DeleteButtonClick();
    void MultButtonClick();
    // A colour label's click: 0 the body, 1 the region's fill, 2 its contour, 3 Saturn's rings.
    void EditColour(int which);
    const SurfaceRegions& Regions() const { return regions_; }
    // random(n) gives 0..n-1 (tests give their own).
    std::function<int(int)> Random;

private:
    bool Save();
    int Current() const;
    uint8_t RingShape() const; // the shape box's text: 1 a ring, else 0 a disc
    CosmosSky& sky_;
    SurfaceRegions regions_;
    std::mt19937 rng_{std::random_device{}()};
};

// Opens the planet window for chart body `index` (-1: the body shown last).
void ShowPlanetInfo(CosmosSky& sky, int index);
// Opens the satellites window with the switches kept in its memo.
void ShowSatellites(CosmosSky& sky);

void RegisterCosmosTools(std::shared_ptr<CosmosSky> sky);

} // namespace qor
