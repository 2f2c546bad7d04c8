"""Zone history of the regions of the former USSR, from the IANA time-zone database (Debian
tzdata, fetched into the build's cache).

Writes "variat.ctm" (the standard zone of each region in dated columns) and "correc.ctm"
(summer time, one dated line a change), both dated in Moscow time. A region is a set of IANA
zones whose offsets the two tables reproduce on every day from 1925 on (transition days
aside); zones the tables cannot reproduce get no region and are looked up in the time-zone
database by the program instead.
"""

import datetime as dt
import os
import struct

import sources

FIRST_YEAR = 1925
LAST_YEAR = 2035
MAX_COLUMNS = 20
MOSCOW = "Europe/Moscow"
MOSCOW_REGION = 6


def zoneinfo():
    return sources.deb_file("tzdata", "usr/share/zoneinfo")


def read_tzif(zone):
    """Transitions of a zone as a list of (utc seconds, utc offset seconds, isdst), with the
    offset in force before the first transition as the first entry (time None)."""
    with open(os.path.join(zoneinfo(), zone), "rb") as f:
        data = f.read()
    if data[:4] != b"TZif":
        raise ValueError(zone)

    def block(pos, tsize):
        isut, isstd, leap, timecnt, typecnt, charcnt = struct.unpack(">6l", data[pos + 20:pos + 44])
        pos += 44
        times = struct.unpack(f">{timecnt}{'q' if tsize == 8 else 'l'}", data[pos:pos + timecnt * tsize])
        pos += timecnt * tsize
        idx = data[pos:pos + timecnt]
        pos += timecnt
        types = []
        for i in range(typecnt):
            off, isdst, _ = struct.unpack(">lBB", data[pos + 6 * i:pos + 6 * i + 6])
            types.append((off, isdst))
        pos += 6 * typecnt + charcnt + leap * (tsize + 4) + isstd + isut
        return pos, times, idx, types

    pos, times, idx, types = block(0, 4)
    if data[4:5] >= b"2":
        _, times, idx, types = block(pos, 8)
    first = next((t for t in types if not t[1]), types[0])
    out = [(None, first[0], first[1])]
    for t, i in zip(times, idx):
        out.append((t, types[i][0], types[i][1]))
    return out


def offset_at(trans, utc):
    """(offset seconds, isdst) in force at a UTC moment (seconds)."""
    cur = trans[0]
    for t in trans[1:]:
        if t[0] <= utc:
            cur = t
        else:
            break
    return cur[1], cur[2]


EPOCH = dt.datetime(1970, 1, 1)


def to_secs(d):
    return int((d - EPOCH).total_seconds())


def from_secs(s):
    return EPOCH + dt.timedelta(seconds=s)


def standard_hours(off, isdst):
    return (off - 3600 * isdst) / 3600


class ZoneTables:
    def __init__(self, columns, correc, regions, zone_region):
        self.columns = columns          # [(date, hour)] in Moscow time
        self.correc = correc            # [(datetime Moscow wall time, summer hours)]
        self.regions = regions          # region number -> (tuple of zone hours, [zones])
        self.zone_region = zone_region  # IANA zone -> region number


def moscow_changes(trans):
    """Summer-time changes of Moscow from 1925: (Moscow wall time before, new summer hours)."""
    out = []
    prev = trans[0]
    for t in trans[1:]:
        if t[0] is not None and from_secs(t[0]).year >= FIRST_YEAR and t[2] != prev[2]:
            out.append((from_secs(t[0] + prev[1]), t[2]))
        prev = t
    return out


def standard_changes(trans, moscow):
    """Standard-offset changes of a zone from 1925: (local date, Moscow wall time before)."""
    out = []
    prev = trans[0]
    for t in trans[1:]:
        if t[0] is not None and from_secs(t[0]).year >= FIRST_YEAR:
            if standard_hours(*t[1:]) != standard_hours(*prev[1:]):
                moff, _ = offset_at(moscow, t[0] - 1)
                out.append((from_secs(t[0] + prev[1]).date(), from_secs(t[0] + moff)))
        prev = t
    return out


