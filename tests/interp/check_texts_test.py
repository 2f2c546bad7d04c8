#!/usr/bin/env python3
"""Tests of tools/make_texts.py and tools/check_texts.py on the small fixture bases of
tests/fixtures/texts: mini (twelve short sections of the Sun in the signs, both languages) and
rising (the Sun in Aries with each rising sign, in a base whose sections stand in groups).

Each fault case copies the fixture into a scratch folder, spoils one thing, and expects the
checker to name it; the untouched fixture must pass.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TREE = os.path.dirname(os.path.dirname(HERE))
TOOLS = os.path.join(TREE, "tools")
FIXTURE = os.path.join(TREE, "tests", "fixtures", "texts")
sys.path.insert(0, TOOLS)
import textbase  # noqa: E402

RU = os.path.join("mini", "ru", "sun.txt")
EN = os.path.join("mini", "en", "sun.txt")
RU_OUT = os.path.join("Txt", "Mini", "mini.txt")
EN_OUT = os.path.join("Txt", "Mini", "mini-e.txt")
RISING_JSON = os.path.join("rising", "base.json")
RISING_RU_OUT = os.path.join("Txt", "Mini", "rising.txt")
RISING_EN_OUT = os.path.join("Txt", "Mini", "rising-e.txt")


class Scratch:
    """A copy of the fixture texts and a data folder made from them."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="texts_")
        self.texts = os.path.join(self.dir, "texts")
        self.data = os.path.join(self.dir, "data")
        shutil.copytree(FIXTURE, self.texts)

    def close(self):
        shutil.rmtree(self.dir)

    def edit(self, rel, old, new):
        path = os.path.join(self.texts, rel)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        assert old in text, (rel, old)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, 1))

    def make(self):
        return subprocess.run([sys.executable, os.path.join(TOOLS, "make_texts.py"),
                               "--texts", self.texts, "--data", self.data],
                              capture_output=True, text=True)

    def check(self):
        r = subprocess.run([sys.executable, os.path.join(TOOLS, "check_texts.py"),
                            "--texts", self.texts, "--data", self.data],
                           capture_output=True, text=True)
        return r.returncode, r.stdout + r.stderr

    def read_out(self, rel):
        with open(os.path.join(self.data, rel), "rb") as f:
            return f.read()

    def write_out(self, rel, data):
        with open(os.path.join(self.data, rel), "wb") as f:
            f.write(data)


def expect_reported(test, spoil, expected):
    """Spoils a fresh copy of the fixture with `spoil` (given the Scratch) and expects the
    checker to fail naming `expected`."""
    s = Scratch()
    try:
        spoil(s)
        code, out = s.check()
        test.assertEqual(code, 1, out)
        test.assertIn(expected, out)
    finally:
        s.close()


class FixtureBase(unittest.TestCase):
    def setUp(self):
        self.s = Scratch()

    def tearDown(self):
        self.s.close()

    def expect_make_refused(self, expected, out_rel):
        """The generator fails naming `expected` and writes no file `out_rel`."""
        r = self.s.make()
        self.assertNotEqual(r.returncode, 0)
        self.assertIn(expected, r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.s.data, out_rel)))


class MakeTexts(FixtureBase):
    def test_clean_fixture_passes_and_is_deterministic(self):
        self.assertEqual(self.s.make().returncode, 0)
        first = self.s.read_out(RU_OUT), self.s.read_out(EN_OUT)
        self.assertEqual(self.s.make().returncode, 0)
        self.assertEqual(first, (self.s.read_out(RU_OUT), self.s.read_out(EN_OUT)))
        code, out = self.s.check()
        self.assertEqual(code, 0, out)

    def test_file_layout(self):
        self.s.make()
        data = self.s.read_out(RU_OUT)
        text = data.decode("cp1251")
        lines = text.split("\r\n")
        self.assertEqual(lines[0], "/ Малая проверочная база")
        self.assertNotIn("\n", text.replace("\r\n", ""))
        headers = [l for l in lines if l.startswith("[")]
        # Sections in key order whatever the key's form; the letter form stays as written.
        self.assertEqual(headers[:4], ["[1.1] Солнце в Овне", "[1.2] Солнце в Тельце",
                                       "[SU GE] Солнце в Близнецах", "[1.4] Солнце в Раке"])
        self.assertEqual(len(headers), 12)
        # Source comments are not carried over.
        self.assertNotIn("Проверочные тексты", text)

    def test_paragraph_lines_are_joined(self):
        self.s.edit(RU, "Смелый старт, азарт и желание",
                    "Смелый старт,\n   азарт и желание")
        self.s.edit(RU, "где ещё пусто.", "где ещё пусто.\n\nВторой абзац про Овна тут.")
        self.s.make()
        text = self.s.read_out(RU_OUT).decode("cp1251").split("\r\n")
        i = text.index("[1.1] Солнце в Овне")
        self.assertEqual(text[i + 1], "Смелый старт, азарт и желание первым войти туда, "
                                      "где ещё пусто.")
        self.assertEqual(text[i + 2], "Второй абзац про Овна тут.")
        self.assertEqual(text[i + 3], "")

    def test_character_without_cp1251_form_stops_the_base(self):
        self.s.edit(EN, "Generous warmth", "Generous warmth \u2192 naïveté")
        self.expect_make_refused("U+2192", EN_OUT)


