#!/usr/bin/python3
"""Makes data/PLANETS.NDX and data/PLANETS.DAT, the planet series of the program.

Source: the VSOP87 series (Bretagnon & Francou 1988) as shipped in the data/ folder of the npm
package `astronomia` (MIT licence): version B of the Earth (heliocentric, ecliptic and equinox
J2000) in record 0, version D (ecliptic and equinox of date) of Mercury..Neptune in records 1..8
(record 3 is the Earth of date).

Each body keeps at most 700 terms. The terms of each coordinate are ranked by their largest
contribution over 1800..2200, amplitude x |tau|^p with |tau| = 0.2 millennium, and each
coordinate keeps the shortest head of its ranking whose truncation error, measured against the
full series on a grid of dates over 1800..2200, stays under TARGET_ARCSEC (a radius error is
weighed as an angle: the worst turn it gives the body's direction seen from the Earth). Where
that takes more than 700 terms, the three heads share the 700 so that the largest error is
smallest (the radius allowed twice the angle of the others: its weight is the worst geometry). Terms written as NaN or infinity in the package are skipped and listed.

Layout (little-endian, no header):
  PLANETS.NDX  9 records of 72 bytes: 18 pairs (first, count) of uint16, pair 6c + p for
               coordinate c (L, B, R) and power p (0..5); `first` counts terms from the start
               of PLANETS.DAT.
  PLANETS.DAT  terms of 24 bytes: A, B, C as doubles; the value is A cos(B + C tau).

Also writes tests/fixtures/vsop87_full_reference.txt: the full series (no truncation) at 20
dates 1800..2200 for every record, which the tests compare the files against.

Usage: tools/make_planet_series.py [--astronomia DIR] [--root ROOT]
The package (version 4.2.0) is fetched into the build's cache (tools/sources.py) unless
--astronomia names its folder; the files are written under ROOT (default: this repository).
"""

import argparse
import json
import math
import os
import re
import struct
import sys

import sources

TARGET_ARCSEC = 0.02
MAX_TERMS = 700
TAU_MAX = 0.2  # 1800..2200 in Julian millennia from J2000
# The radius may err twice as much (as an angle) as longitude and latitude: its weight is the
# worst geometry, which a body meets seldom, while a longitude error shows always.
RADIUS_SLACK = (1.0, 1.0, 2.0)
RAD_TO_ARCSEC = 206264.80624709636

# Record number -> (package file, name).
BODIES = [
    ("vsop87Bearth.js", "Earth (B, J2000)"),
    ("vsop87Dmercury.js", "Mercury"),
    ("vsop87Dvenus.js", "Venus"),
    ("vsop87Dearth.js", "Earth"),
    ("vsop87Dmars.js", "Mars"),
    ("vsop87Djupiter.js", "Jupiter"),
    ("vsop87Dsaturn.js", "Saturn"),
    ("vsop87Duranus.js", "Uranus"),
    ("vsop87Dneptune.js", "Neptune"),
]
COORDS = "LBR"


def read_series(path):
    """The package file as {coord: {power: [[A, B, C], ...]}}."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    body = text[text.index("{"):text.rindex("}") + 1]
    body = re.sub(r"^\s*(name|type):.*$", "", body, flags=re.M)
    body = re.sub(r"\b([LBR]):", r'"\1":', body)
    body = re.sub(r",(\s*[}\]])", r"\1", body)
    data = json.loads(body)  # json accepts NaN and Infinity
    return {c: {int(p): terms for p, terms in data[c].items()} for c in COORDS if c in data}


def julian_millennia(year):
    return (year - 2000.0) / 1000.0


def grid(first, last, count):
    return [julian_millennia(first + (last - first) * (k + 0.5) / count) for k in range(count)]


def eval_terms(terms, tau):
    """terms: list of (c, p, A, B, C). Returns [L, B, R] sums."""
    out = [0.0, 0.0, 0.0]
    for c, p, a, b, f in terms:
        out[c] += a * math.cos(b + f * tau) * tau ** p
    return out


def radius_weight(r0, is_earth):
    """How much a radius error turns the body's direction seen from the Earth, at worst.

    A radius error dr of a body at heliocentric angle theta from the Earth moves its geocentric
    direction by dr sin(theta) / delta^2 (delta the geocentric distance, the Earth at 1 AU).
    An error in the Earth's own radius moves every body the same way; Venus at its closest
    (0.277 AU) is the worst case.
    """
    if is_earth:
        r0 = 0.7233
    worst = 0.0
    for k in range(1, 3600):
        theta = math.pi * k / 3600
        worst = max(worst, math.sin(theta) / (1 + r0 * r0 - 2 * r0 * math.cos(theta)))
    return worst * (r0 if is_earth else 1.0)


def error_curve(ranked, dates, weight):
    """err[n]: the largest error over the dates (arc-seconds) of keeping ranked[:n] of one
    coordinate's terms, from the tail sums built up from the end."""
    n = len(ranked)
    tail = [0.0] * len(dates)
    powers = [[tau ** p for tau in dates] for p in range(6)]
    err = [0.0] * (n + 1)
    for k in range(n - 1, -1, -1):
        _, p, a, b, f = ranked[k]
        pw = powers[p]
        for d, tau in enumerate(dates):
            tail[d] += a * math.cos(b + f * tau) * pw[d]
        err[k] = max(abs(v) for v in tail) * weight * RAD_TO_ARCSEC
    return err


