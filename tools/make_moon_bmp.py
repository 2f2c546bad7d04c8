#!/usr/bin/python3
"""Writes data/JPG/Moon/Moon.bmp: the picture of the full Moon in the start window, 201 x 194
pixels, 24-bit BMP. A grey disc of radius 86 around (99, 97) on black, lit a little less
towards the limb, with darker seas drawn as soft ellipses where the large maria lie on the
near side (positions rounded from a lunar map: selenographic longitude and latitude in
degrees). Nothing of it is darker than grey 70, so the black shadow drawn over it stays apart.

Run: /usr/bin/python3 tools/make_moon_bmp.py [data folder, default data/]
"""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 201, 194
CX, CY, RADIUS = 99, 97, 86

# (name, longitude, latitude, radius in degrees, darkening 0..1)
MARIA = [
    ('Imbrium', -16, 33, 18, 0.42), ('Serenitatis', 18, 28, 10, 0.40),
    ('Tranquillitatis', 31, 8, 11, 0.42), ('Crisium', 59, 17, 7, 0.45),
    ('Fecunditatis', 51, -8, 9, 0.35), ('Nectaris', 35, -15, 5, 0.33),
    ('Nubium', -17, -21, 9, 0.32), ('Procellarum', -57, 18, 22, 0.38),
    ('Humorum', -39, -24, 5, 0.36), ('Frigoris', 1, 56, 12, 0.30),
    ('Vaporum', 4, 13, 4, 0.30), ('Cognitum', -23, -10, 5, 0.28),
]


def brightness(x, y):
    dx, dy = (x - CX) / RADIUS, (CY - y) / RADIUS
    r2 = dx * dx + dy * dy
    if r2 > 1:
        return 0
    mu = math.sqrt(1 - r2)
    lon, lat = math.degrees(math.atan2(dx, mu)), math.degrees(math.asin(max(-1, min(1, dy))))
    value = 205 + 30 * mu
    for _, mlon, mlat, mr, dark in MARIA:
        d = math.hypot((lon - mlon) * math.cos(math.radians(lat)), lat - mlat)
        if d < mr * 1.6:
            value *= 1 - dark * math.exp(-(d / mr) ** 2)
    # a fine deterministic grain, like small craters
    grain = math.sin(x * 12.9898 + y * 78.233) * 43758.5453
    value += 8 * (grain - math.floor(grain) - 0.5)
    return max(70, min(255, int(round(value))))


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'data')
    out = os.path.join(data, 'JPG', 'Moon', 'Moon.bmp')
    os.makedirs(os.path.dirname(out), exist_ok=True)
    row_size = (WIDTH * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(WIDTH):
            v = brightness(x, y)
            row += bytes((v, v, v))
        row += b'\0' * (row_size - len(row))
        pixels += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, 'wb') as f:
        f.write(header + info + pixels)
    print('wrote %s (%d x %d)' % (os.path.normpath(out), WIDTH, HEIGHT))


if __name__ == '__main__':
    main()