class CheckTextsFaults(FixtureBase):
    # (what, file, old text, new text, expected words in the report)
    SOURCE_FAULTS = [
        ("missing key", RU, "[1.5] Солнце во Льве", "[1.13] Солнце во Льве",
         "no section for key [1.5]"),
        ("key no reader looks up", EN, "[1.5] Sun in Leo", "[1.5] Sun in Leo\nWarm.\n\n"
         "[17.5] Skyship in Leo", "[17.5]: key no reader looks up"),
        ("letter key with a number form the readers refuse", RU, "[1.6] Солнце в Деве",
         "[1.VI] Солнце в Деве", "key the readers cannot parse"),
        ("two sections for one key", EN, "[1.12] Sun in Pisces",
         "[SU PI] Sun in Pisces\nA second reading of the sign that no reader reaches.\n\n"
         "[1.12] Sun in Pisces", "a reader never reaches it"),
        ("duplicate body", EN, "Patience, simple pleasures and a stubbornness nothing can shift.",
         "A bold start, a taste for challenge and the urge to be first in.",
         "same body as Txt/Mini/mini-e.txt [1.1]"),
        ("equal once names are masked", RU,
         "Любопытство, быстрый ум и разговоры обо всём на свете подряд.",
         "Терпение Близнецов, вкус к простым радостям и упорство, которое не сдвинуть.",
         "once the names are masked"),
        ("equal once names are masked, English forms", EN,
         "Precision, usefulness, order in work and worry over small things.",
         "Generous warmth, a sense of theatre and the need of every Virgoan to be seen.",
         "once the names are masked"),
        ("sentence repeated with the names changed", EN,
         "Compassion, imagination and blurred edges between self and world.",
         "Compassion above all things, and always. Diplomacy, a sense of proportion and a "
         "partner to measure every Pisces by.", "sentence also in"),
        ("a rewrite of another section", RU,
         "Сострадание, воображение и размытые границы между собой и миром.",
         "Сострадание, дальние дороги, вера в смысл и щедрый, иногда бестактный энтузиазм.",
         "word runs are also in"),
        ("placeholder", EN, "Long roads", "TODO long roads", "placeholder 'TODO'"),
        ("Russian placeholder", RU, "Дальние дороги", "Заглушка: дальние дороги",
         "placeholder"),
        ("leftover braces", RU, "Точность, польза", "Точность {sign}, польза",
         "leftover braces"),
        ("leftover percent", EN, "Deep feeling", "Deep feeling 100%", "leftover %"),
        ("English words in the Russian file", RU, "Сострадание, воображение",
         "Сострадание, imagination, воображение", "Latin letters in the Russian text"),
        ("Russian in the English file", EN, "Independence, friendship",
         "Independence, дружба, friendship", "Cyrillic letters in the English text"),
        ("body below the minimum length", RU,
         "Долгое восхождение, дисциплина и ответственность за других.",
         "Долгое восхождение без конца и края.", "below the minimum 40"),
        ("empty body", EN, "A long climb, discipline and responsibility carried for others.\n",
         "", "[1.10]: empty body"),
    ]

    def test_each_fault_is_reported(self):
        for what, rel, old, new, expected in self.SOURCE_FAULTS:
            with self.subTest(what):
                def spoil(s):
                    s.edit(rel, old, new)
                    s.make()
                expect_reported(self, spoil, expected)

    def test_byte_outside_cp1251_is_reported(self):
        self.s.make()
        data = self.s.read_out(RU_OUT)
        self.s.write_out(RU_OUT, data.replace("Смелый".encode("cp1251"),
                                              b"\x98" + "мелый".encode("cp1251")))
        code, out = self.s.check()
        self.assertEqual(code, 1)
        self.assertIn("byte 0x98", out)

    def test_hand_edited_file_is_stale(self):
        self.s.make()
        data = self.s.read_out(EN_OUT)
        self.s.write_out(EN_OUT, data.replace(b"bold start", b"brave start"))
        code, out = self.s.check()
        self.assertEqual(code, 1)
        self.assertIn("differs from its sources", out)

    def test_lf_line_ends_are_reported(self):
        self.s.make()
        self.s.write_out(EN_OUT, self.s.read_out(EN_OUT).replace(b"\r\n", b"\n"))
        code, out = self.s.check()
        self.assertIn("lines must end in CR LF", out)

    def test_missing_file_and_missing_language(self):
        self.s.make()
        os.remove(os.path.join(self.s.data, EN_OUT))
        shutil.rmtree(os.path.join(self.s.texts, "mini", "ru"))
        code, out = self.s.check()
        self.assertEqual(code, 1)
        self.assertIn("mini-e.txt: missing", out)
        self.assertIn("no sources for language 'ru'", out)

    def test_roman_house_numbers_are_allowed_in_russian(self):
        self.s.edit(RU, "Смелый старт,", "Смелый старт в I и XII доме,")
        self.s.make()
        code, out = self.s.check()
        self.assertEqual(code, 0, out)

    def test_pending_keys_are_skipped_but_counted(self):
        self.s.make()
        code, out = self.s.check()
        self.assertEqual(code, 0, out)
        self.assertIn("180 sections of point-sign not written yet", out)


class GroupLines(FixtureBase):
    def lines(self, rel):
        return self.s.read_out(rel).decode("cp1251").split("\r\n")

    def test_each_group_line_stands_before_its_first_section(self):
        self.assertEqual(self.s.make().returncode, 0)
        for rel, groups in ((RISING_RU_OUT, ["{(Солнце в Овне)}", "{(Солнце в Тельце)}"]),
                            (RISING_EN_OUT, ["{(Sun in Aries)}", "{(Sun in Taurus)}"])):
            lines = self.lines(rel)
            self.assertEqual([l for l in lines if l.startswith("{")], groups)
            for group, first in zip(groups, ("[1.1] ", "[2.1] ")):
                header = next(i for i, l in enumerate(lines) if l.startswith(first))
                self.assertEqual(lines[header - 2:header], [group, ""])
        code, out = self.s.check()
        self.assertEqual(code, 0, out)

    def test_group_line_ends_the_section_before_it(self):
        self.s.make()
        groups = []
        sections = textbase.read_base_file(self.s.read_out(RISING_EN_OUT), groups)
        last_of_aries = textbase.find_section(sections, "point", (1, 12))
        self.assertEqual(last_of_aries[1], ["A quiet face over a bonfire."])
        self.assertEqual(groups[0], "(Sun in Aries)")
        self.assertEqual(groups[-1], "(Sun in Taurus)")

    def test_misplaced_groups_are_reported(self):
        # (what, language file, old line, new line, expected words in the report)
        cases = [
            ("a section under another sign's group", RISING_EN_OUT, "[2.1] Ascendant in Aries",
             "{(Sun in Aries)}\r\n[2.1] Ascendant in Aries",
             "[2.1]: stands under the group {(Sun in Aries)}, not {(Sun in Taurus)}"),
            ("sections before any group line", RISING_RU_OUT, "{(Солнце в Овне)}", "",
             "[1.1]: stands under no group line (wanted {(Солнце в Овне)})"),
            ("a group line without its closing brace", RISING_RU_OUT, "{(Солнце в Овне)}",
             "{(Солнце в Овне)", "stands under no group line"),
            ("a group broken by another", RISING_EN_OUT, "[1.7] Ascendant in Libra",
             "{(Sun in Taurus)}\r\n[2.1] Ascendant in Aries\r\nSteadiness first.\r\n"
             "{(Sun in Aries)}\r\n[1.7] Ascendant in Libra",
             "the group {(Sun in Aries)} comes back after another group"),
        ]
        for what, rel, old, new, expected in cases:
            with self.subTest(what):
                def spoil(s):
                    s.make()
                    data = s.read_out(rel)
                    spoiled = data.replace(old.encode("cp1251"), new.encode("cp1251"), 1)
                    self.assertNotEqual(data, spoiled)
                    s.write_out(rel, spoiled)
                expect_reported(self, spoil, expected)

    def test_group_titles_must_cover_every_sun_sign(self):
        self.s.edit(RISING_JSON, '"(Sun in Pisces)"]', ']')
        self.s.edit(RISING_JSON, '"(Sun in Aquarius)",', '"(Sun in Aquarius)"')
        self.expect_make_refused("needs 12 titles for 'en'", RISING_EN_OUT)

    def test_group_title_in_the_wrong_script(self):
        self.s.edit(RISING_JSON, '"(Солнце в Раке)"', '"(Sun in Cancer)"')
        self.s.make()
        code, out = self.s.check()
        self.assertEqual(code, 1)
        self.assertIn("the group title {(Sun in Cancer)} is not in the file's language", out)