def choose_terms(terms, dates, weight_r):
    """Ranks each coordinate's terms by contribution, then keeps per coordinate the shortest
    head within TARGET_ARCSEC; when that needs more than MAX_TERMS in all, the heads that
    share the MAX_TERMS with the smallest worst error."""
    ranked, curves = [], []
    for c in range(3):
        r = sorted((t for t in terms if t[0] == c), key=lambda t: -abs(t[2]) * TAU_MAX ** t[1])
        ranked.append(r)
        curves.append(error_curve(r, dates, weight_r if c == 2 else 1.0))

    def counts(limit):
        return [next(k for k in range(len(e)) if e[k] <= limit * RADIUS_SLACK[c])
                for c, e in enumerate(curves)]

    n = counts(TARGET_ARCSEC)
    if sum(n) > MAX_TERMS:
        lo, hi = TARGET_ARCSEC, max(e[0] for e in curves)
        for _ in range(60):
            mid = (lo + hi) / 2
            if sum(counts(mid)) <= MAX_TERMS:
                hi = mid
            else:
                lo = mid
        n = counts(hi)
    return [t for c in range(3) for t in ranked[c][:n[c]]]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    top = os.path.dirname(here)
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--astronomia")
    ap.add_argument("--root", default=top)
    args = ap.parse_args()
    root = args.root
    src = os.path.join(args.astronomia or sources.npm("astronomia"), "data")
    if not os.path.isdir(src):
        sys.exit(f"no package data in {src}: install the npm package astronomia there")

    choose_dates = grid(1800, 2200, 600)
    check_dates = grid(1900, 2100, 1000)
    ref_years = [1800 + 400 * k / 19 for k in range(20)]

    ndx = bytearray()
    dat = bytearray()
    reference = ["# The full VSOP87 series (no truncation) at 20 dates, made by tools/make_planet_series.py",
                 "# record year T(centuries from J2000) L(rad) B(rad) R(AU)"]
    print(f"{'record':<18} {'full':>6} {'kept':>5}  truncation error 1900..2100 (L, B, R as angle)")
    for rec, (fname, name) in enumerate(BODIES):
        series = read_series(os.path.join(src, fname))
        terms, skipped = [], []
        for ci, c in enumerate(COORDS):
            for p, rows in sorted(series.get(c, {}).items()):
                for i, row in enumerate(rows):
                    if all(math.isfinite(v) for v in row):
                        terms.append((ci, p, row[0], row[1], row[2]))
                    else:
                        skipped.append(f"{c}{p}[{i}] = {row}")
        r0 = sum(t[2] for t in terms if t[0] == 2 and t[1] == 0 and t[4] == 0.0)
        weight_r = radius_weight(r0, fname.endswith("earth.js"))
        kept = choose_terms(terms, choose_dates, weight_r)

        # Truncation error over 1900..2100 on a finer grid than the choice used.
        dropped = [t for t in terms if t not in set(kept)]
        err = [0.0, 0.0, 0.0]
        for tau in check_dates:
            s = eval_terms(dropped, tau)
            err = [max(err[0], abs(s[0])), max(err[1], abs(s[1])), max(err[2], abs(s[2]) * weight_r)]
        print(f"{rec} {name:<16} {len(terms):>6} {len(kept):>5}  "
              f"{err[0] * RAD_TO_ARCSEC:.4f}\" {err[1] * RAD_TO_ARCSEC:.4f}\" {err[2] * RAD_TO_ARCSEC:.4f}\"")
        for s in skipped:
            print(f"  skipped non-finite term {fname} {s}")

        # Index and terms in coordinate-then-power order, each series by falling amplitude.
        for c in range(3):
            for p in range(6):
                group = sorted((t for t in kept if t[0] == c and t[1] == p), key=lambda t: -abs(t[2]))
                ndx += struct.pack("<HH", len(dat) // 24, len(group))
                for t in group:
                    dat += struct.pack("<ddd", t[2], t[3], t[4])

        for year in ref_years:
            tau = julian_millennia(year)
            s = eval_terms(terms, tau)
            reference.append(f"{rec} {year:.4f} {tau * 10:.15f} {s[0]:.15f} {s[1]:.15f} {s[2]:.15f}")

    os.makedirs(os.path.join(root, "data"), exist_ok=True)
    with open(os.path.join(root, "data", "PLANETS.NDX"), "wb") as f:
        f.write(ndx)
    with open(os.path.join(root, "data", "PLANETS.DAT"), "wb") as f:
        f.write(dat)
    os.makedirs(os.path.join(root, "tests", "fixtures"), exist_ok=True)
    with open(os.path.join(root, "tests", "fixtures", "vsop87_full_reference.txt"), "w") as f:
        f.write("\n".join(reference) + "\n")
    print(f"wrote data/PLANETS.NDX ({len(ndx)} bytes), data/PLANETS.DAT ({len(dat)} bytes, "
          f"{len(dat) // 24} terms), tests/fixtures/vsop87_full_reference.txt")


if __name__ == "__main__":
    main()
