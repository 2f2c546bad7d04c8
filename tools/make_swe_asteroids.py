#!/usr/bin/python3
"""Writes tests/fixtures/swe_asteroids.txt: apparent geocentric right ascension and
declination (true equinox of date) of the main asteroids and Chiron, computed by libswe from
its numerically integrated asteroid files (Debian packages libswe-dev and swe-standard-data),
at dates around the epoch of the osculating elements in data/asteroid.csv. The catalogue's
lines of these asteroids go into the fixture too, so that the test needs nothing else.

Run: /usr/bin/python3 tools/make_swe_asteroids.py [fixtures folder]
(deterministic; needs a C compiler and the two packages: apt-get install libswe-dev
swe-standard-data)
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "swe_asteroids.txt")
CATALOGUE = os.path.join(HERE, "..", "data", "asteroid.csv")
EPHE = "/usr/share/libswe/ephe"
# catalogue name -> libswe body number
BODIES = [("1 Ceres", 17), ("2 Pallas", 18), ("3 Juno", 19), ("4 Vesta", 20),
          ("2060 Chiron", 15)]
# days from the elements' epoch
OFFSETS = [-60, -20, 0, 20, 60]

PROGRAM = r"""
#include <stdio.h>
#include <stdlib.h>
#include <swephexp.h>
int main(int argc, char** argv) {
    swe_set_ephe_path(argv[1]);
    for (int i = 2; i + 1 < argc; i += 2) {
        int body = atoi(argv[i]);
        double jd = atof(argv[i + 1]), xx[6];
        char err[256];
        int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL;
        int rc = swe_calc_ut(jd, body, flags, xx, err);
        if (rc < 0 || (rc & SEFLG_SWIEPH) == 0) {
            fprintf(stderr, "%d %.4f: %s\n", body, jd, err);
            return 1;
        }
        printf("%d %.4f %.9f %.9f\n", body, jd, xx[0], xx[1]);
    }
    swe_close();
    return 0;
}
"""


def main():
    rows = {}
    with open(CATALOGUE, encoding="cp1251") as f:
        for line in f:
            name = line.split(",")[0]
            if name in dict(BODIES) and name not in rows:
                rows[name] = line.strip()
    epoch = float(rows["1 Ceres"].split(",")[9]) + 2400000.5
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "swe.c")
        exe = os.path.join(tmp, "swe")
        with open(src, "w") as f:
            f.write(PROGRAM)
        subprocess.run(["cc", "-O1", "-o", exe, src, "-lswe", "-lm"], check=True)
        args = [exe, EPHE]
        for name, body in BODIES:
            for d in OFFSETS:
                args += [str(body), "%.4f" % (epoch + d)]
        out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    number = {body: name for name, body in BODIES}
    lines = ["# made by tools/make_swe_asteroids.py from libswe %s (swe-standard-data)" %
             swe_version(),
             "# E <the catalogue line>: elements of the asteroids below",
             "# name|jdUT|raDeg|decDeg (apparent, geocentric, true equinox of date)"]
    for name, _ in BODIES:
        lines.append("E " + rows[name])
    for row in out.split("\n"):
        if not row:
            continue
        body, jd, ra, dec = row.split()
        lines.append("%s|%s|%s|%s" % (number[int(body)], jd, ra, dec))
    os.makedirs(FIXTURES, exist_ok=True)
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (len(lines) - 3 - len(BODIES), os.path.normpath(OUT)))


def swe_version():
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libswe-dev"],
                             capture_output=True, text=True).stdout
        return out.strip() or "?"
    except OSError:
        return "?"


if __name__ == "__main__":
    main()
