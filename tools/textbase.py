"""Shared by tools/make_texts.py and tools/check_texts.py: the interpretation text bases.

A base is a folder tools/texts/<name>/ with a base.json and one folder of UTF-8 sources per
language (ru/, en/); see tools/texts/README.md. This module reads the sources, writes the
bytes of a base file, parses a base file the way the program's readers do, and holds the key
rules: for each kind of section, the keys the readers look up, computed from the chart's
points, signs and houses (never from the files).
"""

import json
import os
import re

LANGUAGES = ("ru", "en")

# ---------------------------------------------------------------- key codes and parsers
# The readers' code tables (compared exactly; the last equal entry wins; unknown gives 0).
PLANET_CODES = ["SU", "MO", "ME", "VE", "MA", "JU", "SA", "UR", "NE", "PL", "AS", "MC"]
PLANET_CODE_POINTS = list(range(1, 11)) + [27, 36]
SIGN_CODES = ["AR", "TA", "GE", "CP", "LE", "VI", "LI", "SC", "SA", "CA", "AQ", "PI"]
ASPECT_CODES = ["CNJ", "SSX", " 36", " 40", "SSQ", "SXT", " 72", "SQR", "108", "TRI", "SQQ",
                "144", "150", "OPP"]
# Angles of the built-in aspect page, aspect 1..14, in degrees.
ASPECT_ANGLES = [0, 30, 36, 40, 45, 60, 72, 90, 108, 120, 135, 144, 150, 180]


def _code(table, values, text):
    found = 0
    for code, value in zip(table, values):
        if code == text:
            found = value
    return found


def planet_code(text):
    return _code(PLANET_CODES, PLANET_CODE_POINTS, text)


def sign_code(text):
    return _code(SIGN_CODES, range(1, 13), text)


def aspect_code(text):
    return _code(ASPECT_CODES, range(1, 15), text)


def to_int(text):
    """The program's integer conversion: leading blanks allowed, anything else not a whole
    number gives 0."""
    m = re.fullmatch(r" *([+-]?[0-9]+)", text)
    return int(m.group(1)) if m else 0


def _numeric_form(key):
    return key[:1] == " " or key[:1].isdigit()


def parse_pln_key(key):
    """Point key (the header line without its "["): (first, second), or None when it fails."""
    close = key.find("]")
    if close < 0:
        return None
    if _numeric_form(key):
        dot = key.find(".")
        if dot < 0 or dot > close:
            return None
        first = to_int(key[:dot].strip())
        second = to_int(key[dot + 1:close].strip())
    else:
        blank = key.find(" ")
        if blank < 0 or blank > close:
            return None
        first = planet_code(key[:blank])
        x = key[blank + 1:close]
        second = to_int(x) if _numeric_form(x) else sign_code(x)
    return (first, second) if first and second else None


def parse_comb_key(key):
    """Three-number key a.b.c]: (a, b, c), or None."""
    close = key.find("]")
    if close < 0:
        return None
    fields = key[:close].split(".")
    if len(fields) != 3:
        return None
    values = tuple(to_int(f.strip()) for f in fields)
    return values if all(values) else None


def parse_asp_key(key):
    """Aspect key p1.a.p2] or "SU TRI MO]": (p1, a, p2), or None. A p2 above 100 is the
    cusp of house p2 - 100, chart point p2 - 74."""
    close = key.find("]")
    if close < 0:
        return None
    body = key[:close]
    if _numeric_form(key):
        parts = body.split(".", 2)
        if len(parts) != 3:
            return None
        p1 = to_int(parts[0].strip())
        field = parts[1]
        if len(field) < 3:
            a = to_int(field.strip())
        elif len(field) == 3:
            angle = to_int(field.strip())
            a = next((i + 1 for i, g in enumerate(ASPECT_ANGLES) if g == angle), 0)
            if not a:
                return None
        else:
            return None
        p2 = to_int(parts[2].strip())
        if p2 > 100:
            p2 = p2 - 100 + 26
    else:
        parts = body.split(" ")
        if len(parts) != 3:
            return None
        p1, a, p2 = planet_code(parts[0]), aspect_code(parts[1]), planet_code(parts[2])
        if not a:
            return None
    return (p1, a, p2) if p1 and p2 else None


def parse_degree_key(key):
    """Degree key s.g] of a degree-text base's sources: (sign, degree in the sign), or None."""
    close = key.find("]")
    if close < 0:
        return None
    fields = key[:close].split(".")
    if len(fields) != 2:
        return None
    s, g = (to_int(f.strip()) for f in fields)
    return (s, g) if 1 <= s <= 12 and 1 <= g <= 30 else None


def parse_ruler_key(key):
    """House-ruler key, read by position: the header line's characters 3-4 are the house h,
    characters 7-8 the house k its ruler stands in ("[  2  10] ..."); (h, k), or None."""
    line = "[" + key
    h, k = to_int(line[2:4]), to_int(line[6:8])
    return (h, k) if h and k else None


def parse_number_key(key):
    """Key of a fixed text file (the planets', the signs'): the text before "]", trimmed, as
    a whole number; (n,), or None."""
    close = key.find("]")
    if close < 0:
        return None
    n = to_int(key[:close].strip())
    return (n,) if n else None


def parse_sign_number_key(key):
    """Numbered key read as the Moon-in-sign window reads it: characters 2-3 of the header
    line as a whole number, blanks around it allowed ("[04]", "[ 4]"); (n,), or None."""
    m = re.fullmatch(r"\+?(-?[0-9]+)", key[:2].strip())
    n = int(m.group(1)) if m else 0
    return (n,) if n > 0 else None


def parse_day_number_key(key):
    """Numbered key read as the texts of the day read it: characters 2-3 of the header line
    are the number as two digits with a leading zero ("[07]"); (n,), or None."""
    digits = key[:2]
    return (int(digits),) if re.fullmatch(r"[0-9]{2}", digits) and int(digits) else None


PARSERS = {"number": parse_number_key, "point": parse_pln_key, "comb": parse_comb_key,
           "aspect": parse_asp_key, "ruler": parse_ruler_key, "degree": parse_degree_key,
           "sign-number": parse_sign_number_key, "day-number": parse_day_number_key}

# ---------------------------------------------------------------- key rules
# Each rule: the parser the reader uses and the keys (as the parser returns them) it looks up.
POINTS = range(1, 17)  # Sun .. Pluto, North Node, South Node, Black Moon, White Moon, Proserpine, Chiron
SIGNS = range(1, 13)
HOUSES = range(1, 13)

KEY_RULES = {
    # a point in a sign: [p.s]
    "point-sign": ("point", [(p, s) for p in POINTS for s in SIGNS]),
    # the cusp of house h in a sign: [100+h.s]
    "cusp-sign": ("point", [(100 + h, s) for h in HOUSES for s in SIGNS]),
    # a point in a house: [p.h]
    "point-house": ("point", [(p, h) for p in POINTS for h in HOUSES]),
    # a point in a sign and a house: [p.s.h]
    "point-sign-house": ("comb", [(p, s, h) for p in POINTS for s in SIGNS for h in HOUSES]),
    # the ruler of house h standing in house k: "[  h   k]", by position
    "house-ruler": ("ruler", [(h, k) for h in HOUSES for k in HOUSES]),
    # the Sun's sign with the Ascendant's sign: [s1.s2]
    "sun-asc": ("point", [(s1, s2) for s1 in SIGNS for s2 in SIGNS]),
    # the Moon in sign s (the Moon-in-sign window): [ss]
    "moon-sign": ("sign-number", [(s,) for s in SIGNS]),
    # the day of the Moon d, counted in moonrises from the new Moon: [dd]
    "moon-day": ("day-number", [(d,) for d in range(1, 31)]),
    # the year symbol t of the solar calendar's cycle of 32: [tt]
    "sun-year": ("day-number", [(t,) for t in range(1, 33)]),
    # the month m of the solar year, twelve of 30 days and the closing days 361-366: [mm]
    "sun-month": ("day-number", [(m,) for m in range(1, 14)]),
    # the day d of a solar month: [dd]
    "sun-month-day": ("day-number", [(d,) for d in range(1, 31)]),
    # degree g of sign s in a degree-text file (format "degrees"): [s.g]
    "sign-degree": ("degree", [(s, g) for s in SIGNS for g in range(1, 31)]),
    # the text of a planet, Sun .. Pluto: [n]
    "planet-number": ("number", [(n,) for n in range(1, 11)]),
    # the text of a sign: [s]
    "sign-number": ("number", [(s,) for s in SIGNS]),
}


