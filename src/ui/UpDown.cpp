#include "ui/UpDown.h"

#include <QToolButton>

namespace qor::ui {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    prev_ = new QToolButton(this);
    next_ = new QToolButton(this);
    prev_->setArrowType(Qt::LeftArrow);
    next_->setArrowType(Qt::RightArrow);
    for (QToolButton* b : {prev_, next_}) {
        b->setAutoRepeat(true); // held down it steps on, as a spin's arrow does
        b->setFocusPolicy(Qt::NoFocus);
        QObject::connect(b, &QToolButton::clicked, [this, b] { Click(b == next_); });
    }
}

void TUpDown::Click(bool forward) {
    if (isEnabled() && OnClick) OnClick(forward);
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int half = width() / 2;
    prev_->setGeometry(0, 0, half, height());
    next_->setGeometry(half, 0, width() - half, height());
}

} // namespace qor::ui
