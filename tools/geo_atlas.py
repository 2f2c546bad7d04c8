"""The atlas of cities from GeoNames (Debian libgeonames0 / libgeonames-common) and the
country list from ISO 3166 (Debian iso-codes), each package fetched into the build's cache.

Files written: "geoc.atl"/"geon.atl" (English edition), "geocr.atl"/"geonr.atl" (Russian
edition), "geoz.atl"/"geozr.atl" (the IANA zone of each city, one line per name record),
"Country.atl" and "codreg.ctm".
"""

import gettext
import glob
import json
import os
import struct
import subprocess
import unicodedata

import geo_zones
import sources

GEONAMES_RESOURCE = "/com/lomiri/geonames/cities.compiled"

# Countries of the former USSR and the letter that starts their region codes.
FSU_LETTERS = {"RU": "S", "UA": "U", "BY": "B", "KZ": "K", "UZ": "Z", "TM": "T", "TJ": "J",
               "KG": "G", "AZ": "A", "AM": "M", "GE": "E", "MD": "D", "LT": "N", "LV": "V",
               "EE": "H"}
# Short Russian names of the countries of the former USSR (the region table's second name).
FSU_SHORT = {"RU": "Россия", "UA": "Украина", "BY": "Беларусь", "KZ": "Казахстан", "UZ": "Узбекистан",
             "TM": "Туркмения", "TJ": "Таджикистан", "KG": "Киргизия", "AZ": "Азербайджан",
             "AM": "Армения", "GE": "Грузия", "MD": "Молдова", "LT": "Литва", "LV": "Латвия",
             "EE": "Эстония"}
# Russian names the gettext files lack.
RUSSIAN_EXTRA = {"Türkiye": "Турция"}
# Latin names for the cities GeoNames names in another script only (by GeoNames id).
ENGLISH_EXTRA = {"7648817": "Zuunmod"}
US_FIRST, US_LAST = 217, 268
MAX_CITIES = 65535


# --- GeoNames records -------------------------------------------------------------------------

def _offset_size(total):
    """Width of the framing offsets of a GVariant container of this many bytes."""
    return 1 if total < 0x100 else 2 if total < 0x10000 else 4 if total < 0x100000000 else 8


def _read_offset(data, pos, size):
    return int.from_bytes(data[pos:pos + size], "little")


def parse_cities(data):
    """Decodes the serialized GVariant a(sssssssudd): id, name, region code, region name,
    country code, country name, IANA zone, population, latitude, longitude."""
    n = len(data)
    osize = _offset_size(n)
    table = _read_offset(data, n - osize, osize)
    count = (n - table) // osize
    out = []
    start = 0
    for i in range(count):
        end = _read_offset(data, table + i * osize, osize)
        start = (start + 7) & ~7
        out.append(_parse_record(data[start:end]))
        start = end
    return out


def _parse_record(rec):
    n = len(rec)
    osize = _offset_size(n)
    # Seven framing offsets (one per string), stored last to first at the end.
    ends = [_read_offset(rec, n - osize * (k + 1), osize) for k in range(7)]
    fields = []
    pos = 0
    for e in ends:
        fields.append(rec[pos:e - 1].decode("utf-8"))  # without the closing NUL
        pos = e
    pos = (pos + 3) & ~3
    population = struct.unpack_from("<I", rec, pos)[0]
    pos = (pos + 4 + 7) & ~7
    lat, lon = struct.unpack_from("<dd", rec, pos)
    return fields + [population, lat, lon]


def libgeonames():
    """The shared library of libgeonames0, which carries the compiled cities as a resource."""
    found = sorted(glob.glob(os.path.join(sources.deb("libgeonames0"), "usr", "lib", "*",
                                          "libgeonames.so.0.*")))
    if not found:
        raise RuntimeError("the Debian package libgeonames0 holds no libgeonames.so.0.*")
    return found[0]


def load_geonames():
    data = subprocess.run(["gresource", "extract", libgeonames(), GEONAMES_RESOURCE],
                          check=True, capture_output=True).stdout
    return parse_cities(data)


# --- Text in code page 1251 ---------------------------------------------------------------------

