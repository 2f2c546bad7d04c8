#!/usr/bin/python3
"""Makes the star catalogue "yale.mdb" with its name texts "yale.nme" (Russian) and
"yale.cmm" (English) from the Yale Bright Star Catalogue, 5th revised edition.

Sources (read, never copied): ../shared/data/bsc5/catalog (fixed columns, see its ReadMe),
bsc5/iau-star-names.txt (English proper names) and bsc5/constellation-names.txt. The Russian
traditional names are written below.

Record layout (54 bytes, little-endian): u32 HD, u16 HR, u16 name offset, u16 comment offset,
designation (length byte + Flamsteed, Bayer index 1..24, superscript digit, 3-letter code),
spectral class (length byte + 7 characters), f32 RA J2000 rad, f32 Dec J2000 rad, f32 proper
motion in RA (arc-seconds of RA per year, i.e. the catalogue's projected motion divided by
cos dec, so that it adds directly to the right ascension), f32 proper motion in Dec ("/yr),
f32 V magnitude, 4 unused bytes, i32 distance in thousandths of a parsec (0: no parallax).

Usage: tools/make_yale.py [bsc5 folder] [output folder]
"""
import math
import os
import struct
import sys

import sources

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = sys.argv[1] if len(sys.argv) > 1 else sources.shared_data("bsc5")
OUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "data")

BAYER = ["Alp", "Bet", "Gam", "Del", "Eps", "Zet", "Eta", "The", "Iot", "Kap", "Lam", "Mu",
         "Nu", "Xi", "Omi", "Pi", "Rho", "Sig", "Tau", "Ups", "Phi", "Chi", "Psi", "Ome"]
GREEK = "αβγδεζηθικλμνξοπρστυφχψω"
SUPERSCRIPTS = {"¹": 1, "²": 2, "³": 3, "⁴": 4, "⁵": 5, "⁶": 6, "⁷": 7, "⁸": 8, "⁹": 9}

