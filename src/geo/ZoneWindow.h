// The time-zone window "Zone": the zone, the summer time, dT and the difference to Moscow
// time of the city the atlas asked for. A click on the window or Esc in the first edit closes
// it; the first edit keeps the focus while it is open.
#pragma once

#include "geo/Zones.h"
#include "ui/Forms.h"

namespace qor {

class TZone : public ui::TForm {
public:
    TZone();

    // Shows a lookup in the four edits (all empty when it failed).
    void ShowZone(const ZoneLookup& zone);

    ui::TLabel *Label1, *Label2, *Label3, *Label4;
    ui::TEdit* Edit1; // zone hours
    ui::TEdit* Edit2; // summer-time hours
    ui::TEdit* Edit3; // dT = zone + summer time
    ui::TEdit* Edit4; // local time minus Moscow time

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace qor
