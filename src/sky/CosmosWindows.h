// The windows of the cosmos view: its settings window "OrbitSet", the star-mark legend "mStar"
// (which keeps the view states of the 23 modes in its hidden memo), and the two star windows
// "StarForm" (positions of date and catalogue data) and "DeepStar" (the star as a body in
// space). The windows only show what CosmosScene and StarInfo compute.
#pragma once

#include "sky/BodyTables.h"
#include "sky/CosmosScene.h"
#include "ui/Forms.h"

#include <functional>
#include <string>

namespace qor {

struct DeepCatalogue;
struct StarCatalogue;

// The sky data the cosmos view and its windows work on, and what they call in the program.
struct CosmosSky {
    CosmosSky(AstroDat& s, CosmosBodies& bodies, StarCatalogue& stars, DeepCatalogue& deep)
        : s(s), bodies(bodies), stars(stars), deep(deep) {}
    AstroDat& s;
    CosmosBodies& bodies;
    StarCatalogue& stars;
    DeepCatalogue& deep;
    CosmosView view;
    // The star the star windows show, by its BS number (0 none): a re-sorted catalogue keeps it.
    int InfoStarBS = 0;
    // The chart body the planet window shows (-1 none).
    int ClickedIndex = -1;
    // The recompute hub, the cosmos picture's redraw and the main window's focus.
    std::function<void()> RefreshAll, Redraw, FocusMain;
    // The planet window's texts for a chart body (false: leave the window as it is).
    std::function<bool(int index, PlanetInfoTexts&)> PlanetInfo;
    // The search for a named object on the current screen.
    std::function<void(const std::string&)> FindOnScreen;

    int InfoStar() const;
    void SetInfoStar(int index);
};

// --- Settings window -------------------------------------------------------------------------
class TOrbitSet : public ui::TForm {
public:
    explicit TOrbitSet(CosmosSky& sky);
    ui::TPanel* Panel1;
    ui::TCheckBox* EqatorBox; // the planetographic grid
    ui::TCheckBox* ImageBox;  // the surface regions

private:
    CosmosSky& sky_;
};

// --- Star-mark legend with the view states ---------------------------------------------------
class TmStar : public ui::TForm {
public:
    TmStar();
    ui::TPaintBox* PaintBox;
    // The view states of modes 0..22 ("scale;angle X;angle Z"), kept with the window's state.
    ui::TMemo* OrbitMemo;

    // The legend: a mark for magnitudes -2..6 and its range.
    static void DrawLegend(ui::Canvas& canvas);
};

// --- Star windows ----------------------------------------------------------------------------
class TStarForm : public ui::TForm {
public:
    explicit TStarForm(CosmosSky& sky);
    void FillStarForm();

    ui::TLabel* DesignLabel;
    ui::TLabel* NameLabel;
    ui::TLabel* LonLabel;
    ui::TLabel* LatLabel;
    ui::TLabel* RALabel;
    ui::TLabel* DecLabel;
    ui::TLabel* AzLabel;
    ui::TLabel* AltLabel;
    ui::TLabel* MagLabel;
    ui::TLabel* DistLabel;
    ui::TLabel* SpecLabel;
    ui::TLabel* BSLabel;
    ui::TLabel* HDLabel;

private:
    CosmosSky& sky_;
};

class TDeepStar : public ui::TForm {
public:
    explicit TDeepStar(CosmosSky& sky);
    void FillDeepStarInfo();
    double ObserverDistance = 0; // parsecs, of the last filling

    ui::TLabel* DesignLabel;
    ui::TLabel* NameLabel;
    ui::TLabel* AbsMagLabel;
    ui::TLabel* LumLabel;
    ui::TLabel* SpecLabel;
    ui::TLabel* TempLabel;
    ui::TLabel* RadiusLabel;
    ui::TLabel* SunDistLabel;
    ui::TLabel* CentreTitle;
    ui::TLabel* CentreLabel;
    ui::TLabel* LonLabel;
    ui::TLabel* LatLabel;
    ui::TLabel* HXLabel;
    ui::TLabel* HYLabel;
    ui::TLabel* HZLabel;
    ui::TLabel* FrameTitle;
    ui::TLabel* FXLabel;
    ui::TLabel* FYLabel;
    ui::TLabel* FZLabel;
    ui::TLabel* FLonLabel;
    ui::TLabel* FLatLabel;
    ui::TLabel* SXLabel;
    ui::TLabel* SYLabel;
    ui::TLabel* SZLabel;
    ui::TLabel* ObsLabel;
    ui::TTimer* Timer1;

private:
    CosmosSky& sky_;
};

// Opens (or brings up) the star window / the star window of the star view for catalogue star
// `star` (0: the star shown last).
void ShowStarForm(CosmosSky& sky, int star = 0);
void ShowDeepStar(CosmosSky& sky, int star = 0);

// Centres the star view (mode -1) on catalogue star s: the observer at the star (100 pc away
// when the catalogue gives no distance), the view 3 AU wide; the first star centred takes the
// angles of the Sun's view; the chart's name becomes the star's designation.
void CentreOnStar(CosmosSky& sky, int s);

// Registers the window classes.
void RegisterCosmosWindows(ui::FormClasses& classes, std::shared_ptr<CosmosSky> sky);

} // namespace qor
