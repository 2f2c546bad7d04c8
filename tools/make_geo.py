#!/usr/bin/python3
"""Makes the earth's data files of data/: the zone history of the regions of the former USSR
("variat.ctm", "correc.ctm"), the atlas of cities ("geoc.atl", "geon.atl", "geocr.atl",
"geonr.atl", "geoz.atl", "geozr.atl", "Country.atl", "codreg.ctm") and the coastlines
("coast.ptr", "coast.dat").

Inputs: Debian tzdata, libgeonames0, libgeonames-common, iso-codes, libglib2.0-bin (gresource),
and the npm package world-atlas (give its folder with --world-atlas, default
/work/scratch/npm-geo/node_modules/world-atlas).

    tools/make_geo.py [--out data] [--world-atlas DIR]
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import geo_atlas  # noqa: E402
import geo_coast  # noqa: E402
import geo_zones  # noqa: E402

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
    ap.add_argument("--world-atlas", default="/work/scratch/npm-geo/node_modules/world-atlas")
    args = ap.parse_args()

    print("Zone history from the IANA time-zone database ...")
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
    ptr, dat, counts = geo_coast.build(os.path.join(args.world_atlas, "land-50m.json"))
    for k, v in counts.items():
        print(f"  {k}: {v}")
    write_bytes(os.path.join(args.out, "coast.ptr"), ptr)
    write_bytes(os.path.join(args.out, "coast.dat"), dat)


if __name__ == "__main__":
    main()
