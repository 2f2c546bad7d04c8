// The aspect table window "AspTabl" (main menu item N66, key F): the aspects of the listed
// chart points as a square grid (AspectTable.h), rebuilt by the recompute hub and the
// natal-chart settings; docked at the bottom or the right edge of the screen when the wheel
// opens it for one point (ShowAspTable); exported to "Wrk\TablAsp.txt".
#pragma once

#include "chart/AspectTable.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QRect>

#include <string>
#include <vector>

namespace qor::chart {

class TAspTabl : public ui::TForm {
public:
    explicit TAspTabl(shell::Program& p);

    ui::TDrawGrid* DrawGrid;
    ui::TEdit* Edit1; // hidden: the data columns' width in the exact format ("80")
    ui::TEdit* Edit2; // and in the normal format ("50")
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem* Naccur;      // "Точный формат"
    ui::TMenuItem* Aspectscsv;  // "Создать TablAsp.txt"

    // The listed points, rows 1.. and columns 1.. in this order.
    const std::vector<int>& Points() const { return points_; }
    bool Docked() const { return docked_; }

    // Rebuilds the lists of rows and columns from the settings and the chart.
    void AspTableRebuild();
    // The grid's text of a cell: headers in words, data cells as AspCellText without glyphs.
    std::string CellText(int col, int row);
    // Opens the table docked on point p (0 counts as 1): along the bottom for the inner chart
    // of a double chart, else at the right edge; nothing when the picked chart's points are
    // not in the table (the inner chart while the outer one is aspected, and the reverse).
    void ShowAspTable(int point, bool pickInner);
    void NaccurClick();
    void AspectscsvClick();
    void AspTableSizeColumns();

private:
    AspectTableInputs Inputs() const;
    std::string Flags() const;
    void FormShow();
    void FormKeyDown(int& key, ui::Shift shift);
    void FormClose();
    void DrawGridDrawCell(QPainter& g, int col, int row, const QRect& r);
    void DockOn();
    void ColumnResized(int col, int width);
    bool Retrograde(int point, bool outer) const;

    shell::Program& p_;
    std::vector<int> points_;
    bool docked_ = false;
    QRect undocked_;
    int dockPoint_ = 0;      // the point the docked table shows, 0 none
    bool dockBottom_ = false;
    bool sizing_ = false;    // the columns are being sized: no resize handling
};

// Opens the aspect table for a point of the wheel (the wheel's double click and chart menu).
void ShowAspTable(shell::Program& p, int point, bool pickInner = true);

} // namespace qor::chart
