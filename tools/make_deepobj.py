#!/usr/bin/python3
"""Makes the deep-sky catalogue "Deepobj.txt" from OpenNGC (CC BY-SA 4.0, Mattia Verga).

The 110 Messier objects come first (in Messier order), then the brightest other NGC/IC objects
by visual magnitude (blue magnitude where no visual one is given) until 1000 objects. One object
a line, code page 1251, fields separated by ";":
  Russian name; English name; code; RA J2000 as "H°M'S.s""; Dec J2000 as "±D°M'S""; distance in
  thousands of light years (Messier objects); size in arc-minutes; magnitude; constellation;
  comment (kind of object, Hubble type, the other catalogue number).
Distances of the Messier objects are published mean values (rounded), written below.

Usage: tools/make_deepobj.py [openngc folder] [output folder]
"""
import csv
import os
import sys

import sources

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = sys.argv[1] if len(sys.argv) > 1 else sources.shared_data("openngc")
OUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "data")
LIMIT = 1000

# Distance of each Messier object in thousands of light years (published mean values).
MESSIER_KLY = {
    1: "6.5", 2: "37.5", 3: "33.9", 4: "7.2", 5: "24.5", 6: "1.6", 7: "0.98", 8: "4.1",
    9: "25.8", 10: "14.3", 11: "6.2", 12: "16", 13: "22.2", 14: "30.3", 15: "33.6", 16: "7",
    17: "5.5", 18: "4.9", 19: "28.7", 20: "5.2", 21: "4.25", 22: "10.6", 23: "2.15", 24: "10",
    25: "2", 26: "5", 27: "1.36", 28: "17.9", 29: "4", 30: "27.1", 31: "2540", 32: "2490",
    33: "2730", 34: "1.5", 35: "2.8", 36: "4.1", 37: "4.5", 38: "4.2", 39: "0.8", 40: "0.51",
    41: "2.3", 42: "1.34", 43: "1.6", 44: "0.577", 45: "0.444", 46: "5.4", 47: "1.6",
    48: "1.5", 49: "55900", 50: "3", 51: "31000", 52: "5", 53: "58", 54: "87.4", 55: "17.6",
    56: "32.9", 57: "2.3", 58: "62000", 59: "60000", 60: "55000", 61: "52500", 62: "22.5",
    63: "29300", 64: "24000", 65: "35000", 66: "36000", 67: "2.61", 68: "33.6", 69: "29.7",
    70: "29.4", 71: "13", 72: "54.6", 73: "2.5", 74: "32000", 75: "67.5", 76: "2.5",
    77: "47000", 78: "1.6", 79: "41", 80: "32.6", 81: "11800", 82: "12000", 83: "15000",
    84: "60000", 85: "60000", 86: "52000", 87: "53500", 88: "47000", 89: "50000", 90: "58700",
    91: "63000", 92: "26.7", 93: "3.6", 94: "16000", 95: "33000", 96: "31000", 97: "2.03",
    98: "44400", 99: "50200", 100: "55000", 101: "20900", 102: "50000", 103: "8.5",
    104: "31100", 105: "32000", 106: "23700", 107: "20.9", 108: "46000", 109: "83500",
    110: "2690",
}