LATIN_FIX = {"ı": "i", "ł": "l", "Ł": "L", "ø": "o", "Ø": "O", "đ": "d", "Đ": "D", "ß": "ss",
             "æ": "ae", "Æ": "AE", "œ": "oe", "Œ": "OE", "þ": "th", "Þ": "Th", "ð": "d",
             "ʻ": "'", "ʼ": "'", "‘": "'", "’": "'", "`": "'", "ə": "a", "Ə": "A", "ǝ": "a", "Ǝ": "A", "ħ": "h",
             "Ħ": "H", "ŀ": "l"}


def ascii_name(text):
    """A Latin name without its diacritics (code page 1251 holds no accented Latin)."""
    text = "".join(LATIN_FIX.get(ch, ch) for ch in text)
    text = unicodedata.normalize("NFKD", text)
    text = "".join(ch for ch in text if not unicodedata.combining(ch))
    return "".join(ch if 32 <= ord(ch) < 127 else "?" for ch in text).replace(";", ",")


TRANSLIT = [("shch", "щ"), ("sch", "ш"), ("sh", "ш"), ("ch", "ч"), ("zh", "ж"), ("kh", "х"),
            ("ts", "ц"), ("tz", "ц"), ("ya", "я"), ("yu", "ю"), ("yo", "йо"), ("ye", "е"),
            ("ia", "ия"), ("ou", "у"), ("oo", "у"), ("ee", "и"), ("ph", "ф"), ("th", "т"),
            ("ck", "к"), ("qu", "кв"), ("gh", "г"),
            ("a", "а"), ("b", "б"), ("c", "к"), ("d", "д"), ("e", "е"), ("f", "ф"),
            ("g", "г"), ("h", "х"), ("i", "и"), ("j", "дж"), ("k", "к"), ("l", "л"),
            ("m", "м"), ("n", "н"), ("o", "о"), ("p", "п"), ("q", "к"), ("r", "р"),
            ("s", "с"), ("t", "т"), ("u", "у"), ("v", "в"), ("w", "в"), ("x", "кс"),
            ("y", "й"), ("z", "з")]
VOWELS = set("аеёиоуыэюя")


def cyrillic_name(latin):
    """A Russian spelling of a Latin name, letter by letter (for names GeoNames has no Russian
    form of)."""
    out = []
    low = latin.lower()
    i = 0
    while i < len(low):
        for src, dst in TRANSLIT:
            if low.startswith(src, i):
                # "y" after a consonant reads as "ы", at the start before a vowel as "й".
                if src == "y" and out and out[-1][-1:] not in VOWELS and out[-1][-1:].isalpha():
                    dst = "ы"
                if src == "e" and (not out or not out[-1][-1:].isalpha()):
                    dst = "э"
                piece = dst.upper() if latin[i].isupper() else dst
                if len(dst) > 1 and latin[i].isupper():
                    piece = dst[0].upper() + dst[1:]
                out.append(piece)
                i += len(src)
                break
        else:
            out.append(latin[i])
            i += 1
    return "".join(out)


CYRILLIC_FIX = {"ә": "а", "Ә": "А", "ғ": "г", "Ғ": "Г", "қ": "к", "Қ": "К", "ң": "н", "Ң": "Н",
                "ө": "о", "Ө": "О", "ұ": "у", "Ұ": "У", "ү": "у", "Ү": "У", "һ": "х", "Һ": "Х",
                "ҳ": "х", "Ҳ": "Х", "ҷ": "ч", "Ҷ": "Ч", "ӣ": "и", "Ӣ": "И", "ӯ": "у", "Ӯ": "У",
                "ə": "а", "Ə": "А"}


def cp1251(text):
    """Code page 1251 bytes of a text: letters the code page lacks lose their marks or become
    the nearest Russian letter."""
    out = bytearray()
    for ch in text:
        ch = CYRILLIC_FIX.get(ch, LATIN_FIX.get(ch, ch))
        try:
            out += ch.encode("cp1251")
        except UnicodeEncodeError:
            base = "".join(c for c in unicodedata.normalize("NFKD", ch) if not unicodedata.combining(c))
            out += base.encode("cp1251", errors="ignore")
    return bytes(out).replace(b";", b",")


