#!/usr/bin/python3
"""Writes tests/fixtures/ephem_star_places.txt: the apparent geocentric right ascension and
declination of date of twenty bright stars at three moments, computed by python3-ephem (libastro)
from the J2000 places and proper motions of the shipped star catalogue data/yale.mdb, for the test
of the star places of date.

yale.mdb keeps the motion in right ascension as the change of the coordinate; ephem takes it
multiplied by cos(declination), as the catalogues print it.

Run: /usr/bin/python3 tools/make_star_places_reference.py [fixtures folder]   (deterministic)
"""
import math
import os
import struct
import sys

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
YALE = os.path.join(HERE, "..", "data", "yale.mdb")
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "ephem_star_places.txt")
STARS = [2491, 2326, 5340, 7001, 1708, 1713, 2943, 2061, 472, 5267,
         7557, 1457, 6134, 5056, 2990, 8728, 7924, 3982, 424, 4730]
MOMENTS = ["2026/1/1", "1950/1/1", "2050/1/1"]
MAS_PER_RAD = 180 / math.pi * 3600e3


def read_yale():
    stars = {}
    with open(YALE, "rb") as f:
        data = f.read()
    for k in range(len(data) // 54):
        rec = data[k * 54:(k + 1) * 54]
        bs = struct.unpack("<H", rec[4:6])[0]
        ra, dec, pm_ra, pm_dec = struct.unpack("<ffff", rec[26:42])
        stars[bs] = (ra, dec, pm_ra, pm_dec)  # radians; arc-seconds a year
    return stars


def main():
    yale = read_yale()
    lines = ["# made by tools/make_star_places_reference.py from python3-ephem " + ephem.__version__,
             "# BS jdUT deltaT(s) ra dec (radians, apparent geocentric, equinox and epoch of date)"]
    for moment in MOMENTS:
        d = ephem.Date(moment)
        for bs in STARS:
            ra, dec, pm_ra, pm_dec = yale[bs]
            b = ephem.FixedBody()
            b._ra, b._dec, b._epoch = ra, dec, ephem.J2000
            b._pmra = pm_ra * math.cos(dec) * 1000.0
            b._pmdec = pm_dec * 1000.0
            b.compute(d, epoch=d)
            lines.append("%d %.6f %.3f %.10f %.10f" % (bs, float(d) + 2415020.0, ephem.delta_t(d),
                                                      float(b.g_ra), float(b.g_dec)))
    os.makedirs(FIXTURES, exist_ok=True)
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (len(lines) - 2, os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
