// The map settings window "GeoSet": what the world map draws, the grid steps of its levels,
// its six colours, the planets and kinds of astro-carto-graphy lines, and two options of the
// birth-data window. The map reads the controls (ReadGeoOptions); the colours live in the
// map's state and are kept in the window's hidden memo between runs.
#pragma once

#include "geo/GeoMap.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <functional>

namespace qor::geo {

class TGeoSet : public ui::TForm {
public:
    TGeoSet(shell::Program& p, GeoMapState& map);

    ui::TTabControl* TabControl;
    ui::TPanel *MainPanel, *KartPanel, *DataPanel;
    // Main page.
    ui::TCheckBox *CityBox, *CityNameBox, *GreedBox, *ConturBox, *GeoCoordBox, *PromptCheckBox;
    ui::TSpinEdit* SpinEdit1;
    ui::TLabel *Label1, *Label2, *Label3;
    ui::TEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10;
    ui::TPanel *OceanColorPanel, *GroundColorPanel, *GreedPanel, *BevelPanel, *SignColorPanel;
    ui::TPaintBox *PaintBox, *PaintBox1;
    // A*C*G page.
    ui::TCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6,
        *CheckBox7, *CheckBox8, *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12;
    ui::TRadioGroup* AspectsGroup;
    ui::TCheckBox *ACGBox, *SunBox, *RealHouseBox;
    ui::TPanel* ACGPanel;
    ui::TPaintBox* ACGPaintBox;
    // Choice page.
    ui::TCheckBox *TimeBox, *dTBox;
    ui::TButton* PosButton;
    // The colours as decimal lines (kept with the window's state).
    ui::TMemo* Memo;

    void TabControlChange();
    // The map drawn again when it is shown (the shared handler of the map's options).
    void Draw();
    // Asks for one of the six colours (0 ocean .. 5 labels) with the colour dialog; on OK
    // takes it, repaints the samples and redraws the map (not for the frame colour).
    void ChooseColour(int which);
    void dTBoxClick();
    void GeoCoordBoxClick();
    void PosButtonClick();
    // The colours into the memo's six lines, and the sample panels' colours.
    void StoreColours();
    void PaintSamples();

    // The colour dialog (tests answer it); by default the program's "Colorf".
    std::function<std::optional<uint32_t>(uint32_t)> AskColour;

private:
    shell::Program& p_;
    GeoMapState& map_;
};

// The map's options from the settings window's controls (their defaults without it).
GeoMapOptions ReadGeoOptions(const shell::Program& p);
// The colours from the settings window's memo (LoadGeoColors of the start-up).
void LoadGeoColors(shell::Program& p, GeoMapState& map);

} // namespace qor::geo