# ---------------------------------------------------------------- aspects between points
# The chart points an aspect text joins, in key order: the sixteen points, the Ascendant and the
# MC. As a second point the two angles are written as their cusps (101, 110), as a first point
# the Ascendant is 27; the key parser turns both into chart points 27 and 36.
ASC, MC = 27, 36
PAIR_POINTS = list(POINTS) + [ASC, MC]


def aspect_can_occur(p1, angle, p2):
    """False for the aspects the default page's orbs never let happen: Mercury never stands
    more than 28 degrees from the Sun, Venus never more than 48, the two never more than 77
    apart; the Nodes are always opposite each other."""
    pair = (p1, p2)
    if pair == (1, 3):
        return angle <= 28
    if pair == (1, 4):
        return angle <= 48
    if pair == (3, 4):
        return angle <= 77
    if pair == (11, 12):
        return angle == 180
    return True


def aspect_keys():
    keys = []
    for i, p1 in enumerate(PAIR_POINTS):
        for p2 in PAIR_POINTS[i + 1:]:
            for a, angle in enumerate(ASPECT_ANGLES, 1):
                if aspect_can_occur(p1, angle, p2):
                    keys.append((p1, a, p2))
    return keys


def aspect_key_text(p1, angle, p2):
    """The numeric key of an aspect: "1.120.2", "5.090.110", "27.060.110"."""
    second = {ASC: 101, MC: 110}.get(p2, p2)
    return "%d.%03d.%d" % (p1, angle, second)


KEY_RULES["aspect-pair"] = ("aspect", aspect_keys())
KEY_RULES["synastry-aspect"] = ("aspect", [(w, a, m) for w in POINTS
                                           for a in range(1, len(ASPECT_ANGLES) + 1)
                                           for m in POINTS])
# a transiting point q in an aspect to radix point k: [k.angle.q], the radix point first as the
# transit report reads it; every aspect of the default page between points 1..16 of the two
# charts (the angles of either chart get none)
KEY_RULES["transit-aspect"] = ("aspect", [(k, a, q) for k in POINTS
                                          for a in range(1, len(ASPECT_ANGLES) + 1)
                                          for q in POINTS])
# The return charts: the return's cusp of house h in radix house k, [100+h.k]; the return's own
# aspects, as the natal ones but read for a first point 1..16 only (no Ascendant-MC pair); the
# return's point q to radix point k, [k.angle.q], every pair of points 1..16 both ways and
# with itself.
KEY_RULES["return-cusp-house"] = ("point", [(100 + h, k) for h in HOUSES for k in HOUSES])
KEY_RULES["return-aspect"] = ("aspect", [k for k in aspect_keys() if k[0] in POINTS])
KEY_RULES["return-radix"] = ("aspect", [(k, a, q) for k in POINTS
                                        for a in range(1, len(ASPECT_ANGLES) + 1)
                                        for q in POINTS])


def canonical_key(parsed):
    return ".".join(str(v) for v in parsed)


# ---------------------------------------------------------------- sources
class SourceError(Exception):
    pass


def load_base(folder):
    """The base.json of a base folder, with defaults filled in."""
    with open(os.path.join(folder, "base.json"), encoding="utf-8") as f:
        base = json.load(f)
    base["name"] = os.path.basename(os.path.normpath(folder))
    base["folder"] = folder
    base.setdefault("format", "sections")
    if base["format"] == "stars":
        for key in ("hand_words", "composed_words", "min_chars", "templates"):
            if key not in base:
                raise SourceError("%s: a star base gives %r" % (folder, key))
        return base
    for part in base["parts"]:
        if part["rule"] not in KEY_RULES:
            raise SourceError("%s: unknown key rule %r" % (folder, part["rule"]))
    parsers = {KEY_RULES[p["rule"]][0] for p in base["parts"]}
    if len(parsers) != 1:
        raise SourceError("%s: the parts of one base must share a key form" % folder)
    base["parser"] = parsers.pop()
    base.setdefault("format", "sections")
    if base["format"] not in ("sections", "degrees"):
        raise SourceError("%s: unknown format %r" % (folder, base["format"]))
    if (base["format"] == "degrees") != (base["parser"] == "degree"):
        raise SourceError("%s: a degree-text base has the format \"degrees\" and the rule "
                          "\"sign-degree\"" % folder)
    if base["format"] == "degrees" and base.get("groups") is None:
        raise SourceError("%s: a degree-text base gives its twelve sign titles as \"groups\""
                          % folder)
    if base.get("compose") == "combination":
        names = base.get("names", {})
        if not all(len(names.get(lang, {}).get("points", [])) == len(POINTS)
                   and len(names.get(lang, {}).get("signs", [])) == len(SIGNS)
                   and len(names.get(lang, {}).get("houses", [])) == len(HOUSES)
                   and "title" in names.get(lang, {}) for lang in LANGUAGES):
            raise SourceError("%s: a combination base names its points, signs and houses and "
                              "gives a title in each language" % folder)
    elif base.get("compose") == "transit":
        names = base.get("names", {})
        if not all(all(len(names.get(lang, {}).get(n, [])) == len(POINTS)
                       for n in ("transit", "to", "with"))
                   and len(names.get(lang, {}).get("aspects", [])) == len(ASPECT_ANGLES)
                   for lang in LANGUAGES) or not isinstance(base.get("timing"), str):
            raise SourceError("%s: a transit base names its %d points (\"transit\", \"to\", "
                              "\"with\") and %d aspects in each language and gives its "
                              "\"timing\" folder" % (folder, len(POINTS), len(ASPECT_ANGLES)))
    elif base.get("compose") == "return":
        if not os.path.isfile(os.path.join(return_bank_folder(base), "bank.json")):
            raise SourceError("%s: a return base names its bank folder as \"bank\"" % folder)
    elif base.get("compose") == "synastry":
        names = base.get("names", {})
        for lang in LANGUAGES:
            n = names.get(lang, {})
            his = n.get("his", {})
            aspects = n.get("aspects", [])
            if len(n.get("her", [])) != len(POINTS) or len(aspects) != len(ASPECT_ANGLES) \
                    or not all(len(v) == len(POINTS) for v in his.values()) \
                    or not all(isinstance(a, list) and len(a) == 2 and a[1] in his
                               for a in aspects):
                raise SourceError("%s: a synastry base names her %d points, his %d points in "
                                  "each form its aspects ask for, and %d aspects as [phrase, "
                                  "form] in each language" % (folder, len(POINTS), len(POINTS),
                                                              len(ASPECT_ANGLES)))
    elif "compose" in base:
        names = base.get("names", {})
        if base["compose"] != "aspect" or not all(
                len(names.get(lang, {}).get("points", [])) == len(PAIR_POINTS)
                and len(names.get(lang, {}).get("aspects", [])) == len(ASPECT_ANGLES)
                for lang in LANGUAGES):
            raise SourceError("%s: a composed base is \"aspect\" and names its %d points and "
                              "%d aspects in each language" % (folder, len(PAIR_POINTS),
                                                               len(ASPECT_ANGLES)))
    groups = base.get("groups")
    if groups is not None:
        firsts = sorted({k[0] for p in base["parts"] for k in KEY_RULES[p["rule"]][1]})
        for lang in LANGUAGES:
            titles = groups.get(lang) if isinstance(groups, dict) else None
            if not isinstance(titles, list) or len(titles) != len(firsts) \
                    or not all(isinstance(t, str) and t.strip() and "}" not in t
                               for t in titles):
                raise SourceError("%s: \"groups\" needs %d titles for %r, one for each first "
                                  "key number, none empty or holding \"}\""
                                  % (folder, len(firsts), lang))
        base["group_of"] = {lang: dict(zip(firsts, (t.strip() for t in groups[lang])))
                            for lang in LANGUAGES}
    return base


