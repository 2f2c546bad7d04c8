// The time-zone window "Zone": the zone, the summer time, dT and the difference to Moscow
// time of the city the atlas asked for. A click on the window or Esc in the first edit closes it.
#pragma once

#include "geo/Zones.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace qor {

class TZone : public QDialog {
public:
    explicit TZone(QWidget* parent = nullptr);

    // Shows a lookup in the four edits (all empty when it failed).
    void ShowZone(const ZoneLookup& zone);

    QLineEdit* Edit1 = nullptr; // zone hours
    QLineEdit* Edit2 = nullptr; // summer-time hours
    QLineEdit* Edit3 = nullptr; // dT = zone + summer time
    QLineEdit* Edit4 = nullptr; // local time minus Moscow time

    // Called when the window closes, before it is released (the window-state store).
    std::function<void(TZone&)> onClose;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qor
