#!/usr/bin/python3
"""Makes the surface files "Img/P<n>.img" and "Img/P<n>.nme" of the cosmos view for the bodies
of cosmos modes 2..10 (Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto).

Regions are named surface features with their published centres and sizes: for the planets and
Pluto the IAU Gazetteer of Planetary Nomenclature (centre latitude, east longitude, diameter),
for the Earth the continents, for the giant planets their long-lived atmospheric features.
Names are written in Russian.

".img": 15-byte records, little-endian: u8 shape (0 disc, 1 ring), i16 longitude (whole degrees,
east, -180..180), i16 latitude, u8 radius x 100 (the angular radius on the globe is
arctan(value / 100)), u8 name number (line of ".nme", 0 none), u32 fill colour, u32 contour
colour (0x00BBGGRR). Record 0 is the body itself (its base colour).

Usage: tools/make_surfaces.py [output folder]
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data")


def rgb(r, g, b):
    return r + 256 * g + 65536 * b


# mode: (mean radius km, base colour, [(name, lat, east lon, diameter km, shape, fill, contour)])
BODIES = {
    2: (2439.7, rgb(150, 140, 130), [
        ("Равнина Жары", 30.5, 170.2, 1550, 0, rgb(175, 160, 140), rgb(120, 110, 100)),
        ("Рембрандт", -32.9, 87.9, 716, 1, rgb(130, 120, 110), rgb(100, 95, 90)),
        ("Бетховен", -20.8, -123.6, 630, 1, rgb(130, 120, 110), rgb(100, 95, 90)),
        ("Толстой", -16.3, -163.5, 390, 1, rgb(125, 118, 110), rgb(95, 90, 85)),
        ("Достоевский", -45.1, -177.4, 390, 1, rgb(125, 118, 110), rgb(95, 90, 85)),
        ("Шекспир", 49.7, -150.9, 370, 1, rgb(125, 118, 110), rgb(95, 90, 85)),
        ("Гомер", -1.2, -36.2, 320, 1, rgb(125, 118, 110), rgb(95, 90, 85)),
        ("Рахманинов", 27.6, 57.6, 290, 1, rgb(140, 130, 125), rgb(95, 90, 85)),
        ("Радитлади", 27.3, 119.1, 263, 1, rgb(140, 130, 125), rgb(95, 90, 85)),
        ("Вивальди", 13.7, -85.0, 213, 1, rgb(140, 130, 125), rgb(95, 90, 85)),
        ("Северная равнина", 73.4, -79.5, 1300, 0, rgb(160, 150, 140), rgb(120, 110, 100)),
    ]),
    3: (6051.8, rgb(220, 190, 130), [
        ("Земля Иштар", 70.4, 27.5, 5610, 0, rgb(200, 160, 100), rgb(160, 120, 70)),
        ("Земля Афродиты", -5.8, 104.8, 9999, 0, rgb(200, 160, 100), rgb(160, 120, 70)),
        ("Горы Максвелла", 65.2, 3.3, 797, 0, rgb(240, 230, 210), rgb(160, 120, 70)),
        ("Земля Лады", -64.1, 20.0, 8615, 0, rgb(205, 170, 110), rgb(160, 120, 70)),
        ("Область Бета", 25.3, -77.2, 2869, 0, rgb(210, 175, 115), rgb(160, 120, 70)),
        ("Область Альфа", -25.5, 4.5, 1897, 0, rgb(210, 175, 115), rgb(160, 120, 70)),
        ("Плато Лакшми", 68.6, -20.7, 2345, 0, rgb(215, 185, 125), rgb(160, 120, 70)),
        ("Область Атла", 9.2, -160.3, 3200, 0, rgb(210, 175, 115), rgb(160, 120, 70)),
        ("Область Фебы", -6.0, -77.2, 2852, 0, rgb(210, 175, 115), rgb(160, 120, 70)),
        ("Область Фемиды", -37.4, -75.8, 1811, 0, rgb(210, 175, 115), rgb(160, 120, 70)),
        ("Мид", 12.5, 57.2, 270, 1, rgb(190, 150, 95), rgb(150, 110, 70)),
        ("Клеопатра", 65.8, 7.1, 105, 1, rgb(190, 150, 95), rgb(150, 110, 70)),
    ]),
    4: (6371.0, rgb(40, 80, 180), [
        ("Евразия", 48.0, 70.0, 9000, 0, rgb(90, 140, 60), rgb(60, 100, 40)),
        ("Африка", 2.0, 17.0, 7000, 0, rgb(170, 150, 80), rgb(120, 100, 50)),
        ("Северная Америка", 45.0, -100.0, 6500, 0, rgb(90, 140, 60), rgb(60, 100, 40)),
        ("Южная Америка", -15.0, -60.0, 5500, 0, rgb(70, 130, 50), rgb(50, 90, 35)),
        ("Австралия", -25.0, 134.0, 3800, 0, rgb(180, 130, 70), rgb(130, 90, 50)),
        ("Антарктида", -90.0, 0.0, 4400, 0, rgb(240, 245, 250), rgb(200, 210, 220)),
        ("Гренландия", 72.0, -40.0, 2000, 0, rgb(235, 240, 245), rgb(200, 210, 220)),
    ]),
    5: (3389.5, rgb(190, 100, 60), [
        ("Гора Олимп", 18.4, -134.0, 624, 0, rgb(170, 85, 50), rgb(120, 60, 35)),
        ("Гора Арсия", -8.3, -120.1, 435, 0, rgb(170, 85, 50), rgb(120, 60, 35)),
        ("Гора Павлина", 1.5, -113.0, 375, 0, rgb(170, 85, 50), rgb(120, 60, 35)),
        ("Гора Аскрийская", 11.9, -104.1, 480, 0, rgb(170, 85, 50), rgb(120, 60, 35)),
        ("Гора Элизий", 25.0, 147.2, 401, 0, rgb(170, 85, 50), rgb(120, 60, 35)),
        ("Равнина Эллада", -42.4, 70.5, 2300, 0, rgb(215, 140, 95), rgb(150, 90, 60)),
        ("Равнина Аргир", -49.7, -44.0, 1800, 0, rgb(215, 140, 95), rgb(150, 90, 60)),
        ("Равнина Утопия", 46.7, 117.5, 3300, 0, rgb(200, 120, 80), rgb(150, 90, 60)),
        ("Равнина Исиды", 12.9, 87.0, 1225, 0, rgb(200, 120, 80), rgb(150, 90, 60)),
        ("Плато Большой Сирт", 8.4, 69.5, 1350, 0, rgb(120, 70, 50), rgb(90, 50, 35)),
        ("Равнина Ацидалия", 49.8, -20.7, 3000, 0, rgb(140, 80, 55), rgb(100, 60, 40)),
        ("Равнина Хриса", 28.4, -40.3, 1600, 0, rgb(200, 120, 80), rgb(150, 90, 60)),
        ("Северное плато", 87.0, 0.0, 1000, 0, rgb(245, 245, 245), rgb(210, 210, 210)),
        ("Южное плато", -84.0, 160.0, 1450, 0, rgb(245, 245, 245), rgb(210, 210, 210)),
        ("Гейл", -5.4, 137.8, 154, 1, rgb(160, 80, 50), rgb(110, 55, 35)),
    ]),
    6: (69911.0, rgb(200, 170, 130), [
        ("Большое Красное Пятно", -22.0, -60.0, 16000, 0, rgb(200, 90, 60), rgb(150, 60, 40)),
        ("Овал BA", -33.0, 10.0, 8000, 0, rgb(220, 150, 120), rgb(160, 100, 80)),
        ("Северная полярная область", 90.0, 0.0, 40000, 0, rgb(170, 150, 130), rgb(140, 120, 100)),
        ("Южная полярная область", -90.0, 0.0, 40000, 0, rgb(170, 150, 130), rgb(140, 120, 100)),
    ]),
    7: (58232.0, rgb(220, 200, 150), [
        ("Северный шестиугольник", 90.0, 0.0, 29000, 1, rgb(150, 160, 170), rgb(110, 120, 130)),
        ("Северный полярный вихрь", 90.0, 0.0, 2000, 0, rgb(120, 110, 100), rgb(90, 80, 70)),
        ("Южный полярный вихрь", -90.0, 0.0, 8000, 0, rgb(180, 150, 110), rgb(140, 110, 80)),
    ]),
    8: (25362.0, rgb(170, 220, 230), [
        ("Южная полярная шапка", -90.0, 0.0, 20000, 0, rgb(200, 235, 240), rgb(160, 200, 210)),
        ("Тёмное пятно 2006", 28.0, 0.0, 2200, 0, rgb(100, 150, 170), rgb(80, 120, 140)),
    ]),
    9: (24622.0, rgb(70, 110, 220), [
        ("Большое Тёмное Пятно", -20.0, 0.0, 13000, 0, rgb(30, 50, 120), rgb(20, 35, 90)),
        ("Малое Тёмное Пятно", -55.0, 60.0, 3000, 0, rgb(30, 50, 120), rgb(20, 35, 90)),
        ("Самокат", -42.0, 120.0, 1500, 0, rgb(230, 235, 245), rgb(180, 190, 210)),
    ]),
    10: (1188.3, rgb(200, 170, 140), [
        ("Равнина Спутника", 20.0, 178.0, 1050, 0, rgb(235, 230, 220), rgb(190, 180, 170)),
        ("Область Томбо", 10.0, 160.0, 1590, 1, rgb(225, 215, 200), rgb(190, 180, 170)),
        ("Пятно Ктулху", -3.0, 95.0, 1500, 0, rgb(90, 50, 40), rgb(70, 40, 30)),
        ("Область Лоуэлла", 70.0, 30.0, 900, 0, rgb(190, 160, 130), rgb(150, 120, 100)),
        ("Гора Райт", -21.0, 173.0, 160, 1, rgb(170, 140, 120), rgb(130, 100, 80)),
        ("Гора Пиккар", -35.0, 176.0, 225, 1, rgb(170, 140, 120), rgb(130, 100, 80)),
        ("Бёрни", 45.0, 155.0, 296, 1, rgb(170, 140, 120), rgb(130, 100, 80)),
    ]),
}


def radius_value(diameter_km, body_radius_km):
    angular = diameter_km / (2.0 * body_radius_km)  # radians on the globe
    angular = min(angular, math.radians(68.0))
    return max(1, min(255, round(math.tan(angular) * 100)))


def rec(shape, lon, lat, radius, name_no, fill, contour):
    return struct.pack("<BhhBBII", shape, lon, lat, radius, name_no, fill, contour)


def main():
    folder = os.path.join(OUT, "Img")
    os.makedirs(folder, exist_ok=True)
    total = 0
    for mode, (radius_km, base, regions) in BODIES.items():
        records = [rec(0, 0, 0, 0, 0, base, base)]
        names = []
        for k, (name, lat, lon, diam, shape, fill, contour) in enumerate(regions, start=1):
            records.append(rec(shape, round(lon), round(lat), radius_value(diam, radius_km), k,
                               fill, contour))
            names.append(name)
        assert all(len(r) == 15 for r in records) and len(records) <= 256
        with open(os.path.join(folder, f"P{mode}.img"), "wb") as f:
            f.write(b"".join(records))
        with open(os.path.join(folder, f"P{mode}.nme"), "wb") as f:
            f.write(("\r\n".join(names) + "\r\n").encode("cp1251"))
        total += len(regions)
        print(f"make_surfaces: P{mode}.img {len(records)} records, P{mode}.nme {len(names)} names")
    print(f"make_surfaces: {total} regions on {len(BODIES)} bodies")


if __name__ == "__main__":
    main()