def base_folders(texts_root):
    return sorted(os.path.join(texts_root, d) for d in os.listdir(texts_root)
                  if os.path.isfile(os.path.join(texts_root, d, "base.json")))


def output_name(base, lang):
    """The base file's path under data/ for a language: the English one has "-e" before
    ".txt"."""
    name = base["file"]
    if lang == "en":
        stem, ext = os.path.splitext(name)
        name = stem + "-e" + ext
    return name


class Section:
    def __init__(self, key, title, paragraphs, where):
        self.key = key            # the text between "[" and "]"
        self.title = title
        self.paragraphs = paragraphs
        self.where = where        # "file:line" of the header

    @property
    def body(self):
        return "\n".join(self.paragraphs)


HEADER = re.compile(r"^\[([^\]]*)\](.*)$")


def read_sources(base, lang):
    """The sections of a base's UTF-8 sources for one language, in file and line order."""
    folder = os.path.join(base["folder"], lang)
    if not os.path.isdir(folder):
        raise SourceError("%s: no sources for language %r" % (base["folder"], lang))
    sections = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".txt"):
            continue
        path = os.path.join(folder, name)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        current, para = None, []

        def close_paragraph():
            if current is not None and para:
                current.paragraphs.append(" ".join(para))
            para.clear()

        for i, raw in enumerate(lines, 1):
            line = raw.rstrip()
            if line.startswith("#"):
                continue
            m = HEADER.match(line)
            if m:
                close_paragraph()
                current = Section(m.group(1), m.group(2).strip(), [], "%s:%d" % (path, i))
                sections.append(current)
            elif not line.strip():
                close_paragraph()
            elif current is None:
                raise SourceError("%s:%d: text before the first section header" % (path, i))
            else:
                para.append(" ".join(line.split()))
        close_paragraph()
    return sections


def key_sort(base, section):
    parsed = PARSERS[base["parser"]](section.key + "]")
    return (0, parsed, section.key) if parsed else (1, (), section.key)


def render(base, lang, sections):
    """The base file's text: a first comment line naming it, then the sections in key order,
    one paragraph per line, an empty line between sections. In a base with groups a line
    "{title}" stands before the first section of each first key number."""
    out = ["/ " + base["comment"][lang]]
    group_of = base.get("group_of", {}).get(lang)
    group = None
    for s in sorted(sections, key=lambda s: key_sort(base, s)):
        if group_of is not None:
            parsed = PARSERS[base["parser"]](s.key + "]")
            if parsed is None or parsed[0] not in group_of:
                raise SourceError("%s: [%s] belongs to no group" % (s.where, s.key))
            if parsed[0] != group:
                group = parsed[0]
                out.append("")
                out.append("{%s}" % group_of[group])
        out.append("")
        out.append(("[%s] %s" % (s.key, s.title)).rstrip())
        out.extend(s.paragraphs)
    return "".join(line + "\r\n" for line in out)


def render_degrees(base, lang, sections):
    """A degree-text file: a first comment line naming it, then per sign a header "[ s] title"
    (the sign right-aligned in two characters, the title from column 6) and its degree
    entries: two blanks, the degree right-aligned in columns 3-4, a blank, the first
    paragraph; each further paragraph on a continuation line of its own. The window splits
    its text at "/", so no text may hold one."""
    out = ["/ " + base["comment"][lang]]
    titles = base["group_of"][lang]
    sign = None
    for s in sorted(sections, key=lambda s: key_sort(base, s)):
        parsed = parse_degree_key(s.key + "]")
        if parsed is None:
            raise SourceError("%s: [%s] is no degree key s.g" % (s.where, s.key))
        if not s.paragraphs:
            raise SourceError("%s: [%s] has no text" % (s.where, s.key))
        for p in s.paragraphs:
            if "/" in p:
                raise SourceError("%s: [%s] holds \"/\", which the window takes for a line "
                                  "break" % (s.where, s.key))
            if p[:1] in (" ", "["):
                raise SourceError("%s: [%s] has a paragraph starting with %r" % (s.where, s.key,
                                                                                p[:1]))
        if parsed[0] != sign:
            sign = parsed[0]
            out.append("")
            out.append("[%2d] %s" % (sign, titles[sign]))
        out.append("  %2d %s" % (parsed[1], s.paragraphs[0]))
        out.extend(s.paragraphs[1:])
    return "".join(line + "\r\n" for line in out)


def encode(text, where):
    """CP1251 bytes of a text; a character the code page lacks is an error naming it."""
    try:
        return text.encode("cp1251")
    except UnicodeEncodeError as e:
        ch = e.object[e.start]
        line = e.object.count("\n", 0, e.start) + 1
        raise SourceError("%s: line %d: character %r (U+%04X) has no code page 1251 form"
                          % (where, line, ch, ord(ch)))


# ---------------------------------------------------------------- composed aspect sections
# An aspect base is composed from two banks in its sources: for each pair of points three
# paragraphs, "[p1.p2 fused]" (the conjunction), "[p1.p2 flowing]" (the semisextile, sextile
# and trine, and the quintile family and the novile) and "[p1.p2 tense]" (the semisquare,
# square, sesquiquadrate, quincunx and opposition); and for each first point and aspect one
# sentence, "[p1 angle]", on how that aspect colours its contacts. A section is its family's
# paragraph followed by its aspect's sentence.
FAMILY_OF_ANGLE = {0: "fused", 30: "flowing", 36: "flowing", 40: "flowing", 45: "tense",
                   60: "flowing", 72: "flowing", 90: "tense", 108: "flowing", 120: "flowing",
                   135: "tense", 144: "flowing", 150: "tense", 180: "tense"}
BANK_PAIR = re.compile(r"^(\d+)\.(\d+) (fused|flowing|tense)$")
BANK_SENTENCE = re.compile(r"^(\d+) (\d{3})$")


def _pair_point(number, first):
    """A bank's point number as a chart point: the angles are 27 first, 101 and 110 second."""
    if first:
        return number if number in POINTS or number == ASC else None
    return {101: ASC, 110: MC}.get(number, number if number in POINTS else None)


def read_bank(base, lang):
    """The paragraph and sentence banks of a composed aspect base: ({(p1, p2, family):
    Section}, {(p1, angle): Section}), chart points as in the keys."""
    pairs, sentences = {}, {}
    can = {}
    for p1, a, p2 in aspect_keys():
        can.setdefault((p1, p2), set()).add(FAMILY_OF_ANGLE[ASPECT_ANGLES[a - 1]])
    for s in read_sources(base, lang):
        m, n = BANK_PAIR.match(s.key), BANK_SENTENCE.match(s.key)
        if m:
            p1, p2 = _pair_point(int(m.group(1)), True), _pair_point(int(m.group(2)), False)
            key, bank = (p1, p2, m.group(3)), pairs
            if m.group(3) not in can.get((p1, p2), ()):
                raise SourceError("%s: [%s] is no pair whose %s aspects can occur"
                                  % (s.where, s.key, m.group(3)))
        elif n:
            p1, angle = _pair_point(int(n.group(1)), True), int(n.group(2))
            key, bank = (p1, angle), sentences
            if p1 is None or angle not in FAMILY_OF_ANGLE:
                raise SourceError("%s: [%s] names no first point and aspect" % (s.where, s.key))
        else:
            raise SourceError("%s: [%s] is neither \"p1.p2 fused|flowing|tense\" nor "
                              "\"p1 angle\"" % (s.where, s.key))
        if key in bank:
            raise SourceError("%s: [%s] written twice" % (s.where, s.key))
        if len(s.paragraphs) != 1:
            raise SourceError("%s: [%s] must be one paragraph" % (s.where, s.key))
        bank[key] = s
    return pairs, sentences


