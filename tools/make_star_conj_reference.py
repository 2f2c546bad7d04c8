#!/usr/bin/python3
"""Writes tests/fixtures/ephem_star_conj.txt: for eight bright stars, a moment (whole minutes of
UT) a few hours after the Sun passes the star's ecliptic longitude, and the star's apparent
ecliptic longitude of date less the Sun's, computed by python3-ephem (libastro) for an observer
at 51.5 N 0 E (the chart's place in the test: the chart's Sun is topocentric), for the
conjunction list's test.

Run: /usr/bin/python3 tools/make_star_conj_reference.py [fixtures folder]   (deterministic)
"""
import math
import os
import sys

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "ephem_star_conj.txt")
# libastro's name and the Bright Star Catalogue number
STARS = [("Hamal", 617), ("Alcyone", 1165), ("Aldebaran", 1457), ("Pollux", 2990),
         ("Regulus", 3982), ("Spica", 5056), ("Antares", 6134), ("Fomalhaut", 8728)]
START = ephem.Date("2024/1/1")


def ecl_lon(body, date):
    o = ephem.Observer()
    o.lat, o.lon, o.elevation, o.pressure = "51.5", "0", 0, 0
    o.date = date
    o.epoch = date
    body.compute(o)
    return float(ephem.Ecliptic(ephem.Equatorial(body.ra, body.dec, epoch=date), epoch=date).lon)


def gap(star, date):
    d = ecl_lon(ephem.star(star), date) - ecl_lon(ephem.Sun(), date)
    return (d + math.pi) % (2 * math.pi) - math.pi


def main():
    lines = ["# made by tools/make_star_conj_reference.py from python3-ephem " + ephem.__version__,
             "# BS year month day hour minute deltaDeg (star less Sun, apparent ecliptic of date)"]
    for name, bs in STARS:
        # the day the Sun passes the star, then the minute by halving
        d = START
        while gap(name, d) < 0 or gap(name, d + 1) >= 0:
            d += 1
        lo, hi = d, d + 1
        for _ in range(40):
            mid = (lo + hi) / 2
            if gap(name, mid) > 0:
                lo = mid
            else:
                hi = mid
        moment = ephem.Date(round((lo + 0.3) * 1440) / 1440.0)
        y, mo, dd, h, mi, _ = moment.tuple()
        mi_total = round(h * 60 + mi + _ / 60.0)
        lines.append("%d %d %d %d %d %d %.9f" % (bs, y, mo, dd, mi_total // 60, mi_total % 60,
                                                math.degrees(gap(name, moment))))
    os.makedirs(FIXTURES, exist_ok=True)
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (len(STARS), os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