class ReaderKeys(unittest.TestCase):
    def test_point_keys(self):
        cases = [("SU 5]", (1, 5)), ("1.5]", (1, 5)), ("MC 10]", (36, 10)), ("SU AR]", (1, 1)),
                 ("SU CP]", (1, 4)), ("AS CA]", (27, 10)), (" 3. 7]", (3, 7)),
                 ("101.12]", (101, 12)), ("1.AR]", None), ("XX AR]", None), ("SU  AR]", None),
                 ("1.5", None), ("0.5]", None)]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_pln_key(key), expected)

    def test_aspect_keys(self):
        cases = [("1.120.2]", (1, 10, 2)), ("1.4.2]", (1, 4, 2)), ("1.1200.2]", None),
                 ("1.8.110]", (1, 8, 36)), ("1. 36.2]", (1, 3, 2)), ("1.100.2]", None),
                 ("SU TRI MO]", (1, 10, 2)), ("SU  TRI MO]", None), ("SU XYZ MO]", None)]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_asp_key(key), expected)

    def test_ruler_keys_read_by_position(self):
        # the house in characters 3-4 of the header, the ruler's house in 7-8, whatever stands
        # between them
        cases = [("  2  10] Ruler", (2, 10)), (" 10   1] Ruler", (10, 1)), ("H 2 H10]", (2, 10)),
                 (" 12  12]", (12, 12)), ("2.10] x", None), ("  0   3] x", None),
                 ("  2 10] x", None)]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_ruler_key(key), expected)
        self.assertEqual(len(textbase.KEY_RULES["house-ruler"][1]), 144)

    def test_numbered_keys_read_in_characters_2_3(self):
        # the Moon-in-sign window takes a whole number there; the texts of the day want the
        # number as two digits with a leading zero
        cases = [("07] The seventh day", (7,), (7,)), (" 7] x", (7,), None),
                 ("7 ] x", (7,), None), ("12]", (12,), (12,)), ("30] x", (30,), (30,)),
                 ("7] x", None, None), ("00] x", None, None), ("-1] x", None, None),
                 ("1.1] x", None, None), ("107] x", (10,), (10,))]
        for key, sign, day in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_sign_number_key(key), sign)
                self.assertEqual(textbase.parse_day_number_key(key), day)
        self.assertEqual([len(textbase.KEY_RULES[r][1]) for r in
                          ("moon-sign", "moon-day", "sun-year", "sun-month", "sun-month-day")],
                         [12, 30, 32, 13, 30])

    def test_comb_keys(self):
        cases = [("1.5.12]", (1, 5, 12)), (" 2. 3. 4]", (2, 3, 4)), ("1.5]", None),
                 ("1.0.3]", None)]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_comb_key(key), expected)

    def test_number_keys(self):
        # the planets' and the signs' texts: the key trimmed, a whole number
        cases = [("3]", (3,)), (" 12 ] Pisces", (12,)), ("3x]", None), ("0]", None),
                 ("1.5]", None), ("]", None), ("7", None)]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.parse_number_key(key), expected)

    def test_reader_takes_the_first_matching_section(self):
        data = ("/ base\r\n[2.1] a\r\n  first\r\n/ skipped\r\n\r\n[MO AR] b\r\nsecond\r\n"
                "[MO TA] c\r\nthird   \r\n").encode("cp1251")
        sections = textbase.read_base_file(data)
        self.assertEqual(textbase.find_section(sections, "point", (2, 1)),
                         ("[2.1] a", ["  first"]))
        self.assertEqual(textbase.find_section(sections, "point", (2, 2)),
                         ("[MO TA] c", ["third"]))
        self.assertIsNone(textbase.find_section(sections, "point", (2, 3)))


COMBIN_SOURCES = os.path.join(TREE, "tools", "texts", "combin")
COMBIN_FILES = {"ru": os.path.join(TREE, "data", "Txt", "combin.txt"),
                "en": os.path.join(TREE, "data", "Txt", "combin-e.txt")}


