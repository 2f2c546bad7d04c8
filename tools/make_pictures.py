#!/usr/bin/python3
"""Makes the pictures of the gallery, the chart menu and the Moon animation:

- JPG/Moon/00.jpg .. 24.jpg: the lunar month in 25 frames, frame i lit at the phase angle
  (elongation of the Moon from the Sun) 360 deg * i / 25, from the new Moon through the first
  quarter (right half lit), the full Moon and the last quarter. The disc and its seas are drawn
  as make_moon_bmp.py draws JPG/Moon/Moon.bmp; the terminator is that of a lit sphere, and the
  night side keeps a faint earthshine.
- Pictures/Planet1.jpg .. Planet14.jpg (the chart menu looks for "Planet" + the point): the
  Sun, the Moon and the planets to Pluto drawn from their known appearance (the Sun's limb
  darkening, Jupiter's belts and Great Red Spot, Saturn's rings opened 20 deg towards the
  viewer, Mars' polar cap, Neptune's dark spot, Pluto's bright plain), then the nodes, the
  Black Moon and the White Moon as diagrams of the Moon's orbit.
- Pictures/Aries.jpg .. Pisces.jpg (the sign menu looks for the English name): the designated
  stars of the zodiac constellation to magnitude 5 from data/yale.mdb, projected
  gnomonically about the constellation's centre with J2000 north up and east to the left, the
  ecliptic and the sign's glyph from data/font16.fnt.
- Pictures/Earth.jpg: a globe rendered from earth.jpg of the Debian package xplanet-images
  (NASA Visible Earth, not copyrighted; credited in data/README.md).
- Pictures/Zodiac.bmp: the twelve glyphs round the ecliptic, a 24-bit BMP (the gallery lists
  "*.jpg" and "*.bmp").
- pictures.txt: the bodies' and signs' names in Russian and English with their picture, one
  "name;picture" a line (code page 1251, CR LF).

JPEG files are written by Pillow's libjpeg at quality 90; every picture is computed from fixed
numbers, so a run gives the same bytes with the same Pillow and libjpeg.

Run: /usr/bin/python3 tools/make_pictures.py [data folder, default data/]
(needs python3-pil and python3-numpy; fetches xplanet-images through tools/sources.py)
"""
import math
import os
import struct
import sys

import numpy as np
from PIL import Image

import make_moon_bmp
import sources

QUALITY = 90

SIGNS = [  # English name, Russian name, constellation code, glyph code of font16.fnt
    ("Aries", "Овен", "Ari", 64), ("Taurus", "Телец", "Tau", 65), ("Gemini", "Близнецы", "Gem", 66),
    ("Cancer", "Рак", "Cnc", 67), ("Leo", "Лев", "Leo", 68), ("Virgo", "Дева", "Vir", 69),
    ("Libra", "Весы", "Lib", 70), ("Scorpio", "Скорпион", "Sco", 71),
    ("Sagittarius", "Стрелец", "Sgr", 72), ("Capricorn", "Козерог", "Cap", 73),
    ("Aquarius", "Водолей", "Aqr", 74), ("Pisces", "Рыбы", "Psc", 75),
]

POINTS = [  # point number, English names, Russian names
    (1, ["Sun"], ["Солнце"]), (2, ["Moon"], ["Луна"]), (3, ["Mercury"], ["Меркурий"]),
    (4, ["Venus"], ["Венера"]), (5, ["Mars"], ["Марс"]), (6, ["Jupiter"], ["Юпитер"]),
    (7, ["Saturn"], ["Сатурн"]), (8, ["Uranus"], ["Уран"]), (9, ["Neptune"], ["Нептун"]),
    (10, ["Pluto"], ["Плутон"]), (11, ["North Node", "R.Node"], ["Раху", "Северный узел"]),
    (12, ["South Node", "S.Node"], ["Кету", "Южный узел"]),
    (13, ["Black Moon", "Lilit"], ["Лилит", "Чёрная Луна"]),
    (14, ["White Moon", "Selena"], ["Селена", "Белая Луна"]),
]

OBLIQUITY_J2000 = math.radians(23.4392911)


# --- Helpers ---------------------------------------------------------------------------------