def compose_aspects(base, lang):
    """The sections of a composed aspect base: one for every pair and aspect whose paragraph and
    sentence are both written, titled "Sun trine Moon" from the base's names."""
    names = base["names"][lang]
    point_name = dict(zip(PAIR_POINTS, names["points"]))
    pairs, sentences = read_bank(base, lang)
    out = []
    for p1, a, p2 in aspect_keys():
        angle = ASPECT_ANGLES[a - 1]
        para = pairs.get((p1, p2, FAMILY_OF_ANGLE[angle]))
        sentence = sentences.get((p1, angle))
        if para is None or sentence is None:
            continue
        title = "%s %s %s" % (point_name[p1], names["aspects"][a - 1], point_name[p2])
        out.append(Section(aspect_key_text(p1, angle, p2), title,
                           [para.paragraphs[0] + " " + sentence.paragraphs[0]], para.where))
    return out


# ---------------------------------------------------------------- composed combinations
# A combination base [p.s.h] (a point in a sign and a house) is composed from banks of single
# sentences: "[p.h house]" what the point does in the house, "[p.s sign]" the manner it takes in
# the sign, "[s.h on]" how the sign's style colours the house's affairs, and the relations that
# hold for some keys only: "[dignity angularity]" (rulership, exaltation, detriment, fall; angular,
# succedent, cadent), "[p natural]" the point in its own natural house, "[p joy]" the point in its
# house of joy, "[e1.e2 element]" the sign's element against that of the house's natural sign
# when the two are the same or opposed.
RULES = {1: (5,), 2: (4,), 3: (3, 6), 4: (2, 7), 5: (1, 8), 6: (9, 12), 7: (10, 11), 8: (11,),
         9: (12,), 10: (8,)}
EXALTS = {1: 1, 2: 2, 3: 6, 4: 12, 5: 10, 6: 4, 7: 7}
JOYS = {3: 1, 2: 3, 4: 5, 5: 6, 1: 9, 6: 11, 7: 12}
ELEMENTS = ("fire", "earth", "air", "water")
ANGULARITY = ("angular", "succedent", "cadent")
DIGNITIES = ("rulership", "exaltation", "detriment", "fall")
OPPOSED = {("fire", "water"), ("water", "fire"), ("earth", "air"), ("air", "earth")}


def opposite_sign(s):
    return (s + 5) % 12 + 1


def dignity(p, s):
    """The point's dignity in the sign, the first that holds of rulership, exaltation,
    detriment and fall; None for none (and for points without a dignity)."""
    if s in RULES.get(p, ()):
        return "rulership"
    if EXALTS.get(p) == s:
        return "exaltation"
    if s in {opposite_sign(r) for r in RULES.get(p, ())}:
        return "detriment"
    if p in EXALTS and opposite_sign(EXALTS[p]) == s:
        return "fall"
    return None


def element(sign):
    return ELEMENTS[(sign - 1) % 4]


def combination_relations(p, s, h):
    """The relation keys that hold for [p.s.h], in the order the section tells them."""
    out = []
    d = dignity(p, s)
    if d:
        out.append("%s %s" % (d, ANGULARITY[(h - 1) % 3]))
    if h in RULES.get(p, ()):
        out.append("%d natural" % p)
    if JOYS.get(p) == h:
        out.append("%d joy" % p)
    e1, e2 = element(s), element(h)
    if e1 == e2 or (e1, e2) in OPPOSED:
        out.append("%s.%s element" % (e1, e2))
    return out


def _one_sentence_bank(sections, valid, what):
    """{key: Section} of single-paragraph sections whose keys are all in `valid`."""
    bank = {}
    for sec in sections:
        if sec.key not in valid:
            raise SourceError("%s: [%s] is no sentence of the %s" % (sec.where, sec.key, what))
        if sec.key in bank:
            raise SourceError("%s: [%s] written twice" % (sec.where, sec.key))
        if len(sec.paragraphs) != 1:
            raise SourceError("%s: [%s] must be one paragraph" % (sec.where, sec.key))
        bank[sec.key] = sec
    return bank


COMB_BANK = re.compile(r"^(\d+)\.(\d+) (house|sign|on)$")


def read_comb_bank(base, lang):
    """The sentence banks of a combination base: {key: Section}, the key as written."""
    valid = {"%d.%d house" % (p, h) for p in POINTS for h in HOUSES}
    valid |= {"%d.%d sign" % (p, s) for p in POINTS for s in SIGNS}
    valid |= {"%d.%d on" % (s, h) for s in SIGNS for h in HOUSES}
    valid |= {"%s %s" % (d, a) for d in DIGNITIES for a in ANGULARITY}
    valid |= {"%d natural" % p for p in RULES} | {"%d joy" % p for p in JOYS}
    valid |= {"%s.%s element" % (a, b) for a in ELEMENTS for b in ELEMENTS
              if a == b or (a, b) in OPPOSED}
    return _one_sentence_bank(read_sources(base, lang), valid, "combination banks")


def read_sentences(sections, valid, what):
    """A bank of single sentences, {key: Section}: every key one of `valid`, written once,
    one paragraph."""
    bank = {}
    for sec in sections:
        if sec.key not in valid:
            raise SourceError("%s: [%s] is no sentence of the %s banks"
                              % (sec.where, sec.key, what))
        if sec.key in bank:
            raise SourceError("%s: [%s] written twice" % (sec.where, sec.key))
        if len(sec.paragraphs) != 1:
            raise SourceError("%s: [%s] must be one paragraph" % (sec.where, sec.key))
        bank[sec.key] = sec
    return bank


def compose_combinations(base, lang):
    """The sections [p.s.h] whose sentences are all written, titled from the base's names
    ("Mars in Leo in the 10th house")."""
    names = base["names"][lang]
    bank = read_comb_bank(base, lang)
    out = []
    for p in POINTS:
        for s in SIGNS:
            for h in HOUSES:
                keys = ["%d.%d house" % (p, h), "%d.%d sign" % (p, s), "%d.%d on" % (s, h)]
                keys += combination_relations(p, s, h)
                if not all(k in bank for k in keys):
                    continue
                title = names["title"] % {"point": names["points"][p - 1],
                                          "sign": names["signs"][s - 1],
                                          "house": names["houses"][h - 1]}
                body = " ".join(bank[k].paragraphs[0] for k in keys)
                out.append(Section("%d.%d.%d" % (p, s, h), title, [body],
                                   bank[keys[0]].where))
    return out


# ---------------------------------------------------------------- composed transits
# A transit base [k.angle.q] (transiting point q in an aspect to radix point k) is composed of
# four sentences: "[q transit family]" the transiting point's kind of influence in the base's
# theme, "[k radix family]" what the radix point stands for in it (family: fused for the
# conjunction, flowing or tense as for the aspects), "[q.k pair]" the one sentence of the pair,
# and from the timing folder shared by the transit bases "[speed angle]": how long and how
# strongly a transit of a point of that speed works in that aspect.
SPEED_OF_POINT = {2: "hours", 1: "days", 3: "days", 4: "days", 5: "days",
                  6: "weeks", 7: "weeks", 11: "weeks", 12: "weeks", 16: "weeks",
                  8: "slow", 9: "slow", 10: "slow", 13: "slow", 14: "slow", 15: "slow"}
SPEEDS = ("hours", "days", "weeks", "slow")
FAMILIES = ("fused", "flowing", "tense")


def timing_folder(base):
    return os.path.join(os.path.dirname(os.path.normpath(base["folder"])), base["timing"])


