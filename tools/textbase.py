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


PARSERS = {"point": parse_pln_key, "comb": parse_comb_key, "aspect": parse_asp_key,
           "ruler": parse_ruler_key, "degree": parse_degree_key}

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
    # degree g of sign s in a degree-text file (format "degrees"): [s.g]
    "sign-degree": ("degree", [(s, g) for s in SIGNS for g in range(1, 31)]),
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
    elif base.get("compose") == "return":
        if not os.path.isfile(os.path.join(return_bank_folder(base), "bank.json")):
            raise SourceError("%s: a return base names its bank folder as \"bank\"" % folder)
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
    return read_sentences(read_sources(base, lang), valid, "combination")


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
FAMILIES = ("fused", "flowing", "tense")


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


def base_sections(base, lang):
    if base.get("compose") == "return":
        return compose_returns(base, lang)
    if base.get("compose") == "aspect":
        return compose_aspects(base, lang)
    if base.get("compose") == "combination":
        return compose_combinations(base, lang)
    return read_sources(base, lang)


def build(base, lang):
    """The bytes of one base file, from the sources."""
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