# Russian traditional names of named stars, keyed by the English name of the IAU list.
# Alternatives are separated by ", ".
RUSSIAN = {
    "Alpheratz": "Альферац, Сиррах", "Mirach": "Мирах", "Almach": "Аламак",
    "Sadalmelik": "Садальмелик", "Sadalsuud": "Садальсууд", "Skat": "Скат",
    "Sadachbia": "Садахбия", "Albali": "Альбали", "Altair": "Альтаир", "Alshain": "Альшаин",
    "Tarazed": "Таразед", "Hamal": "Гамаль", "Sheratan": "Шератан", "Mesarthim": "Мезартим",
    "Capella": "Капелла", "Menkalinan": "Менкалинан", "Mahasim": "Махасим",
    "Haedus": "Хедус", "Almaaz": "Альмааз", "Arcturus": "Арктур", "Nekkar": "Неккар",
    "Seginus": "Сегин", "Izar": "Ицар, Мирак", "Muphrid": "Муфрид",
    "Alkalurops": "Алькалуропс", "Acubens": "Акубенс", "Tegmine": "Тегмен",
    "Asellus Borealis": "Северный Ослик", "Asellus Australis": "Южный Ослик",
    "Cor Caroli": "Сердце Карла", "Chara": "Хара", "Sirius": "Сириус", "Mirzam": "Мирзам",
    "Wezen": "Везен", "Adhara": "Адара", "Aludra": "Алудра", "Furud": "Фуруд",
    "Muliphein": "Мулифейн", "Procyon": "Процион", "Gomeisa": "Гомейза",
    "Algedi": "Альгеди", "Dabih": "Дабих", "Nashira": "Нашира", "Deneb Algedi": "Денеб Альгеди",
    "Canopus": "Канопус", "Miaplacidus": "Миаплацидус", "Avior": "Авиор",
    "Aspidiske": "Аспидиска", "Schedar": "Шедар", "Caph": "Каф", "Ruchbah": "Рукбах",
    "Segin": "Сегин", "Navi": "Нави", "Achird": "Ахирд",
    "Rigil Kentaurus": "Ригиль Кентаурус, Толиман", "Hadar": "Хадар, Агена",
    "Menkent": "Менкент", "Alderamin": "Альдерамин", "Alfirk": "Альфирк", "Errai": "Эррай",
    "Garnet Star": "Гранатовая звезда", "Menkar": "Менкар", "Diphda": "Дифда, Денеб Кайтос",
    "Mira": "Мира", "Baten Kaitos": "Батен Кайтос", "Kaffaljidhma": "Каффальджидма",
    "Phact": "Факт", "Wazn": "Вазн", "Alphecca": "Альфекка, Гемма",
    "Alfecca Meridiana": "Альфекка Меридиана", "Nusakan": "Нусакан", "Alchiba": "Альхиба",
    "Kraz": "Краз", "Gienah": "Гиена", "Algorab": "Альгораб", "Minkar": "Минкар",
    "Alkes": "Алькес", "Acrux": "Акрукс", "Mimosa": "Мимоза, Бекрукс", "Gacrux": "Гакрукс",
    "Deneb": "Денеб", "Albireo": "Альбирео", "Sadr": "Садр", "Al Fawaris": "Аль Фаварис",
    "Azelfafage": "Азельфафаге", "Sualocin": "Суалокин", "Rotanev": "Ротанев",
    "Deneb Dulfim": "Денеб Дульфим", "Thuban": "Тубан", "Rastaban": "Растабан",
    "Eltanin": "Этамин, Эльтанин", "Altais": "Альтаис", "Edasich": "Эдасих",
    "Aldhibain": "Альдибаин", "Arrakis": "Арракис", "Grumium": "Грумиум", "Kuma": "Кума",
    "Kitalpha": "Киталфа", "Achernar": "Ахернар", "Cursa": "Курса", "Zaurak": "Заурак",
    "Rana": "Рана", "Acamar": "Акамар", "Azha": "Аджа", "Keid": "Кейд", "Zibal": "Зибаль",
    "Castor": "Кастор", "Pollux": "Поллукс", "Alhena": "Альхена", "Wasat": "Васат",
    "Mebsuta": "Мебсута", "Mekbuda": "Мекбуда", "Propus": "Пропус", "Tejat Posterior": "Тейят",
    "Alzir": "Альзир", "Alnair": "Альнаир", "Rasalgethi": "Рас Альгети",
    "Kornephoros": "Корнефорос", "Sarin": "Сарин", "Maasym": "Маасим", "Alphard": "Альфард",
    "Regulus": "Регул", "Denebola": "Денебола", "Algieba": "Альгиеба", "Zosma": "Зосма",
    "Adhafera": "Адафера", "Chertan": "Хертан", "Subra": "Субра", "Rasalas": "Расалас",
    "Arneb": "Арнеб", "Nihal": "Нихаль", "Zubenelgenubi": "Зубен Эльгенуби",
    "Zubeneschamali": "Зубен Эшамали", "Brachium": "Брахиум", "Vega": "Вега",
    "Sheliak": "Шелиак", "Sulafat": "Сулафат", "Rasalhague": "Рас Альхаге",
    "Cebalrai": "Цельбальрай", "Yed Prior": "Йед Прайор", "Yed Posterior": "Йед Постериор",
    "Sabik": "Сабик", "Marfik": "Марфик", "Betelgeuse": "Бетельгейзе", "Rigel": "Ригель",
    "Bellatrix": "Беллатрикс", "Mintaka": "Минтака", "Alnilam": "Альнилам",
    "Alnitak": "Альнитак", "Saiph": "Саиф", "Meissa": "Мейсса", "Tabit": "Табит",
    "Nair Al Saif": "Наир аль Саиф", "Peacock": "Павлин", "Markab": "Маркаб", "Scheat": "Шеат",
    "Algenib": "Альгениб", "Enif": "Эниф", "Homam": "Хомам", "Matar": "Матар",
    "Biham": "Бихам", "Sadalbari": "Садальбари", "Mirfak": "Мирфак", "Algol": "Алголь",
    "Atik": "Атик", "Menkib": "Менкиб", "Misam": "Мисам", "Ankaa": "Анкаа",
    "Alrescha": "Альриша", "Fomalhaut": "Фомальгаут", "Naos": "Наос", "Tureis": "Турейс",
    "Azmidiske": "Азмидиске", "Rukbat": "Рукбат", "Arkab Prior": "Аркаб Прайор",
    "Arkab Posterior": "Аркаб Постериор", "Alnasl": "Альнасль", "Kaus Media": "Каус Медиа",
    "Kaus Australis": "Каус Аустралис", "Kaus Borealis": "Каус Бореалис",
    "Ascella": "Асцелла", "Albaldah": "Альбальда", "Nunki": "Нунки", "Antares": "Антарес",
    "Acrab": "Акраб, Граффиас", "Dschubba": "Дшубба", "Sargas": "Саргас", "Shaula": "Шаула",
    "Lesath": "Лесат", "Girtab": "Гиртаб", "Jabbah": "Джабба", "Alniyat": "Альнийат",
    "Unukalhai": "Унук Эльхайя", "Alya": "Алья", "Alcyone": "Альциона",
    "Celaeno": "Целено", "Electra": "Электра", "Taygeta": "Тайгета", "Maia": "Майя",
    "Asterope": "Астеропа", "Merope": "Меропа", "Atlas": "Атлас", "Pleione": "Плейона",
    "Aldebaran": "Альдебаран", "Elnath": "Эльнат", "Ain": "Айн", "Tianguan": "Тяньгуань",
    "Hyadum I": "Хиадум I", "Hyadum II": "Хиадум II", "Mothallah": "Моталла",
    "Atria": "Атрия", "Alcor": "Алькор", "Dubhe": "Дубхе", "Merak": "Мерак",
    "Phecda": "Фекда", "Megrez": "Мегрец", "Alioth": "Алиот", "Mizar": "Мицар",
    "Alkaid": "Бенетнаш, Алькаид", "Talitha": "Талита", "Tania Borealis": "Тания Бореалис",
    "Tania Australis": "Тания Аустралис", "Alula Borealis": "Алула Бореалис",
    "Alula Australis": "Алула Аустралис", "Muscida": "Мускида", "Polaris": "Полярная",
    "Kochab": "Кохаб", "Pherkad": "Феркад", "Yildun": "Йилдун", "Regor": "Регор",
    "Suhail": "Сухаиль", "Spica": "Спика", "Zavijava": "Завийява", "Porrima": "Порима",
    "Auva": "Аува", "Vindemiatrix": "Виндемиатрикс", "Heze": "Хезе", "Zaniah": "Заниах",
    "Syrma": "Сирма", "Polaris Australis": "Южная Полярная", "Sham": "Шам",
    "Anser": "Ансер", "Lucida Anseris": "Ансер", "Alsafi": "Альсафи", "Tyl": "Тиль",
    "Gianfar": "Гианфар", "Head of Hydrus": "Голова Гидры", "Ras Elased Australis": "Рас Эласед",
    "Alterf": "Альтерф", "Praecipua": "Прэципуа", "Zuben-el-Akrab": "Зубен Эльакраб",
    "Sceptrum": "Скипетр", "Beid": "Бейд", "Theemin": "Теемин", "Angetenar": "Ангетенар",
    "Aldhanab": "Альданаб", "Kurhah": "Курха", "Musica": "Музыка",
    "Asellus Primus": "Первый Ослик", "Asellus Secundus": "Второй Ослик",
    "Asellus Tertius": "Третий Ослик", "La Superba": "Ла Суперба", "Gorgonea Tertia": "Горгона",
    "Ancha": "Анха", "Situla": "Ситула", "Alamak": "Аламак", "Sterope": "Стеропа",
    "Dheneb": "Денеб", "Adhil": "Адхиль", "Titawin": "Титавин", "Botein": "Ботейн",
    "Haldus": "Хальдус", "Hoedus II": "Хедус II", "Altarf": "Альтарф",
    "Talitha Australis": "Талита Аустралис", "Graffias": "Граффиас", "Giedi": "Гиеди",
    "Fafnir": "Фафнир", "Terebellum": "Теребеллум", "Al Niyat": "Аль Нийат",
    "Ruchba": "Рукба", "Sarir": "Сарир", "Chalawan": "Чалаван", "Helvetios": "Гельветиос",
    "Cervantes": "Сервантес", "Copernicus": "Коперник", "Libertas": "Либертас",
    "Veritate": "Веритате", "Salm": "Сальм", "Okul": "Окул", "Kastra": "Кастра",
    "Armus": "Армус", "Bunda": "Бунда", "Alshat": "Альшат", "Aladfar": "Аладфар",
    "Alathfar": "Алатфар", "Sinistra": "Синистра", "Kajam": "Каям", "Chow": "Чоу",
    "Gatria": "Гатрия", "Betria": "Бетрия", "Merga": "Мерга", "Diadem": "Диадема",
    "Tonatiuh": "Тонатиу", "Al Kaphrah": "Аль Кафра", "Minchir": "Минхир",
    "Hydrobius": "Гидробиус", "Alsciaukat": "Альсиаукат", "Al Kurud": "Аль Куруд",
    "Tien Kwan": "Тянь Гуань", "Thabit": "Табит", "Kabdhilinan": "Кабдилинан", "Ran": "Ран",
    "Miram": "Мирам", "Torcularis Septentrionalis": "Торкуларис", "Nembus": "Нембус",
    "Kullat Nunu": "Куллат Нуну", "Marfark": "Марфарк",
    "Deneb Kaitos Schemali": "Денеб Кайтос Шемали", "Al Minliar al Asad": "Аль Минлиар",
    "Rijl al Awwa": "Риджль аль Авва", "Zuben-el-Akribi": "Зубен Эльакриби",
    "Deneb el Okab": "Денеб эль Окаб", "Al Thalimain": "Аль Талимайн",
    "Al Kalb al Rai": "Аль Кальб аль Рай", "Fum al Samakah": "Фум аль Самака",
    "Intercrus": "Интеркрус", "Dabih": "Дабих", "Navi": "Нави", "Segin": "Сегин",
    "Acrux": "Акрукс", "Acrab": "Акраб, Граффиас",
}


