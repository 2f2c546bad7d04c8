#!/usr/bin/python3
"""Writes tests/fixtures/interp/natal_charts.txt: the apparent geocentric ecliptic longitudes
of date of the Sun, the Moon and the planets for the charts of the natal report's tests,
computed by python3-ephem (libastro). The tests take the planets' signs and aspects from these
longitudes, not from the program's own positions.

The charts were chosen so that every planet stands at least 2.3 degrees from a sign boundary
and from every house cusp (the program's first house system, at the place given), and every
pair's separation lies at least 0.6 degrees inside or outside a 6-degree orb of the major
aspects.

Run: /usr/bin/python3 tools/make_natal_report_charts.py [fixtures folder]   (deterministic)
"""
import math
import os
import sys

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "interp", "natal_charts.txt")
# (jd UT, latitude north, longitude east)
CHARTS = [(2444424.11390, 55.75, 37.6167), (2454017.32130, 55.75, 37.6167)]
BODIES = [(1, ephem.Sun), (2, ephem.Moon), (3, ephem.Mercury), (4, ephem.Venus),
          (5, ephem.Mars), (6, ephem.Jupiter), (7, ephem.Saturn), (8, ephem.Uranus),
          (9, ephem.Neptune), (10, ephem.Pluto)]
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT


def ecl_lon(body_cls, date):
    b = body_cls()
    b.compute(ephem.Date(date), epoch=ephem.Date(date))
    return float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=ephem.Date(date)),
                                epoch=ephem.Date(date)).lon)


def main():
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    lines = ["# made by tools/make_natal_report_charts.py from python3-ephem " + ephem.__version__,
             "# jdUT latDeg lonEastDeg, then point lonDeg (apparent, geocentric, of date)"]
    for jd, lat, lon in CHARTS:
        lines.append("chart %.5f %.4f %.4f" % (jd, lat, lon))
        for point, cls in BODIES:
            lines.append("%d %.6f" % (point, math.degrees(ecl_lon(cls, jd - DJD))))
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d charts to %s" % (len(CHARTS), os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
