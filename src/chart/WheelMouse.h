// The mouse on the natal wheel: the hover (hint, cursors), the drags that move the chart through
// time (a ring turned, the Sun or the Moon pulled along the zodiac), the protractor, the degree
// marker on the rim, the chart menus of a body, a cusp and a sign, the right click on a star or
// an aspect and the double click that opens the aspect table of a point.
//
// Everything reads the geometry and the hot spots of the last drawing (NatalWheel). Nothing
// acts unless the wheel screen is shown, a wheel is drawn and the settings window's "mouse on
// the wheel" box (WheelBox) is checked; the hint alone follows its own box.
#pragma once

#include "chart/Kart.h"
#include "shell/Program.h"
#include "ui/Keys.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace qor::chart {

// --- Geometry of the drawn wheel --------------------------------------------------------------

// Squared distance of two screen points, in 64 bits: a point sent by the command link may lie
// far outside any window.
long long SquaredDistance(long long x1, long long y1, long long x2, long long y2);
// How far (pixels squared) from a circle's own square a point still lies on that circle.
constexpr long long kRingTolerance = 1000;
// Within this (pixels squared) of the centre the pointer has no direction.
constexpr long long kCentreZone = 10;

// On the outer rim (R4): what the degree marker starts from.
bool OnZodiacRing(const TKart& k, int x, int y);
// On the inner edge of the zodiac belt (R2), or in a double chart on its outer edge (R3).
bool OnHouseRing(const TKart& k, bool doubleChart, int x, int y);
// The ring a time drag begins on: 1 the inner ring (R2), 2 the outer ring (R3, a double chart
// only), 0 none.
int RingAt(const TKart& k, bool doubleChart, int x, int y);
// The direction of the pointer from the centre, counter-clockwise from 3 o'clock, y up, in
// [0, 2pi); nothing within the centre zone.
std::optional<double> PointerAngle(const TKart& k, int x, int y);

// A body label under the pointer: the point (-1 none), its chart and the pointer's offset from
// the label's centre.
struct BodyPick {
    int Point = -1;
    bool Inner = true;
    int DX = 0, DY = 0;
};
// The labels of the inner chart in point order, then those of the outer chart of a double
// chart: the first whose centre lies within sqrt(33) pixels wins.
BodyPick PickChartBody(const NatalWheel& w, bool doubleChart, int exterrBody, int x, int y);

// --- Time steps of the drags ----------------------------------------------------------------

// Seconds of time for a ring turned from the angle `last` to `now` (radians, as PointerAngle
// gives them): 15 arc-seconds of turn a second, clockwise forwards; the turn is taken the
// short way round, so crossing 3 o'clock is no jump of a day. With Shift, Ctrl or Alt a fixed
// step of 1, 60 or 3600 seconds once the turn exceeds 0.1 radian, and nothing before.
std::optional<long long> RingDragSeconds(double last, double now, ui::Shift shift);

// The slowest daily motion (radians) a body drag follows; a body slower than this stands.
constexpr double kMinDragSpeed = 1e-7;
// The longest step of one body drag move (a year); the next moves go on from there.
constexpr long long kMaxDragStep = 366LL * 86400;
// Seconds that bring a body at `lonBody` moving `speed` radians a day to `lonTarget`: nothing
// within 1 arc-minute or for a body slower than kMinDragSpeed; at most kMaxDragStep either way.
std::optional<long long> BodyDragSeconds(double lonTarget, double lonBody, double speed);

// A local civil moment as seconds from the Julian day's origin (whole days exact).
long long LocalSeconds(int year, int month, int day, int hour, int minute, int second);
// The step of `seconds` cut so that the chart moment stays within the years a date field can
// hold (9999 BC .. AD 9999).
long long StepWithinServedDates(const AstroDat& s, long long seconds);

// --- The mouse ------------------------------------------------------------------------------

class WheelMouse {
public:
    WheelMouse(shell::Program& p, std::shared_ptr<NatalWheel> wheel);

    // The screen's handlers.
    void MouseMove(ui::Shift shift, int x, int y);
    void MouseDown(ui::MouseButton b, ui::Shift shift, int x, int y);
    void MouseUp(ui::MouseButton b, ui::Shift shift, int x, int y);
    void DblClick();
    // The protractor or a drag holds the chart (the real-time clock and the steppers wait).
    bool Held() const;
    // The button was let go where the wheel did not see it, or the program lost the mouse:
    // whatever the press started ends as a release would end it.
    void MouseLost();

    // The mouse acts: the wheel screen shown, a wheel drawn, WheelBox checked.
    bool Active() const;
    // The wheel whose last drawing the mouse reads.
    const NatalWheel& Wheel() const { return *w_; }

    // --- The pieces ---
    // A ring drag: begins on a ring (messages 27, 28), then moves the chart (or the outer
    // chart) with the turn.
    void DragChartTime(int x, int y, ui::Shift shift);
    // One step of a body drag towards the pointer; true when the chart moved.
    bool DragBodyTime(int x, int y, int point);
    // The same towards a longitude (radians): the body's chart moves so that the body comes to
    // it; true when it moved.
    bool DragBodyToLongitude(int point, bool inner, double lon);
    // The protractor about the centre, while the pointer is inside the aspect disc.
    void DrawDegreePointer(int x, int y);
    // The degree marker from the centre to the rim under the pointer (drawn twice it is gone):
    // pressed, it shows the degree window; released, it closes it.
    void ChartClick(int x, int y, bool down);
    // The hot-spot code under the pointer ("" none).
    std::string SpotCodeAt(int x, int y) const;
    // Moves the chart (the outer chart for `outer`) by whole seconds and recomputes.
    void MoveChartSeconds(bool outer, long long seconds);

    // --- The chart menus ---
    // Fills the chart menu for ClickedIndex of the chart PickInner names.
    void ChartMenuPopup();
    void ChartZnakMenuPopup();
    // Whether the aspect table may open for a point (1..26 a body, 27..38 a cusp) of a chart.
    bool AspTableAllowed(int point, bool inner) const;
    void NTablAspClick();
    void NAspect(int k);
    void N57Click();
    void NpictureClick();
    void MoonMovieClick();
    void NAstroDataClick();
    void N55Click();
    void N56Click();

    // State of the last press (program-wide in meaning; the wheel's own here).
    bool PickInner = true;
    int ClickedIndex = 0;
    bool ChartHold = false;
    int PickDX = 0, PickDY = 0;
    double LastRingAngle = 0;
    bool MarkerDrawn = false;
    int MarkerX = 0, MarkerY = 0;
    int RingDrag = 0;
    int DragTimeBody = 0;
    std::array<std::string, 10> AspCodes; // [1..9] "ppaaqq" of the menu's aspect items

private:
    void EndPress(int x, int y, bool redraw);
    void RightClick(int x, int y);
    void PopupAt(ui::TPopupMenu* menu, int x, int y);
    void MarkerLine(int ex, int ey);
    void Show();
    // Says on the status line that a window is not built.
    void Missing(const std::string& window);
    bool DoubleAcross() const; // a double chart whose aspects are not the inner chart's own
    bool MethodAcross() const; // ... while a direction or progression is in force
    void SetCursor(int shape);
    shell::Program& p_;
    std::shared_ptr<NatalWheel> w_;
    int lastX_ = 0, lastY_ = 0;
    bool ringStarted_ = false;
};

// Makes the mouse of the wheel screen and hands its handlers to the screen "W" and its menu
// items' actions to the main window.
WheelMouse& RegisterWheelMouse(shell::Program& p, std::shared_ptr<NatalWheel> wheel);

} // namespace qor::chart
