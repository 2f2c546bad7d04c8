#!/usr/bin/python3
"""Writes tests/fixtures/ephem_reference.txt: apparent geocentric right ascension and
declination (equinox of date) and the daily motion in ecliptic longitude of the Sun, the Moon
and the planets at 40 fixed dates, computed by python3-ephem (libastro), for the chart tests.

Also writes tests/fixtures/ephem_sunrise.txt: the next sunrise and the sunset after it (upper
limb, 34' of refraction, no pressure model) at a few places; and tests/fixtures/ephem_pluto.txt:
Pluto outside the years of the program's compiled theory (within libastro's own Pluto years,
1689..2247), heliocentric and in two charts.

Run: /usr/bin/python3 tools/make_ephem_reference.py [fixtures folder]   (deterministic: a
seeded list of dates; the folder defaults to tests/fixtures)
"""
import math
import os
import random
import sys

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "ephem_reference.txt")
OUT_RST = os.path.join(FIXTURES, "ephem_sunrise.txt")
OUT_KEPLER = os.path.join(FIXTURES, "ephem_elliptic.txt")
OUT_PLUTO = os.path.join(FIXTURES, "ephem_pluto.txt")
OUT_KEPLER_J2000 = os.path.join(FIXTURES, "ephem_elliptic_j2000.txt")
# Charts with Pluto outside 1885..2099: (jd UT, latitude, longitude east); the first is
# 10.03.1850 06:00 +01:00 at 10 N 20 E.
PLUTO_CHARTS = [(2396826.708333, 10.0, 20.0), (2524500.25, 55.75, 37.62)]
# An asteroid on Ceres-like elements (degrees, AU, epoch of the mean anomaly as a Julian day).
ELEMENTS = dict(M=6.0, w=73.0, node=80.0, inc=10.6, e=0.079, a=2.767, epoch=2451545.0)
# Places (latitude, longitude east, a Julian day of UT before the wanted sunrise).
RST_PLACES = [(55.75, 37.62, 2460100.4), (-33.9, 18.4, 2459950.4), (40.7, -74.0, 2460300.9),
              (0.0, 100.0, 2455000.4), (64.0, -22.0, 2460000.6)]

# Chart point numbers and the bodies of libastro.
BODIES = [(1, ephem.Sun), (2, ephem.Moon), (3, ephem.Mercury), (4, ephem.Venus),
          (5, ephem.Mars), (6, ephem.Jupiter), (7, ephem.Saturn), (8, ephem.Uranus),
          (9, ephem.Neptune), (10, ephem.Pluto)]
DJD = 2415020.0  # ephem dates count days from 1899 Dec 31 12:00 UT


def ecl_lon(body_cls, date):
    b = body_cls(ephem.Date(date))
    b.compute(ephem.Date(date), epoch=ephem.Date(date))
    return float(ephem.Ecliptic(ephem.Equatorial(b.ra, b.dec, epoch=ephem.Date(date)),
                                epoch=ephem.Date(date)).lon)


