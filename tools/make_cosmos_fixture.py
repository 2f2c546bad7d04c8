#!/usr/bin/python3
"""Writes tests/fixtures/cosmos_helio.txt: heliocentric ecliptic longitude, latitude (equinox
of date) and distance from the Sun of the Earth and the planets Mercury..Pluto at a few fixed
moments, computed by python3-ephem (libastro), for the cosmos view's placement checks.

Run: /usr/bin/python3 tools/make_cosmos_fixture.py   (deterministic)
"""
import math
import os

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "fixtures", "cosmos_helio.txt")
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT

# Chart points and the bodies of libastro (the Earth is the Sun's heliocentric place turned).
BODIES = [(3, ephem.Mercury), (4, ephem.Venus), (5, ephem.Mars), (6, ephem.Jupiter),
          (7, ephem.Saturn), (8, ephem.Uranus), (9, ephem.Neptune), (10, ephem.Pluto)]
# Moments: year, month, day, hour (UT).
MOMENTS = [(2024, 3, 20, 12), (1987, 11, 2, 6), (2051, 7, 15, 0)]


def main():
    lines = ["# made by tools/make_cosmos_fixture.py from python3-ephem " + ephem.__version__,
             "# year month day hourUT point hlonDeg hlatDeg rAU (heliocentric, equinox of date)"]
    for (y, mo, d, h) in MOMENTS:
        date = ephem.Date("%04d/%02d/%02d %02d:00:00" % (y, mo, d, h))
        sun = ephem.Sun()
        sun.compute(date, epoch=date)
        # the Earth seen from the Sun: the Sun's geocentric place turned round
        lines.append("%d %d %d %d %d %.8f %.8f %.9f" % (
            y, mo, d, h, 0, math.degrees(float(sun.hlon)) % 360, math.degrees(float(sun.hlat)),
            sun.earth_distance))
        for point, cls in BODIES:
            b = cls()
            b.compute(date, epoch=date)
            lines.append("%d %d %d %d %d %.8f %.8f %.9f" % (
                y, mo, d, h, point, math.degrees(float(b.hlon)) % 360,
                math.degrees(float(b.hlat)), b.sun_distance))
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