def read_timing_bank(base, lang):
    """The timing sentences shared by the transit bases: {"speed angle": Section}."""
    folder = timing_folder(base)
    valid = {"%s %03d" % (v, g) for v in SPEEDS for g in ASPECT_ANGLES}
    return _one_sentence_bank(read_sources({"folder": folder}, lang), valid,
                              "timing bank %s" % folder)


def read_transit_bank(base, lang):
    """The theme's own sentences of a transit base: {key: Section}, the key as written."""
    valid = {"%d %s %s" % (p, role, f) for p in POINTS for role in ("transit", "radix")
             for f in FAMILIES}
    valid |= {"%d.%d pair" % (q, k) for q in POINTS for k in POINTS}
    return _one_sentence_bank(read_sources(base, lang), valid, "transit banks")


def transit_sentence_keys(k, angle, q):
    family = FAMILY_OF_ANGLE[angle]
    return ["%d transit %s" % (q, family), "%d radix %s" % (k, family), "%d.%d pair" % (q, k)], \
        "%s %03d" % (SPEED_OF_POINT[q], angle)


def compose_transits(base, lang):
    """The sections [k.angle.q] whose four sentences are all written, titled "Transiting Mars
    trine natal Sun" from the base's names."""
    names = base["names"][lang]
    bank = read_transit_bank(base, lang)
    timing = read_timing_bank(base, lang)
    out = []
    for k, a, q in KEY_RULES["transit-aspect"][1]:
        angle = ASPECT_ANGLES[a - 1]
        own, shared = transit_sentence_keys(k, angle, q)
        if not all(key in bank for key in own) or shared not in timing:
            continue
        title = "%s %s" % (names["transit"][q - 1], names["aspects"][a - 1] % {
            "to": names["to"][k - 1], "with": names["with"][k - 1]})
        body = " ".join([bank[key].paragraphs[0] for key in own] + [timing[shared].paragraphs[0]])
        out.append(Section("%d.%03d.%d" % (k, angle, q), title, [body], bank[own[2]].where))
    return out


# ---------------------------------------------------------------- composed return sections
# The return bases (lunar and solar) share one bank folder tools/texts/<bank>/ of single
# sentences, with a bank.json of names and titles:
#   [h.k cusp]        the return's cusp h falling in radix house k
#   [h lunar house]   what return house h stands for in the month (solar: in the year)
#   [k field]         radix house k as the field where a return house plays out
#   [p.h in]          the return's point p in its house h
#   [p lunar point]   what point p brings to the month (solar: to the year)
#   [p1.p2 pair]      the return's points p1 and p2 in aspect (p2 101 and 110 for the angles)
#   [p lunar fused]   the lunar return's point p in conjunction (flowing, tense; solar too)
#   [ddd aspect]      the aspect of ddd degrees itself
#   [k natal]         what radix point k stands for when a return point touches it
#   [k.q radix]       the return's point q to radix point k
# A section is three sentences:
#   return-cusp-house [100+h.k]   house(h) + cusp(h, k) + field(k)
#   point-house       [p.h]       point(p) + in(p, h) + house(h)
#   return-aspect     [p1.a.p2]   family of p1 + pair(p1, p2) + aspect(a)
#   return-radix      [k.a.q]     lunar family of q + natal(k) + radix(k, q) + aspect(a)
RETURN_KINDS = ("lunar", "solar")
RETURN_RULES = ("return-cusp-house", "point-house", "return-aspect", "return-radix")


def return_bank_keys():
    """Every key a return bank may hold."""
    keys = {"%d.%d cusp" % (h, k) for h in HOUSES for k in HOUSES}
    keys |= {"%d %s house" % (h, kind) for h in HOUSES for kind in RETURN_KINDS}
    keys |= {"%d field" % k for k in HOUSES}
    keys |= {"%d.%d in" % (p, h) for p in POINTS for h in HOUSES}
    keys |= {"%d %s point" % (p, kind) for p in POINTS for kind in RETURN_KINDS}
    keys |= {"%d.%d pair" % (p1, {ASC: 101, MC: 110}.get(p2, p2))
             for p1, _, p2 in KEY_RULES["return-aspect"][1]}
    keys |= {"%d %s %s" % (p, kind, f) for p in POINTS for kind in RETURN_KINDS
             for f in FAMILIES}
    keys |= {"%03d aspect" % g for g in ASPECT_ANGLES}
    keys |= {"%d natal" % k for k in POINTS}
    keys |= {"%d.%d radix" % (k, q) for k in POINTS for q in POINTS}
    return keys


def return_bank_folder(base):
    return os.path.join(os.path.dirname(os.path.normpath(base["folder"])), base.get("bank", ""))


def load_return_bank(folder):
    with open(os.path.join(folder, "bank.json"), encoding="utf-8") as f:
        bank = json.load(f)
    bank["folder"] = folder
    for lang in LANGUAGES:
        names = bank.get("names", {}).get(lang, {})
        if len(names.get("points", [])) != len(PAIR_POINTS) \
                or len(names.get("aspects", [])) != len(ASPECT_ANGLES) \
                or len(names.get("houses", [])) != len(HOUSES) \
                or not all(rule in names.get("titles", {}).get(kind, {})
                           for kind in RETURN_KINDS for rule in RETURN_RULES):
            raise SourceError("%s: bank.json names %d points, %d aspects and %d houses and "
                              "gives a title for each kind and rule in each language"
                              % (folder, len(PAIR_POINTS), len(ASPECT_ANGLES), len(HOUSES)))
    return bank


def read_return_bank(folder, lang):
    """The sentences of a return bank: {key: Section}, the key as written."""
    return read_sentences(read_sources({"folder": folder}, lang), return_bank_keys(), "return")


def return_parts(rule, kind, key):
    """The bank keys of a return section, in the order the section tells them."""
    if rule == "return-cusp-house":
        h, k = key[0] - 100, key[1]
        return ["%d %s house" % (h, kind), "%d.%d cusp" % (h, k), "%d field" % k]
    if rule == "point-house":
        p, h = key
        return ["%d %s point" % (p, kind), "%d.%d in" % (p, h), "%d %s house" % (h, kind)]
    angle = ASPECT_ANGLES[key[1] - 1]
    if rule == "return-aspect":
        p1, p2 = key[0], {ASC: 101, MC: 110}.get(key[2], key[2])
        return ["%d %s %s" % (p1, kind, FAMILY_OF_ANGLE[angle]), "%d.%d pair" % (p1, p2),
                "%03d aspect" % angle]
    k, q = key[0], key[2]
    return ["%d lunar %s" % (q, FAMILY_OF_ANGLE[angle]), "%d natal" % k,
            "%d.%d radix" % (k, q), "%03d aspect" % angle]


def return_key_text(rule, key):
    if rule in ("return-cusp-house", "point-house"):
        return "%d.%d" % key
    return aspect_key_text(key[0], ASPECT_ANGLES[key[1] - 1], key[2])


def return_title(names, kind, rule, key):
    houses, points = names["houses"], dict(zip(PAIR_POINTS, names["points"]))
    aspect = names["aspects"][key[1] - 1] if rule in ("return-aspect", "return-radix") else ""
    fields = {
        "return-cusp-house": lambda: {"h": houses[key[0] - 101], "k": houses[key[1] - 1]},
        "point-house": lambda: {"p": points[key[0]], "h": houses[key[1] - 1]},
        "return-aspect": lambda: {"p1": points[key[0]], "a": aspect, "p2": points[key[2]]},
        "return-radix": lambda: {"k": points[key[0]], "a": aspect, "q": points[key[2]]},
    }[rule]()
    return names["titles"][kind][rule] % fields