# Names written here (Russian, English), at most 15 characters each, by OpenNGC name.
NAMES = {
    "NGC1952": ("Крабовидная", "Crab Nebula"), "NGC6523": ("Лагуна", "Lagoon Nebula"),
    "NGC6205": ("Геркулес", "Hercules Clust."), "NGC6611": ("Орёл", "Eagle Nebula"),
    "NGC6618": ("Омега", "Omega Nebula"), "NGC6514": ("Тройная", "Trifid Nebula"),
    "NGC6853": ("Гантель", "Dumbbell Nebula"), "NGC0224": ("Андромеда", "Andromeda"),
    "NGC0598": ("Треугольник", "Triangulum"), "NGC1976": ("Тум.Ориона", "Orion Nebula"),
    "NGC1982": ("Тум.де Мерана", "De Mairan Neb."), "NGC2632": ("Ясли", "Beehive"),
    "Mel022": ("Плеяды", "Pleiades"), "NGC5194": ("Водоворот", "Whirlpool"),
    "NGC6720": ("Кольцо", "Ring Nebula"), "NGC4826": ("Чёрный Глаз", "Black Eye"),
    "NGC3031": ("Галактика Боде", "Bode's Galaxy"), "NGC3034": ("Сигара", "Cigar Galaxy"),
    "NGC5236": ("Южная Вертушка", "S. Pinwheel"), "NGC3587": ("Сова", "Owl Nebula"),
    "NGC5457": ("Вертушка", "Pinwheel"), "NGC4594": ("Сомбреро", "Sombrero"),
    "NGC5055": ("Подсолнух", "Sunflower"), "NGC6405": ("Бабочка", "Butterfly Clust"),
    "NGC6475": ("Скопл.Птолемея", "Ptolemy Cluster"), "NGC6705": ("Дикая Утка", "Wild Duck"),
    "IC4715": ("Облако Стрельца", "Sgr Star Cloud"), "NGC4486": ("Дева A", "Virgo A"),
    "NGC0650": ("Малая Гантель", "Little Dumbbell"), "NGC0869": ("Аш Персея", "h Persei"),
    "NGC0884": ("Хи Персея", "chi Persei"), "NGC7000": ("Сев.Америка", "North America"),
    "NGC6960": ("Вуаль", "Veil Nebula"), "NGC6992": ("Вуаль", "Veil Nebula"),
    "NGC2237": ("Розетка", "Rosette Nebula"), "NGC2244": ("Розетка", "Rosette Cluster"),
    "NGC3372": ("Эта Киля", "Eta Carinae Neb"), "NGC5139": ("Омега Центавра", "Omega Centauri"),
    "NGC0104": ("47 Тукана", "47 Tucanae"), "NGC0253": ("Скульптор", "Sculptor Galaxy"),
    "NGC7293": ("Улитка", "Helix Nebula"), "NGC6543": ("Кошачий Глаз", "Cat's Eye"),
    "NGC2392": ("Эскимос", "Eskimo Nebula"), "NGC7009": ("Сатурн", "Saturn Nebula"),
    "NGC5128": ("Центавр A", "Centaurus A"), "NGC3242": ("Призрак Юпитера", "Ghost of Jup."),
    "NGC2070": ("Тарантул", "Tarantula"), "NGC4755": ("Шкатулка", "Jewel Box"),
    "NGC1499": ("Калифорния", "California Neb."), "NGC6826": ("Мигающая", "Blinking Neb."),
    "NGC0457": ("Сова", "Owl Cluster"), "NGC2264": ("Ёлочка", "Christmas Tree"),
    "NGC6231": ("Ложная комета", "False Comet"), "NGC3532": ("Колодец", "Wishing Well"),
    "NGC2516": ("Южные Ясли", "S. Beehive"), "NGC4038": ("Антенны", "Antennae"),
    "NGC7662": ("Голубой Снежок", "Blue Snowball"), "NGC1535": ("Глаз Клеопатры", "Cleopatra's Eye"),
    "NGC0055": ("Жемчужина", "String of Pearl"), "NGC0300": ("NGC 300", "NGC 300"),
    "NGC4565": ("Игла", "Needle Galaxy"), "NGC4631": ("Кит", "Whale Galaxy"),
    "NGC6888": ("Полумесяц", "Crescent Nebula"), "NGC7635": ("Пузырь", "Bubble Nebula"),
    "NGC2359": ("Шлем Тора", "Thor's Helmet"), "NGC1977": ("Бегущий человек", "Running Man"),
    "NGC6572": ("Изумруд", "Emerald Nebula"), "NGC6210": ("Черепаха", "Turtle Nebula"),
    "NGC4449": ("Коробка", "Box Galaxy"), "NGC2403": ("NGC 2403", "NGC 2403"),
    "ESO056-115": ("Б.Магелланово", "Large Magellan."), "NGC0292": ("М.Магелланово", "Small Magellan."),
}

KIND = {
    "G": "Галактика", "GPair": "Пара галактик", "GTrpl": "Тройка галактик",
    "GGroup": "Группа галактик", "OCl": "Рассеянное скопление", "GCl": "Шаровое скопление",
    "Cl+N": "Скопление с туманностью", "PN": "Планетарная туманность", "HII": "Область HII",
    "Neb": "Туманность", "EmN": "Эмиссионная туманность", "RfN": "Отражательная туманность",
    "SNR": "Остаток сверхновой", "DrkN": "Тёмная туманность", "*Ass": "Звёздное облако",
    "**": "Двойная звезда", "*": "Звезда", "Other": "Астеризм",
}
SKIP_KINDS = {"*", "**", "Dup", "NonEx", "Other", "Nova", "DrkN"}