def fit(raw, width):
    return raw[:width].ljust(width, b" ")


def rus_upper(raw):
    return bytes(b - 32 if 224 <= b <= 255 else (b - 32 if 97 <= b <= 122 else b) for b in raw)


def sort_key_ru(raw):
    # Ё/ё sort with Е.
    return rus_upper(raw.replace(b"\xb8", b"\xe5").replace(b"\xa8", b"\xc5"))


# --- Countries -----------------------------------------------------------------------------------

def load_countries():
    """ISO 3166 countries: alpha-2 -> (English name, Russian name)."""
    with open(sources.deb_file("iso-codes", "usr/share/iso-codes/json/iso_3166-1.json"),
              encoding="utf-8") as f:
        entries = json.load(f)["3166-1"]
    with open(sources.deb_file("iso-codes", "usr/share/locale/ru/LC_MESSAGES/iso_3166-1.mo"),
              "rb") as f:
        ru = gettext.GNUTranslations(f)
    out = {}
    for e in entries:
        name = e.get("common_name", e["name"])
        rname = ru.gettext(name)
        if rname == name:
            rname = ru.gettext(e["name"])
        if rname == e["name"]:
            rname = RUSSIAN_EXTRA.get(e["name"], rname)
        out[e["alpha_2"]] = (name, rname)
    return out


def size_class(population):
    for limit, cls in ((3_000_000, 1), (1_000_000, 2), (300_000, 3), (100_000, 4), (30_000, 5)):
        if population >= limit:
            return cls
    return 6


def angle_minutes(x):
    return int(round(x * 60))


