// The astronomical data window "AstroForm" (main menu item N65, key V): the time quantities of
// the chart's moment and the table of every body's astronomical data (AstroTable.h), refreshed
// by the recompute hub while shown; its columns can be exported as text under "Wrk\".
#pragma once

#include "chart/AstroTable.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

namespace qor::chart {

class TAstroForm : public ui::TForm {
public:
    explicit TAstroForm(shell::Program& p);

    ui::TPanel* Panel;
    // Captions and values of the time quantities.
    ui::TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label11, *Label12, *Label13;
    ui::TLabel *JdLabel, *StLabel, *EoLabel, *SVPLabel, *dELabel, *dFLabel, *UTDLabel, *UTCLabel,
        *TeLabel, *LeapLabel, *GregLabel;
    ui::TDrawGrid* DrawGrid;
    ui::TEdit* Edit; // hidden: AstroFlags, kept with the window's state
    ui::TMemo* Memo; // hidden: the text of the last export
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem *Ncolumn, *NDec, *NAstrocsv, *NAstroN, *NSave;

    int GridCol = 0, GridRow = 0; // the cell of the last right-button press

    // Character 1: "1" decimal export; character c + 2: "1" when column c is exported.
    std::string AstroFlags() const { return Edit->Text(); }

    // The labels from the last time step and the grid's rows (the recompute hub runs it).
    void RefreshTable();
    std::string CellText(int col, int row);
    // The menu's items for the column under (GridCol, GridRow); opens it at the screen point.
    void PopupForColumn(int x, int y);
    void NcolumnClick();
    void NDecClick();
    // "Wrk\Astro.txt", shown in the text window.
    void NAstrocsvClick();
    // The first free "Wrk\Astro<n>.txt" (n up to 999).
    void NAstroNClick();
    // A file chosen in the save dialog.
    void NSaveClick();
    // The export's lines into Memo.
    std::vector<std::string> BuildTextTable();

private:
    AstroTableOptions Options() const;
    void FormShow();
    void FormResize();
    void FormKeyDown(int& key, ui::Shift shift);
    void DrawGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void GridMouseDown(ui::MouseButton b, int x, int y);
    void SizeColumns();
    bool WriteExport(const std::string& programName, const fs::path& file);
    void ReportSaved(const std::string& path);
    void Tell(MsgKind kind, const std::string& text);

    shell::Program& p_;
};

// The path as the status line names a saved file: with four or more "\" (or "/"), what lies
// between the second and the last-but-one is replaced by "...".
std::string ShortenedPath(const std::string& path);

} // namespace qor::chart
