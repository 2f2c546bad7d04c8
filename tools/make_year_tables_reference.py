#!/usr/bin/python3
"""Writes tests/fixtures/year_tables_reference.txt for the year-table tests, from
python3-ephem (libastro):

  sun  HORIZON_ARCMIN  rise|set  JD_UT     sunrises and sunsets at 51.5 N 0 E in 2024, every
                                           fifth day, the disc's centre at -50', -34' and 0,
                                           no refraction model (pressure 0)
  moon rise|set JD_UT                      moonrises and moonsets at 51.5 N 0 E in 2024, every
                                           third day, topocentric, centre at -50', pressure 0
  apsis apogee|perigee JD_UT KM            the Moon's apogees and perigees from 10 December
                                           2023, 29 of them, by a scan of the geocentric
                                           distance minute by minute around each extreme
  mercury ingress SIGN JD_UT               Mercury's entries into the signs in 2024 (sign 0
                                           Aries .. 11), to the second, and its stations
  mercury station D|R JD_UT                (D: it turns direct), to the second: apparent
                                           geocentric longitude of date

Run: /usr/bin/python3 tools/make_year_tables_reference.py   (deterministic)
"""
import math
import os

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "fixtures", "year_tables_reference.txt")
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT
JD_2024 = 2460310.5  # 2024 January 1, 0h UT


def observer(horizon_arcmin):
    o = ephem.Observer()
    o.lat, o.lon, o.elevation = "51.5", "0", 0
    o.pressure = 0
    o.horizon = "-0:%d" % horizon_arcmin if horizon_arcmin else "0"
    return o


def sun_lines():
    lines = []
    for h in (50, 34, 0):
        o = observer(h)
        for day in range(0, 366, 5):
            o.date = ephem.Date(JD_2024 + day - DJD)
            sun = ephem.Sun()
            rise = o.next_rising(sun, use_center=True)
            o.date = ephem.Date(JD_2024 + day - DJD)
            sett = o.next_setting(sun, use_center=True)
            lines.append("sun %d rise %.6f" % (h, float(rise) + DJD))
            lines.append("sun %d set %.6f" % (h, float(sett) + DJD))
    return lines


def moon_lines():
    lines = []
    o = observer(50)
    for day in range(0, 366, 3):
        for kind in ("rise", "set"):
            o.date = ephem.Date(JD_2024 + day - DJD)
            moon = ephem.Moon()
            try:
                t = o.next_rising(moon, use_center=True) if kind == "rise" else \
                    o.next_setting(moon, use_center=True)
            except (ephem.AlwaysUpError, ephem.NeverUpError):
                continue
            lines.append("moon %s %.6f" % (kind, float(t) + DJD))
    return lines


def moon_km(jd):
    m = ephem.Moon(ephem.Date(jd - DJD))
    return m.earth_distance * ephem.meters_per_au / 1000


def apsis_lines():
    lines = []
    jd = 2460288.5  # 2023 December 10, 0h UT
    step = 1.0 / 24
    r0, r1 = moon_km(jd - step), moon_km(jd)
    found = 0
    while found < 29:
        r2 = moon_km(jd + step)
        if (r1 >= r0 and r1 > r2) or (r1 <= r0 and r1 < r2):
            apogee = r1 > r2
            best, best_r = None, None
            minute = 1.0 / 1440
            t = jd - step
            while t <= jd + step:
                r = moon_km(t)
                if best is None or (r > best_r if apogee else r < best_r):
                    best, best_r = t, r
                t += minute
            lines.append("apsis %s %.6f %.3f" % ("apogee" if apogee else "perigee", best, best_r))
            found += 1
        r0, r1 = r1, r2
        jd += step
    return lines


def mercury_lon(jd):
    d = ephem.Date(jd - DJD)
    b = ephem.Mercury()
    b.compute(d, epoch=d)
    return float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d), epoch=d).lon)


def speed(jd):
    h = 1.0 / 24
    return math.remainder(mercury_lon(jd + h) - mercury_lon(jd - h), 2 * math.pi)


def bisect(a, b, f):
    fa = f(a)
    while (b - a) * 86400 > 0.5:
        m = (a + b) / 2
        if (f(m) > 0) == (fa > 0):
            a, fa = m, f(m)
        else:
            b = m
    return (a + b) / 2


def mercury_lines():
    lines = []
    jd, end = JD_2024, JD_2024 + 366
    step = 0.25
    lon, spd = mercury_lon(jd), speed(jd)
    while jd < end:
        nxt = jd + step
        lon2, spd2 = mercury_lon(nxt), speed(nxt)
        if (spd > 0) != (spd2 > 0):
            t = bisect(jd, nxt, speed)
            lines.append("mercury station %s %.6f" % ("D" if spd2 > 0 else "R", t))
        s1, s2 = int(lon // (math.pi / 6)), int(lon2 // (math.pi / 6))
        if s1 != s2:
            forward = math.remainder(lon2 - lon, 2 * math.pi) > 0
            boundary = (s2 if forward else s1) * math.pi / 6
            t = bisect(jd, nxt, lambda x: math.remainder(mercury_lon(x) - boundary, 2 * math.pi))
            lines.append("mercury ingress %d %.6f" % (s2, t))
        jd, lon, spd = nxt, lon2, spd2
    return lines


def main():
    lines = ["# made by tools/make_year_tables_reference.py from python3-ephem " + ephem.__version__]
    lines += sun_lines() + moon_lines() + apsis_lines() + mercury_lines()
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d lines to %s" % (len(lines) - 1, os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
