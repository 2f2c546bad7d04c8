// The computer's clock and time zone as the own-place window shows them: one instant read
// once, its UTC and local digits, the zone's standard offset, its summer-time shift and whether
// the shift is in force, all from the system's time-zone database.
#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <string>

namespace qor {

struct ComputerClock {
    QDateTime utc;           // the instant, UTC
    QDateTime local;         // the same instant in the zone (UTC + the offset in force)
    int standardMinutes = 0; // standard offset, minutes east
    int shiftMinutes = 0;    // the zone's summer-time shift (in force or next), 0 when none
    bool shiftInForce = false;
    int OffsetMinutes() const { return standardMinutes + (shiftInForce ? shiftMinutes : 0); }
};

// The clock of one instant in a zone. The shift shown while summer time is not in force is
// that of the zone's next change into summer time within a year, else none.
ComputerClock ReadComputerClock(const QDateTime& instant, const QTimeZone& zone);

// "dd.mm.yyyy  hh:mm:ss" (seconds cut, never rounded up into the next minute or day).
std::string ClockText(const QDateTime& t);
// An offset as the panel shows it: eleven blanks, then "+hh:mm" / "-hh:mm".
std::string PanelOffsetText(int minutes);

} // namespace qor