def compose_returns(base, lang):
    """The sections of a return base whose three sentences are all written."""
    folder = return_bank_folder(base)
    names = load_return_bank(folder)["names"][lang]
    bank = read_return_bank(folder, lang)
    kind = base.get("kind")
    if kind not in RETURN_KINDS:
        raise SourceError("%s: a return base's \"kind\" is lunar or solar" % base["folder"])
    out = []
    for part in base["parts"]:
        rule = part["rule"]
        if rule not in RETURN_RULES:
            raise SourceError("%s: a return base has no rule %r" % (base["folder"], rule))
        for key in KEY_RULES[rule][1]:
            keys = return_parts(rule, kind, key)
            if not all(k in bank for k in keys):
                continue
            out.append(Section(return_key_text(rule, key), return_title(names, kind, rule, key),
                               [" ".join(bank[k].paragraphs[0] for k in keys)],
                               bank[keys[-2]].where))
    return out


def read_sentence_bank(base, lang, key_of, unknown):
    """A bank of single sentences: {key_of(source key): Section}; a source key that key_of
    turns into None is an error saying `unknown`, as are a key written twice and a sentence of
    more than one paragraph."""
    bank = {}
    for sec in read_sources(base, lang):
        key = key_of(sec.key)
        if key is None:
            raise SourceError("%s: [%s] %s" % (sec.where, sec.key, unknown))
        if key in bank:
            raise SourceError("%s: [%s] written twice" % (sec.where, sec.key))
        if len(sec.paragraphs) != 1:
            raise SourceError("%s: [%s] must be one paragraph" % (sec.where, sec.key))
        bank[key] = sec
    return bank


# ---------------------------------------------------------------- composed synastry aspects
# A synastry aspect base [w.angle.m] (her point w, his point m) is composed from banks of single
# sentences: "[her w fused|flowing|tense]" what her point brings to the couple under the
# conjunction, the flowing or the tense aspects, "[his m fused|flowing|tense]" the same of his
# point, "[w.m pair]" what her point and his point make together, and "[angle way]" how that
# aspect joins two people. A section is the pair's sentence, hers, his and the aspect's.
SYN_BANK = re.compile(r"^(?:(her|his) (\d+) (fused|flowing|tense)|(\d+)\.(\d+) pair|"
                      r"(\d{3}) way)$")


def read_syn_bank(base, lang):
    """The sentence banks of a synastry base: {key: Section}, keys ("her", w, family),
    ("his", m, family), ("pair", w, m), ("way", angle)."""
    def key_of(text):
        m = SYN_BANK.match(text)
        if m and m.group(1) and int(m.group(2)) in POINTS:
            return (m.group(1), int(m.group(2)), m.group(3))
        if m and m.group(4) and int(m.group(4)) in POINTS and int(m.group(5)) in POINTS:
            return ("pair", int(m.group(4)), int(m.group(5)))
        if m and m.group(6) and int(m.group(6)) in FAMILY_OF_ANGLE:
            return ("way", int(m.group(6)))
        return None
    return read_sentence_bank(base, lang, key_of, "is none of \"her|his p fused|flowing|tense\", "
                              "\"w.m pair\", \"angle way\"")


def compose_synastry(base, lang):
    """The sections [w.angle.m] whose four sentences are written, titled from the base's names
    ("Her Venus trine his Mars")."""
    names = base["names"][lang]
    bank = read_syn_bank(base, lang)
    out = []
    for w, a, m in KEY_RULES["synastry-aspect"][1]:
        angle = ASPECT_ANGLES[a - 1]
        family = FAMILY_OF_ANGLE[angle]
        keys = [("pair", w, m), ("her", w, family), ("his", m, family), ("way", angle)]
        if not all(k in bank for k in keys):
            continue
        phrase, form = names["aspects"][a - 1]
        title = "%s %s %s" % (names["her"][w - 1], phrase, names["his"][form][m - 1])
        out.append(Section("%d.%03d.%d" % (w, angle, m), title,
                           [" ".join(bank[k].paragraphs[0] for k in keys)], bank[keys[0]].where))
    return out


def base_sections(base, lang):
    if base.get("compose") == "synastry":
        return compose_synastry(base, lang)
    if base.get("compose") == "transit":
        return compose_transits(base, lang)
    if base.get("compose") == "return":
        return compose_returns(base, lang)
    if base.get("compose") == "aspect":
        return compose_aspects(base, lang)
    if base.get("compose") == "combination":
        return compose_combinations(base, lang)
    return read_sources(base, lang)


def build(base, lang, data=None):
    """The bytes of one base file, from the sources (and, for a star base, the catalogues in
    the data folder)."""
    if base.get("format") == "stars":
        text = render_stars(base, lang, star_sections(base, lang, data))
        return encode(text, "%s (%s)" % (output_name(base, lang), lang))
    sections = base_sections(base, lang)
    if base.get("format") == "degrees":
        text = render_degrees(base, lang, sections)
    else:
        text = render(base, lang, sections)
    return encode(text, "%s (%s)" % (output_name(base, lang), lang))


# ---------------------------------------------------------------- the readers
def read_base_file(data, groups=None):
    """The sections of a base file's bytes as the readers see them: lines with trailing blanks
    removed, empty lines and "/" comments skipped, "[" opens a section. Returns a list of
    (header line, [body lines]).

    With a list given as `groups` (a base with group lines), a line beginning with "{" ends
    the section before it and sets the group title, the text between "{" and the next "}"
    trimmed (None when there is no "}"); `groups` gets, for each section, the title in force
    at its header (None before the first group line)."""
    text = data.decode("cp1251")
    sections = []
    title = None
    inside = False
    for raw in text.replace("\r\n", "\n").split("\n"):
        line = raw.rstrip(" \t")
        if not line or line.startswith("/"):
            continue
        if groups is not None and line.startswith("{"):
            close = line.find("}")
            title = line[1:close].strip() if close > 0 else None
            inside = False
        elif line.startswith("["):
            sections.append((line, []))
            if groups is not None:
                groups.append(title)
            inside = True
        elif inside:
            sections[-1][1].append(line)
    return sections


def find_section(sections, parser, wanted):
    """The first section whose header's key parses to `wanted`, as a first-section reader
    finds it; None when there is none."""
    parse = PARSERS[parser]
    for header, body in sections:
        if parse(header[1:]) == wanted:
            return header, body
    return None


def read_degree_file(data):
    """A degree-text file's bytes as the program's reader sees them: lines with trailing
    blanks removed, empty lines and "/" comments skipped; "[ s]" opens sign s's section (its
    title from column 6), a line " ?gg" opens degree gg's entry inside it, a line starting with
    anything but a blank or "[" continues the entry. Returns (titles, entries, strays): the
    title of each sign {s: title}, the entries {(s, g): [lines]} with their first line from
    column 6, and the lines the reader would pass over (as (line, why))."""
    text = data.decode("cp1251")
    titles, entries, strays = {}, {}, []
    sign, entry = None, None
    for raw in text.replace("\r\n", "\n").split("\n"):
        line = raw.rstrip(" ")
        if not line or line.startswith("/"):
            continue
        if line.startswith("["):
            entry = None
            m = re.match(r"^\[( [1-9]|1[0-2])\]", line)
            if not m:
                strays.append((line, "a header of no sign"))
                sign = None
                continue
            sign = int(m.group(1))
            if sign in titles:
                strays.append((line, "a second section of the sign"))
            titles[sign] = line[5:85]
        elif line.startswith(" "):
            entry = None
            m = re.match(r"^ .( [1-9]|[12][0-9]|30)", line)
            if sign is None or not m:
                strays.append((line, "an entry line outside a sign or without its degree"))
                continue
            key = (sign, int(m.group(1)))
            if key in entries:
                strays.append((line, "a second entry of the degree"))
                continue
            entry = key
            entries[key] = [line[5:]]
        elif entry is not None:
            entries[entry].append(line)
        else:
            strays.append((line, "a line outside any entry"))
    return titles, entries, strays


