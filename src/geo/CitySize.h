// The city size editor "CitySiz": the map code of one city of the atlas, its size class (from
// which zoom level of the map it is drawn) and the side of the mark its name is written on.
#pragma once

#include "geo/Atlas.h"
#include "geo/AtlasPlace.h"
#include "shell/Program.h"
#include "ui/Forms.h"

namespace qor::geo {

class TCitySiz : public ui::TForm {
public:
    TCitySiz(shell::Program& p, Atlas& atlas);

    ui::TLabel* Label1;                                 // the two-digit code
    ui::TButton *Button1, *Button2, *Button3, *Button4; // label side 0..3
    ui::TButton *Button5, *Button6, *Button7, *Button8, *Button11, *Button12, *Button9; // class
    ui::TButton* Button10;                                                              // OK

    // The city (1-based index of the coordinate array) whose code is edited, and the code's
    // parts as the buttons set them.
    int CityIndex = 0;
    CitySizeCode Code;

    // Takes the city's code and name; false when the index names no city.
    bool SetCity(int cityIndex);
    void SetSid(int side);
    void SetCod(int sizeClass);
    // Writes the code into the atlas and its file (atomically), closes, redraws the map.
    void Button10Click();

private:
    shell::Program& p_;
    Atlas& a_;
};

// Opens the size editor for city `cityIndex` (the map's city under the mouse); false, and no
// window, for an index of 0 or past the end of the atlas.
bool OpenCitySize(shell::Program& p, Atlas& atlas, int cityIndex);

} // namespace qor::geo
