#!/usr/bin/python3
"""Days of a year on which transiting Jupiter or Saturn stands within 1 degree of a
conjunction or an opposition to given longitudes, by python3-ephem (geocentric apparent places
of date at 0h UT): an oracle for the calendar forecast that shares no code with the program.

Usage: calendar_oracle.py YEAR LON...   (natal longitudes in degrees)
Prints one line a day of the year: for each longitude given, 1 (an aspect), 0 (none) or
-1 (within 0.02 degree of the 1-degree limit, where the two programs' theories may differ).
"""
import datetime
import math
import sys

import ephem

DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT
MARGIN = 0.02    # degrees: Jupiter and Saturn agree with the program far better (a few ")


def apparent_longitude(body_cls, d):
    b = body_cls()
    b.compute(d, epoch=d)
    return math.degrees(float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d),
                                             epoch=d).lon))


year = int(sys.argv[1])
natal = [float(x) for x in sys.argv[2:]]
day = datetime.date(year, 1, 1)
while day.year == year:
    jd = day.toordinal() + 1721424.5
    d = ephem.Date(jd - DJD)
    transits = [apparent_longitude(ephem.Jupiter, d), apparent_longitude(ephem.Saturn, d)]
    verdicts = []
    for lon in natal:
        verdict = 0
        for t in transits:
            sep = abs(math.remainder(t - lon, 360.0))
            for angle in (0.0, 180.0):
                off = abs(sep - angle)
                if off <= 1.0 - MARGIN:
                    verdict = 1
                elif off <= 1.0 + MARGIN and verdict == 0:
                    verdict = -1
        verdicts.append(str(verdict))
    print(" ".join(verdicts))
    day += datetime.timedelta(days=1)
