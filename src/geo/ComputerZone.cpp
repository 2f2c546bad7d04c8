#include "geo/ComputerZone.h"

#include "core/Formats.h"
#include "geo/Zones.h"

#include <cmath>

namespace qor {

namespace {

int Minutes(int seconds) {
    return static_cast<int>(std::lround(seconds / 60.0));
}

} // namespace

ComputerClock ReadComputerClock(const QDateTime& instant, const QTimeZone& zone) {
    ComputerClock c;
    c.utc = instant.toUTC();
    const int offset = zone.offsetFromUtc(c.utc);
    // Local time is the same instant moved by the offset in force: no second reading of the
    // clock that could fall on the other side of a minute or a change of the zone.
    c.local = QDateTime(c.utc.date(), c.utc.time(), Qt::UTC).addSecs(offset);
    const int standard = zone.standardTimeOffset(c.utc);
    c.standardMinutes = Minutes(standard);
    c.shiftInForce = zone.isDaylightTime(c.utc) && offset != standard;
    if (c.shiftInForce) {
        c.shiftMinutes = Minutes(offset - standard);
    } else if (zone.hasTransitions()) {
        const QTimeZone::OffsetData next = zone.nextTransition(c.utc);
        if (next.atUtc.isValid() && next.atUtc <= c.utc.addDays(366) &&
            next.daylightTimeOffset != 0)
            c.shiftMinutes = Minutes(next.daylightTimeOffset);
    }
    return c;
}

std::string ClockText(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return IntToStrZ(d.day(), 2) + "." + IntToStrZ(d.month(), 2) + "." + std::to_string(d.year()) +
           "  " + IntToStrZ(h.hour(), 2) + ":" + IntToStrZ(h.minute(), 2) + ":" +
           IntToStrZ(h.second(), 2);
}

std::string PanelOffsetText(int minutes) {
    return std::string(11, ' ') + FormatDT(minutes);
}

} // namespace qor