def model_offset(tables, zone_values, moscow_values, local):
    """The program's lookup, as the region tables give it: zone + summer hours at a local
    moment (a datetime), or None when the tables give no zone."""
    cols = [dt.datetime(d.year, d.month, d.day, h) for d, h in tables.columns]
    k = sum(1 for c in cols if c.date() <= local.date())
    if k == 0:
        return None
    for _ in range(2):
        zr, zm = zone_values[k - 1], moscow_values[k - 1]
        msk = local + dt.timedelta(hours=zm - zr)
        k = sum(1 for c in cols if c <= msk)
        if k == 0:
            return None
    zr, zm = zone_values[k - 1], moscow_values[k - 1]
    msk = local + dt.timedelta(hours=zm - zr)
    s = 0
    for when, hours in tables.correc:
        if when <= msk:
            s = hours
        else:
            break
    return zr + s


def column_values(trans, moscow, columns):
    vals = []
    for d, h in columns:
        when = dt.datetime(d.year, d.month, d.day, h) + dt.timedelta(days=1)
        moff, _ = offset_at(moscow, to_secs(when) - 3 * 3600)
        off, isdst = offset_at(trans, to_secs(when) - moff)
        vals.append(standard_hours(off, isdst))
    return vals


def reproduces(trans, tables, values, moscow_values, skip_days):
    """True when the tables give the zone's offset at local noon of every day from 1925 to
    the last year, days near a change aside."""
    if any(v != int(v) for v in values):
        return False
    values = [int(v) for v in values]
    day = dt.date(FIRST_YEAR, 1, 2)
    end = dt.date(LAST_YEAR, 12, 31)
    # Walk the days with a moving transition pointer (the transitions are sorted).
    i = 0
    while day <= end:
        if day not in skip_days:
            local = dt.datetime(day.year, day.month, day.day, 12)
            guess = to_secs(local)
            while i + 1 < len(trans) and trans[i + 1][0] is not None and trans[i + 1][0] <= guess - trans[i][1]:
                i += 1
            off = trans[i][1]
            want = off / 3600
            got = model_offset(tables, values, moscow_values, local)
            if got is None or got != want:
                return False
        day += dt.timedelta(days=1)
    return True


def near(days, moment):
    d = moment.date()
    for k in (-1, 0, 1):
        days.add(d + dt.timedelta(days=k))


def _columns(dates, hours):
    return [(dt.date(FIRST_YEAR, 1, 1), 0)] + sorted((d, hours[d]) for d in dates)


def _passing(zones, trans, moscow, correc, columns):
    """The zones the tables with these columns reproduce, with their column values."""
    tables = ZoneTables(columns, correc, {}, {})
    moscow_values = [int(v) for v in column_values(moscow, moscow, columns)]
    common_skip = set()
    for when, _ in correc:
        near(common_skip, when)
    for d, h in columns:
        near(common_skip, dt.datetime(d.year, d.month, d.day, h))
    out = {}
    for z in zones:
        values = column_values(trans[z], moscow, columns)
        skip = set(common_skip)
        for t in trans[z][1:]:
            near(skip, from_secs(t[0]))
        if reproduces(trans[z], tables, values, moscow_values, skip):
            out[z] = tuple(int(v) for v in values)
    return out