def main():
    os.makedirs(FIXTURES, exist_ok=True)
    rnd = random.Random(20241210)
    jds = sorted(round(rnd.uniform(2433282.5, 2469807.5), 4) for _ in range(40))  # 1950..2050
    lines = ["# made by tools/make_ephem_reference.py from python3-ephem " + ephem.__version__,
             "# jdUT point raDeg decDeg lonSpeedDegPerDay (apparent, geocentric, of date)"]
    for jd in jds:
        d = jd - DJD
        for point, cls in BODIES:
            b = cls()
            b.compute(ephem.Date(d), epoch=ephem.Date(d))
            h = 1.0 / 24
            dl = ecl_lon(cls, d + h) - ecl_lon(cls, d - h)
            dl = (dl + math.pi) % (2 * math.pi) - math.pi
            speed = math.degrees(dl) / (2 * h)
            lines.append("%.4f %d %.8f %.8f %.6f" % (jd, point, math.degrees(float(b.ra)),
                                                     math.degrees(float(b.dec)), speed))
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (len(jds) * len(BODIES), os.path.normpath(OUT)))

    rows = ["# made by tools/make_ephem_reference.py from python3-ephem " + ephem.__version__,
            "# lat lonEast jdStartUT jdRiseUT jdSetUT (upper limb, horizon -34')"]
    for lat, lon, jd in RST_PLACES:
        o = ephem.Observer()
        o.lat, o.lon = str(lat), str(lon)
        o.pressure = 0
        o.horizon = "-0:34"
        o.date = ephem.Date(jd - DJD)
        rise = o.next_rising(ephem.Sun())
        o.date = rise
        sset = o.next_setting(ephem.Sun())
        rows.append("%.2f %.2f %.4f %.7f %.7f" % (lat, lon, jd, float(rise) + DJD, float(sset) + DJD))
    with open(OUT_RST, "w") as f:
        f.write("\n".join(rows) + "\n")
    print("wrote %d rows to %s" % (len(RST_PLACES), os.path.normpath(OUT_RST)))

    # The elements are taken as referred to the equinox of each date, as the chart takes them.
    el = ELEMENTS
    rows = ["# made by tools/make_ephem_reference.py from python3-ephem " + ephem.__version__,
            "# elements M w node inc e a epoch: %(M)s %(w)s %(node)s %(inc)s %(e)s %(a)s %(epoch)s" % el,
            "# jdUT raDeg decDeg (apparent, geocentric, of date; elements of the date's equinox)"]
    for jd in jds[:10]:
        d = jd - DJD
        b = ephem.EllipticalBody()
        b._inc, b._Om, b._om = el["inc"], el["node"], el["w"]
        b._a, b._e, b._M = el["a"], el["e"], el["M"]
        b._epoch_M = ephem.Date(el["epoch"] - DJD)
        b._epoch = ephem.Date(d)
        b.compute(ephem.Date(d), epoch=ephem.Date(d))
        rows.append("%.4f %.8f %.8f" % (jd, math.degrees(float(b.ra)), math.degrees(float(b.dec))))
    with open(OUT_KEPLER, "w") as f:
        f.write("\n".join(rows) + "\n")
    print("wrote %d rows to %s" % (len(rows) - 3, os.path.normpath(OUT_KEPLER)))

    # The same elements referred to the ecliptic and equinox of J2000, as the asteroid
    # catalogue gives them.
    rows = ["# made by tools/make_ephem_reference.py from python3-ephem " + ephem.__version__,
            "# elements M w node inc e a epoch: %(M)s %(w)s %(node)s %(inc)s %(e)s %(a)s %(epoch)s" % el,
            "# jdUT raDeg decDeg (apparent, geocentric, of date; elements of J2000)"]
    for jd in jds[:10]:
        d = jd - DJD
        b = ephem.EllipticalBody()
        b._inc, b._Om, b._om = el["inc"], el["node"], el["w"]
        b._a, b._e, b._M = el["a"], el["e"], el["M"]
        b._epoch_M = ephem.Date(el["epoch"] - DJD)
        b._epoch = ephem.J2000
        b.compute(ephem.Date(d), epoch=ephem.Date(d))
        rows.append("%.4f %.8f %.8f" % (jd, math.degrees(float(b.ra)), math.degrees(float(b.dec))))
    with open(OUT_KEPLER_J2000, "w") as f:
        f.write("\n".join(rows) + "\n")
    print("wrote %d rows to %s" % (len(rows) - 3, os.path.normpath(OUT_KEPLER_J2000)))

    # Heliocentric places, ecliptic and equinox J2000 (libastro gives them of date), every
    # seven years of 1701..1883 and 2101..2245; the Julian day is UT (TT differs by seconds).
    rows = ["# made by tools/make_ephem_reference.py from python3-ephem " + ephem.__version__,
            "# H jd lonDeg latDeg rAU: Pluto heliocentric, ecliptic and equinox J2000",
            "# C jdUT latDeg lonEastDeg raDeg decDeg: Pluto apparent, geocentric, of date"]
    years = list(range(1701, 1884, 7)) + list(range(2101, 2246, 7))
    for y in years:
        d = ephem.Date("%d/6/1" % y)
        b = ephem.Pluto(d)
        ecl = ephem.Ecliptic(ephem.Ecliptic(b.hlon, b.hlat, epoch=d), epoch=ephem.J2000)
        rows.append("H %.5f %.8f %.8f %.8f" % (float(d) + DJD, math.degrees(float(ecl.lon)),
                                               math.degrees(float(ecl.lat)), b.sun_distance))
    for jd, lat, lon in PLUTO_CHARTS:
        d = ephem.Date(jd - DJD)
        b = ephem.Pluto()
        b.compute(d, epoch=d)
        rows.append("C %.6f %.2f %.2f %.8f %.8f" % (jd, lat, lon, math.degrees(float(b.ra)),
                                                    math.degrees(float(b.dec))))
    with open(OUT_PLUTO, "w") as f:
        f.write("\n".join(rows) + "\n")
    print("wrote %d rows to %s" % (len(rows) - 3, os.path.normpath(OUT_PLUTO)))


if __name__ == "__main__":
    main()