def save_jpeg(rgb, path):
    """rgb: float array (h, w, 3) in 0..1."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img = Image.fromarray(np.clip(np.rint(rgb * 255), 0, 255).astype(np.uint8), "RGB")
    img.save(path, "JPEG", quality=QUALITY, optimize=False, progressive=False)


def save_bmp(rgb, path):
    """A 24-bit bottom-up BMP written field by field."""
    px = np.clip(np.rint(rgb * 255), 0, 255).astype(np.uint8)
    h, w, _ = px.shape
    row_size = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = px[y, :, ::-1].tobytes()
        data += row + b"\0" * (row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def grain(x, y, scale=1.0):
    """A fixed pseudo-random texture in -0.5..0.5 (the same hash make_moon_bmp.py uses)."""
    g = np.sin(x * 12.9898 * scale + y * 78.233 * scale) * 43758.5453
    return g - np.floor(g) - 0.5


def smooth_noise(x, y, octaves=4, seed=0.0):
    """Smooth value noise from sums of sines of fixed frequencies and phases."""
    total = np.zeros_like(x, dtype=float)
    amp, freq = 1.0, 1.0
    for k in range(octaves):
        a = 1.7 * k + seed
        total += amp * np.sin(freq * (x * math.cos(a) + y * math.sin(a)) * 3.1 + 1.3 * k + seed)
        total += amp * np.sin(freq * (x * math.sin(a + 0.7) - y * math.cos(a + 0.7)) * 2.3 + seed)
        amp *= 0.5
        freq *= 2.1
    return total / 3.8


def sphere(size, radius, cx=None, cy=None):
    """Pixel grid of a disc: (dx, dy, mu, inside) with dx right, dy up, mu the cosine of the
    angle from the disc's centre (the view direction)."""
    cx = (size[0] - 1) / 2 if cx is None else cx
    cy = (size[1] - 1) / 2 if cy is None else cy
    y, x = np.mgrid[0:size[1], 0:size[0]].astype(float)
    dx, dy = (x - cx) / radius, (cy - y) / radius
    r2 = dx * dx + dy * dy
    inside = r2 <= 1.0
    mu = np.sqrt(np.clip(1 - r2, 0, 1))
    # anti-aliased edge: the part of the pixel inside the disc
    edge = np.clip((1.0 - np.sqrt(r2)) * radius + 0.5, 0, 1)
    return dx, dy, mu, inside, edge


def lit(dx, dy, mu, light):
    """Lambert cosine of a sphere lit from the unit vector `light` (x right, y up, z to the
    viewer)."""
    return dx * light[0] + dy * light[1] + mu * light[2]


def starfield(h, w, density=0.0015, seed=1.0):
    """A few faint fixed stars on black."""
    y, x = np.mgrid[0:h, 0:w].astype(float)
    g = grain(x + seed * 13.1, y - seed * 7.7) + 0.5
    stars = np.where(g < density, 0.25 + 200 * g, 0.0)
    return np.repeat(np.clip(stars, 0, 0.8)[:, :, None], 3, axis=2)


# --- The Moon --------------------------------------------------------------------------------


def moon_albedo(dx, dy, mu):
    """The Moon's near side as make_moon_bmp.py draws it: a grey disc lit a little less towards
    the limb, with soft dark seas at their selenographic places; 0..1."""
    lon = np.degrees(np.arctan2(dx, np.maximum(mu, 1e-9)))
    lat = np.degrees(np.arcsin(np.clip(dy, -1, 1)))
    value = 205 + 30 * mu
    coslat = np.cos(np.radians(lat))
    for _, mlon, mlat, mr, dark in make_moon_bmp.MARIA:
        d = np.hypot((lon - mlon) * coslat, lat - mlat)
        value = value * np.where(d < mr * 1.6, 1 - dark * np.exp(-(d / mr) ** 2), 1.0)
    return np.clip(value, 70, 255) / 255.0


