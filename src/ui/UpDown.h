// A pair of arrow buttons side by side (left: back, right: forward) that steps a value the
// window holds elsewhere, such as the spin beside it.
#pragma once

#include "ui/Components.h"

#include <QWidget>

#include <functional>

class QToolButton;

namespace qor::ui {

class TUpDown : public QWidget {
public:
    static constexpr Kind kKind = Kind::Other;
    explicit TUpDown(QWidget* parent = nullptr);
    // As a press of the right-hand arrow (forward) or the left-hand one.
    void Click(bool forward);
    QToolButton* Arrow(bool forward) const { return forward ? next_ : prev_; }
    // forward: the right-hand arrow was pressed.
    std::function<void(bool forward)> OnClick;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QToolButton* prev_;
    QToolButton* next_;
};

} // namespace qor::ui
