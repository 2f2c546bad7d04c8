#!/usr/bin/python3
"""Makes the asteroid catalogue "asteroid.csv" from the NASA/JPL Small-Body Database extract of
the Debian package kstars-data (usr/share/kstars/asteroids.dat, JSON), fetched into the build's
cache (tools/sources.py).

Every numbered asteroid that has a name, in number order. One header line, then one asteroid a
line, fields separated by ",": name with its number, H, G, mean anomaly at the epoch (deg),
argument of perihelion (deg), longitude of the ascending node (deg), inclination (deg),
eccentricity, semi-major axis (AU), epoch (modified Julian day). Angles refer to the ecliptic
and equinox J2000. A slope parameter the database does not give is written as 0.15, the
standard value of the H, G system.

Usage: tools/make_asteroids.py [asteroids.dat] [output folder]
"""
import json
import os
import re
import sys

import sources

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    src = (sys.argv[1] if len(sys.argv) > 1 and sys.argv[1]
           else sources.deb_file("kstars-data", "usr/share/kstars/asteroids.dat"))
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "data")
    with open(src, encoding="utf-8") as f:
        db = json.load(f)
    col = {name: i for i, name in enumerate(db["fields"])}
    rows = []
    for r in db["data"]:
        m = re.match(r"^\s*(\d+) ([^(]+?)\s*(\(.*\))?\s*$", r[col["full_name"]])
        if not m:
            continue  # numbered but not named
        number, name = int(m.group(1)), m.group(2).strip()
        if "," in name:
            continue
        g = r[col["G"]] if r[col["G"]] is not None else "0.15"
        values = [r[col[k]] for k in ("H", "ma", "w", "om", "i", "e", "a", "epoch_mjd")]
        if any(v is None for v in values):
            continue
        h, ma, w, om, inc, e, a, epoch = values
        rows.append((number, f"{number} {name},{h},{g},{float(ma):.8f},{float(w):.8f},"
                             f"{float(om):.8f},{float(inc):.8f},{float(e):.10f},"
                             f"{float(a):.10f},{epoch}"))
    rows.sort()
    lines = ["Name,H,G,M,Peri,Node,Incl,e,a,Epoch(MJD)"] + [line for _n, line in rows]
    data = "\r\n".join(lines) + "\r\n"
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "asteroid.csv"), "wb") as f:
        f.write(data.encode("cp1251", errors="strict"))
    print(f"make_asteroids: {len(rows)} named asteroids of {len(db['data'])} -> asteroid.csv "
          f"({len(data)} bytes)")


if __name__ == "__main__":
    main()
