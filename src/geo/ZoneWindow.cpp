#include "geo/ZoneWindow.h"

#include "core/Text.h"
#include "ui/QtText.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace qor {

TZone::TZone(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("Zone");
    setWindowTitle(ui::ToQ("Временная зона  dT"_cp));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    const char* captions[] = {"Временной пояс", "Летнее время", "dT=Тмест-UTC", "Тмест-Тмск"};
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(ui::ToQ(Cp(captions[i])), this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("Edit%1").arg(i + 1));
        edit->setReadOnly(true);
        edit->setMaximumWidth(80);
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
        *edits[i] = edit;
    }
    Edit1->installEventFilter(this);
}

void TZone::ShowZone(const ZoneLookup& zone) {
    const ZoneWindowTexts t = ZoneEditTexts(zone);
    Edit1->setText(ui::ToQ(t.edit1));
    Edit2->setText(ui::ToQ(t.edit2));
    Edit3->setText(ui::ToQ(t.edit3));
    Edit4->setText(ui::ToQ(t.edit4));
}

void TZone::mousePressEvent(QMouseEvent*) {
    close();
}

void TZone::closeEvent(QCloseEvent* event) {
    if (onClose) onClose(*this);
    QDialog::closeEvent(event);
}

bool TZone::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        // The first edit keeps the focus while the window is open.
        if (event->type() == QEvent::FocusOut && isVisible())
            QTimer::singleShot(0, Edit1, [e = Edit1] { e->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qor
