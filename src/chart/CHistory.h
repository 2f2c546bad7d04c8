// The chart history in the running program: every chart confirmed in the birth-data window is
// recorded (AddChartHistory), an entry runs again with its data (RunChartHistory), and the
// window "CHist" lists the entries newest first. The file itself is HistoryFile.h.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

namespace qor::chart {

// Records the chart just applied (the applied data sets, the chart kind of the birth-data
// window) as the newest entry; a chart without a name is not recorded. Trims the list to the
// settings' maximum (a text that is no positive number becomes "100" there). False when
// nothing was recorded.
bool AddChartHistory(shell::Program& p);

// Runs the entry of grid row `row` (1 = the newest): its data into the birth-data window, the
// chart computed, the entry the newest. keepBackground leaves the second data set as it is
// unless the entry is a synastry. An entry the window refuses (a line edited by hand) changes
// nothing: the user is told which field; the entry keeps its place. False when nothing ran.
bool RunChartHistory(shell::Program& p, int row, bool keepBackground);

class TCHist : public ui::TForm {
public:
    explicit TCHist(shell::Program& p);

    ui::TDrawGrid* StringGrid;
    ui::TPopupMenu* PopupMenu;
    ui::TMenuItem *NCalc, *NDel;
    // The grid row of the entry to run.
    int HistRow = 1;

    void FillHistoryGrid();
    void DeleteSelectedHistory();
    void NCalcClick();
    void FormShow();
    void FormKeyDown(int& key, ui::Shift shift);
    void StringGridMouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void StringGridDblClick();

private:
    shell::Program& p_;
};

// Registers the window class "CHist", the start-up's empty history file, the birth-data
// window's recording and the start-up's re-run (Services::RunChartHistory).
void RegisterHistory(shell::Program& p);

} // namespace qor::chart
