#!/usr/bin/python3
"""Makes the body file "planets.mdb" of the cosmos view: 71 records of 112 bytes, the Sun, the
planets each followed by its satellites, Pluto and Charon, in the program's fixed order.

Sources of the figures (published mean values, typed in below):
- planets: JPL "Keplerian elements for approximate positions of the major planets" (Standish,
  J2000 ecliptic and equinox, 1800-2050 table), advanced by half a day to JD 2451545.5;
- satellites: JPL "Planetary satellite mean elements" (semi-major axis, period, eccentricity,
  inclination to the local Laplace plane; node, argument of periapsis and mean anomaly where
  given below, otherwise 0: the small satellites' phases are not kept), sizes and masses from
  JPL's planetary satellite physical parameters;
- rotation: IAU Working Group on Cartographic Coordinates and Rotational Elements (period and
  obliquity); synchronous satellites rotate once an orbit.
Masses: the Sun and the planets in Earth masses, a satellite as a fraction of its planet's mass.

Record: name (length byte + 23 characters, code page 1251), then eleven little-endian doubles:
a (AU), mean motion (rad/day), e, inclination (rad), diameter (km), node (rad), longitude of
pericentre (rad), mean longitude at JD 2451545.5 (rad), equator to orbit (rad), rotation (h),
mass.

Usage: tools/make_planets_mdb.py [output folder]
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data")
KM_PER_AU = 149597870.7

# Planets: name, a (AU), e, i, L, longitude of perihelion, node (deg, J2000.0), period (days),
# diameter (km), obliquity (deg), rotation (h), mass (Earth = 1).
PLANETS = {
    "Sun": ("Солнце", 0, 0, 0, 0, 0, 0, 0, 1392700, 7.25, 609.12, 332946.0),
    "Mercury": ("Меркурий", 0.38709927, 0.20563593, 7.00497902, 252.25032350, 77.45779628,
                48.33076593, 87.9691, 4879.4, 0.034, 1407.6, 0.0553),
    "Venus": ("Венера", 0.72333566, 0.00677672, 3.39467605, 181.97909950, 131.60246718,
              76.67984255, 224.701, 12103.6, 177.36, 5832.5, 0.815),
    "Earth": ("Земля", 1.00000261, 0.01671123, -0.00001531, 100.46457166, 102.93768193, 0.0,
              365.256, 12756.3, 23.44, 23.9345, 1.0),
    "Mars": ("Марс", 1.52371034, 0.09339410, 1.84969142, -4.55343205, -23.94362959,
             49.55953891, 686.980, 6792.4, 25.19, 24.6229, 0.107),
    "Jupiter": ("Юпитер", 5.20288700, 0.04838624, 1.30439695, 34.39644051, 14.72847983,
                100.47390909, 4332.589, 142984, 3.13, 9.925, 317.83),
    "Saturn": ("Сатурн", 9.53667594, 0.05386179, 2.48599187, 49.95424423, 92.59887831,
               113.66242448, 10759.22, 120536, 26.73, 10.656, 95.16),
    "Uranus": ("Уран", 19.18916464, 0.04725744, 0.77263783, 313.23810451, 170.95427630,
               74.01692503, 30685.4, 51118, 97.77, 17.24, 14.54),
    "Neptune": ("Нептун", 30.06992276, 0.00859048, 1.77004347, -55.12002969, 44.96476227,
                131.78422574, 60189.0, 49528, 28.32, 16.11, 17.15),
    "Pluto": ("Плутон", 39.48211675, 0.24882730, 17.14001206, 238.92903833, 224.06891629,
              110.30393684, 90560.0, 2376.6, 122.53, 153.29, 0.0022),
}

# Satellites: name, Russian name, a (km), period (days, negative: retrograde), e, i (deg),
# diameter (km), mass / planet mass, rotation (h; None: synchronous, 0: not given),
# node, argument of periapsis, mean anomaly (deg) where given.
SATELLITES = {
    "Earth": [("Moon", "Луна", 384400, 27.321661, 0.0554, 5.16, 3474.8, 0.0123, None,
               (125.08, 318.15, 135.27))],
    "Mars": [
        ("Phobos", "Фобос", 9376, 0.31891, 0.0151, 1.075, 22.2, 1.66e-8, None,
         (207.784, 150.057, 91.059)),
        ("Deimos", "Деймос", 23458, 1.26244, 0.0002, 1.788, 12.4, 2.3e-9, None,
         (24.525, 260.729, 325.329)),
    ],
    "Jupiter": [
        ("Metis", "Метида", 128000, 0.294780, 0.0002, 0.06, 43, 1.9e-11, None, None),
        ("Adrastea", "Адрастея", 129000, 0.298260, 0.0015, 0.03, 16.4, 1.05e-12, None, None),
        ("Amalthea", "Амальтея", 181400, 0.498179, 0.0032, 0.380, 167, 1.1e-9, None,
         (108.946, 155.873, 185.194)),
        ("Thebe", "Теба", 221900, 0.674536, 0.0176, 1.080, 98.6, 2.3e-10, None,
         (235.694, 234.269, 135.956)),
        ("Io", "Ио", 421800, 1.769138, 0.0041, 0.036, 3643.2, 4.705e-5, None,
         (43.977, 84.129, 342.021)),
        ("Europa", "Европа", 671100, 3.551181, 0.0094, 0.466, 3121.6, 2.528e-5, None,
         (219.106, 88.970, 171.016)),
        ("Ganymede", "Ганимед", 1070400, 7.154553, 0.0013, 0.177, 5268.2, 7.805e-5, None,
         (63.552, 192.417, 317.540)),
        ("Callisto", "Каллисто", 1882700, 16.689018, 0.0074, 0.192, 4820.6, 5.667e-5, None,
         (298.848, 52.643, 181.408)),
        ("Leda", "Леда", 11165000, 240.92, 0.164, 27.46, 21.5, 5.8e-12, 0, None),
        ("Himalia", "Гималия", 11461000, 250.56, 0.162, 27.50, 139.6, 2.2e-9, 7.782, None),
        ("Lysithea", "Лиситея", 11717000, 259.20, 0.112, 28.30, 42.2, 3.3e-11, 0, None),
        ("Elara", "Элара", 11741000, 259.64, 0.217, 26.63, 79.9, 4.6e-10, 12.0, None),
        ("Ananke", "Ананке", 21276000, -629.77, 0.244, 148.9, 29.1, 1.6e-11, 0, None),
        ("Carme", "Карме", 23404000, -734.17, 0.253, 164.9, 46.7, 6.9e-11, 0, None),
        ("Pasiphae", "Пасифе", 23624000, -743.63, 0.409, 151.4, 57.8, 1.6e-10, 0, None),
        ("Sinope", "Синопе", 23939000, -758.90, 0.250, 158.1, 35.0, 4.0e-11, 0, None),
    ],
    "Saturn": [
        ("Pan", "Пан", 133584, 0.575051, 0.0000, 0.000, 28.2, 8.7e-12, None, None),
        ("Atlas", "Атлас", 137670, 0.601900, 0.0012, 0.003, 30.2, 1.16e-11, None, None),
        ("Prometheus", "Прометей", 139380, 0.613000, 0.0022, 0.008, 86.2, 2.8e-10, None, None),
        ("Pandora", "Пандора", 141720, 0.628500, 0.0042, 0.050, 80.6, 2.4e-10, None, None),
        ("Epimetheus", "Эпиметей", 151422, 0.694200, 0.0098, 0.351, 116.2, 9.3e-10, None, None),
        ("Janus", "Янус", 151472, 0.694500, 0.0068, 0.163, 179.0, 3.34e-9, None, None),
        ("Mimas", "Мимас", 185539, 0.942422, 0.0196, 1.574, 396.4, 6.6e-8, None, None),
        ("Enceladus", "Энцелад", 238042, 1.370218, 0.0047, 0.009, 504.2, 1.9e-7, None, None),
        ("Tethys", "Тефия", 294672, 1.887802, 0.0001, 1.091, 1062.2, 1.086e-6, None, None),
        ("Telesto", "Телесто", 294720, 1.887802, 0.0000, 1.180, 24.8, 7e-12, None, None),
        ("Calypso", "Калипсо", 294721, 1.887802, 0.0000, 1.499, 21.4, 4e-12, None, None),
        ("Dione", "Диона", 377415, 2.736915, 0.0022, 0.028, 1122.8, 1.93e-6, None, None),
        ("Helene", "Елена", 377420, 2.736915, 0.0000, 0.213, 35.2, 1.9e-11, None, None),
        ("Rhea", "Рея", 527068, 4.518212, 0.0010, 0.333, 1527.6, 4.06e-6, None, None),
        ("Titan", "Титан", 1221865, 15.945421, 0.0288, 0.306, 5149.5, 2.367e-4, None, None),
        ("Hyperion", "Гиперион", 1500933, 21.276609, 0.0232, 0.615, 270.0, 9.9e-9, 0, None),
        ("Iapetus", "Япет", 3560854, 79.330183, 0.0293, 8.298, 1469.0, 3.18e-6, None, None),
        ("Phoebe", "Феба", 12947918, -550.48, 0.1634, 175.243, 213.0, 1.46e-8, 9.2735, None),
    ],
    "Uranus": [
        ("Cordelia", "Корделия", 49752, 0.335034, 0.0003, 0.085, 40, 5.2e-10, None, None),
        ("Ophelia", "Офелия", 53764, 0.376400, 0.0099, 0.104, 43, 6.2e-10, None, None),
        ("Bianca", "Бианка", 59165, 0.434579, 0.0009, 0.193, 51, 1.06e-9, None, None),
        ("Cressida", "Крессида", 61767, 0.463570, 0.0004, 0.006, 80, 3.9e-9, None, None),
        ("Desdemona", "Дездемона", 62659, 0.473650, 0.0001, 0.113, 64, 2.1e-9, None, None),
        ("Juliet", "Джульетта", 64358, 0.493065, 0.0007, 0.065, 94, 6.5e-9, None, None),
        ("Portia", "Порция", 66097, 0.513196, 0.0001, 0.059, 135, 2.0e-8, None, None),
        ("Rosalind", "Розалинда", 69927, 0.558460, 0.0001, 0.279, 72, 2.9e-9, None, None),
        ("Belinda", "Белинда", 75255, 0.623527, 0.0001, 0.031, 90, 5.6e-9, None, None),
        ("Puck", "Пак", 86004, 0.761833, 0.0001, 0.319, 162, 3.3e-8, None, None),
        ("Miranda", "Миранда", 129900, 1.413479, 0.0013, 4.338, 471.6, 7.4e-7, None, None),
        ("Ariel", "Ариэль", 190900, 2.520379, 0.0012, 0.041, 1157.8, 1.44e-5, None, None),
        ("Umbriel", "Умбриэль", 266000, 4.144177, 0.0039, 0.128, 1169.4, 1.47e-5, None, None),
        ("Titania", "Титания", 436300, 8.705872, 0.0011, 0.079, 1576.8, 3.92e-5, None, None),
        ("Oberon", "Оберон", 583500, 13.463239, 0.0014, 0.068, 1522.8, 3.54e-5, None, None),
    ],
    "Neptune": [
        ("Naiad", "Наяда", 48227, 0.294396, 0.0003, 4.691, 66, 1.9e-9, None, None),
        ("Thalassa", "Таласса", 50074, 0.311485, 0.0002, 0.135, 82, 3.4e-9, None, None),
        ("Despina", "Деспина", 52526, 0.334655, 0.0002, 0.068, 150, 2.1e-8, None, None),
        ("Galatea", "Галатея", 61953, 0.428745, 0.0001, 0.034, 176, 2.1e-8, None, None),
        ("Larissa", "Ларисса", 73548, 0.554654, 0.0014, 0.205, 194, 4.1e-8, None, None),
        ("Proteus", "Протей", 117646, 1.122315, 0.0005, 0.075, 420, 4.3e-7, None, None),
        ("Triton", "Тритон", 354759, -5.876854, 0.0000, 156.865, 2706.8, 2.089e-4, None, None),
        ("Nereid", "Нереида", 5513818, 360.13, 0.7507, 7.090, 340, 3.0e-7, 11.594, None),
    ],
    "Pluto": [("Charon", "Харон", 19591, 6.387230, 0.0002, 0.080, 1212, 0.1217, None, None)],
}

ORDER = ["Sun", "Mercury", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune",
         "Pluto"]


def record(name, a, n, e, i, diam, node, peri, lon, tilt, rot, mass):
    raw = name.encode("cp1251")[:23]
    out = bytes([len(raw)]) + raw + b"\0" * (23 - len(raw))
    out += struct.pack("<11d", a, n, e, i, diam, node, peri, lon, tilt, rot, mass)
    assert len(out) == 112
    return out


def main():
    records = []
    names = []
    rad = math.radians
    for planet in ORDER:
        rus, a, e, i, L, peri, node, period, diam, tilt, rot, mass = PLANETS[planet]
        n = 2 * math.pi / period if period else 0.0
        lon = (rad(L) + n * 0.5) % (2 * math.pi) if period else 0.0
        records.append(record(rus, a, n, e, rad(i), diam, rad(node) % (2 * math.pi),
                              rad(peri) % (2 * math.pi), lon, rad(tilt), rot, mass))
        names.append(planet)
        for sat in SATELLITES.get(planet, []):
            eng, rus_s, a_km, period, e_s, i_s, diam_s, mass_s, rot_s, angles = sat
            n_s = 2 * math.pi / abs(period)
            node_s, argp, m0 = angles if angles else (0.0, 0.0, 0.0)
            peri_s = (node_s + argp) % 360
            lon_s = (peri_s + m0) % 360 if angles else 0.0
            rotation = abs(period) * 24 if rot_s is None else rot_s
            records.append(record(" " + rus_s, a_km / KM_PER_AU, n_s, e_s, rad(i_s), diam_s,
                                  rad(node_s), rad(peri_s), rad(lon_s), 0.0, rotation, mass_s))
            names.append(eng)
    assert len(records) == 71, len(records)
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "planets.mdb"), "wb") as f:
        f.write(b"".join(records))
    print(f"make_planets_mdb: {len(records)} bodies -> planets.mdb ({112 * len(records)} bytes)")


if __name__ == "__main__":
    main()
