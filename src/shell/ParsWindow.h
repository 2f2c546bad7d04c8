// The Arabic-parts window (Pars): one page of part definitions at a time in a grid, edited in
// place; pages added, renamed and removed; a page's parts made the chart's active parts; the
// page exported with its values to "Wrk\Pars.txt".
//
// The shell creates it at start-up and keeps it:
//   p.FormClasses.Register("Pars", [&] { return new TPars(dat, hooks); });
// and, once the window states are restored, calls RestoreActive so that the chart takes the
// active parts saved in the window's hidden memo.
#pragma once

#include "core/AstroDat.h"
#include "core/Parses.h"
#include "shell/ShellHooks.h"
#include "ui/Forms.h"

#include <optional>
#include <string>
#include <vector>

namespace qor::shell {

class TPars : public ui::TForm {
public:
    TPars(AstroDat& s, ShellHooks& hooks);

    ui::TTabControl* TabControl;
    ui::TDrawGrid* DrawGrid;
    ui::TMemo* Memo;   // hidden: the lines of the page, line i in row i
    ui::TEdit* Edit;   // the in-place editor
    ui::TMemo* Active; // hidden: the active list, saved with the window
    ui::TPopupMenu* ParsMenu;
    ui::TMenuItem* CorrItem;
    ui::TMenuItem* DelItem;
    ui::TMenuItem* AddItem;
    ui::TMenuItem* SaveChanges;
    ui::TMenuItem* RenamePage;
    ui::TMenuItem* DeletePage;
    ui::TMenuItem* AddPageBefor;
    ui::TMenuItem* AddPageAfter;
    ui::TMenuItem* SetActiveParses;
    ui::TMenuItem* NParstxt;
    ui::TTimer* Timer1;

    std::string ParsPage; // the page shown
    bool ParsModified = false;
    int EditCol = 0, EditRow = 0; // the cell being edited

    // The grid's texts of column c, row r >= 1: 0 the glyph, 1 the value, 2 the name, 3 the
    // formula, 4 the calculation.
    std::string ParsCellText(int col, int row);
    void ParsLoadPage();
    bool ParsSavePage();
    void ParsSaveIfModified();
    void ParsSetCell(int col, int row, const std::string& text);
    std::string ParsCaption();
    // The active list of the restored window state into the chart.
    void RestoreActive();
    // Fills the grid from the page and the current chart.
    void RefreshGrid();

    // In-place editing of the cell EditCol, EditRow.
    void CorrItemClick();
    void CommitEdit();
    void CancelEdit();
    bool Editing() const;

    // Lines and pages.
    void DelItemClick();
    void AddItemClick();
    void ParsAddPage(bool after);
    void RenamePageClick();
    void DeletePageClick();
    void SetActiveParsesClick();
    void NParstxtClick();

private:
    std::vector<std::string> PageNames() const;
    void SelectCell(int col, int row);
    void FormShow();
    void FormKeyDown(int& key, ui::Shift shift);
    void EditKeyDown(int& key, ui::Shift shift);
    void Timer1Timer();
    void TabControlChange();
    void ActivateAndRecompute();
    ParsInputs Inputs() const;

    AstroDat& s_;
    ShellHooks& hooks_;
    int pendingMove_ = 0; // -1 left, +1 right, waiting for the timer
    int lastCaret_ = -1;
    bool committing_ = false;
};

} // namespace qor::shell
