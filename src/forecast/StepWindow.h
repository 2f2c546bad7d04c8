// What the time and place stepping windows share: six rows of a step spin, a jog dial and a
// pair of arrows; "Старт", "Стоп", "Реверс", "<" and ">" (keys "," and "."); the tempo; the
// tabs of the source and the background data; the stepping timer.
//
// A move changes the chart moment or place by a step of the six fields, writes it back into
// the birth-data window and the record, and recomputes. On the background tab the two data
// sets are exchanged around the change, so the background set moves and the source set stays.
//
// Runs never overlap: the timer is off while a tick works. A tick is skipped (the timer goes
// on) while the mouse holds something on the main window's screen, while a recompute runs and
// while a report is being assembled. Steps that are all zero end a run; so does closing the
// window.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"
#include "ui/UpDown.h"

#include <array>
#include <string>

namespace qor::forecast {

class TStepWindow : public ui::TForm {
public:
    static constexpr int kRows = 6;
    static constexpr int kJogEnd = 10; // the jog dials run −10..10

    // The rows (years .. seconds in the time window; longitude degrees, minutes, seconds,
    // then latitude degrees, minutes, seconds in the place window).
    ui::TSpinEdit *SpinGod, *SpinMes, *SpinDay, *SpinHor, *SpinMin, *SpinSecond;
    std::array<ui::TSpinEdit*, kRows> Spins{};
    std::array<ui::TTrackBar*, kRows> TrackBars{}; // TrackBar1 .. TrackBar6
    std::array<ui::TUpDown*, kRows> UpDowns{};     // UpDown1 .. UpDown6
    std::array<ui::TLabel*, kRows> RowLabels{};
    ui::TTabControl* TabControl1;
    ui::TButton *StartBtn, *StopBtn, *ReversBtn, *BitBtn1, *BitBtn2;
    ui::TGroupBox* TempBox;
    ui::TRadioButton *TempMax, *Temp1;
    ui::TTimer* Timer1;

    // The step of the six spins (an emptied spin counts 0).
    std::array<int, kRows> StepValues() const;
    bool AllZero() const;

    virtual void StartBtnClick() = 0;
    virtual void StopBtnClick() = 0;
    // The run goes on (the timer's ticks move the chart).
    virtual bool Running() const = 0;

    // One move by minus the spins ("<") or by the spins (">").
    void BitBtn1Click();
    void BitBtn2Click();
    // Turns the sign of every spin.
    void ReversBtnClick();
    // The arrows of row i (0-based): the row's spin value forward, or back.
    void UpDownClick(int row, bool forward);
    // A jog dial moved: the chart moves by as many units as the dial did; at an end stop the
    // dial goes back to the centre.
    void TrackBarChange(int row);
    void TrackBarReleased(int row);
    void TabControl1Change();
    void Timer1Timer();

    // Called on every main tick: Start, "<" and ">" are enabled while some spin is not zero,
    // each row's arrows while its spin is not zero; all-zero spins end a run.
    void UpdateControls();
    // The jog dials back to the centre, the tab and the caption of SourceData.
    void UpdateCaption();

    // Moves by the six fields, in the window's order (the other side's set when SourceData is
    // false); nothing for a zero step. False when the background set does not read (the user
    // is told, the run stops, nothing moves).
    bool Move(const std::array<int, kRows>& step);

    // The timer's interval during a run: 10 ms with "Максимальный", else 1000 ms.
    static constexpr int kFastMs = 10, kSlowMs = 1000;

protected:
    struct RowSpec {
        const char* name; // the row's label
        int range;        // the spin runs −range..range
    };
    // Builds the common controls; rows 0..2 and 3..5 lie in `groups` (two captions) when given.
    TStepWindow(shell::Program& p, std::string_view name, const std::array<RowSpec, kRows>& rows,
                const char* groupCaption1 = nullptr, const char* groupCaption2 = nullptr);

    // Changes the chart moment or place by the step (the data sets already exchanged).
    virtual void ApplyStep(const std::array<int, kRows>& step) = 0;
    // The caption for the source or the background data.
    virtual std::string CaptionFor(bool source) const = 0;
    // Before the timer's move: the running mark of the main window (time window).
    virtual void TickMark() {}
    // The run ends (all-zero spins, an unreadable background set, closing).
    virtual void EndRun() = 0;
    virtual void CaptionChanged() {}

    void FormKeyDown(int& key, ui::Shift shift);
    // The mouse holds something on the main window, a recompute runs or a report is made.
    bool TickHeld() const;

    shell::Program& p_;

private:
    std::array<int, kRows> remembered_{}; // the jog dials' last positions
    std::array<bool, kRows> latched_{};   // a dial held at its end stop until released
};

// The pointer can be put back on a dial's centre (not offscreen, not under Wayland).
bool PointerCanMove();

} // namespace qor::forecast