class CombinationBase(unittest.TestCase):
    """The composed base of a point in a sign and a house: which relation sentences belong to
    which keys, and the shipped files read as the reader reads them."""

    @classmethod
    def setUpClass(cls):
        cls.base = textbase.load_base(COMBIN_SOURCES)
        cls.bank = {lang: {k: s.paragraphs[0]
                           for k, s in textbase.read_comb_bank(cls.base, lang).items()}
                    for lang in textbase.LANGUAGES}
        cls.sections = {}
        for lang, path in COMBIN_FILES.items():
            with open(path, "rb") as f:
                cls.sections[lang] = textbase.read_base_file(f.read())
        cls.pending = set(cls.base["parts"][0].get("pending", []))

    def test_relations_belong_to_their_keys(self):
        cases = [
            # Mars in Aries in the 1st: its own sign on an angle, its own house, fire on fire
            ((5, 1, 1), ["rulership angular", "5 natural", "fire.fire element"]),
            ((5, 1, 6), ["rulership cadent", "5 joy"]),           # Mars rejoices in the 6th
            ((5, 10, 8), ["exaltation succedent", "5 natural"]),  # earth and water: neither
            ((1, 7, 3), ["fall cadent", "air.air element"]),      # the Sun in Libra
            ((1, 7, 4), ["fall angular"]),                        # air in a water house: no element
            ((1, 1, 9), ["exaltation cadent", "1 joy", "fire.fire element"]),
            ((1, 5, 5), ["rulership succedent", "1 natural", "fire.fire element"]),
            ((7, 6, 12), ["7 joy"]),                              # Saturn in the 12th
            ((7, 4, 12), ["detriment cadent", "7 joy", "water.water element"]),
            ((7, 10, 11), ["rulership succedent", "7 natural", "earth.air element"]),
            ((3, 6, 6), ["rulership cadent", "3 natural", "earth.earth element"]),  # not exalted
            ((3, 12, 1), ["detriment angular", "3 joy", "water.fire element"]),   # not fallen
            ((2, 2, 3), ["exaltation cadent", "2 joy", "earth.air element"]),
            ((4, 12, 5), ["exaltation succedent", "4 joy", "water.fire element"]),
            ((8, 11, 11), ["rulership succedent", "8 natural", "air.air element"]),
            ((10, 2, 8), ["detriment succedent", "10 natural"]),
            ((6, 3, 2), ["detriment succedent", "air.earth element"]),
            ((6, 3, 5), ["detriment succedent"]),                 # air in a fire house: none
            ((11, 1, 1), ["fire.fire element"]),                  # the Node has no dignity
            ((16, 5, 12), ["fire.water element"]),
            ((13, 2, 1), []),
        ]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(textbase.combination_relations(*key), expected)

    def test_shipped_sections_hold_their_own_sentences(self):
        told = 0
        for lang in textbase.LANGUAGES:
            bank = self.bank[lang]
            relations = [k for k in bank if not k.endswith((" house", " sign", " on"))]
            for p, s, h in textbase.KEY_RULES["point-sign-house"][1]:
                found = textbase.find_section(self.sections[lang], "comb", (p, s, h))
                if p in self.pending:
                    continue
                self.assertIsNotNone(found, (lang, p, s, h))
                body = " ".join(found[1])
                # its own sign's sentence and no other sign's: two keys that differ only in
                # the sign share no sign sentence
                signs = [z for z in textbase.SIGNS if bank["%d.%d sign" % (p, z)] in body]
                self.assertEqual(signs, [s], (lang, p, s, h))
                houses = [k for k in textbase.HOUSES if bank["%d.%d house" % (p, k)] in body]
                self.assertEqual(houses, [h], (lang, p, s, h))
                self.assertIn(bank["%d.%d on" % (s, h)], body)
                # a relation sentence exactly where its relation holds
                want = set(textbase.combination_relations(p, s, h))
                got = {r for r in relations if bank[r] in body}
                self.assertEqual(got, want, (lang, p, s, h))
                told += 1
        self.assertGreater(told, 0)

    def test_titles_name_the_point_sign_and_house(self):
        cases = [("en", (5, 5, 10), "Mars in Leo in the 10th house"),
                 ("ru", (5, 5, 10), "Марс во Льве в X доме"),
                 ("en", (1, 7, 1), "Sun in Libra in the 1st house"),
                 ("ru", (2, 3, 12), "Луна в Близнецах в XII доме")]
        for lang, key, title in cases:
            with self.subTest(title):
                if key[0] in self.pending:
                    continue
                header, _ = textbase.find_section(self.sections[lang], "comb", key)
                self.assertEqual(header, "[%d.%d.%d] %s" % (key + (title,)))


def expect_faults(case, cases):
    """Each (old, new, tool, expected): on a fresh scratch base, the English bank's `old` made
    `new`, and `tool` fails naming `expected` (check_texts.py after a make that succeeds)."""
    for old, new, tool, expected in cases:
        with case.subTest(expected):
            case.tearDown()
            case.setUp()
            case.edit("en", old, new)
            if tool == "check_texts.py":
                case.assertEqual(case.run_tool("make_texts.py").returncode, 0)
            r = case.run_tool(tool)
            case.assertNotEqual(r.returncode, 0)
            case.assertIn(expected, r.stdout + r.stderr)


