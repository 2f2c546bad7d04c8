// The chart base window "Base": one tab per page, the page's records in a grid, and the
// record operations between the grid and the birth-data window. The page files and the
// operations on rows are BasePages.h; this window draws the rows and keeps them safe: every
// change is saved at once (atomically), and a page that could not be read is shown read-only
// so that no save can overwrite the records it could not show.
#pragma once

#include "chart/BasePages.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

namespace qor::chart {

class TDataForm;

class TBase : public ui::TForm {
public:
    explicit TBase(shell::Program& p);

    ui::TTabControl* TabControl;
    ui::TDrawGrid* StringGrid;
    // The cell editor; while the window is closed its text is the page state (PageState).
    ui::TEdit* Edit;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem *GetData, *AddRecord, *N7, *N8, *DelRecord, *Replace, *NEdit, *QuickView,
        *Sort1, *Sort2, *Nmark, *Ncomp, *N1, *N2, *N3, *N4, *N6, *Import;
    ui::TTimer* Timer1;

    std::string PageName;
    int CurCol = 1, CurRow = 1;
    std::vector<std::string> PageRows;        // remembered row per page, in tab order
    std::vector<std::string> RecordClipboard; // copied rows (RowToClipboardEntry)
    bool EditMovePending = false;
    int EditLastKey = 0;
    int EditLastCaretX = -1;

    // The rows of the page shown (grid row r is Rows()[r - 1]).
    const std::vector<BaseRow>& Rows() const { return rows_; }
    // True while the page shown could not be read: nothing changes it until it reads again.
    bool ReadOnly() const { return readOnly_; }
    static std::vector<std::string> DefaultPages(bool english);

    // --- Pages ---
    void LoadBasePage();
    bool SaveBasePage();
    void ScanPageFiles();
    void RenamePageClick();
    void DeletePageClick();
    void AddPage(bool after);

    // --- Records ---
    // The grid's current row into the birth-data window; false (and nothing changed) when
    // there is no such window or row.
    bool RowToDataForm(bool close);
    void GetDataClick();
    void QuickViewUpdate();
    void InsertRecordFromDataForm();
    void ReplaceClick();
    void DeleteSelectedRecords();
    void N7Click();
    void N8Click();
    void ImportClick();
    bool ImportFile(const fs::path& path);
    void NmarkClick();
    // Sorts the page by CurCol (1..8) and saves it.
    void SortPage();
    // The composite chart of the marked rows into the birth-data window, to be confirmed there.
    void NcompClick();
    void BeginCellEdit();
    // False when the text was refused (a character code page 1251 cannot hold): the editor
    // stays.
    bool EndCellEdit();
    bool CellEditing() const;
    void PopupMenuPopup();
    void Timer1Timer();

    void FormShow();
    void FormClose();
    void TabControlChange();
    void FormKeyDown(int& key, ui::Shift shift);
    void EditKeyDown(int& key, ui::Shift shift);
    void StringGridMouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void StringGridMouseUp(ui::MouseButton b, ui::Shift shift, int x, int y);
    void StringGridRowMoved(int from, int to);

private:
    void DrawCell(QPainter& g, int col, int row, const QRect& r, int state);
    // The grid follows the rows (row count, repaint).
    void ShowRows();
    // False (and the user told) while the page is read-only.
    bool MayChange();
    // Cells 1..9 from the birth-data window (add and replace).
    BaseRow RowFromDataForm(bool replace) const;
    int CurrentRecord() const; // the grid's current row, 1..row count - 1
    void RememberRow();
    void PopupAt(int x, int y);
    shell::Program& p_;
    std::vector<BaseRow> rows_{BaseRow{}};
    bool readOnly_ = false;
    int shownTab_ = -1;
    bool shown_ = false;
    bool quickView_ = false;
};

// Registers the window class "Base".
void RegisterBaseWindow(shell::Program& p);

} // namespace qor::chart