def code_of(name):
    """"NGC0224" -> "NGC 224", "IC4715" -> "IC 4715", "Mel022" -> "Mel 22"."""
    for prefix in ("NGC", "IC", "Mel", "M"):
        if name.startswith(prefix) and name[len(prefix):len(prefix) + 4].isdigit():
            digits = name[len(prefix):]
            tail = digits.lstrip("0123456789")
            number = str(int(digits[: len(digits) - len(tail)]))
            return f"{prefix} {number}{tail}"
    return name


def hms(text, hours):
    """"00:42:44.35" -> "0°42'44.4"" (hours written like an angle)."""
    sign = ""
    if text[0] in "+-":
        sign = "-" if text[0] == "-" else ""
        text = text[1:]
    d, m, s = text.split(":")
    sec = f"{float(s):.1f}" if hours else f"{round(float(s)):d}"
    if not hours and sec == "60":
        sec = "59"  # keep the field below one minute; a second of difference at most
    return f"{sign}{int(d)}°{int(m):02d}'{sec}\""


def magnitude(row):
    for key in ("V-Mag", "B-Mag"):
        if row[key].strip():
            return float(row[key])
    return None


def read_rows():
    rows = []
    for fname in ("NGC.csv", "addendum.csv"):
        with open(os.path.join(SRC, fname), encoding="utf-8", newline="") as f:
            rows.extend(csv.DictReader(f, delimiter=";"))
    return rows


def line_of(row, messier):
    name = row["Name"]
    code = f"M {messier}" if messier else code_of(name)
    rus, eng = NAMES.get(name, (None, None))
    if eng is None:
        commons = [c.strip() for c in row["Common names"].split(",") if c.strip()]
        short = [c for c in commons if len(c) <= 15]
        eng = short[0] if short else code
        rus = code
    kind = KIND.get(row["Type"], "")
    hubble = row["Hubble"].strip()
    comment = kind + (" " + hubble if hubble and row["Type"].startswith("G") else "")
    if messier and not name.startswith("M"):
        comment += ", " + code_of(name)
    size = row["MajAx"].strip()
    if size:
        size = f"{float(size):g}"
    mag = magnitude(row)
    fields = [rus[:15], eng[:15], code[:15], hms(row["RA"], True), hms(row["Dec"], False),
              MESSIER_KLY.get(messier, "") if messier else "", size[:7],
              f"{mag:.1f}" if mag is not None else "", row["Const"][:3], comment[:39]]
    return ";".join(fields)


def main():
    rows = read_rows()
    messier = {}
    for row in rows:
        m = row["M"].strip()
        if m and row["Type"] != "Dup":
            messier[int(m)] = row
    # NGC 5866 is taken as the 102nd object, as most lists do.
    messier[102] = next(r for r in rows if r["Name"] == "NGC5866")
    assert sorted(messier) == list(range(1, 111)), sorted(set(range(1, 111)) - set(messier))
    taken = {messier[m]["Name"] for m in messier}

    others = []
    for row in rows:
        if row["Name"] in taken or row["Type"] in SKIP_KINDS or not row["RA"]:
            continue
        mag = magnitude(row)
        if mag is None:
            continue
        others.append((mag, row["Name"], row))
    others.sort(key=lambda t: (t[0], t[1]))
    chosen = others[: LIMIT - len(messier)]

    lines = [line_of(messier[m], m) for m in range(1, 111)]
    lines += [line_of(r, 0) for _mag, _name, r in chosen]
    data = "\r\n".join(lines) + "\r\n"
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "Deepobj.txt"), "wb") as f:
        f.write(data.encode("cp1251"))
    print(f"make_deepobj: {len(messier)} Messier objects and {len(chosen)} NGC/IC objects down to "
          f"magnitude {chosen[-1][0]:.2f} -> Deepobj.txt ({len(data.encode('cp1251'))} bytes)")


if __name__ == "__main__":
    main()