# ---------------------------------------------------------------- the star base
# "format": "stars": the base of the fixed stars and the Messier objects. Its keys come from the
# catalogues in the data folder, not from a chart: one section per star that yale.mdb names
# (key its HR number; one key "hr1,hr2" where one name in both languages covers two records),
# titled with the star's name in the file's language, then one section per Messier object of
# Deepobj.txt (key its code, "M 31", and no title: the editor takes every title for a star
# name). The file opens with the line "[]", which marks a star base for the editor.
#
# A section written in the sources under its key is taken as it stands; every other section
# is composed from banks (one paragraph each):
#   [const Ori] Ориона; Орион     the constellation's traditional nature (title: its name
#                                 in the genitive, then in the nominative)
#   [colour K]                    what the colour of spectral class K says (O B A F G K M)
#   [mag 2]                       the weight of a star of the second magnitude (0: brighter
#                                 than 1, 1: 1 to 2 ... 4: fainter than 4)
#   [decan 2.3]                   the third decan of Taurus
#   [lat 1]                       how much a star so far from the ecliptic counts in a
#                                 conjunction by longitude (0: within 2°, 1: 2-10°, 2: 10-30°,
#                                 3: 30-60°, 4: beyond 60°)
#   [kind open] рассеянное скопление   what a Messier object of that kind means (title: the
#                                 kind's name as the identity sentence uses it)
# and the base.json's "templates": per language the identity sentence of a star ("star"), of a
# star name covering two records ("pair"), of a Messier object with a name ("messier_named")
# and with its code only ("messier"), and the sentence
# of the place ("place" for a star, "place_object" for a Messier object), with the catalogue's
# facts filled in. A star's section is its identity, colour, brightness and constellation, then
# its place, decan and latitude; a Messier object's its identity, kind and constellation, then
# its place and decan.
import math  # noqa: E402
import struct  # noqa: E402

GREEK = {
    "ru": ["альфа", "бета", "гамма", "дельта", "эпсилон", "дзета", "эта", "тета", "йота",
           "каппа", "лямбда", "мю", "ню", "кси", "омикрон", "пи", "ро", "сигма", "тау",
           "ипсилон", "фи", "хи", "пси", "омега"],
    "en": ["Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta", "Iota",
           "Kappa", "Lambda", "Mu", "Nu", "Xi", "Omicron", "Pi", "Rho", "Sigma", "Tau",
           "Upsilon", "Phi", "Chi", "Psi", "Omega"],
}
SIGN_GENITIVE = {
    "ru": ["Овна", "Тельца", "Близнецов", "Рака", "Льва", "Девы", "Весов", "Скорпиона",
           "Стрельца", "Козерога", "Водолея", "Рыб"],
    "en": ["Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo", "Libra", "Scorpio",
           "Sagittarius", "Capricorn", "Aquarius", "Pisces"],
}
OBLIQUITY_J2000 = math.radians(23.4392911)
COLOURS = "OBAFGKM"
# Deepobj.txt's kinds (the first words of its comment field) as the banks' kinds.
MESSIER_KINDS = [("Рассеянное скопление", "open"), ("Шаровое скопление", "globular"),
                 ("Скопление с туманностью", "nebula"), ("Область HII", "nebula"),
                 ("Отражательная туманность", "reflection"), ("Туманность", "nebula"),
                 ("Планетарная туманность", "planetary"), ("Остаток сверхновой", "remnant"),
                 ("Галактика", "galaxy"), ("Двойная звезда", "double"),
                 ("Астеризм", "asterism"), ("Звёздное облако", "cloud")]
STAR_BANK = re.compile(r"^(const [A-Z][A-Za-z0-9]{1,2}|colour [OBAFGKM]|mag [0-4]|"
                       r"decan (?:[1-9]|1[0-2])\.[1-3]|lat [0-4]|kind [a-z]+)$")


def name_head(text):
    """The first of a name entry's alternatives (cut at ".", then ",", then ";")."""
    text = text.split(".")[0].strip()
    text = text.split(",")[0].strip()
    return text.split(";")[0].strip()


def ecliptic(ra, dec):
    """J2000 equatorial to ecliptic (radians): (longitude 0..2pi, latitude)."""
    e = OBLIQUITY_J2000
    lon = math.atan2(math.sin(ra) * math.cos(e) + math.tan(dec) * math.sin(e), math.cos(ra))
    lat = math.asin(math.sin(dec) * math.cos(e) - math.cos(dec) * math.sin(e) * math.sin(ra))
    return lon % (2 * math.pi), lat


def _entry(text, offset):
    if offset < 1 or offset > len(text):
        return ""
    return text[offset:offset + text[offset - 1]].decode("cp1251")


def read_named_stars(data):
    """The stars yale.mdb names, in HR order: dicts hr, name {ru, en}, flam, bayer, sup,
    const, spectrum, mag, lon, lat (J2000 ecliptic, degrees)."""
    try:
        with open(os.path.join(data, "yale.mdb"), "rb") as f:
            mdb = f.read()
        with open(os.path.join(data, "yale.nme"), "rb") as f:
            nme = f.read()
        with open(os.path.join(data, "yale.cmm"), "rb") as f:
            cmm = f.read()
    except OSError as e:
        raise SourceError("the star catalogue: %s" % e)
    stars = []
    for at in range(0, len(mdb) - 53, 54):
        _hd, hr, name_off, _comment_off = struct.unpack_from("<IHHH", mdb, at)
        if not name_off:
            continue
        size = mdb[at + 10]
        flam, bayer, sup = (mdb[at + 11], mdb[at + 12], mdb[at + 13]) if size else (0, 0, 0)
        const = mdb[at + 14:at + 17].decode("ascii").strip() if size else ""
        spectrum = mdb[at + 19:at + 19 + mdb[at + 18]].decode("cp1251")
        ra, dec, _pmra, _pmdec, mag = struct.unpack_from("<fffff", mdb, at + 26)
        lon, lat = ecliptic(ra, dec)
        stars.append(dict(hr=hr, name={"ru": name_head(_entry(nme, name_off)),
                                       "en": name_head(_entry(cmm, name_off))},
                          flam=flam, bayer=bayer, sup=sup, const=const, spectrum=spectrum,
                          mag=mag, lon=math.degrees(lon), lat=math.degrees(lat)))
    return stars


def _sexagesimal(text):
    """'5°34'32.0"' or '-0°49'24"' (code page 1251 degree sign) as a number of units."""
    m = re.fullmatch(r"\s*(-?)(\d+)\xb0(\d+)'([\d.]+)\"\s*", text)
    if not m:
        return None
    value = int(m.group(2)) + int(m.group(3)) / 60 + float(m.group(4)) / 3600
    return -value if m.group(1) else value


def read_messier(data):
    """The Messier objects of Deepobj.txt, in order of their number: dicts code, name {ru, en}
    (empty where the catalogue gives only the code), const, mag, kind, lon, lat."""
    try:
        with open(os.path.join(data, "Deepobj.txt"), "rb") as f:
            lines = f.read().decode("cp1251").splitlines()
    except OSError as e:
        raise SourceError("the deep-sky catalogue: %s" % e)
    objects = []
    for line in lines:
        fields = line.split(";")
        if len(fields) < 10 or not re.fullmatch(r"M \d+", fields[2].strip()):
            continue
        code = fields[2].strip()
        ra, dec = _sexagesimal(fields[3]), _sexagesimal(fields[4])
        if ra is None or dec is None:
            raise SourceError("Deepobj.txt: %s has no position" % code)
        kind = next((k for prefix, k in MESSIER_KINDS if fields[9].startswith(prefix)), None)
        if kind is None:
            raise SourceError("Deepobj.txt: %s is of a kind the banks do not know: %r"
                              % (code, fields[9]))
        lon, lat = ecliptic(math.radians(ra * 15), math.radians(dec))
        names = {"ru": fields[0].strip(), "en": fields[1].strip()}
        objects.append(dict(code=code, name={l: ("" if n == code else n)
                                             for l, n in names.items()},
                            const=fields[8].strip(), mag=float(fields[7] or 0), kind=kind,
                            lon=math.degrees(lon), lat=math.degrees(lat)))
    objects.sort(key=lambda o: int(o["code"][2:]))
    return objects


