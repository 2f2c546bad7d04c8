// The motion-graph window "MovPln" (the main menu's N75): the kind, period and harmonic of the
// graph, its month and year, the pickers of working bodies, natal bodies and house cusps; its
// buttons draw the graph on the main window's screen "M" and make the transit table of the
// working body in the window "AspList".
#pragma once

#include "forecast/EphemerisJobs.h"
#include "forecast/MotionGraph.h"
#include "forecast/TransitTable.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>

namespace qor::forecast {

class TMovPln : public ui::TForm {
public:
    TMovPln(shell::Program& p, EphemerisJobs& jobs);

    ui::TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
    ui::TComboBox *PeriodBox, *GarmBox, *TypeBox;
    ui::TPanel *Panel1, *Panel2, *Panel3;
    ui::TPaintBox *WorkPaintBox, *NatPaintBox, *HousPaintBox;
    ui::TEdit* Edit1;            // the month's name
    ui::TPanel *UpPan, *DownPan; // month back, forward
    ui::TEdit* Edit2;            // the year
    ui::TPanel *Panel4, *Panel5; // year back, forward
    ui::TButton *Button1, *TablButton, *Button2;
    ui::TEdit* Edit; // the picker strings for the window-state file
    ui::TTimer* Timer1;

    std::string WorkPicker = std::string(16, '.');
    std::string NatPicker = std::string(16, '.');
    std::string HousePicker = std::string(12, '.');
    int AspMode = 3;

    void Button1Click();
    void Timer1Timer();
    void TablButtonClick();
    void UpdateMovPlnKind();
    // The month 1..12 of Edit1 among the month names (1 when none).
    int MonthOfEdit() const;
    int YearOfEdit() const;
    void StepMonth(int delta);
    void StepYear(int delta);
    // A press (or a drag entering a new cell) on a picker: picker 0 working, 1 natal, 2 houses.
    void PickerPress(int picker, int x);
    void PickerDrag(int picker, int x);
    // The choices of the graph as the window holds them.
    MotionChoices Choices() const;
    // Draws the graph into the program's bitmap (the screen "M"); a missing annual file is
    // asked of the ephemeris window (job 2) and the screen says it waits for it.
    void DrawMovPlnGraph();

    // The aspect cursor on the graph (harmonic "360°" only, and only while some aspect kind is
    // chosen): a press shows it at the pointer, a move follows, the release takes it away. It
    // is drawn on a layer over the screen, never into the picture.
    void MovPlnCursorDown(int x, int y);
    void MovPlnCursorMove(int x, int y);
    void MovPlnCursorUp();
    bool CursorShown() const;
    // The cursor's marks for the point (x, y): a tick and a glyph per aspect and side.
    struct CursorMark {
        int x;
        int aspect;
    };
    std::vector<CursorMark> CursorMarks(int x) const;

private:
    void FormShow();
    void FormClose(ui::CloseAction& action);
    void PaintPicker(QPainter& g, int picker);
    std::string& PickerOf(int picker);
    ui::TPaintBox* BoxOf(int picker);
    shell::Program& p_;
    EphemerisJobs& jobs_;
    int lastCell_ = 0;
    QWidget* cursorLayer_ = nullptr;
    int cursorX_ = 0, cursorY_ = 0;
    std::vector<std::string> monthNames_;
};

// The table window "AspList": one memo.
class TAspList : public ui::TForm {
public:
    explicit TAspList(shell::Program& p);
    ui::TMemo* Memo;
    // The table's lines, shown in the glyph face: "QOR511" (the program's own, whose codes the
    // "QOR" column uses) or another face by name.
    void SetTable(std::vector<std::string> lines, const std::string& face);
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Registers both windows, the screen "M" and the call-backs of jobs 2 and 4.
void RegisterMotionGraph(shell::Program& p, EphemerisJobs& jobs);

} // namespace qor::forecast
