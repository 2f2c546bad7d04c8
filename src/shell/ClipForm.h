// The clip window "ClipForm" (an elliptic, borderless speech bubble with a prompt text that
// can be dragged), and the pointer glide that shows a viewer where a script goes: the pointer
// moves pixel by pixel along a straight line, one step per timer tick, so the program keeps
// handling input and queued work while it moves.
#pragma once

#include "ui/Forms.h"

#include <QPoint>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qor::shell {

class TClipForm : public ui::TForm {
public:
    TClipForm();
    int ClipHeight = 90;
    int ClipWidth = 300;
    bool Dragging = false;
    QPoint DragOrigin;
    ui::TLabel* Label1;

    void ShowClip(const std::string& text);
    // Dragging and closing by screen points: a press of any button starts a drag, a move
    // drags, the release ends it and a right release closes the window.
    void DragPress(QPoint screen);
    void DragMove(QPoint screen);
    void DragRelease(ui::MouseButton b);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// Places (and creates) the clip window by a placement word ("Mid", "TopLeft", "Left", "Top",
// "TopRight", "Right", "LeftDown", "Down", "RightDown"; any other keeps the place) and shows
// the text; an empty text closes it.
void ShowPrompt(const std::string& text, const std::string& place);
// The top-left corner for a placement word on a screen of sw x sh (false: keep the place).
bool PromptPlace(const std::string& place, int sw, int sh, int w, int h, QPoint& at);

// Moves the screen's pointer along paths from a timer.
class CursorGlide {
public:
    CursorGlide();
    // Glides from the pointer to `to`, then runs `done`.
    void GlideTo(QPoint to, std::function<void()> done = {});
    // Circles the pointer around where it is (diamonds of 4 pixels) for `ms` milliseconds,
    // measured on a monotonic clock; at least one diamond.
    void Roll(int ms, std::function<void()> done = {});
    bool Running() const { return timer_.isActive(); }
    int StepMs = 1;

private:
    void Step();
    std::vector<QPoint> path_;
    std::size_t next_ = 0;
    std::function<void()> done_;
    // Rolling: the centre, the end time.
    bool rolling_ = false;
    QPoint centre_;
    std::chrono::steady_clock::time_point rollEnd_;
    QTimer timer_;
};

// The program's one glide.
CursorGlide& Glide();

} // namespace qor::shell
