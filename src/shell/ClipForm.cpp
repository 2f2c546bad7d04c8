#include "shell/ClipForm.h"

#include "core/Text.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QRegion>

#include <cstdlib>

namespace qor::shell {

using namespace ui;

TClipForm::TClipForm() : TForm("ClipForm") {
    SetCaption("Clip");
    SetBorderStyle(BorderStyle::None);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    SetBounds(0, 0, ClipWidth, ClipHeight);
    setMask(QRegion(0, 0, ClipWidth, ClipHeight, QRegion::Ellipse));
    SetColor(0xBEFFFF); // light yellow ($00BBGGRR)
    Label1 = Add<TLabel>("Label1", {0, 0, ClipWidth, 20});
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Escape) Close();
    };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TClipForm::ShowClip(const std::string& text) {
    Label1->SetCaption(text);
    const QFontMetrics m(Label1->font());
    const QString q = QString::fromStdString(Cp1251ToUtf8(text));
    const int w = m.horizontalAdvance(q), h = m.height();
    ui::SetBounds(Label1, (ClipWidth - w) / 2, (ClipHeight - h) / 2, w, h);
}

void TClipForm::DragPress(QPoint screen) {
    Dragging = true;
    DragOrigin = screen;
}

void TClipForm::DragMove(QPoint screen) {
    if (!Dragging) return;
    const QPoint d = screen - DragOrigin;
    move(pos() + d);
    DragOrigin = screen;
}

void TClipForm::DragRelease(MouseButton b) {
    Dragging = false;
    if (b == MouseButton::Right) Close();
}

void TClipForm::mousePressEvent(QMouseEvent* e) {
    DragPress(e->globalPosition().toPoint());
}

void TClipForm::mouseMoveEvent(QMouseEvent* e) {
    DragMove(e->globalPosition().toPoint());
}

void TClipForm::mouseReleaseEvent(QMouseEvent* e) {
    DragRelease(e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left);
}

bool PromptPlace(const std::string& place, int sw, int sh, int w, int h, QPoint& at) {
    const int m = sh / 10;
    const int cx = (sw - w) / 2, cy = (sh - h) / 2, r = sw - w - m, b = sh - h - m;
    const struct {
        const char* word;
        int x, y;
    } places[] = {{"Mid", cx, cy},    {"TopLeft", m, m},  {"Left", m, cy},
                  {"Top", cx, m},     {"TopRight", r, m}, {"Right", r, cy},
                  {"LeftDown", m, b}, {"Down", cx, b},    {"RightDown", r, b}};
    for (const auto& p : places)
        if (place == p.word) {
            at = {p.x, p.y};
            return true;
        }
    return false;
}

void ShowPrompt(const std::string& text, const std::string& place) {
    TForm* f = Screen().FindForm("ClipForm");
    if (text.empty()) {
        if (f) f->Close();
        return;
    }
    auto* clip = dynamic_cast<TClipForm*>(f);
    if (!clip) {
        if (f) f->Close();
        clip = new TClipForm;
    }
    QPoint at;
    if (PromptPlace(place, Screen().Width(), Screen().Height(), clip->ClipWidth, clip->ClipHeight,
                    at))
        clip->move(at);
    clip->show();
    clip->ShowClip(text);
}

CursorGlide::CursorGlide() {
    timer_.setInterval(StepMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
}

namespace {
// Where the pointer is: the real one where the program moves it, else the program's own.
QPoint PointerNow() {
    Pointer& ptr = Screen().Cursor();
    if (ptr.MoveReal) ptr.Follow(QCursor::pos());
    return ptr.Pos();
}
} // namespace

void CursorGlide::GlideTo(QPoint to, std::function<void()> done) {
    rolling_ = false;
    path_ = GlidePoints(PointerNow(), to);
    next_ = 0;
    done_ = std::move(done);
    timer_.start(StepMs);
}

namespace {
std::vector<QPoint> Diamond(QPoint c) {
    const QPoint corners[] = {{c.x() - 4, c.y()},
                              {c.x(), c.y() - 4},
                              {c.x() + 4, c.y()},
                              {c.x(), c.y() + 4},
                              {c.x() - 4, c.y()}};
    std::vector<QPoint> pts;
    for (int i = 0; i < 4; ++i) {
        const auto line = GlidePoints(corners[i], corners[i + 1]);
        pts.insert(pts.end(), line.begin() + (i == 0 ? 0 : 1), line.end());
    }
    return pts;
}
} // namespace

void CursorGlide::Roll(int ms, std::function<void()> done) {
    centre_ = PointerNow();
    path_ = GlidePoints(centre_, {centre_.x() - 4, centre_.y()});
    const auto d = Diamond(centre_);
    path_.insert(path_.end(), d.begin() + 1, d.end());
    next_ = 0;
    rolling_ = true;
    rollEnd_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    done_ = std::move(done);
    timer_.start(StepMs);
}

void CursorGlide::Step() {
    if (next_ < path_.size()) {
        Pointer& ptr = Screen().Cursor();
        ptr.SetPos(path_[next_++]);
        ++ptr.Steps;
        if (ptr.OnStep) ptr.OnStep(ptr.Pos());
        if (next_ < path_.size()) return;
    }
    // A diamond ended: another one while the time lasts.
    if (rolling_ && std::chrono::steady_clock::now() < rollEnd_) {
        const auto d = Diamond(centre_);
        path_.assign(d.begin() + 1, d.end());
        next_ = 0;
        return;
    }
    timer_.stop();
    rolling_ = false;
    if (auto done = std::move(done_)) {
        done_ = nullptr;
        done();
    }
}

CursorGlide& Glide() {
    static CursorGlide* glide = new CursorGlide; // lives as long as the application's timers
    return *glide;
}

} // namespace qor::shell
