// The window "Asteroids": the user's list of asteroids and fictitious bodies (the main window's
// memo) as a grid of its fields: switching a body's computation and its orbit on and off,
// editing a field in place, choosing a glyph, adding from the catalogue or a fictitious body,
// deleting; every change loads the bodies again and recomputes the chart.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor {

struct SkyData;

constexpr int kUserBodyColumns = 14;
// The line a fictitious body starts as: a circular orbit of 1.2 AU at J2000, orbit shown.
std::string NewFictitiousLine();
// Header of column col of the list (columns 0..3 have none).
std::string UserBodyHeader(const AstroDat& s, int col);

class TAsteroids : public ui::TForm {
public:
    TAsteroids(shell::Program& p, SkyData& sky);
    ui::TDrawGrid* DrawGrid;
    ui::TEdit* Edit; // the in-place editor
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* N8; // computation on
    ui::TMenuItem* N1; // add an asteroid
    ui::TMenuItem* N2; // add a fictitious body
    ui::TMenuItem* N3; // delete
    ui::TMenuItem* N9; // edit
    ui::TMenuItem* N4; // show the orbit
    ui::TMenuItem* N5; // all orbits
    ui::TMenuItem* N6; // the orbit's scheme

    // The glyph chooser (the symbol editor shown modally); tests answer it.
    std::function<std::optional<int>(int glyph)> ChooseGlyph;

    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCell(int col, int row);
    void PopupMenuPopup();
    void ToggleMark();       // "Включить расчет", a double click
    void ToggleOrbit();      // "Показывать орбиту"
    void ToggleScheme();     // "Схема орбиты"
    void AllOrbits();        // "Все орбиты"
    void DeleteRow();        // "Удалить"
    void AddAsteroid();      // "Добавить астероид..."
    void AddFictitious();    // "Добавить фиктивную..."
    void EditCell();         // "Корректировать"
    void EndEdit(bool keep); // Enter (keep) or Esc
    bool Editing() const;
    // The positions of date into fields 5 and 6, and the grid's size; after every recompute.
    void Refresh();

private:
    std::vector<std::string> Lines() const;
    // Field `field` of the current row between `mark` and a blank.
    void Toggle(int field, const std::string& mark, bool recompute);
    // Writes the list back, loads the bodies again, repaints; `recompute`: RefreshAll, else
    // the cosmos picture is redrawn when it is shown.
    void Changed(std::vector<std::string>& lines, bool recompute);
    void DrawCell(QPainter& g, int col, int row, const QRect& rc);
    shell::Program& p_;
    SkyData& sky_;
    int col_ = 4, row_ = 1;
    bool edited_ = false;
};

void RegisterUserBodiesWindow(shell::Program& p, SkyData& sky);

} // namespace qor