def build(zones):
    """Region tables for a set of IANA zones (Moscow is always among them)."""
    zones = sorted(set(zones) | {MOSCOW})
    trans = {z: read_tzif(z) for z in zones}
    moscow = trans[MOSCOW]
    correc = moscow_changes(moscow)

    # The dates (local) on which each zone changed its standard offset; a column's hour is
    # Moscow's when Moscow changed that day.
    changes = {}
    hours = {}
    for z in zones:
        changes[z] = set()
        for key, when in standard_changes(trans[z], moscow):
            changes[z].add(key)
            if z == MOSCOW or key not in hours:
                hours[key] = when.hour if when.date() == key and when.hour <= 9 else 0
    base = set(changes[MOSCOW])

    # The zones the tables can hold at all: those whose summer time is Moscow's, tried with
    # columns of their own dates and Moscow's.
    extra = {}
    for z in zones:
        dates = base | changes[z]
        if z != MOSCOW and 1 + len(dates) <= MAX_COLUMNS:
            if _passing([z], trans, moscow, correc, _columns(dates, hours)):
                extra[z] = changes[z] - base

    # Columns for as many of them as fit: the zones needing the fewest new dates first.
    chosen = set(base)
    left = dict(extra)
    while True:
        fits = [(len(d - chosen), z) for z, d in left.items() if 1 + len(chosen | d) <= MAX_COLUMNS]
        if not fits:
            break
        _, z = min(fits)
        chosen |= left.pop(z)

    columns = _columns(chosen, hours)
    passing = _passing(zones, trans, moscow, correc, columns)
    if MOSCOW not in passing:
        raise RuntimeError("the tables do not reproduce Moscow")
    by_values = {}
    for z, values in passing.items():
        by_values.setdefault(values, []).append(z)
    tables = ZoneTables(columns, correc, {}, {})

    moscow_key = passing[MOSCOW]
    others = sorted((k for k in by_values if k != moscow_key), key=lambda k: (k[-1], k))
    numbers = [n for n in range(1, 100) if n != MOSCOW_REGION]
    if len(others) > len(numbers):
        raise RuntimeError("too many regions")
    tables.regions[MOSCOW_REGION] = (moscow_key, by_values[moscow_key])
    for n, k in zip(numbers, others):
        tables.regions[n] = (k, by_values[k])
    for n, (k, zs) in tables.regions.items():
        for z in zs:
            tables.zone_region[z] = n
    return tables


def put(line, col, text):
    """Places text at 1-based character col of a line (a list of characters)."""
    while len(line) < col - 1 + len(text):
        line.append(" ")
    for i, ch in enumerate(text):
        line[col - 1 + i] = ch


def variat_lines(tables, generator):
    lines = [f"Zone history of the regions (standard hours east of UTC), made by {generator}",
             "from the IANA time-zone database. Columns: the date and the hour (Moscow time) from",
             "which a column holds; a \".\" keeps the previous column's zone.",
             ""]
    head = [[], [], [], []]
    for c, (d, h) in enumerate(tables.columns, start=1):
        base = 5 * (c - 1)
        put(head[0], base + 7, f"{d.day:02d}")
        put(head[1], base + 6, f"{d.month:02d}")
        put(head[2], base + 5, f"{d.year:04d}")
        put(head[3], base + 6, f"{h:1d}")
    lines += ["".join(h) for h in head]
    lines.append("  0  (no region)")
    last = max(tables.regions)
    for n in range(1, last + 1):
        row = list(f"{n:3d}  ")
        if n in tables.regions:
            values, zones = tables.regions[n]
            prev = None
            for c, v in enumerate(values, start=1):
                put(row, 5 * (c - 1) + 6, " ." if v == prev else f"{v:2d}")
                prev = v
            put(row, 5 * MAX_COLUMNS + 8, " ".join(zones))
        else:
            put(row, 6, "--")
        lines.append("".join(row).rstrip())
    return lines


def correc_lines(tables, generator):
    lines = [f";Summer time (hours added to the zone), Moscow time, made by {generator}",
             ";from the IANA time-zone database"]
    for when, hours in tables.correc:
        lines.append(f" {when.day:02d}.{when.month:02d}.{when.year:04d} {when.hour:02d}:{when.minute:02d}".ljust(28)
                     + f"{hours:2d}")
    return lines