def moon_frame(i, size=300, radius=130):
    """Frame i of 25: elongation E = 360 deg * i / 25. The Sun lies at angle E from the Earth's
    direction, so seen from the Earth the light comes from (sin E, 0, -cos E): from behind the
    Moon at the new Moon, from the right (west) as it waxes, from the viewer at the full Moon."""
    e = 2 * math.pi * i / 25
    light = (math.sin(e), 0.0, -math.cos(e))
    dx, dy, mu, inside, edge = sphere((size, size), radius)
    albedo = moon_albedo(dx, dy, mu)
    c = lit(dx, dy, mu, light)
    # a lit sphere with a terminator softened over a few degrees; the Moon's surface keeps its
    # brightness close to the terminator (not a plain cosine)
    day = np.clip((c + 0.03) / 0.09, 0, 1) * (0.55 + 0.45 * np.clip(c, 0, 1) ** 0.35)
    earthshine = 0.07
    value = albedo * (earthshine + (1 - earthshine) * day)
    g = grain(np.arange(size)[None, :] * 1.0, np.arange(size)[:, None] * 1.0)
    value = np.clip(value + 0.015 * g * day, 0, 1) * edge
    rgb = np.repeat(value[:, :, None], 3, axis=2) * np.array([1.0, 0.99, 0.96])
    return np.maximum(rgb, starfield(size, size, seed=3.0) * (1 - edge[:, :, None]))


# --- The bodies ------------------------------------------------------------------------------


