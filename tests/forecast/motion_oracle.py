#!/usr/bin/python3
"""Geocentric apparent ecliptic longitudes of date at 0h UT of every day of a year, by
python3-ephem: an oracle for the transit curves of the motion graph that shares no code with
the program.

Usage: motion_oracle.py YEAR
       motion_oracle.py --jd JD...
Prints one line a day (or a line for each Julian day, UT): the longitudes in degrees of the
Sun, the Moon, Mercury .. Pluto.
"""
import datetime
import math
import sys

import ephem

DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT
BODIES = [ephem.Sun, ephem.Moon, ephem.Mercury, ephem.Venus, ephem.Mars, ephem.Jupiter,
          ephem.Saturn, ephem.Uranus, ephem.Neptune, ephem.Pluto]



def line(d):
    out = []
    for cls in BODIES:
        b = cls()
        b.compute(d, epoch=d)
        lon = ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d), epoch=d).lon
        out.append("%.6f" % math.degrees(float(lon)))
    print(" ".join(out))


if sys.argv[1] == "--jd":
    for jd in sys.argv[2:]:
        line(ephem.Date(float(jd) - DJD))
    sys.exit(0)

year = int(sys.argv[1])
day = datetime.date(year, 1, 1)
while day.year == year:
    line(ephem.Date(day.toordinal() + 1721424.5 - DJD))
    day += datetime.timedelta(days=1)
