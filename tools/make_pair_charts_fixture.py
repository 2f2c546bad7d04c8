#!/usr/bin/python3
"""Writes tests/fixtures/interp/pair_charts.txt: the apparent geocentric ecliptic longitudes
(of date, degrees) of the Sun, the Moon and the planets (chart points 1..10) at the moments of
three pairs of charts, computed by PyEphem (python3-ephem), for the tests of the reports of a
double chart.

Rows: "pair name jdUT lon1 .. lon10", two rows (inner, outer) per pair.

Run: /usr/bin/python3 tools/make_pair_charts_fixture.py [fixtures folder]   (deterministic)
"""
import math
import os
import sys

import ephem

DJD = 2415020.0
BODIES = [ephem.Sun, ephem.Moon, ephem.Mercury, ephem.Venus, ephem.Mars, ephem.Jupiter,
          ephem.Saturn, ephem.Uranus, ephem.Neptune, ephem.Pluto]
PAIRS = [("transit", 2447966.0, 2460462.5), ("synastry", 2444239.75, 2445530.3),
         ("transit2", 2446251.0, 2461386.25),
         ("synastry2", 2446032.4, 2447411.65)]


def longitudes(jd):
    d = ephem.Date(jd - DJD)
    out = []
    for cls in BODIES:
        b = cls(d)
        ecl = ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d), epoch=d)
        out.append(math.degrees(float(ecl.lon)))
    return out


def main():
    fixtures = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
    out = os.path.join(fixtures, "interp", "pair_charts.txt")
    lines = ["# made by tools/make_pair_charts_fixture.py from python3-ephem " + ephem.__version__,
             "# pair chart jdUT longitudes of points 1..10 (degrees, ecliptic of date)"]
    for name, inner, outer in PAIRS:
        for chart, jd in (("inner", inner), ("outer", outer)):
            lines.append("%s %s %.5f %s" % (name, chart, jd,
                                            " ".join("%.6f" % l for l in longitudes(jd))))
    with open(out, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (len(lines) - 2, os.path.normpath(out)))


if __name__ == "__main__":
    main()