def body_picture(point, size=400):
    r = 150
    dx, dy, mu, inside, edge = sphere((size, size), r)
    lon = np.arctan2(dx, np.maximum(mu, 1e-9))
    lat = np.arcsin(np.clip(dy, -1, 1))
    sky = starfield(size, size, seed=point)
    light = np.array([-0.45, 0.25, 0.86])
    light = light / np.linalg.norm(light)
    shade = np.clip(lit(dx, dy, mu, light), 0, 1)

    def disc(colour):
        out = colour * edge[:, :, None]
        return np.maximum(out, sky * (1 - edge[:, :, None]))

    if point == 1:  # the Sun: limb darkening I(mu) = 1 - u (1 - mu), u = 0.6 in visible light
        limb = 1 - 0.6 * (1 - mu)
        gran = 0.04 * grain(dx * 300, dy * 300) + 0.05 * smooth_noise(dx * 9, dy * 9, 3, 2.0)
        spots = np.zeros_like(mu)
        for sx, sy, sr in ((0.25, 0.22, 0.05), (0.33, 0.18, 0.03), (-0.4, -0.2, 0.04)):
            d = np.hypot(dx - sx, dy - sy) / sr
            spots += 0.75 * np.exp(-d ** 2) + 0.25 * np.exp(-(d / 2.2) ** 2)
        v = np.clip(limb * (1 + gran) * (1 - np.clip(spots, 0, 0.85)), 0, 1)
        colour = np.stack([v, v * (0.93 - 0.15 * (1 - mu)), v * (0.70 - 0.35 * (1 - mu))], axis=2)
        out = colour * edge[:, :, None]
        # a faint corona
        rr = np.hypot(dx, dy)
        corona = np.where(rr > 1, 0.35 * np.exp(-(rr - 1) * 9), 0)[:, :, None] * np.array([1, 0.8, 0.5])
        return np.clip(out + corona * (1 - edge[:, :, None]), 0, 1)
    if point == 2:  # the full Moon
        v = moon_albedo(dx, dy, mu) + 0.02 * grain(dx * 200, dy * 200)
        return disc(np.repeat(np.clip(v, 0, 1)[:, :, None], 3, axis=2))
    if point == 3:  # Mercury: grey-brown, cratered
        v = 0.55 + 0.12 * smooth_noise(dx * 6, dy * 6, 5, 1.0) + 0.05 * grain(dx * 250, dy * 250)
        for k in range(40):
            cx, cy = math.sin(k * 2.39) * 0.9, math.cos(k * 3.71) * 0.9
            cr = 0.03 + 0.05 * ((k * 7) % 5) / 5
            d = np.hypot(dx - cx, dy - cy) / cr
            v = v - 0.10 * np.exp(-d ** 4) + 0.06 * np.exp(-((d - 1.1) * 4) ** 2)
        v = v * (0.15 + 0.85 * shade)
        return disc(np.stack([v, v * 0.93, v * 0.85], axis=2))
    if point == 4:  # Venus: a featureless pale yellow cloud deck with faint chevrons
        v = 0.88 + 0.05 * np.sin(lat * 7 + 2 * np.abs(lon)) + 0.02 * smooth_noise(dx * 4, dy * 4, 3, 5.0)
        v = v * (0.12 + 0.88 * shade ** 0.8)
        return disc(np.stack([v, v * 0.90, v * 0.66], axis=2))
    if point == 5:  # Mars: rust with dark regions and the south polar cap
        n = smooth_noise(lon * 2.2, lat * 2.6, 5, 7.0)
        v = 0.62 + 0.10 * n
        dark = np.clip((n - 0.15) * 2.5, 0, 1) * (np.abs(lat) < 0.8)
        colour = np.stack([v * (1 - 0.35 * dark), v * (0.45 - 0.12 * dark), v * (0.28 - 0.08 * dark)], axis=2)
        cap = np.clip((-lat - math.radians(68)) / math.radians(4), 0, 1)[:, :, None]
        colour = colour * (1 - cap) + np.array([0.95, 0.94, 0.92]) * cap
        return disc(colour * (0.1 + 0.9 * shade)[:, :, None])
    if point == 6:  # Jupiter: zones and belts by latitude, the Great Red Spot at 22 deg south
        latd = np.degrees(lat)
        belts = [(-28, -20, 0.55), (-18, -8, 0.45), (7, 18, 0.45), (22, 30, 0.6),
                 (36, 42, 0.7), (-40, -34, 0.7)]
        v = np.ones_like(latd)
        for lo, hi, depth in belts:
            mid, half = (lo + hi) / 2, (hi - lo) / 2
            v = v * (1 - (1 - depth) * np.exp(-((latd - mid) / half) ** 4))
        v = v * (1 + 0.05 * np.sin(lon * 14 + latd * 0.9) * np.exp(-(latd / 30) ** 2))
        colour = np.stack([0.93 * v, 0.82 * v ** 1.3, 0.66 * v ** 1.8], axis=2)
        spot = np.exp(-(((lon - 0.45) / 0.20) ** 2 + ((latd + 22) / 5.5) ** 2))[:, :, None]
        colour = colour * (1 - 0.8 * spot) + np.array([0.80, 0.40, 0.25]) * 0.8 * spot
        polar = np.clip((np.abs(latd) - 45) / 30, 0, 1)[:, :, None]
        colour = colour * (1 - 0.35 * polar)
        limb = (0.35 + 0.65 * mu ** 0.5)[:, :, None]
        return disc(colour * limb * (0.15 + 0.85 * shade)[:, :, None])
    if point == 7:
        return saturn(size)
    if point == 8:  # Uranus: pale cyan, nearly featureless, darkened to the limb
        v = (0.55 + 0.45 * mu ** 0.6) * (1 + 0.02 * np.sin(lat * 10))
        return disc(np.stack([0.62 * v, 0.86 * v, 0.90 * v], axis=2) * (0.12 + 0.88 * shade)[:, :, None])
    if point == 9:  # Neptune: deep blue bands and the Great Dark Spot
        latd = np.degrees(lat)
        v = (0.5 + 0.5 * mu ** 0.6) * (1 + 0.05 * np.sin(latd / 6))
        colour = np.stack([0.25 * v, 0.42 * v, 0.88 * v], axis=2)
        spot = np.exp(-(((lon + 0.3) / 0.18) ** 2 + ((latd + 20) / 6) ** 2))[:, :, None]
        colour = colour * (1 - 0.55 * spot)
        cloud = np.exp(-(((lon + 0.3) / 0.12) ** 2 + ((latd + 29) / 2) ** 2))[:, :, None]
        colour = colour + 0.5 * cloud
        return disc(np.clip(colour, 0, 1) * (0.12 + 0.88 * shade)[:, :, None])
    if point == 10:  # Pluto: beige and brown with the bright heart-shaped plain
        n = smooth_noise(lon * 3, lat * 3, 5, 11.0)
        v = 0.55 + 0.12 * n
        colour = np.stack([v * 0.95, v * 0.78, v * 0.62], axis=2)
        heart = (np.exp(-(((lon - 0.15) / 0.35) ** 2 + ((lat + 0.05) / 0.35) ** 2)) +
                 np.exp(-(((lon + 0.3) / 0.25) ** 2 + ((lat - 0.05) / 0.3) ** 2)))
        heart = np.clip(heart, 0, 1)[:, :, None]
        colour = colour * (1 - heart) + np.array([0.93, 0.89, 0.83]) * heart
        dark = np.clip(-lat * 3 - 0.5, 0, 1)[:, :, None] * 0.5
        colour = colour * (1 - dark) + np.array([0.30, 0.15, 0.10]) * dark
        return disc(colour * (0.1 + 0.9 * shade)[:, :, None])
    return orbit_diagram(point, size)


