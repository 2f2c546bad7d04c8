// The asteroid catalogue window "Asterid": the whole catalogue with the places of date, the
// search by the name's beginning, the sort by a column, and its pop-up menu (find on the
// stars-and-asteroids strip, add to the user bodies, the picture, compute, write the file of
// the places).
#pragma once

#include "shell/Program.h"
#include "sky/Asteroids.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

namespace qor {

struct SkyData;

class TAsterid : public ui::TForm {
public:
    TAsterid(shell::Program& p, SkyData& sky);
    ui::TPanel* Panel1;
    ui::TEdit* Edit;
    ui::TEdit* Edit1;
    ui::TLabel* Label1;
    ui::TDrawGrid* AllGrid;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* N1;
    ui::TMenuItem* N2;
    ui::TMenuItem* Sort1;
    ui::TMenuItem* N4;
    ui::TMenuItem* Nsave;
    ui::TMenuItem* N3;

    // The column and row of the last release of the mouse over the grid (the sort column).
    int MouseCol = 0, MouseRow = 0;

    void FormShow();
    void EditChange();
    void PopupMenuPopup();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void Sort1Click();
    bool NsaveClick();
    // The catalogue record of the grid's current row (0 when none).
    int CurrentRecord() const;

private:
    void AllGridMouseUp(ui::MouseButton b, int x, int y);
    shell::Program& p_;
    SkyData& sky_;
};

// Hands the loaded bodies' elements to the chart computation and sets NExtra.
void ApplyUserBodies(AstroDat& s, const UserBodySlots& bodies);
// Loads the enabled user bodies of the list into the chart's extra-body slots (their names,
// glyphs, orbit flags and elements); the list's first two marks are set on the way.
void LoadUserBodies(shell::Program& p, SkyData& sky, std::vector<std::string>& lines);

void RegisterAsterid(shell::Program& p, SkyData& sky);

} // namespace qor
