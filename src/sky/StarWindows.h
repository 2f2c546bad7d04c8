// The catalogue windows: the star table "Star" (J2000 or current data, the sort by any column,
// the short catalogue, the search on the sky screen, "wrk\Stars.txt", the comment window
// "TextForm") and the deep-sky table "Deep".
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

struct SkyData;
struct StarCatalogue;

// The BS numbers of the stars in their present order (index 0 unused).
std::vector<uint16_t> StarBSList(const StarCatalogue& c);
// After the catalogue changed its order, makes the star indices the sky screens hold (the
// picked star, the stars drawn) name the same stars as before, found by their BS numbers
// `before` (a star no longer in the catalogue gives 0). The star windows and the cosmos view
// hold their stars by BS number already.
void RenumberHeldStars(SkyData& sky, const std::vector<uint16_t>& before);
// Sorts the catalogue by the star table's sort column, the held indices following.
void SortSkyStars(shell::Program& p, SkyData& sky);

// One cell of a catalogue table: a header title split at "|" into two centred lines, or a
// text cut to the column and drawn 3 pixels in.
void DrawCatalogueCell(QPainter& g, const QRect& rc, int lineHeight, const std::string& text,
                       bool header);

class TStar : public ui::TForm {
public:
    TStar(shell::Program& p, SkyData& sky);
    ui::TDrawGrid* DrawGrid;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* N1;     // J2000 data
    ui::TMenuItem* N2;     // current data
    ui::TMenuItem* N3;     // find
    ui::TMenuItem* N4;     // "Stars.txt"
    ui::TMenuItem* Sort1;  // sort by the column
    ui::TMenuItem* Nshort; // the short catalogue (hidden)
    ui::TMenuItem* N5;     // the comment

    bool J2000 = true;
    // The grid row last clicked (row r is star r): the star the comment acts on.
    int StarSelRow = 0;

    void FormShow();
    void UpdateCaption();
    void PopupMenuPopup();
    void N1Click();
    void N2Click();
    void N3Click();
    bool N4Click();
    void N5Click();
    void Sort1Click();
    void NshortClick();
    void DrawGridMouseUp(ui::MouseButton b, int x, int y);
    // The star of the grid's current row, 0 none.
    int CurrentStar() const;
    // Brings the places of date to the chart's moment when they are of another one, and the
    // horizon to the chart's sidereal time unless the sphere keeps it.
    void BringToChart();

private:
    void ShowColumnsOfDate(bool shown);
    shell::Program& p_;
    SkyData& sky_;
    std::string baseCaption_;
};

// The comment of a star in a plain text window.
class TTextForm : public ui::TForm {
public:
    explicit TTextForm(shell::Program& p);
    ui::TMemo* Memo;
};

class TDeep : public ui::TForm {
public:
    TDeep(shell::Program& p, SkyData& sky);
    ui::TDrawGrid* DrawGrid;
    void FormShow();
    void BringToChart();

private:
    shell::Program& p_;
    SkyData& sky_;
};

void RegisterStarWindows(shell::Program& p, SkyData& sky);

} // namespace qor