def saturn(size, tilt_deg=20.0):
    """Saturn with its rings opened by tilt_deg towards the viewer (the ring plane seen from
    the north side). Ring radii in Saturn radii: C 1.24-1.53, B 1.53-1.95, Cassini division
    1.95-2.03, A 2.03-2.27. The rings pass in front of the globe's lower half and behind its
    upper half; the globe's oblateness is 0.098."""
    r = 78.0
    cx = cy = (size - 1) / 2
    y, x = np.mgrid[0:size, 0:size].astype(float)
    X, Y = (x - cx) / r, (cy - y) / r
    t = math.radians(tilt_deg)
    # the globe: oblate, its pole tilted by t towards the viewer
    dx, dy = X, Y / (1 - 0.098 * math.cos(t))
    r2 = dx * dx + dy * dy
    mu = np.sqrt(np.clip(1 - r2, 0, 1))
    edge = np.clip((1 - np.sqrt(r2)) * r + 0.5, 0, 1)
    lat = np.arcsin(np.clip(dy * math.cos(t) + mu * math.sin(t), -1, 1) / 1.0)
    latd = np.degrees(lat)
    bands = 1 + 0.06 * np.sin(latd / 4.5) + 0.04 * np.sin(latd / 2.1)
    polar = np.clip((latd - 70) / 15, 0, 1)
    v = (0.45 + 0.55 * mu ** 0.5) * bands
    globe = np.stack([0.90 * v * (1 - 0.25 * polar), 0.80 * v * (1 - 0.15 * polar), 0.58 * v], axis=2)
    # the rings: a point of the ring plane at radius rho seen at (X, Y): Y = -rho_y sin t
    ring_y = -Y / math.sin(t)
    rho = np.hypot(X, ring_y)
    ring = np.zeros_like(rho)
    ring_colour = np.zeros(rho.shape + (3,))
    for lo, hi, opacity, colour in ((1.24, 1.53, 0.35, (0.55, 0.50, 0.42)),
                                    (1.53, 1.95, 0.95, (0.97, 0.91, 0.76)),
                                    (2.03, 2.27, 0.80, (0.78, 0.72, 0.60))):
        band = (rho >= lo) & (rho < hi)
        ring = np.where(band, opacity, ring)
        ring_colour[band] = colour
    ring_colour = ring_colour * (1 + 0.06 * np.sin(rho * 90))[:, :, None]
    front = ring_y > 0  # the near half of the rings, below the centre
    sky = starfield(size, size, seed=7.0)
    behind = ring[:, :, None] * (~front)[:, :, None]
    out = sky * (1 - behind) + ring_colour * behind
    out = out * (1 - edge[:, :, None]) + globe * edge[:, :, None]
    infront = ring[:, :, None] * front[:, :, None]
    out = out * (1 - infront) + ring_colour * infront
    return np.clip(out, 0, 1)


