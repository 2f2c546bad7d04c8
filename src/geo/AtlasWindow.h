// The atlas window "Cities": the cities of the atlas filtered by country or territory, found
// by typing the beginning of a name, and handed to the birth data or the own place, to the
// time-zone window or to the map. Its pop-up menu writes and reads the atlas's text form.
#pragma once

#include "geo/Atlas.h"
#include "geo/Zones.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QDateTime>
#include <QPoint>

namespace qor::geo {

class TCities : public ui::TForm {
public:
    TCities(shell::Program& p, Atlas& atlas);

    // The panel's controls first: whoever opens the window enables or disables GetBtn.
    ui::TSpeedButton *GetBtn, *TimeBtn, *MapBtn;
    ui::TEdit* CityEdit;
    ui::TComboBox* ComboBox;
    ui::TDrawGrid* DrawGrid;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem *NGetCity, *N1, *NCreate, *NLoad;

    void FormShow();
    void FormClose();
    // Filters for the drop-down's text, then finds the typed beginning of a name.
    void CityEditChange();
    void ComboBoxChange();
    // Rebuilds the list from the names file, the caption's count and the grid's rows.
    void Refilter();
    // The current row's place into the own-place window when it is visible, else into the
    // birth-data window when that is; then the atlas closes. Nothing when neither is visible.
    void GetBtnClick();
    void TimeBtnClick();
    void MapBtnClick();
    void PopupMenuPopup();
    // The pop-up menu at a screen point (the mouse, or the window's centre for F12).
    void ShowPopup(QPoint screenPoint);
    void NCreateClick();
    void NLoadClick();
    // The grid's text of a cell (what DrawGridDrawCell paints).
    std::string CellText(int col, int row);

private:
    void DrawGridDrawCell(QPainter& painter, int col, int row, const QRect& rect, int state);
    void LayoutControls();
    shell::Program& p_;
    Atlas& a_;
    RegionTextCache regions_;
};

// Which window a place taken from the atlas goes to: "QorLoc" when the own-place window is
// visible, else "DataForm" when the birth-data window is, else none.
std::string AtlasTakeTarget();
// The local moment whose zone the birth data asks for: its date (with the era) and time; the
// computer's local moment when the window or its fields give none.
ZoneMoment BirthDataMoment(const shell::Program& p);
// The digits of a date and time as a zone moment.
ZoneMoment MomentOf(const QDateTime& t);

} // namespace qor::geo
