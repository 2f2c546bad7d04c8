#!/usr/bin/python3
"""Makes the earth's data files of data/: the zone history of the regions of the former USSR
("variat.ctm", "correc.ctm"), the atlas of cities ("geoc.atl", "geon.atl", "geocr.atl",
"geonr.atl", "geoz.atl", "geozr.atl", "Country.atl", "codreg.ctm") and the coastlines
("coast.ptr", "coast.dat").

Inputs: the Debian packages tzdata, libgeonames0, libgeonames-common and iso-codes and the npm
package world-atlas, each fetched into the build's cache (tools/sources.py; --world-atlas names
another folder of world-atlas); the tool gresource of Debian libglib2.0-bin.

    tools/make_geo.py [--out data] [--fixtures tests/fixtures] [--world-atlas DIR]

Also writes the coast test's fixture "coast_rings.json" (a few source rings) into --fixtures.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import geo_atlas  # noqa: E402
import geo_coast  # noqa: E402
import geo_zones  # noqa: E402
import sources  # noqa: E402

GENERATOR = "tools/make_geo.py"


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print(f"  {os.path.basename(path)}: {len(data)} bytes")


def write_lines(path, lines):
    data = b"".join((l if isinstance(l, bytes) else l.encode("cp1251")) + b"\r\n" for l in lines)
    write_bytes(path, data)


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=os.path.join(here, "data"))
    ap.add_argument("--fixtures", default=os.path.join(here, "tests", "fixtures"))
    ap.add_argument("--world-atlas")
    args = ap.parse_args()
    world_atlas = args.world_atlas or sources.npm("world-atlas")

    print(f"Zone history from the IANA time-zone database (tzdata {sources.deb_version('tzdata')}) ...")
    zones = geo_atlas.fsu_zones()
    tables = geo_zones.build(zones)
    print(f"  {len(zones)} zones of the former USSR, {len(tables.zone_region)} in "
          f"{len(tables.regions)} regions, {len(tables.columns)} dated columns, "
          f"{len(tables.correc)} summer-time changes")
    print(f"  left to the time-zone database: {sorted(set(zones) - set(tables.zone_region))}")
    write_lines(os.path.join(args.out, "variat.ctm"), geo_zones.variat_lines(tables, GENERATOR))
    write_lines(os.path.join(args.out, "correc.ctm"), geo_zones.correc_lines(tables, GENERATOR))

    print("Atlas of cities from GeoNames and ISO 3166 ...")
    files, counts = geo_atlas.build(tables.zone_region, GENERATOR)
    for k, v in counts.items():
        print(f"  {k}: {v}")
    for name, content in files.items():
        path = os.path.join(args.out, name)
        if isinstance(content, bytes):
            write_bytes(path, content)
        else:
            write_lines(path, content)

    print("Coastlines from Natural Earth 1:50m land ...")
    land = os.path.join(world_atlas, "land-50m.json")
    ptr, dat, counts = geo_coast.build(land)
    for k, v in counts.items():
        print(f"  {k}: {v}")
    write_bytes(os.path.join(args.out, "coast.ptr"), ptr)
    write_bytes(os.path.join(args.out, "coast.dat"), dat)
    os.makedirs(args.fixtures, exist_ok=True)
    write_bytes(os.path.join(args.fixtures, "coast_rings.json"), geo_coast.fixture(land))


if __name__ == "__main__":
    main()