def orbit_diagram(point, size):
    """The Moon's orbit round the Earth seen obliquely: the ecliptic as a grey ellipse, the
    orbit inclined to it (5.1 deg, drawn exaggerated) in silver, the marked point in gold: the
    ascending node (11), the descending node (12), the apogee (13, the Black Moon) or the perigee
    (14, the White Moon, opposite the Black Moon), with the orbit drawn eccentric for 13 and 14."""
    img = Image.new("RGB", (size, size), (8, 10, 24))
    from PIL import ImageDraw
    d = ImageDraw.Draw(img)
    cx, cy = size / 2, size / 2
    a, tilt = 150.0, math.radians(65)  # the view 25 deg above the ecliptic plane
    incl = math.radians(5.1 * 3)  # exaggerated three times

    def project(vx, vy, vz):
        # ecliptic x to the right, y away from the viewer, z up (north)
        return cx + vx, cy - (vz * math.sin(tilt) + vy * math.cos(tilt))

    def ellipse(points, fill, width):
        d.line(points + points[:1], fill=fill, width=width)

    ecl = [project(a * 1.15 * math.cos(u), a * 1.15 * math.sin(u), 0) for u in np.linspace(0, 2 * math.pi, 361)[:-1]]
    ellipse(ecl, (110, 110, 130), 2)
    e = 0.25 if point in (13, 14) else 0.0  # the eccentricity drawn (the real one is 0.055)
    node_lon = 0.0
    orbit = []
    for u in np.linspace(0, 2 * math.pi, 361)[:-1]:
        rr = a * (1 - e * e) / (1 + e * math.cos(u - math.pi / 2))
        ox, oy = rr * math.cos(u), rr * math.sin(u)
        orbit.append(project(ox * math.cos(node_lon), oy * math.cos(incl), oy * math.sin(incl)))
    ellipse(orbit, (200, 205, 215), 3)
    # the Earth at the centre (a focus)
    d.ellipse([cx - 14, cy - 14, cx + 14, cy + 14], fill=(60, 110, 200), outline=(150, 190, 255))
    gold = (255, 200, 60)
    if point in (11, 12):
        u = 0 if point == 11 else math.pi
        px, py = project(a * math.cos(u), 0, 0)
        d.line([project(-a * 1.25, 0, 0), project(a * 1.25, 0, 0)], fill=(140, 140, 90), width=1)
        d.ellipse([px - 9, py - 9, px + 9, py + 9], outline=gold, width=3)
        # the orbit's direction of motion at the node: north at the ascending, south at the
        # descending node
        sgn = 1 if point == 11 else -1
        d.line([px, py + 16 * sgn, px, py - 16 * sgn], fill=gold, width=3)
        d.polygon([(px - 7, py - 16 * sgn + 8 * sgn), (px + 7, py - 16 * sgn + 8 * sgn), (px, py - 26 * sgn)], fill=gold)
    else:
        u = math.pi / 2 if point == 14 else -math.pi / 2  # the perigee, or the apogee
        rr = a * (1 - e * e) / (1 + e * math.cos(u - math.pi / 2))
        px, py = project(0, rr * math.sin(u) * math.cos(incl), rr * math.sin(u) * math.sin(incl))
        d.line([(cx, cy), (px, py)], fill=(150, 150, 160), width=1)
        colour = (30, 30, 40) if point == 13 else (245, 245, 250)
        d.ellipse([px - 11, py - 11, px + 11, py + 11], fill=colour, outline=gold, width=3)
    return np.asarray(img, dtype=float) / 255.0


# --- The constellations ----------------------------------------------------------------------


def read_yale(path):
    """(ra, dec, magnitude, constellation code) of the designated stars of yale.mdb: records of
    54 bytes, the designation at 10 (length byte, Flamsteed, Bayer, superscript, code), RA and
    Dec J2000 in radians at 26 and 30, V magnitude at 42."""
    with open(path, "rb") as f:
        data = f.read()
    stars = []
    for off in range(0, len(data) - 53, 54):
        if data[off + 10] == 0:
            continue
        code = data[off + 14:off + 17].decode("ascii").strip()
        ra, dec = struct.unpack_from("<ff", data, off + 26)
        (mag,) = struct.unpack_from("<f", data, off + 42)
        stars.append((ra, dec, mag, code))
    return stars


def read_font16(path):
    with open(path, "rb") as f:
        data = f.read()
    return data


def glyph_mask(font, code, scale):
    """The 16 x 16 glyph `code` of font16.fnt (one little-endian word a row, bit 15 leftmost),
    enlarged `scale` times."""
    rows = struct.unpack_from("<16H", font, code * 32)
    g = np.array([[(row >> (15 - b)) & 1 for b in range(16)] for row in rows], dtype=float)
    return np.kron(g, np.ones((scale, scale)))


def ecliptic_to_equatorial(lon, lat=0.0):
    e = OBLIQUITY_J2000
    sl, cl, sb, cb = math.sin(lon), math.cos(lon), math.sin(lat), math.cos(lat)
    ra = math.atan2(sl * math.cos(e) * cb - sb * math.sin(e), cl * cb)
    dec = math.asin(sb * math.cos(e) + cb * math.sin(e) * sl)
    return ra, dec