class ScratchBank(unittest.TestCase):
    """A composed base copied into a scratch folder (self.dir, self.texts, self.data), its
    English and Russian bank files in self.bank, made and checked there."""

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_tool(self, tool):
        return subprocess.run([sys.executable, os.path.join(TOOLS, tool), "--texts", self.texts,
                               "--data", self.data], capture_output=True, text=True)

    def edit(self, lang, old, new):
        with open(self.bank[lang], encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        with open(self.bank[lang], "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, 1))


ASPECT_SOURCES = os.path.join(TREE, "tools", "texts", "aspect")
ASC_MC = "27-ascendant.txt"


class AspectBase(ScratchBank):
    """The composed aspect base: the keys the orbs allow, and a scratch base holding the shipped
    bank of the Ascendant and the MC only (every other first point pending)."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="aspects_")
        self.texts = os.path.join(self.dir, "texts")
        self.data = os.path.join(self.dir, "data")
        folder = os.path.join(self.texts, "aspect")
        for lang in textbase.LANGUAGES:
            os.makedirs(os.path.join(folder, lang))
            shutil.copy(os.path.join(ASPECT_SOURCES, lang, ASC_MC), os.path.join(folder, lang))
        with open(os.path.join(ASPECT_SOURCES, "base.json"), encoding="utf-8") as f:
            base = json.load(f)
        base["parts"][0]["pending"] = list(range(1, 17))
        with open(os.path.join(folder, "base.json"), "w", encoding="utf-8") as f:
            json.dump(base, f, ensure_ascii=False)
        self.bank = {lang: os.path.join(folder, lang, ASC_MC) for lang in textbase.LANGUAGES}

    def bank_text(self, lang, key):
        with open(self.bank[lang], encoding="utf-8") as f:
            lines = f.read().split("\n")
        i = lines.index("[%s]" % key)
        return lines[i + 1]

    def test_keys_are_the_aspects_the_orbs_allow(self):
        keys = set(textbase.aspect_keys())
        self.assertEqual(len(keys), 2100)
        cases = [((1, 1, 3), True), ((1, 2, 3), False),      # Mercury: only on the Sun
                 ((1, 5, 4), True), ((1, 6, 4), False),      # Venus: up to the semisquare
                 ((3, 7, 4), True), ((3, 8, 4), False),      # Mercury-Venus: up to 72 degrees
                 ((11, 14, 12), True), ((11, 1, 12), False),  # the Nodes: opposite only
                 ((2, 1, 3), True), ((16, 13, 36), True), ((27, 8, 36), True),
                 ((3, 1, 1), False), ((36, 8, 27), False)]   # the first point is the lower
        for key, present in cases:
            with self.subTest(key):
                self.assertEqual(key in keys, present)

    def test_every_key_text_parses_back_as_the_reader_reads_it(self):
        for p1, a, p2 in textbase.aspect_keys():
            text = textbase.aspect_key_text(p1, textbase.ASPECT_ANGLES[a - 1], p2)
            self.assertEqual(textbase.parse_asp_key(text + "]"), (p1, a, p2), text)
        self.assertEqual(textbase.aspect_key_text(27, 90, 36), "27.090.110")
        self.assertEqual(textbase.aspect_key_text(5, 0, 27), "5.000.101")

    def test_sections_are_composed_from_the_bank(self):
        r = self.run_tool("make_texts.py")
        self.assertEqual(r.returncode, 0, r.stderr)
        r = self.run_tool("check_texts.py")
        # one family paragraph serves five squares, oppositions ...: not a rewrite
        self.assertEqual(r.returncode, 0, r.stdout)
        for lang, out, title in (("en", "Txt/Tormac/aspect-e.txt", "Ascendant square Midheaven"),
                                 ("ru", "Txt/Tormac/aspect.txt",
                                  "Асцендент квадрат Середина неба")):
            with open(os.path.join(self.data, out), "rb") as f:
                sections = textbase.read_base_file(f.read())
            self.assertEqual(len(sections), 14)
            header, body = textbase.find_section(sections, "aspect", (27, 8, 36))
            self.assertEqual(header, "[27.090.110] " + title)
            self.assertEqual(body, [self.bank_text(lang, "27.110 tense") + " " +
                                    self.bank_text(lang, "27 090")])
            _, trine = textbase.find_section(sections, "aspect", (27, 10, 36))
            self.assertTrue(trine[0].startswith(self.bank_text(lang, "27.110 flowing")))

    def test_bank_faults_are_named(self):
        sentence = self.bank_text("en", "27 090")
        cases = [
            # a bank sentence copied into a paragraph is a repeat, names masked or not
            ("Privacy is hard to keep,", sentence + " Privacy is hard to keep,",
             "check_texts.py", "sentence also in"),
            ("The person and the role are one.", "Short.\n\n[27.110 fused]\n",
             "make_texts.py", "written twice"),
            ("[27.110 tense]", "[27.110 tensed]", "make_texts.py", "is neither"),
            ("[27.110 tense]", "[1.3 tense]\nNo.\n\n[27.110 tense]", "make_texts.py",
             "is no pair whose tense aspects can occur"),
        ]
        expect_faults(self, cases)

    def test_paragraph_outside_its_word_range(self):
        self.edit("ru", self.bank_text("ru", "27.110 fused"),
                  "Человек и роль слиты, и частную жизнь сохранить трудно.")
        self.assertEqual(self.run_tool("make_texts.py").returncode, 0)
        r = self.run_tool("check_texts.py")
        self.assertNotEqual(r.returncode, 0)
        self.assertIn("paragraph of 9 words, outside 50-80", r.stdout)


RETURN_SOURCES = os.path.join(TOOLS, "texts")


class ReturnBases(unittest.TestCase):
    """The return bases: their keys, and a scratch copy of the shipped bank with the lunar and
    the solar house bases drawing on it."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="returns_")
        self.texts = os.path.join(self.dir, "texts")
        self.data = os.path.join(self.dir, "data")
        for name in ("returns", "lunar-hhr", "solar-hhr"):
            shutil.copytree(os.path.join(RETURN_SOURCES, name), os.path.join(self.texts, name))

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_tool(self, tool):
        return subprocess.run([sys.executable, os.path.join(TOOLS, tool), "--texts", self.texts,
                               "--data", self.data], capture_output=True, text=True)

    def bank(self, lang):
        return textbase.read_return_bank(os.path.join(self.texts, "returns"), lang)

    def edit_bank(self, lang, old, new):
        folder = os.path.join(self.texts, "returns", lang)
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            if old in text:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text.replace(old, new, 1))
                return
        self.fail("no %r in the %s bank" % (old, lang))

    def test_keys_of_the_readers(self):
        rules = textbase.KEY_RULES
        self.assertEqual(len(rules["return-cusp-house"][1]), 144)
        # the natal aspects without the Ascendant-MC pair: the reader walks first points 1..16
        self.assertEqual(len(rules["return-aspect"][1]), 2086)
        self.assertEqual(len(rules["return-radix"][1]), 3584)
        own, radix = set(rules["return-aspect"][1]), set(rules["return-radix"][1])
        cases = [((2, 1, 2), radix, True),      # the return's Moon on the natal Moon
                 ((10, 8, 1), radix, True),     # the return's Sun square natal Pluto
                 ((1, 8, 3), radix, True),      # any angle between the charts' Sun and Mercury
                 ((1, 8, 3), own, False), ((1, 1, 3), own, True),
                 ((16, 14, 36), own, True), ((27, 8, 36), own, False), ((2, 1, 27), radix, False)]
        for key, keys, present in cases:
            with self.subTest(key):
                self.assertEqual(key in keys, present)
        for rule in ("return-cusp-house", "return-aspect", "return-radix"):
            parse = textbase.PARSERS[rules[rule][0]]
            for key in rules[rule][1]:
                self.assertEqual(parse(textbase.return_key_text(rule, key) + "]"), key)

    def test_sections_are_composed_from_the_shared_bank(self):
        r = self.run_tool("make_texts.py")
        self.assertEqual(r.returncode, 0, r.stderr)
        r = self.run_tool("check_texts.py")
        self.assertEqual(r.returncode, 0, r.stdout)
        for lang, titles in (("ru", ("Куспид V дома Лунара в II доме радикса",
                                     "Куспид V дома Соляра в II доме радикса")),
                             ("en", ("Lunar 5th cusp in the natal 2nd house",
                                     "Solar 5th cusp in the natal 2nd house"))):
            bank = self.bank(lang)
            bodies = []
            for kind, out, title in zip(("lunar", "solar"), ("Lunar/LHHR", "Solar/SHHR"), titles):
                name = out + ("-e" if lang == "en" else "") + ".txt"
                with open(os.path.join(self.data, "Txt", name), "rb") as f:
                    sections = textbase.read_base_file(f.read())
                self.assertEqual(len(sections), 144)
                header, body = textbase.find_section(sections, "point", (105, 2))
                self.assertEqual(header, "[105.2] " + title)
                self.assertEqual(body, [" ".join(bank[k].paragraphs[0] for k in (
                    "5 %s house" % kind, "5.2 cusp", "2 field"))])
                bodies.append(body)
            # the month and the year each have their frame
            self.assertNotEqual(bodies[0], bodies[1])

    def test_aspect_sections_tell_the_frame_of_their_kind(self):
        """The shipped aspect bases: the month and the year frame the same pair differently,
        and a return point to a natal point tells what the natal point stands for."""
        for lang in textbase.LANGUAGES:
            bank = textbase.read_return_bank(os.path.join(RETURN_SOURCES, "returns"), lang)
            bodies = {}
            for name in ("lunar-pa", "solar-pa", "lunar-par"):
                base = textbase.load_base(os.path.join(RETURN_SOURCES, name))
                sections = {s.key: s for s in textbase.compose_returns(base, lang)}
                rule = base["parts"][0]["rule"]
                self.assertEqual(len(sections), len(textbase.KEY_RULES[rule][1]), name)
                bodies[name] = sections["5.090.7"].paragraphs[0]
            text = lambda k: bank[k].paragraphs[0]
            self.assertEqual(bodies["lunar-pa"], " ".join(
                text(k) for k in ("5 lunar tense", "5.7 pair", "090 aspect")))
            self.assertEqual(bodies["solar-pa"], " ".join(
                text(k) for k in ("5 solar tense", "5.7 pair", "090 aspect")))
            # natal Mars, the return's Saturn: Saturn's frame, then natal Mars
            self.assertEqual(bodies["lunar-par"], " ".join(
                text(k) for k in ("7 lunar tense", "5 natal", "5.7 radix", "090 aspect")))

    def test_bank_faults_are_named(self):
        cases = [("[5.2 cusp]", "[13.2 cusp]", "make_texts.py", "is no sentence of the return banks"),
                 ("[5.2 cusp]", "[5.3 cusp]", "make_texts.py", "written twice"),
                 ("[5.2 cusp]", "[5.2 cusp]\nOne more.\n", "make_texts.py", "must be one paragraph"),
                 ("[2 field]", "", "check_texts.py", "no section for key [105.2]")]
        for old, new, tool, expected in cases:
            with self.subTest(expected):
                self.tearDown()
                self.setUp()
                if not new:  # the whole entry goes
                    old = "%s\n%s\n" % (old, self.bank("en")[old[1:-1]].paragraphs[0])
                self.edit_bank("en", old, new)
                if tool == "check_texts.py":
                    self.assertEqual(self.run_tool("make_texts.py").returncode, 0)
                r = self.run_tool(tool)
                self.assertNotEqual(r.returncode, 0)
                self.assertIn(expected, r.stdout + r.stderr)


SYNASTRY_SOURCES = os.path.join(TREE, "tools", "texts", "brandor")


class SynastryBase(ScratchBank):
    """The composed synastry aspect base [her point.angle.his point]: a scratch base holding the
    shipped sentences of her and his points, the aspects' sentences and the pairs of her Venus
    only (her other points pending)."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="synastry_")
        self.texts = os.path.join(self.dir, "texts")
        self.data = os.path.join(self.dir, "data")
        folder = os.path.join(self.texts, "brandor")
        self.bank = {}
        for lang in textbase.LANGUAGES:
            os.makedirs(os.path.join(folder, lang))
            src = os.path.join(SYNASTRY_SOURCES, lang)
            for name in sorted(os.listdir(src)):
                if name.endswith(".txt") and "-pairs-" not in name:
                    shutil.copy(os.path.join(src, name), os.path.join(folder, lang))
            lines = []
            for name in sorted(os.listdir(src)):
                if "-pairs-" in name:
                    with open(os.path.join(src, name), encoding="utf-8") as f:
                        text = f.read().split("\n")
                    for i, line in enumerate(text):
                        if line.startswith("[4.") and line.endswith(" pair]"):
                            lines += [line, text[i + 1], ""]
            self.bank[lang] = os.path.join(folder, lang, "10-venus.txt")
            with open(self.bank[lang], "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
        with open(os.path.join(SYNASTRY_SOURCES, "base.json"), encoding="utf-8") as f:
            base = json.load(f)
        base["parts"][0]["pending"] = [p for p in range(1, 17) if p != 4]
        with open(os.path.join(folder, "base.json"), "w", encoding="utf-8") as f:
            json.dump(base, f, ensure_ascii=False)
        self.folder = folder

    def sentence(self, lang, key):
        for s in textbase.read_sources(textbase.load_base(self.folder), lang):
            if s.key == key:
                return s.paragraphs[0]
        raise KeyError(key)

    def test_keys_pair_every_point_of_hers_with_every_point_of_his(self):
        keys = textbase.KEY_RULES["synastry-aspect"][1]
        self.assertEqual(len(keys), 16 * 14 * 16)
        self.assertEqual(len(set(keys)), len(keys))
        # across two charts nothing bounds Mercury or Venus by the Sun, and the Nodes of one
        # chart may stand anywhere from the other's
        for key in [(1, 2, 3), (1, 14, 4), (11, 1, 12), (12, 8, 11), (5, 10, 5), (16, 14, 16)]:
            self.assertIn(key, keys)
            text = "%d.%03d.%d" % (key[0], textbase.ASPECT_ANGLES[key[1] - 1], key[2])
            self.assertEqual(textbase.parse_asp_key(text + "] title"), key)

    def test_sections_are_pair_hers_his_and_the_aspects_sentence(self):
        r = self.run_tool("make_texts.py")
        self.assertEqual(r.returncode, 0, r.stderr)
        r = self.run_tool("check_texts.py")
        self.assertEqual(r.returncode, 0, r.stdout)
        self.assertIn("3360 sections of synastry-aspect not written yet", r.stdout)
        cases = [("en", "Txt/Brandor-e.txt", (4, 10, 5), "Her Venus trine his Mars", "flowing",
                  "120"),
                 ("en", "Txt/Brandor-e.txt", (4, 14, 13), "Her Venus opposite his Black Moon",
                  "tense", "180"),
                 ("ru", "Txt/Brandor.txt", (4, 10, 5), "Её Венера в трине к его Марсу",
                  "flowing", "120"),
                 ("ru", "Txt/Brandor.txt", (4, 1, 2), "Её Венера в соединении с его Луной",
                  "fused", "000"),
                 ("ru", "Txt/Brandor.txt", (4, 8, 16), "Её Венера в квадрате к его Хирону",
                  "tense", "090")]
        for lang, out, key, title, family, angle in cases:
            with self.subTest(title):
                with open(os.path.join(self.data, out), "rb") as f:
                    sections = textbase.read_base_file(f.read())
                self.assertEqual(len(sections), 16 * 14)
                header, body = textbase.find_section(sections, "aspect", key)
                self.assertEqual(header, "[4.%s.%d] %s" % (angle, key[2], title))
                want = [self.sentence(lang, "4.%d pair" % key[2]),
                        self.sentence(lang, "her 4 " + family),
                        self.sentence(lang, "his %d %s" % (key[2], family)),
                        self.sentence(lang, angle + " way")]
                self.assertEqual(body, [" ".join(want)])

    def test_bank_faults_are_named(self):
        pair = self.sentence("en", "4.5 pair")
        cases = [
            ("[4.5 pair]", "[4.5 pair]\nTwice.\n\n[4.5 pair]", "make_texts.py",
             "written twice"),
            ("[4.5 pair]", "[4.17 pair]", "make_texts.py", "is none of"),
            ("[4.5 pair]", "[her 4 warm]\nNo.\n\n[4.5 pair]", "make_texts.py", "is none of"),
            # a pair's sentence missing: its fourteen sections are missing
            ("[4.5 pair]\n" + pair, "", "check_texts.py", "no section for key [4.10.5]"),
            # a pair's sentence copied into another: a repeat, names masked
            ("[4.6 pair]\n", "[4.6 pair]\n" + pair.replace("Mars", "Jupiter") + " ",
             "check_texts.py", "sentence also in"),
        ]
        expect_faults(self, cases)


DEGREE_RU_OUT = os.path.join("Txt", "Mini", "degrees.txt")
DEGREE_EN_OUT = os.path.join("Txt", "Mini", "degrees-e.txt")


def made_up_words(letters, count, start):
    """`count` different words of two syllables from `letters` (consonants, then vowels), from
    number `start` on: no two entries share a word, so none repeats another."""
    cons, vows = letters
    out = []
    n = start
    while len(out) < count:
        a, b, c, d = (n // len(vows)) % len(cons), n % len(vows), (n // 7) % len(cons), \
            (n // 3) % len(vows)
        out.append(cons[a] + vows[b] + cons[c] + vows[d] + cons[(a + c) % len(cons)])
        n += 1
    return out


class DegreeBase(unittest.TestCase):
    """A degree-text base: the first sign written, the others pending."""

    def setUp(self):
        self.s = Scratch()
        folder = os.path.join(self.s.texts, "degrees")
        for lang, letters in (("ru", ("бвгджзклмнпрстфхц", "аеиоуыя")),
                              ("en", ("bcdfghjklmnprstvz", "aeiouy"))):
            os.makedirs(os.path.join(folder, lang))
            lines = []
            for g in range(1, 31):
                words = made_up_words(letters, 9, 9 * g + (500 if lang == "en" else 0))
                lines += ["[1.%d]" % g, " ".join(words).capitalize() + ".", ""]
            with open(os.path.join(folder, lang, "01.txt"), "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
        base = {"file": "Txt/Mini/degrees.txt", "format": "degrees",
                "comment": {"ru": "Проверочные градусы", "en": "Test degrees"},
                "groups": {"ru": ["Знак %s" % "абвгдежзиклм"[i] for i in range(12)],
                           "en": ["Sign %s" % "abcdefghijkl"[i] for i in range(12)]},
                "parts": [{"rule": "sign-degree", "min_chars": 20, "words": [5, 20],
                           "pending": list(range(2, 13))}]}
        with open(os.path.join(folder, "base.json"), "w", encoding="utf-8") as f:
            json.dump(base, f, ensure_ascii=False)
        self.folder = folder

    def tearDown(self):
        self.s.close()

    def test_layout_is_the_readers_and_the_check_passes(self):
        self.assertEqual(self.s.make().returncode, 0)
        lines = self.s.read_out(DEGREE_EN_OUT).decode("cp1251").split("\r\n")
        self.assertEqual(lines[:3], ["/ Test degrees", "", "[ 1] Sign a"])
        self.assertTrue(lines[3].startswith("   1 "))
        self.assertTrue(lines[32].startswith("  30 "))
        titles, entries, strays = textbase.read_degree_file(self.s.read_out(DEGREE_RU_OUT))
        self.assertEqual(titles, {1: "Знак а"})
        self.assertEqual(sorted(entries), [(1, g) for g in range(1, 31)])
        self.assertEqual(strays, [])
        code, out = self.s.check()
        self.assertEqual(code, 0, out)
        self.assertIn("330 degrees not written yet", out)

    def test_a_slash_in_a_text_is_refused(self):
        path = os.path.join(self.folder, "en", "01.txt")
        with open(path, encoding="utf-8") as f:
            text = f.read()
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace("[1.7]\n", "[1.7]\nOne/two ", 1))
        r = self.s.make()
        self.assertNotEqual(r.returncode, 0)
        self.assertIn("[1.7] holds \"/\"", r.stderr)

    def test_a_missing_degree_and_a_lost_line_are_named(self):
        self.s.make()
        data = self.s.read_out(DEGREE_RU_OUT).decode("cp1251").split("\r\n")
        # degree 12 gone, a line the reader would pass over before the first sign
        data = [l for l in data if not l.startswith("  12 ")]
        data.insert(1, "  stray text")
        self.s.write_out(DEGREE_RU_OUT, "\r\n".join(data).encode("cp1251"))
        code, out = self.s.check()
        self.assertEqual(code, 1, out)
        self.assertIn("[ 1] 12: no entry", out)
        self.assertIn("an entry line outside a sign", out)
        self.assertIn("differs from its sources", out)


TRANSIT_BASES = ["transit-business", "transit-health", "transit-love"]


class TransitBases(unittest.TestCase):
    """The composed transit bases as shipped: each section [k.angle.q] holds the sentence of its
    pair (q, k) and that pair's sentence stands in no other section; the transiting and the
    radix point's sentences follow the aspect's family and nothing else."""

    @classmethod
    def setUpClass(cls):
        cls.cases = []
        for name in TRANSIT_BASES:
            base = textbase.load_base(os.path.join(TREE, "tools", "texts", name))
            for lang in textbase.LANGUAGES:
                bank = {k: s.paragraphs[0]
                        for k, s in textbase.read_transit_bank(base, lang).items()}
                with open(os.path.join(TREE, "data", textbase.output_name(base, lang)),
                          "rb") as f:
                    sections = textbase.read_base_file(f.read())
                bodies = {}
                for header, body in sections:
                    bodies[textbase.parse_asp_key(header[1:])] = " ".join(body)
                cls.cases.append((name, lang, bank, bodies))

    def test_every_key_is_the_radix_point_an_angle_and_the_transiting_point(self):
        keys = textbase.KEY_RULES["transit-aspect"][1]
        self.assertEqual(len(keys), 16 * 14 * 16)
        cases = [("1.120.5]", (1, 10, 5)), ("16.000.16]", (16, 1, 16)),
                 ("11.180.12]", (11, 14, 12)), ("2.040.3]", (2, 4, 3))]
        for text, key in cases:
            with self.subTest(text):
                self.assertEqual(textbase.parse_asp_key(text), key)
                self.assertIn(key, keys)

    def test_a_pair_sentence_is_in_its_fourteen_aspects_only(self):
        for name, lang, bank, bodies in self.cases:
            for q in textbase.POINTS:
                for k in textbase.POINTS:
                    sentence = bank["%d.%d pair" % (q, k)]
                    holding = sorted(key for key, body in bodies.items() if sentence in body)
                    self.assertEqual(holding, [(k, a, q) for a in range(1, 15)],
                                     (name, lang, q, k))

    def test_family_sentences_change_with_the_family_only(self):
        for name, lang, bank, bodies in self.cases:
            for role in ("transit", "radix"):
                for p in textbase.POINTS:
                    three = {f: bank["%d %s %s" % (p, role, f)] for f in textbase.FAMILIES}
                    self.assertEqual(len(set(three.values())), 3, (name, lang, role, p))
                    for (k, a, q), body in bodies.items():
                        if (q if role == "transit" else k) != p:
                            continue
                        family = textbase.FAMILY_OF_ANGLE[textbase.ASPECT_ANGLES[a - 1]]
                        found = [f for f, t in three.items() if t in body]
                        self.assertEqual(found, [family], (name, lang, role, k, a, q))

    @staticmethod
    def scratch():
        """A scratch folder with a copy of the business base and the timing sentences: (the
        folder, its texts folder)."""
        root = tempfile.mkdtemp(prefix="transit_")
        texts = os.path.join(root, "texts")
        for name in ("transit-business", "transit-timing"):
            shutil.copytree(os.path.join(TREE, "tools", "texts", name), os.path.join(texts, name))
        return root, texts

    def test_bank_faults_are_named(self):
        """A scratch copy of the business base and the timing sentences, spoilt one way each."""
        cases = [
            # a key outside the banks stops the base
            ("transit-business", "en", "[1 transit fused]", "[17 transit fused]",
             "make_texts.py", "is no sentence of the transit banks"),
            ("transit-business", "ru", "[3.3 pair]", "[3.3 pair]\nЕщё.\n\n[3.3 pair]",
             "make_texts.py", "written twice"),
            # a timing sentence not written: the sections of that speed and angle are missing
            ("transit-timing", "en", "[weeks 150]", "[weeks 155]", "make_texts.py",
             "is no sentence of the timing bank"),
        ]
        for folder, lang, old, new, tool, expected in cases:
            with self.subTest(expected):
                root, texts = self.scratch()
                try:
                    src = os.path.join(texts, folder, lang)
                    for name in sorted(os.listdir(src)):
                        path = os.path.join(src, name)
                        with open(path, encoding="utf-8") as f:
                            text = f.read()
                        if old in text:
                            break
                    with open(path, "w", encoding="utf-8") as f:
                        f.write(text.replace(old, new, 1))
                    r = subprocess.run([sys.executable, os.path.join(TOOLS, tool), "--texts",
                                        texts, "--data", os.path.join(root, "data")],
                                       capture_output=True, text=True)
                    self.assertNotEqual(r.returncode, 0)
                    self.assertIn(expected, r.stdout + r.stderr)
                finally:
                    shutil.rmtree(root)

    def test_a_missing_timing_sentence_leaves_its_keys_unwritten(self):
        root, texts = self.scratch()
        try:
            path = os.path.join(texts, "transit-timing", "en", "timing.txt")
            with open(path, encoding="utf-8") as f:
                text = f.read()
            start = text.index("[hours 090]")
            with open(path, "w", encoding="utf-8") as f:
                f.write(text[:start] + text[text.index("[", start + 1):])
            where = ["--texts", texts, "--data", os.path.join(root, "data")]
            subprocess.run([sys.executable, os.path.join(TOOLS, "make_texts.py")] + where,
                           capture_output=True, check=True)
            r = subprocess.run([sys.executable, os.path.join(TOOLS, "check_texts.py")] + where,
                               capture_output=True, text=True)
            self.assertEqual(r.returncode, 1)
            # the Moon's squares to each radix point, in English only
            missing = [l for l in r.stdout.splitlines() if "no section for key" in l]
            self.assertEqual(len(missing), 16, r.stdout[-2000:])
            self.assertTrue(all("B_trans-e.txt" in l and ".8.2]" in l for l in missing))
        finally:
            shutil.rmtree(root)

    def test_the_bases_differ_in_every_body(self):
        for lang in textbase.LANGUAGES:
            seen = {}
            for name, l, _, bodies in self.cases:
                if l != lang:
                    continue
                for key, body in bodies.items():
                    self.assertNotIn(body, seen, (name, lang, key, seen.get(body)))
                    seen[body] = name


if __name__ == "__main__":
    unittest.main()