def build(zone_region, generator):
    """Writes the atlas files; returns a dict of counts for the report."""
    cities = load_geonames()
    if len(cities) > MAX_CITIES:
        raise RuntimeError(f"{len(cities)} cities: the atlas links address at most {MAX_CITIES}")
    zoneinfo = geo_zones.zoneinfo()
    missing = sorted({c[6] for c in cities if not os.path.exists(os.path.join(zoneinfo, c[6]))})
    if missing:
        raise RuntimeError(f"zones the time-zone database lacks: {missing}")
    countries = load_countries()
    with open(sources.deb_file("libgeonames-common", "usr/share/locale/ru/LC_MESSAGES/geonames.mo"),
              "rb") as f:
        ru = gettext.GNUTranslations(f)

    def ru_text(key, fallback):
        t = ru.gettext(key)
        return t if t != key and any("\u0400" <= ch <= "\u04ff" for ch in t) else fallback

    # Countries GeoNames has and ISO 3166 lacks (Kosovo) come from GeoNames.
    for c in cities:
        if c[4] not in countries:
            countries[c[4]] = (ascii_name(c[5]), ru_text(c[4], cyrillic_name(ascii_name(c[5]))))

    # Country.atl: the countries by English name (the USA is given by its states), numbered
    # from R001; R217..R268 are the states; countries past 216 continue at R269.
    country_list = sorted((v[0], k) for k, v in countries.items() if k != "US")
    us_states = sorted({(ascii_name(c[3]), c[2]) for c in cities if c[4] == "US"})
    if len(us_states) > US_LAST - US_FIRST + 1:
        raise RuntimeError("too many US states")
    number = {}
    n = 1
    for _, cc in country_list:
        if n == US_FIRST:
            n = US_LAST + 1
        number[cc] = n
        n += 1
    state_number = {code: US_FIRST + i for i, (_, code) in enumerate(us_states)}
    rows = []
    for name, cc in country_list:
        rows.append((number[cc], fit(cp1251(ascii_name(name)), 31) + f";R{number[cc]:03d};0;".encode()
                     + cp1251(countries[cc][1].replace(";", ","))))
    for name, code in us_states:
        rname = ru_text(f"US.{code}", cyrillic_name(name))
        rows.append((state_number[code], fit(cp1251(name), 31) + f";R{state_number[code]:03d};1;".encode()
                     + cp1251(rname)))
    country_lines = [r for _, r in sorted(rows)]

    # codreg.ctm: regions of the former USSR (letter + 3 digits) and, for the Russian edition's
    # foreign cities, the countries and US states under a blank letter.
    regions = {}
    for c in cities:
        if c[4] in FSU_LETTERS:
            regions.setdefault((c[4], c[2]), c[3])
    region_code = {}
    serial = {}
    for (cc, a1) in sorted(regions):
        serial[cc] = serial.get(cc, 0) + 1
        region_code[(cc, a1)] = f"{FSU_LETTERS[cc]}{serial[cc]:03d}"
    codreg = [cp1251(f";Regions and countries of the atlas, made by {generator}"),
              b";from GeoNames (CC BY 4.0) and ISO 3166 (iso-codes)",
              b";code   name                        country",
              b";",
              b";"]
    for (cc, a1), code in sorted(region_code.items(), key=lambda kv: kv[1]):
        rname = ru_text(f"{cc}.{a1}", cyrillic_name(ascii_name(regions[(cc, a1)])))
        codreg.append(fit(code.encode(), 7) + fit(cp1251(rname), 28) + fit(cp1251(FSU_SHORT[cc]), 18))
    for cc, num in sorted(number.items(), key=lambda kv: kv[1]):
        rname = cp1251(countries[cc][1])
        codreg.append(fit(f" {num:03d}".encode(), 7) + rname[:28])
    usa = cp1251("США")
    for name, code in us_states:
        rname = cp1251(ru_text(f"US.{code}", cyrillic_name(name)))
        codreg.append(fit(f" {state_number[code]:03d}".encode(), 7) + fit(rname, 28) + fit(usa, 18))
    codreg = [line.rstrip() for line in codreg]

    counts = {"cities": len(cities), "countries": len(country_list), "states": len(us_states),
              "regions": len(region_code)}
    ru_names = 0
    editions = {}
    for edition in ("e", "r"):
        recs = []
        for c in cities:
            gid, name, a1, a1name, cc, cname, tz, pop, lat, lon = c
            region = zone_region.get(tz)
            zone = f"{region:2d}" if region else "  "
            if edition == "e":
                raw = cp1251(ascii_name(ENGLISH_EXTRA.get(gid, name)))
                code = f"R{state_number[a1]:03d}" if cc == "US" else f"R{number[cc]:03d}"
                key = (raw.upper(), code)
            else:
                rn = ru.gettext(gid)
                if rn != gid and any("\u0400" <= ch <= "\u04ff" for ch in rn):
                    ru_names += 1
                    if any("a" <= ch.lower() <= "z" for ch in rn):
                        rn = cyrillic_name(rn)
                    raw = cp1251(rn)
                else:
                    raw = cp1251(cyrillic_name(ascii_name(ENGLISH_EXTRA.get(gid, name))))
                if cc in FSU_LETTERS:
                    code = region_code[(cc, a1)]
                elif cc == "US":
                    code = f" {state_number[a1]:03d}"
                else:
                    code = f" {number[cc]:03d}"
                key = (sort_key_ru(raw), code)
            recs.append((key, fit(raw, 31) + b" " + code.encode() + zone.encode(), tz,
                         angle_minutes(lat), angle_minutes(lon), size_class(pop)))
        recs.sort(key=lambda r: r[0])
        # Coordinates ordered west to east, ties in name order (as the import sorts them).
        order = sorted(range(len(recs)), key=lambda i: (recs[i][4], i))
        coord_of_name = [0] * len(recs)
        for ci, ni in enumerate(order):
            coord_of_name[ni] = ci + 1
        names = b"".join(r[1] + struct.pack("<H", coord_of_name[i]) for i, r in enumerate(recs))
        coords = b"".join(struct.pack("<hhHH", recs[ni][3], recs[ni][4], recs[ni][5], ni + 1) for ni in order)
        zones = [r[2].encode() for r in recs]
        editions[edition] = (coords, names, zones)
    counts["Russian city names from GeoNames"] = ru_names
    return {"Country.atl": country_lines, "codreg.ctm": codreg,
            "geoc.atl": editions["e"][0], "geon.atl": editions["e"][1], "geoz.atl": editions["e"][2],
            "geocr.atl": editions["r"][0], "geonr.atl": editions["r"][1], "geozr.atl": editions["r"][2]}, counts


def fsu_zones():
    return sorted({c[6] for c in load_geonames() if c[4] in FSU_LETTERS})