def star_entries(data):
    """The sections a star base holds, in file order: dicts key, title {ru, en}, stars (the
    records it covers, brightest first) or messier (the object)."""
    stars = read_named_stars(data)
    by_name = {}
    for s in stars:
        by_name.setdefault((s["name"]["ru"], s["name"]["en"]), []).append(s)
    entries, done = [], set()
    for s in stars:
        if s["hr"] in done:
            continue
        group = by_name[(s["name"]["ru"], s["name"]["en"])]
        done.update(g["hr"] for g in group)
        entries.append(dict(key=",".join(str(g["hr"]) for g in group), title=dict(s["name"]),
                            stars=sorted(group, key=lambda g: g["mag"])))
    for m in read_messier(data):
        entries.append(dict(key=m["code"], title={"ru": "", "en": ""}, messier=m))
    return entries


def to_key(header):
    """The key of a star base's header as the program's reader takes it: the text between
    "[" and the first "]", trimmed; None without a "]"."""
    close = header.find("]")
    return header[1:close].strip() if header.startswith("[") and close > 0 else None


def star_key_lists(key, hr):
    """Whether a star base key (numbers separated by ",") lists HR number `hr`, as the
    program's reader reads it."""
    return any(to_int(piece.strip()) == hr for piece in key.split(","))


def _designation(star, lang, banks):
    const = banks.get("const " + star["const"])
    if const is None:
        raise SourceError("no bank paragraph [const %s]" % star["const"])
    genitive = const.title.split(";")[0].strip()
    if star["bayer"]:
        letter = GREEK[lang][star["bayer"] - 1]
        if star["sup"]:
            letter += "-%d" % star["sup"]
        return "%s %s" % (letter, genitive)
    if star["flam"]:
        return "%d %s" % (star["flam"], genitive)
    raise SourceError("HR %d has no designation: write its section by hand" % star["hr"])


def messier_code(code, lang):
    """A Messier code as a text of the language writes it: "М 31" with a Cyrillic letter in
    Russian."""
    return "\u041c" + code[1:] if lang == "ru" else code


def _number(value, lang, digits=1):
    text = "%.*f" % (digits, value)
    return text.replace(".", ",") if lang == "ru" else text


def _place(lang, lon, lat, template):
    sign = int(lon // 30)
    deg = lon - 30 * sign
    # Whole minutes, cut rather than rounded: a place never rounds into the next sign.
    d, m = int(deg), int((deg - int(deg)) * 60)
    side = {"ru": ("к северу", "к югу"), "en": ("north", "south")}[lang][lat < 0]
    return sign + 1, int(deg // 10) + 1, template.format(
        deg=d, min="%02d" % m, sign=SIGN_GENITIVE[lang][sign],
        lat=_number(abs(lat), lang), side=side)


def magnitude_class(mag):
    return 0 if mag < 1 else min(4, int(mag))


def latitude_class(lat):
    a = abs(lat)
    return 0 if a < 2 else 1 if a < 10 else 2 if a < 30 else 3 if a < 60 else 4


def read_star_banks(base, lang):
    """The hand-written sections {key: Section} and the banks {bank key: Section} of a star
    base's sources."""
    written, banks = {}, {}
    for s in read_sources(base, lang):
        if STAR_BANK.match(s.key):
            target = banks
            if len(s.paragraphs) != 1:
                raise SourceError("%s: [%s] must be one paragraph" % (s.where, s.key))
        elif re.fullmatch(r"\d+(,\d+)*|M \d+", s.key):
            target = written
        else:
            raise SourceError("%s: [%s] is neither a star's HR number, a Messier code nor a "
                              "bank key" % (s.where, s.key))
        if s.key in target:
            raise SourceError("%s: [%s] written twice" % (s.where, s.key))
        target[s.key] = s
    return written, banks


def _bank(banks, key):
    if key not in banks:
        raise SourceError("no bank paragraph [%s]" % key)
    return banks[key].paragraphs[0]


def compose_star(base, lang, entry, banks):
    """The paragraphs of a star's or a Messier object's composed section."""
    t = base["templates"][lang]
    if "messier" in entry:
        m = entry["messier"]
        kind = banks.get("kind " + m["kind"])
        const = banks.get("const " + m["const"])
        if kind is None or const is None:
            raise SourceError("no bank paragraph [kind %s] or [const %s]"
                              % (m["kind"], m["const"]))
        # The catalogue's names are cut to fit its fields: the base spells out the ones the
        # composed texts use.
        name = base.get("messier_names", {}).get(lang, {}).get(m["code"], m["name"][lang])
        code = messier_code(m["code"], lang)
        genitive, _, nominative = const.title.partition(";")
        first = t["messier_named" if name else "messier"].format(
            name=name, code=code, kind=kind.title, const=genitive.strip(),
            const_nom=nominative.strip(), mag=_number(m["mag"], lang))
        sign, decan, place = _place(lang, m["lon"], m["lat"], t["place_object"])
        return [" ".join([first, kind.paragraphs[0], const.paragraphs[0]]),
                " ".join([place, _bank(banks, "decan %d.%d" % (sign, decan))])]
    star = entry["stars"][0]
    if len(entry["stars"]) > 1:
        first = t["pair"].format(name=entry["title"][lang], designations=t["and"].join(
            _designation(s, lang, banks) for s in entry["stars"]),
            designation=_designation(star, lang, banks), mag=_number(star["mag"], lang))
    else:
        first = t["star"].format(name=entry["title"][lang],
                                 designation=_designation(star, lang, banks),
                                 mag=_number(star["mag"], lang))
    colour = star["spectrum"][:1].upper()
    colour = colour if colour in COLOURS else "M"
    sign, decan, place = _place(lang, star["lon"], star["lat"], t["place"])
    return [" ".join([first, _bank(banks, "colour " + colour),
                      _bank(banks, "mag %d" % magnitude_class(star["mag"])),
                      _bank(banks, "const " + star["const"])]),
            " ".join([place, _bank(banks, "decan %d.%d" % (sign, decan)),
                      _bank(banks, "lat %d" % latitude_class(star["lat"]))])]


def star_sections(base, lang, data):
    """The sections of a star base in file order: (entry, Section, composed)."""
    written, banks = read_star_banks(base, lang)
    out = []
    entries = star_entries(data)
    known = {e["key"] for e in entries}
    for key, s in written.items():
        if key not in known:
            raise SourceError("%s: [%s] is no section of the catalogues (a star's HR number, "
                              "pairs as the catalogue names them, or a Messier code)"
                              % (s.where, key))
    for e in entries:
        title = e["title"][lang]
        s = written.get(e["key"])
        if s is not None:
            if s.title and s.title != title:
                raise SourceError("%s: [%s] is titled %r, but the catalogue names it %r"
                                  % (s.where, e["key"], s.title, title))
            out.append((e, Section(e["key"], title, s.paragraphs, s.where), False))
            continue
        try:
            paragraphs = compose_star(base, lang, e, banks)
        except SourceError as err:
            raise SourceError("%s: [%s]: %s" % (base["folder"], e["key"], err))
        out.append((e, Section(e["key"], title, paragraphs, base["folder"]), True))
    return out


def render_stars(base, lang, sections):
    """A star base's text: the line "[]", the "/" comment naming the base, then the sections
    in catalogue order (stars by HR number, then the Messier objects), one paragraph a line."""
    out = ["[]", "/ " + base["comment"][lang]]
    for _e, s, _composed in sections:
        out.append("")
        out.append(("[%s] %s" % (s.key, s.title)).rstrip())
        out.extend(s.paragraphs)
    return "".join(line + "\r\n" for line in out)
