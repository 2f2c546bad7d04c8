#!/usr/bin/python3
"""Makes src/core/DeltaTTable.inc, the yearly table of delta T (TT - UT) the program interpolates.

Values are centiseconds at the start of each year from 1620 on:
  1620..1972  the yearly table of The Astronomical Almanac (1984 edition, lunar acceleration
              -26"/cy^2 before 1955), written out below;
  1973..      the observed values of the USNO / IERS series (TT - UT1) at the start of each year,
              read from data/deltat.js of the npm package `astronomia` (MIT), up to the last
              year the series covers.

Usage: tools/make_deltat_table.py [--astronomia DIR] [--root ROOT]
The package is fetched into the build's cache (tools/sources.py) unless --astronomia names its
folder; the table is written under ROOT (default: this repository).
"""

import argparse
import json
import os
import re
import sys

import sources

ALMANAC_1620_1972 = [
    12400, 11900, 11500, 11000, 10600, 10200, 9800, 9500, 9100, 8800,
    8500, 8200, 7900, 7700, 7400, 7200, 7000, 6700, 6500, 6300,
    6200, 6000, 5800, 5700, 5500, 5400, 5300, 5100, 5000, 4900,
    4800, 4700, 4600, 4500, 4400, 4300, 4200, 4100, 4000, 3800,
    3700, 3600, 3500, 3400, 3300, 3200, 3100, 3000, 2800, 2700,
    2600, 2500, 2400, 2300, 2200, 2100, 2000, 1900, 1800, 1700,
    1600, 1500, 1400, 1400, 1300, 1200, 1200, 1100, 1100, 1000,
    1000, 1000, 900, 900, 900, 900, 900, 900, 900, 900,
    900, 900, 900, 900, 900, 900, 900, 900, 1000, 1000,
    1000, 1000, 1000, 1000, 1000, 1000, 1000, 1100, 1100, 1100,
    1100, 1100, 1100, 1100, 1100, 1100, 1100, 1100, 1100, 1100,
    1100, 1100, 1100, 1100, 1200, 1200, 1200, 1200, 1200, 1200,
    1200, 1200, 1200, 1200, 1300, 1300, 1300, 1300, 1300, 1300,
    1300, 1400, 1400, 1400, 1400, 1400, 1400, 1400, 1500, 1500,
    1500, 1500, 1500, 1500, 1500, 1600, 1600, 1600, 1600, 1600,
    1600, 1600, 1600, 1600, 1600, 1700, 1700, 1700, 1700, 1700,
    1700, 1700, 1700, 1700, 1700, 1700, 1700, 1700, 1700, 1700,
    1700, 1700, 1600, 1600, 1600, 1600, 1500, 1500, 1400, 1400,
    1370, 1340, 1310, 1290, 1270, 1260, 1250, 1250, 1250, 1250,
    1250, 1250, 1250, 1250, 1250, 1250, 1250, 1240, 1230, 1220,
    1200, 1170, 1140, 1110, 1060, 1020, 960, 910, 860, 800,
    750, 700, 660, 630, 600, 580, 570, 560, 560, 560,
    570, 580, 590, 610, 620, 630, 650, 660, 680, 690,
    710, 720, 730, 740, 750, 760, 770, 770, 780, 780,
    788, 782, 754, 697, 640, 602, 541, 410, 292, 182,
    161, 10, -102, -128, -269, -324, -364, -454, -471, -511,
    -540, -542, -520, -546, -546, -579, -563, -564, -580, -566,
    -587, -601, -619, -664, -644, -647, -609, -576, -466, -374,
    -272, -154, -2, 124, 264, 386, 537, 614, 775, 913,
    1046, 1153, 1336, 1465, 1601, 1720, 1824, 1906, 2025, 2095,
    2116, 2225, 2241, 2303, 2349, 2362, 2386, 2449, 2434, 2408,
    2402, 2400, 2387, 2395, 2386, 2393, 2373, 2392, 2396, 2402,
    2433, 2483, 2530, 2570, 2624, 2677, 2728, 2778, 2825, 2871,
    2915, 2957, 2997, 3036, 3072, 3107, 3135, 3168, 3218, 3268,
    3315, 3359, 3400, 3447, 3503, 3573, 3654, 3743, 3829, 3920,
    4018, 4117, 4223,
]


def read_usno(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    body = text[text.index("{"):text.rindex("}") + 1]
    body = re.sub(r"\b(historic|data|prediction|table|first|last|firstYM|lastYM):", r'"\1":', body)
    return json.loads(body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    top = os.path.dirname(here)
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--astronomia")
    ap.add_argument("--root", default=top)
    args = ap.parse_args()
    path = os.path.join(args.astronomia or sources.npm("astronomia"), "data", "deltat.js")
    if not os.path.isfile(path):
        sys.exit(f"no {path}: install the npm package astronomia there")
    usno = read_usno(path)
    assert len(ALMANAC_1620_1972) == 1972 - 1620 + 1

    # Observed: the half-yearly historic series up to 1984.5, then the monthly series.
    hist, data = usno["historic"], usno["data"]
    observed = {}
    for i, v in enumerate(hist["table"]):
        year = hist["first"] + 0.5 * i
        if year == int(year):
            observed[int(year)] = v
    y0, m0 = data["firstYM"]
    for i, v in enumerate(data["table"]):
        month = m0 - 1 + i
        if month % 12 == 0:
            observed[y0 + month // 12] = v
    table = list(ALMANAC_1620_1972)
    year = 1973
    while year in observed:
        table.append(round(observed[year] * 100))
        year += 1
    last = 1620 + len(table) - 1

    lines = ["// Made by tools/make_deltat_table.py; do not edit.",
             "// Delta T (TT - UT) at the start of each year from 1620, in centiseconds: the yearly",
             "// table of The Astronomical Almanac up to 1972, then the observed USNO / IERS values.",
             f"constexpr int kDeltaTFirstYear = 1620;",
             f"constexpr int kDeltaTLastYear = {last};",
             f"constexpr int32_t DeltaTTable[{len(table)}] = {{"]
    for k in range(0, len(table), 10):
        lines.append("    " + ", ".join(str(v) for v in table[k:k + 10]) + ",")
    lines.append("};")
    out = os.path.join(args.root, "src", "core", "DeltaTTable.inc")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print(f"wrote {out}: {len(table)} years 1620..{last}, last value {table[-1] / 100:.2f} s")


if __name__ == "__main__":
    main()