def constellation_picture(code, glyph, stars, font, w=640, h=480):
    members = [(ra, dec, m) for ra, dec, m, c in stars if c == code and m <= 5.0]
    # the centre: the mean direction of the members
    vx = sum(math.cos(d) * math.cos(r) for r, d, _ in members)
    vy = sum(math.cos(d) * math.sin(r) for r, d, _ in members)
    vz = sum(math.sin(d) for r, d, _ in members)
    ra0, dec0 = math.atan2(vy, vx), math.atan2(vz, math.hypot(vx, vy))

    def gnomonic(ra, dec):
        """Standard coordinates about (ra0, dec0): xi east, eta north."""
        cosc = math.sin(dec0) * math.sin(dec) + math.cos(dec0) * math.cos(dec) * math.cos(ra - ra0)
        if cosc <= 0.05:
            return None
        xi = math.cos(dec) * math.sin(ra - ra0) / cosc
        eta = (math.cos(dec0) * math.sin(dec) - math.sin(dec0) * math.cos(dec) * math.cos(ra - ra0)) / cosc
        return xi, eta

    pts = [gnomonic(r, d) for r, d, _ in members]
    span = max(max(abs(p[0]) for p in pts) / (w / 2 - 60), max(abs(p[1]) for p in pts) / (h / 2 - 60))
    scale = 1 / span

    def to_pixel(p):
        return w / 2 - p[0] * scale, h / 2 - p[1] * scale  # east to the left

    from PIL import ImageDraw
    img = Image.new("RGB", (w, h), (6, 10, 30))
    d = ImageDraw.Draw(img)
    # the ecliptic
    line = []
    for k in range(0, 3600):
        q = gnomonic(*ecliptic_to_equatorial(math.radians(k / 10)))
        if q is None:
            if len(line) > 1:
                d.line(line, fill=(170, 120, 40), width=2)
            line = []
            continue
        x, y = to_pixel(q)
        if -50 < x < w + 50 and -50 < y < h + 50:
            line.append((x, y))
        elif len(line) > 1:
            d.line(line, fill=(170, 120, 40), width=2)
            line = []
    if len(line) > 1:
        d.line(line, fill=(170, 120, 40), width=2)
    # the stars, larger and brighter by magnitude
    for (ra, dec, m), p in sorted(zip(members, pts), key=lambda t: -t[0][2]):
        x, y = to_pixel(p)
        rad = max(1.2, 5.2 - 0.85 * m)
        level = int(max(150, min(255, 275 - 22 * m)))
        d.ellipse([x - rad, y - rad, x + rad, y + rad], fill=(level, level, min(255, level + 10)))
    out = np.asarray(img, dtype=float) / 255.0
    # the sign's glyph in the corner
    mask = glyph_mask(font, glyph, 4)
    gh, gw = mask.shape
    out[16:16 + gh, 16:16 + gw] = out[16:16 + gh, 16:16 + gw] * (1 - mask[:, :, None]) + \
        np.array([1.0, 0.78, 0.30]) * mask[:, :, None]
    return out


# --- The Earth -------------------------------------------------------------------------------


