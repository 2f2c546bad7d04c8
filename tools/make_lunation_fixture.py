#!/usr/bin/python3
"""Writes tests/fixtures/ephem_lunations.txt: for a few start days, the next new Moon and the
next full Moon after the start of that day (zone time), computed with PyEphem (python3-ephem)
as an independent reference for the day summary's search.

Run: /usr/bin/python3 tools/make_lunation_fixture.py [fixtures folder, default tests/fixtures]
"""
import os
import sys

import ephem

# (year, month, day, zone minutes east)
STARTS = [(1977, 2, 10, 0), (1990, 5, 15, 240), (2000, 1, 1, 0), (2024, 3, 1, 180),
          (2024, 6, 21, -300), (2026, 12, 10, 60), (2031, 8, 30, 600)]


def main():
    fixtures = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'fixtures')
    os.makedirs(fixtures, exist_ok=True)
    out = os.path.join(fixtures, 'ephem_lunations.txt')
    lines = ['# Made by tools/make_lunation_fixture.py with PyEphem %s.' % ephem.__version__,
             '# year month day zoneMinutes jdNewMoonUT jdFullMoonUT (the next ones after the '
             'start of that local day)']
    for y, m, d, zone in STARTS:
        start = ephem.Date((y, m, d, 0, 0, 0)) - zone / 1440.0
        new = ephem.next_new_moon(start)
        full = ephem.next_full_moon(start)
        # ephem.Date counts days from 1899 December 31.5
        lines.append('%d %d %d %d %.6f %.6f' % (y, m, d, zone, new + 2415020.0, full + 2415020.0))
    with open(out, 'w') as f:
        f.write('\n'.join(lines) + '\n')
    print('wrote %d starts to %s' % (len(STARTS), os.path.normpath(out)))


if __name__ == '__main__':
    main()
