#!/usr/bin/python3
"""An independent reader of the atlas files for the atlas window's checks.

Usage: atlas_oracle.py DATA_DIR EDITION PREFIX [FILTER] [WHEN]
  EDITION  "e" (geoc/geon/geoz.atl) or "r" (geocr/geonr/geozr.atl)
  PREFIX   the typed beginning of a city's name (UTF-8)
  FILTER   in the English edition a country code ("R103") the list is restricted to, or "ALL"
  WHEN     "YYYY-MM-DDTHH:MM", the local moment of the zone; "now" for the city's time now

Prints one line, UTF-8: city;country;latitude;longitude;dT;zone of the first record, in the
names file's order, whose name begins with the prefix (compared in upper case); dT is the
offset of the record's IANA zone at that local moment from Python's zoneinfo. Nothing when no
record matches. Written from the record layout alone: 8-byte coordinate records (i16 latitude
and longitude in arc-minutes, u16 map code, u16 name index) and 40-byte name records (31
characters of name, a blank, 4 of code, 2 of zone region, u16 coordinate index).
"""
import datetime
import os
import struct
import sys
import zoneinfo


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1251").splitlines()


def region_text(data, code):
    c = code.strip()
    if not c or c[0] == "L":
        return ""
    if c[0] == "R":
        for line in read_lines(os.path.join(data, "Country.atl")):
            if line[33:36] == c[1:]:
                fields = line.split(";")
                name = fields[0].strip()
                if len(fields) > 2 and fields[2].strip() == "1":
                    name += ", USA"
                return name
        return ""
    for line in read_lines(os.path.join(data, "codreg.ctm"))[5:]:
        if line[0:4].strip() == c:
            name = line[7:35].strip()
            second = line[35:53].strip()
            if second and second != name:
                name += ", " + second
            return name
    return ""


def coord_text(arcmin, width, plus, minus):
    a = abs(arcmin)
    return "%*d\u00b0%02d'%s" % (width, a // 60, a % 60, minus if arcmin < 0 else plus)


def offset_text(delta):
    minutes = int(delta.total_seconds() // 60)
    sign = "-" if minutes < 0 else "+"
    minutes = abs(minutes)
    return "%s%02d:%02d" % (sign, minutes // 60, minutes % 60)


def main():
    data, edition, prefix = sys.argv[1], sys.argv[2], sys.argv[3]
    flt = sys.argv[4] if len(sys.argv) > 4 else "ALL"
    when = sys.argv[5] if len(sys.argv) > 5 else "now"
    suffix = "r" if edition == "r" else ""
    with open(os.path.join(data, "geoc%s.atl" % suffix), "rb") as f:
        coords = f.read()
    with open(os.path.join(data, "geon%s.atl" % suffix), "rb") as f:
        names = f.read()
    zones = read_lines(os.path.join(data, "geoz%s.atl" % suffix))
    for i in range(len(names) // 40):
        rec = names[40 * i : 40 * i + 40]
        name = rec[0:31].decode("cp1251")
        code = rec[32:36].decode("cp1251")
        if flt != "ALL" and code != flt:
            continue
        if not name.upper().startswith(prefix.upper()):
            continue
        (ci,) = struct.unpack("<H", rec[38:40])
        lat, lon, _, _ = struct.unpack("<hhHH", coords[8 * (ci - 1) : 8 * ci])
        tz = zoneinfo.ZoneInfo(zones[i].strip())
        if when == "now":
            local = datetime.datetime.now(tz)
        else:
            local = datetime.datetime.fromisoformat(when).replace(tzinfo=tz)
        print(
            ";".join(
                [
                    name.rstrip(),
                    region_text(data, code),
                    coord_text(lat, 2, "N", "S"),
                    coord_text(lon, 3, "E", "W"),
                    offset_text(local.utcoffset()),
                    zones[i].strip(),
                ]
            )
        )
        return


main()