def earth_picture(texture_path, size=400, lon0=20.0, lat0=15.0):
    """An orthographic view of the Earth's day map centred on (lon0 E, lat0 N), lit from the
    upper left, with a thin blue atmosphere at the limb."""
    tex = np.asarray(Image.open(texture_path).convert("RGB"), dtype=float) / 255.0
    th, tw, _ = tex.shape
    r = 170
    dx, dy, mu, inside, edge = sphere((size, size), r)
    l0, p0 = math.radians(lon0), math.radians(lat0)
    # the point of the sphere under each pixel: rotate the view frame to the globe's
    lat = np.arcsin(np.clip(dy * math.cos(p0) + mu * math.sin(p0), -1, 1))
    lon = l0 + np.arctan2(dx, mu * math.cos(p0) - dy * math.sin(p0))
    u = ((lon / (2 * math.pi) + 0.5) % 1.0) * tw
    v = (0.5 - lat / math.pi) * th
    ui = np.clip(u.astype(int), 0, tw - 1)
    vi = np.clip(v.astype(int), 0, th - 1)
    colour = tex[vi, ui]
    light = np.array([-0.5, 0.35, 0.79])
    light = light / np.linalg.norm(light)
    shade = np.clip(lit(dx, dy, mu, light), 0, 1)
    colour = colour * (0.08 + 0.92 * shade ** 0.8)[:, :, None]
    haze = (1 - mu) ** 3
    colour = colour * (1 - 0.5 * haze[:, :, None]) + np.array([0.35, 0.55, 1.0]) * 0.5 * haze[:, :, None] * (0.2 + 0.8 * shade[:, :, None])
    out = colour * edge[:, :, None]
    rr = np.hypot(dx, dy)
    glow = np.where(rr > 1, 0.5 * np.exp(-(rr - 1) * 40), 0)[:, :, None] * np.array([0.3, 0.5, 1.0])
    sky = starfield(size, size, seed=4.0)
    return np.clip(out + (glow + sky) * (1 - edge[:, :, None]), 0, 1)


def zodiac_bmp(font, size=240):
    out = np.zeros((size, size, 3))
    out[:] = np.array([0.04, 0.05, 0.15])
    c = size / 2
    y, x = np.mgrid[0:size, 0:size].astype(float)
    rr = np.hypot(x - c, y - c)
    ring = (np.abs(rr - 100) < 1.2) | (np.abs(rr - 70) < 1.2)
    out[ring] = np.array([0.8, 0.65, 0.3])
    for k in range(12):
        a = math.radians(15 + 30 * k)
        gx, gy = c - 85 * math.cos(a), c + 85 * math.sin(a)  # Aries at the left, counter-clockwise
        mask = glyph_mask(font, 64 + k, 1)
        top, left = int(round(gy - 8)), int(round(gx - 8))
        out[top:top + 16, left:left + 16] = out[top:top + 16, left:left + 16] * (1 - mask[:, :, None]) + mask[:, :, None]
        b = math.radians(30 * k)
        for t in np.linspace(70, 100, 60):
            out[int(round(c + t * math.sin(b))), int(round(c - t * math.cos(b)))] = np.array([0.8, 0.65, 0.3])
    return out


def pictures_txt():
    lines = []
    for point, english, russian in POINTS:
        for name in russian + english:
            lines.append("%s;Planet%d" % (name, point))
    for english, russian, _, _ in SIGNS:
        lines.append("%s;%s" % (russian, english))
        lines.append("%s;%s" % (english, english))
    lines += ["Земля;Earth", "Earth;Earth"]
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    moon = os.path.join(data, "JPG", "Moon")
    pictures = os.path.join(data, "Pictures")
    os.makedirs(moon, exist_ok=True)
    os.makedirs(pictures, exist_ok=True)
    for i in range(25):
        save_jpeg(moon_frame(i), os.path.join(moon, "%02d.jpg" % i))
    for point in range(1, 15):
        save_jpeg(body_picture(point), os.path.join(pictures, "Planet%d.jpg" % point))
    here = os.path.dirname(os.path.abspath(__file__))
    shipped = os.path.join(here, "..", "data")
    yale = os.path.join(data, "yale.mdb")
    if not os.path.exists(yale):
        yale = os.path.join(shipped, "yale.mdb")
    font_path = os.path.join(data, "font16.fnt")
    if not os.path.exists(font_path):
        font_path = os.path.join(shipped, "font16.fnt")
    stars = read_yale(yale)
    font = read_font16(font_path)
    for english, _, code, glyph in SIGNS:
        save_jpeg(constellation_picture(code, glyph, stars, font), os.path.join(pictures, english + ".jpg"))
    texture = sources.deb_file("xplanet-images", "usr/share/xplanet/images/earth.jpg")
    save_jpeg(earth_picture(texture), os.path.join(pictures, "Earth.jpg"))
    save_bmp(zodiac_bmp(font), os.path.join(pictures, "Zodiac.bmp"))
    with open(os.path.join(data, "pictures.txt"), "wb") as f:
        f.write(pictures_txt())
    print("wrote 25 Moon frames, 14 bodies, 12 constellations, the Earth, Zodiac.bmp and pictures.txt")


if __name__ == "__main__":
    main()
