#!/usr/bin/python3
"""Reads the ephemeris files the forecast tests built, independently of the program (struct
"<3h16d"), and checks them against the calendar and python3-ephem.

Usage: check_ephemeris_files.py FOLDER   (the files are FOLDER/Wrk/*.wrk)

Files expected: Tab2023, Tab2024 (daily, checked against the calendar and against
python3-ephem), Tab0033 (name and size), Cen21 (built for 2024), Cen20 (for 1999), Cen0 (for
-50). Exit status 0 when everything holds; every failure is printed.

Tolerances of the longitudes (arc-seconds), at the level of the two programs' theories: the Sun
to Saturn 2 (libastro truncates VSOP87 to about 1"), Uranus and Neptune 4, Pluto 15 (two
different short theories), the Moon 25 (Meeus' abridged ELP, about 10", and the two programs'
delta T, 0.5" per second of time).
"""
import datetime
import math
import os
import struct
import sys

import ephem

RECORD = struct.Struct("<3h16d")
BODIES = [(1, ephem.Sun, 2), (2, ephem.Moon, 25), (3, ephem.Mercury, 2), (4, ephem.Venus, 2),
          (5, ephem.Mars, 2), (6, ephem.Jupiter, 2), (7, ephem.Saturn, 2),
          (8, ephem.Uranus, 4), (9, ephem.Neptune, 4), (10, ephem.Pluto, 15)]
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT

failures = []


def fail(text):
    failures.append(text)


def read(folder, name):
    path = os.path.join(folder, "Wrk", name)
    if not os.path.exists(path):
        fail("missing " + name)
        return None, 0
    data = open(path, "rb").read()
    if len(data) % RECORD.size:
        fail("%s: %d bytes are not whole records" % (name, len(data)))
    return [RECORD.unpack_from(data, i) for i in range(0, len(data), RECORD.size)], len(data)


def apparent_longitude(body_cls, jd_ut):
    d = ephem.Date(jd_ut - DJD)
    b = body_cls()
    b.compute(d, epoch=d)
    # b.ra and b.dec are the apparent place of date (nutation and aberration included).
    return float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d), epoch=d).lon)


def check_longitudes(name, records, jd_of, every):
    worst = {}
    for k in range(0, len(records), every):
        rec = records[k]
        jd = jd_of(rec)
        for point, cls, tol in BODIES:
            ours = rec[2 + point]
            theirs = apparent_longitude(cls, jd)
            diff = abs(math.remainder(ours - theirs, 2 * math.pi)) * 206264.806
            worst[point] = max(worst.get(point, 0), diff)
            if diff > tol:
                fail('%s record %d point %d: %.2f" from python3-ephem (tolerance %d")'
                     % (name, k, point, diff, tol))
    print(name + ": worst " + ", ".join('%d %.2f"' % (p, w) for p, w in sorted(worst.items())))


def jd_gregorian(year, month, day):
    return datetime.date(year, month, day).toordinal() + 1721424.5


def check_annual(folder, year):
    name = "Tab%04d.wrk" % year
    records, size = read(folder, name)
    if records is None:
        return
    days = 366 if year % 4 == 0 and (year % 100 != 0 or year % 400 == 0) else 365
    if size != days * RECORD.size:
        fail("%s: %d bytes, not %d" % (name, size, days * RECORD.size))
    day = datetime.date(year, 1, 1)
    for k, rec in enumerate(records):
        if (rec[0], rec[1]) != (day.day, day.month):
            fail("%s record %d: %d.%d, not %d.%d" % (name, k, rec[0], rec[1], day.day, day.month))
        # Python's weekday: Monday 0; the file's code: Tuesday 0 .. Monday 6.
        if rec[2] != (day.weekday() - 1) % 7:
            fail("%s record %d: weekday code %d on a %s" % (name, k, rec[2], day.strftime("%A")))
        for point in (15, 16):
            if rec[2 + point] != 0.0:
                fail("%s record %d: slot %d holds %r without extra bodies" % (name, k, point,
                                                                            rec[2 + point]))
        day += datetime.timedelta(days=1)
    check_longitudes(name, records, lambda r: jd_gregorian(year, r[1], r[0]), 5)


def check_century(folder, name, first_year, check_ephem):
    records, size = read(folder, name)
    if records is None:
        return
    if size != 162408:
        fail("%s: %d bytes, not 162408" % (name, size))
    for k, rec in enumerate(records):
        want = (1, k % 12 + 1, first_year + k // 12)
        if tuple(rec[:3]) != want:
            fail("%s record %d: fields %r, not %r" % (name, k, tuple(rec[:3]), want))
            break
    if check_ephem:
        # The years up to 2030: later the two programs extrapolate delta T apart (30 s by
        # 2050, 2" of Mercury), which measures no theory.
        near = [r for r in records if r[2] <= 2030]
        check_longitudes(name, near, lambda r: jd_gregorian(r[2], r[1], 1), 7)


def main():
    folder = sys.argv[1]
    check_annual(folder, 2023)
    check_annual(folder, 2024)
    records, size = read(folder, "Tab0033.wrk")
    if records is not None and (size != 365 * RECORD.size or tuple(records[0][:2]) != (1, 1)):
        fail("Tab0033.wrk: %d bytes, first record %r" % (size, records[0][:3]))
    check_century(folder, "Cen21.wrk", 2000, True)
    check_century(folder, "Cen20.wrk", 1900, False)
    check_century(folder, "Cen0.wrk", -100, False)
    for f in failures[:40]:
        print("FAIL " + f)
    if len(failures) > 40:
        print("... and %d more" % (len(failures) - 40))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
