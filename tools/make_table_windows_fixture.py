#!/usr/bin/python3
"""Writes two fixtures of the chart's table windows, computed by python3-ephem (libastro) as an
independent reference:

tests/fixtures/ephem_exact_aspects.txt: moments when two planets stand exactly in an aspect
  (apparent geocentric ecliptic longitudes of date), each the root of the separation's
  distance from the aspect's angle, bracketed day by day from a start and bisected to a
  tenth of a second.
tests/fixtures/ephem_astro_table.txt: for charts of both hemispheres, the topocentric apparent
  right ascension and declination of date, the altitude without refraction, the azimuth
  counted from the south, the geocentric distance, the angular size, and for the planets the
  heliocentric ecliptic longitude, latitude (equinox of date) and radius at the moment the
  light seen at the chart's moment left them, with their distance then from the Earth of the
  chart's moment.

Run: /usr/bin/python3 tools/make_table_windows_fixture.py [fixtures folder]   (deterministic)
"""
import math
import os
import sys

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT

BODIES = {1: ephem.Sun, 2: ephem.Moon, 3: ephem.Mercury, 4: ephem.Venus, 5: ephem.Mars,
          6: ephem.Jupiter, 7: ephem.Saturn, 8: ephem.Uranus, 9: ephem.Neptune, 10: ephem.Pluto}

# (first point, second point, angle in degrees, start as a Julian day of UT)
ASPECTS = [(6, 7, 0, 2459173.5),    # Jupiter and Saturn, December 2020
           (4, 5, 0, 2460350.5),    # Venus and Mars, February 2024
           (7, 8, 90, 2459234.5),   # Saturn square Uranus, 2021
           (1, 5, 90, 2459945.5),   # the Sun square Mars, 2023
           (3, 6, 0, 2451700.5)]    # Mercury and Jupiter, 2000

# Charts: Julian day of UT, latitude, longitude east.
CHARTS = [(2460390.1875, 55.75, 37.62),    # Moscow, 2024-03-20 16:30 UT
          (2451545.0, -33.87, 151.21),     # Sydney, 2000-01-01 12:00 UT
          (2448000.75, -22.9, -43.2)]      # Rio de Janeiro, 1990-04-10 06:00 UT


def ecl_lon(point, jd):
    d = ephem.Date(jd - DJD)
    b = BODIES[point]()
    b.compute(d, epoch=d)
    return float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=d), epoch=d).lon)


def distance_from_aspect(p1, p2, angle, jd):
    """Signed: the separation reduced to (-pi, pi] for the conjunction, else its size less
    the aspect's angle."""
    sep = (ecl_lon(p1, jd) - ecl_lon(p2, jd) + math.pi) % (2 * math.pi) - math.pi
    return sep if angle == 0 else abs(sep) - math.radians(angle)


def root(p1, p2, angle, start):
    a = start
    fa = distance_from_aspect(p1, p2, angle, a)
    for _ in range(400):
        b = a + 1.0
        fb = distance_from_aspect(p1, p2, angle, b)
        if (fa < 0) != (fb < 0) and abs(fa) < 0.5 and abs(fb) < 0.5:
            while b - a > 0.1 / 86400:
                m = (a + b) / 2
                fm = distance_from_aspect(p1, p2, angle, m)
                if (fa < 0) != (fm < 0):
                    b = m
                else:
                    a, fa = m, fm
            return (a + b) / 2
        a, fa = b, fb
    raise SystemExit("no root for %s" % ((p1, p2, angle, start),))


LIGHT_DAYS_PER_AU = 499.004784 / 86400


def helio_xyz(lon, lat, r):
    return (r * math.cos(lat) * math.cos(lon), r * math.cos(lat) * math.sin(lon),
            r * math.sin(lat))


def retarded(point, date):
    """The planet's heliocentric place (equinox of `date`) at the moment its light seen from
    the Earth at `date` left it, and its distance then from the Earth at `date`: (distance AU,
    longitude deg, latitude deg, radius AU)."""
    sun = ephem.Sun()
    sun.compute(date, epoch=date)
    earth = helio_xyz(float(sun.hlon), float(sun.hlat), sun.earth_distance)
    tau = 0.0
    for _ in range(4):
        b = BODIES[point]()
        b.compute(ephem.Date(date - tau), epoch=date)
        place = helio_xyz(float(b.hlon), float(b.hlat), b.sun_distance)
        dist = math.dist(place, earth)
        tau = dist * LIGHT_DAYS_PER_AU
    return (dist, math.degrees(float(b.hlon)) % 360.0, math.degrees(float(b.hlat)),
            b.sun_distance)


def main():
    os.makedirs(FIXTURES, exist_ok=True)
    lines = ["# made by tools/make_table_windows_fixture.py from python3-ephem " + ephem.__version__,
             "# point1 point2 angleDeg startJdUT exactJdUT (apparent geocentric longitudes of date)"]
    for p1, p2, angle, start in ASPECTS:
        lines.append("%d %d %d %.6f %.7f" % (p1, p2, angle, start, root(p1, p2, angle, start)))
    out = os.path.join(FIXTURES, "ephem_exact_aspects.txt")
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d aspects to %s" % (len(ASPECTS), os.path.normpath(out)))

    lines = ["# made by tools/make_table_windows_fixture.py from python3-ephem " + ephem.__version__,
             "# C jdUT latDeg lonEastDeg: a chart (the observer at sea level, no refraction)",
             "# P point raDeg decDeg altDeg azFromSouthDeg distAU sizeArcsec hlonDeg hlatDeg rAU",
             "#   (topocentric apparent, of date; the distance geocentric; the planets' distance",
             "#   and heliocentric place, of date, at the moment their light left them)"]
    for jd, lat, lon in CHARTS:
        lines.append("C %.6f %.2f %.2f" % (jd, lat, lon))
        o = ephem.Observer()
        o.lat, o.lon = str(lat), str(lon)
        o.elevation = 0
        o.pressure = 0
        o.date = ephem.Date(jd - DJD)
        o.epoch = o.date
        for point in sorted(BODIES):
            b = BODIES[point]()
            b.compute(o)
            az_south = (math.degrees(float(b.az)) + 180.0) % 360.0
            dist = b.earth_distance
            hlon = hlat = r = 0.0
            if point >= 3:
                dist, hlon, hlat, r = retarded(point, o.date)
            lines.append("P %d %.8f %.8f %.8f %.8f %.10f %.4f %.8f %.8f %.9f" % (
                point, math.degrees(float(b.ra)), math.degrees(float(b.dec)),
                math.degrees(float(b.alt)), az_south, dist, b.size, hlon, hlat, r))
    out = os.path.join(FIXTURES, "ephem_astro_table.txt")
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d charts to %s" % (len(CHARTS), os.path.normpath(out)))


if __name__ == "__main__":
    main()