def load_constellations():
    by_genitive = {}
    codes = []
    with open(os.path.join(SRC, "constellation-names.txt"), encoding="utf-8") as f:
        for line in f:
            code, _name, genitive = line.rstrip("\n").split(",")
            by_genitive[genitive] = code
            codes.append(code)
    return by_genitive, codes


def parse_catalog():
    stars = []
    with open(os.path.join(SRC, "catalog"), encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\n").ljust(197)
            if not line[75:77].strip():
                continue  # removed entry without a position
            hr = int(line[0:4])
            name = line[4:14]
            hd = int(line[25:31]) if line[25:31].strip() else 0
            ra_h, ra_m, ra_s = int(line[75:77]), int(line[77:79]), float(line[79:83])
            sign = -1.0 if line[83] == "-" else 1.0
            de_d, de_m, de_s = int(line[84:86]), int(line[86:88]), int(line[88:90])
            ra = math.radians((ra_h + ra_m / 60 + ra_s / 3600) * 15)
            dec = sign * math.radians(de_d + de_m / 60 + de_s / 3600)
            vmag = float(line[102:107]) if line[102:107].strip() else 99.0
            sp = line[127:147].strip()
            pm_ra = float(line[148:154]) if line[148:154].strip() else 0.0
            pm_de = float(line[154:160]) if line[154:160].strip() else 0.0
            plx = float(line[161:166]) if line[161:166].strip() else 0.0
            flam = int(name[0:3]) if name[0:3].strip() else 0
            bayer_txt = name[3:6].strip()
            bayer = BAYER.index(bayer_txt) + 1 if bayer_txt in BAYER else 0
            sup = int(name[6]) if name[6].isdigit() else 0
            const = name[7:10].strip()
            stars.append(dict(hr=hr, hd=hd, ra=ra, dec=dec, vmag=vmag, sp=sp, pm_ra=pm_ra,
                              pm_de=pm_de, plx=plx, flam=flam, bayer=bayer, sup=sup,
                              const=const))
    return stars


def match_names(stars, by_genitive):
    """English names per HR number (list, in the list's order); prints what is not found."""
    by_key = {}
    by_hd = {}
    for s in stars:
        if s["const"]:
            if s["bayer"]:
                by_key[("B", s["bayer"], s["sup"], s["const"])] = s["hr"]
            if s["flam"]:
                by_key[("F", s["flam"], 0, s["const"])] = s["hr"]
        if s["hd"]:
            by_hd[s["hd"]] = s["hr"]
    names = {}
    missing = []
    with open(os.path.join(SRC, "iau-star-names.txt"), encoding="utf-8") as f:
        for line in f:
            proper, desig = line.rstrip("\n").split(",", 1)
            hr = None
            if desig.startswith("HD "):
                hr = by_hd.get(int(desig[3:]))
            else:
                head, genitive = desig.split(" ", 1)
                component = ""
                if genitive[-3:] == " Aa":
                    genitive = genitive[:-3]
                if genitive[-2:] in (" A", " B", " C"):
                    component = genitive[-1]
                    genitive = genitive[:-2]
                # The list spells one genitive without its final letter.
                genitive = {"Cassiopeia": "Cassiopeiae"}.get(genitive, genitive)
                code = by_genitive.get(genitive)
                if code is None:
                    missing.append(line.strip())
                    continue
                if head[0] in GREEK:
                    letter = GREEK.index(head[0]) + 1
                    rest = head[1:]
                    sup = SUPERSCRIPTS.get(rest) or (int(rest) if rest and rest in "0123456789" else 0)
                    hr = by_key.get(("B", letter, sup, code))
                    if hr is None and sup == 0:
                        # A component letter, or a catalogue that numbers the pair.
                        sup = {"A": 1, "B": 2}.get(component, 1)
                        hr = by_key.get(("B", letter, sup, code))
                    elif hr is None:
                        hr = by_key.get(("B", letter, 0, code))
                else:
                    hr = by_key.get(("F", int(head), 0, code))
            if hr is None:
                missing.append(line.strip())
                continue
            names.setdefault(hr, [])
            if proper not in names[hr]:
                names[hr].append(proper)
    return names, missing


def cp1251(text):
    return text.encode("cp1251")


def pascal(text, size):
    raw = cp1251(text)[: size - 1]
    return bytes([len(raw)]) + raw + b"\0" * (size - 1 - len(raw))


class TextBuffer:
    """Entries of a names text: a length byte and the characters; offsets are 1-based."""

    def __init__(self, title):
        self.data = bytearray()
        self.title = title

    def pad_to(self, size):
        """Blank bytes up to `size`; no offset points into them."""
        self.data += b" " * (size - len(self.data))

    def add(self, text):
        raw = cp1251(text)
        assert len(raw) < 256
        offset = len(self.data) + 1
        self.data += bytes([len(raw)]) + raw
        assert offset + len(raw) <= 12000, "names text beyond offset 12000"
        return offset


def main():
    by_genitive, _codes = load_constellations()
    stars = parse_catalog()
    names, missing = match_names(stars, by_genitive)

    rus = TextBuffer("yale.nme")
    eng = TextBuffer("yale.cmm")
    records = bytearray()
    named_rus = 0
    unnamed_rus = []
    with_distance = 0
    for s in stars:
        name_off = comment_off = 0
        if s["hr"] in names:
            english = names[s["hr"]]
            # In English mode the names text is yale.cmm read at the name offsets: each star's
            # entries start at one offset in both texts.
            rus.pad_to(len(eng.data))
            eng.pad_to(len(rus.data))
            comment_off = eng.add(", ".join(english))
            russian = [RUSSIAN[n] for n in english if n in RUSSIAN]
            if russian:
                name_off = rus.add(russian[0])
                assert name_off == comment_off
                named_rus += 1
            else:
                unnamed_rus.append(english[0])
        if s["const"] and (s["flam"] or s["bayer"]):
            desig = bytes([6, s["flam"], s["bayer"], s["sup"]]) + s["const"].encode("ascii").ljust(3)
            desig += b"\0"
        else:
            desig = b"\0" * 8
        cos_dec = math.cos(s["dec"])
        pm_ra = s["pm_ra"] / cos_dec if cos_dec > 1e-9 else 0.0
        dist = int(round(1000.0 / s["plx"])) if s["plx"] > 0 else 0
        if dist > 0:
            with_distance += 1
        rec = struct.pack("<IHHH", s["hd"], s["hr"], name_off, comment_off) + desig
        rec += pascal(s["sp"], 8)
        rec += struct.pack("<fffff", s["ra"], s["dec"], pm_ra, s["pm_de"], s["vmag"])
        rec += b"\0" * 4 + struct.pack("<i", dist)
        assert len(rec) == 54
        records += rec

    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "yale.mdb"), "wb") as f:
        f.write(records)
    with open(os.path.join(OUT, "yale.nme"), "wb") as f:
        f.write(rus.data)
    with open(os.path.join(OUT, "yale.cmm"), "wb") as f:
        f.write(eng.data)
    print(f"make_yale: {len(stars)} stars -> yale.mdb ({len(records)} bytes), "
          f"{with_distance} with a distance")
    print(f"make_yale: {len(names)} named stars -> yale.cmm ({len(eng.data)} bytes); "
          f"{named_rus} with a Russian name -> yale.nme ({len(rus.data)} bytes)")
    print(f"make_yale: {len(missing)} names of stars outside the catalogue skipped: "
          + "; ".join(missing))
    if unnamed_rus:
        print(f"make_yale: {len(unnamed_rus)} named stars without a Russian name: "
              + ", ".join(unnamed_rus))


if __name__ == "__main__":
    main()
