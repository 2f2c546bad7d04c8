#!/usr/bin/env python3
"""Tests of the oracle texts and the glossary: tools/make_oracle.py and tools/check_oracle.py.

The fault cases copy the real sources into a scratch folder, make the files, spoil one thing,
and expect the check to name it; the untouched copy must pass. The reader cases read the made
English file the way the oracle window does (a casting's six values in, the shown text out).
"""

import os
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TREE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(TREE, "tools"))
import check_oracle  # noqa: E402
import make_oracle  # noqa: E402

# A small glossary in the source form: three letters, entries of 20 words or more.
GLOSSARY = """_А
АСПЕКТ — угловое расстояние между двумя точками гороскопа, измеренное по эклиптике, при котором
  они считаются связанными; значение зависит от угла и от допустимого отклонения, орбиса.
АСЦЕНДЕНТ — точка пересечения эклиптики с восточным горизонтом в момент рождения; начало первого
  дома, знак которого описывает манеру держаться и первое впечатление, производимое человеком.
_Б
БИКВИНТИЛЬ — аспект в сто сорок четыре градуса, две пятых круга; относится к творческим аспектам
  ряда квинтиля и говорит об умении придать замыслу законченную форму.
БЛИЗНЕЦЫ — третий знак зодиака, воздушный и подвижный, управляемый Меркурием; знак любознательности,
  обмена сведениями, речи, коротких поездок и гибкого, быстрого ума.
_В
ВЕНЕРА — планета любви, красоты и согласия, управительница Тельца и Весов; в гороскопе показывает,
  что человек ценит, как он выражает привязанность и чем способен радовать других.
ВОСХОД — появление светила над восточным горизонтом; в астрологии восходящие планеты, стоящие
  вблизи асцендента, сильнее выражены в характере и в первых впечатлениях.
"""

CASTS = [  # six values from the bottom, the King Wen number they give
    ("777777", 1), ("888888", 2), ("777888", 11), ("888777", 12),
    ("878878", 29), ("787787", 30), ("787878", 63), ("878787", 64),
    ("788888", 24), ("888887", 23), ("778888", 19), ("887777", 33),
]


def read_english(lines, values):
    """The text the oracle window shows in English for a casting (values 6..9, bottom first):
    the heading, the main text and the texts of the changing lines it takes."""
    t1 = 1 + sum(w for v, w in zip(values[:3], (4, 2, 1)) if v % 2 == 0)
    t2 = 1 + sum(w for v, w in zip(values[3:], (4, 2, 1)) if v % 2 == 0)
    n = check_oracle.KING_WEN[t1 - 1][t2 - 1]
    s = sum(values)
    shown, state = [], "searching"
    for line in lines:
        line = line.rstrip() + " "
        if state == "searching":
            if line.startswith("#") and line[1:3].isdigit() and int(line[1:3]) == n:
                state = "main"
                shown.append("Hexagram %d %s" % (n, line[3:].strip()))
            continue
        if line.startswith("#"):
            break
        if line.startswith("["):
            v, p = int(line[1]), int(line[3])
            if s == 36:
                take = v == 6 and p == 0
            elif s == 54:
                take = v == 9 and p == 0
            else:
                take = 1 <= p <= 6 and values[p - 1] == v
            if not take:
                state = "skipping"
                continue
            state = "taking"
            line = line[5:].strip()
        if state in ("main", "taking"):
            shown.append(line.strip())
    return n, shown


class Scratch:
    def __init__(self, glossary=GLOSSARY):
        self.dir = tempfile.mkdtemp(prefix="oracle_")
        self.texts = os.path.join(self.dir, "texts")
        self.data = os.path.join(self.dir, "data")
        shutil.copytree(os.path.join(TREE, "tools", "texts", "oracle"),
                        os.path.join(self.texts, "oracle"))
        os.makedirs(os.path.join(self.texts, "glossary"))
        with open(os.path.join(self.texts, "glossary", "ru.txt"), "w", encoding="utf-8") as f:
            f.write(glossary)

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
        return make_oracle.main(["--texts", self.texts, "--data", self.data])

    def check(self, **options):
        options.setdefault("glossary_pending", True)
        checker = check_oracle.OracleChecker(self.texts, self.data, **options)
        return checker.run()


class OracleTexts(unittest.TestCase):
    def setUp(self):
        self.s = Scratch()
        self.addCleanup(self.s.close)

    def test_untouched_copy_passes(self):
        self.assertEqual(self.s.make(), 0)
        self.assertEqual(self.s.check(), [])

    def test_spoilt_sources_are_named(self):
        cases = [  # (source, old, new, expected fragment of a problem)
            ("oracle/en.txt", "[6 2 Obstacles", "[9 2 Obstacles",
             "#03 [9 2: value 9, but the hexagram's line 2 is 6"),
            ("oracle/en.txt", "[9 1 A stop at", "[6 1 A stop at",
             "#03 [6 1: value 6, but the hexagram's line 1 is 9"),
            ("oracle/en.txt", "\n[6 6 The team stands", "\n[6 0 The team stands",
             "#03: line texts at places [1, 2, 3, 4, 5, 0]"),
            ("oracle/en.txt", "\n[6 0 All six", "\n[9 0 All six",
             "#02 [9 0: value 9, but the hexagram's line (all six) is 6"),
            ("oracle/en.txt", "\n[9 0 Many dragons", "\n[9 9 Many dragons",
             "not a line text"),
            ("oracle/en.txt", "#04 Meng", "#05 Meng", "not 1..64 in order"),
            ("oracle/en.txt", "#04 Meng, the Unschooled Youth", "#04", "\"#\" line"),
            ("oracle/en.txt", "Heaven doubled, six whole lines", "Heaven doubled, TODO lines",
             "#01 main text: placeholder"),
            ("oracle/en.txt", "A dragon still sunk", "A дракон still sunk",
             "other language's script"),
            ("oracle/ru.txt", "[2] Кунь", "[2] Kunь", "line 2: letters of the other"),
            ("oracle/ru.txt", "[3] Чжунь — Трудное рождение.", "[3] Коротко.\n[99] Лишнее.",
             "out of range"),
        ]
        for rel, old, new, want in cases:
            with self.subTest(want=want):
                s = Scratch()
                try:
                    s.edit(rel, old, new)
                    s.make()  # refuses a source it cannot read; the check names the fault
                    problems = s.check()
                    self.assertTrue(any(want in p for p in problems), problems)
                finally:
                    s.close()

    def test_spoilt_made_files_are_named(self):
        self.assertEqual(self.s.make(), 0)
        eng = os.path.join(self.s.data, "oracle-eng.txt")
        ru = os.path.join(self.s.data, "oracle.txt")
        cases = [  # (file, change to its bytes, expected fragment)
            (eng, lambda b: b.replace(b"\r\n", b"\n"), "lines must end in CR LF"),
            (eng, lambda b: b.replace(b"#01 Qian", b"#01 Qyan", 1), "differs from its source"),
            (ru, lambda b: b + b"\x98\r\n", "not code page 1251"),
            (ru, lambda b: b"\r\n" + b.split(b"\r\n", 1)[1], "oracle.txt line 1: empty text"),
        ]
        for path, change, want in cases:
            with self.subTest(want=want):
                with open(path, "rb") as f:
                    good = f.read()
                with open(path, "wb") as f:
                    f.write(change(good))
                try:
                    problems = self.s.check()
                    self.assertTrue(any(want in p for p in problems), problems)
                finally:
                    with open(path, "wb") as f:
                        f.write(good)

    def test_short_and_repeated_texts(self):
        cases = [
            ("oracle/en.txt", "[9 6 A dragon that has climbed beyond its height",
             "[9 6 Too high.\n# A dragon", "#01 [9 6: 2 words"),
            ("oracle/ru.txt", "[5] Сюй", "[5] Коротко и ясно.\n# [5] Сюй", "line 5: 3 words"),
        ]
        for rel, old, new, want in cases:
            with self.subTest(want=want):
                s = Scratch()
                try:
                    s.edit(rel, old, new)
                    s.make()
                    problems = s.check()
                    self.assertTrue(any(want in p for p in problems), problems)
                finally:
                    s.close()
        # The same line text in two hexagrams is found.
        s = Scratch()
        try:
            text = "[9 1 A stop at the threshold, a circling on the spot."
            s.edit("oracle/en.txt", "[9 1 Walking the plain way.", text + " Walking the plain way.")
            s.edit("oracle/en.txt", "[9 1 Pull up one reed", text + " Pull up one reed")
            s.make()
            problems = s.check()
            self.assertTrue(any("also in" in p for p in problems), problems)
        finally:
            s.close()


class Glossary(unittest.TestCase):
    def run_case(self, glossary, **options):
        s = Scratch(glossary)
        try:
            self.assertEqual(s.make(), 0)
            return s.check(**options)
        finally:
            s.close()

    def test_fixture_passes_and_counts_are_demanded(self):
        self.assertEqual(self.run_case(GLOSSARY), [])
        problems = self.run_case(GLOSSARY, glossary_pending=False, glossary_min=6)
        self.assertTrue(any("the letter Г has 0 entries" in p for p in problems), problems)
        self.assertFalse(any("the letter В" in p for p in problems), problems)
        problems = self.run_case(GLOSSARY, glossary_pending=False, glossary_min=7)
        self.assertTrue(any("6 entries, fewer than 7" in p for p in problems), problems)

    def test_faults_are_named(self):
        cases = [  # (old, new, expected fragment)
            ("_Б\n", "_В\n", "letter sections АВВ"),
            ("_В\n", "_Б\n", "letter sections АББ"),
            ("БЛИЗНЕЦЫ —", "ВЛИЗНЕЦЫ —", "term 'ВЛИЗНЕЦЫ' under the letter Б"),
            ("ВОСХОД —", "ВЕНЕРА —", "term 'ВЕНЕРА' again"),
            ("ВОСХОД —", "Восход —", "not in capitals"),
            ("АСЦЕНДЕНТ —", "АБСИДА —", "'абсида' stands after 'аспект'"),
            ("АСПЕКТ — угловое", "АСПЕКТ: угловое", "not an entry"),
            ("_А\n", "Вступление.\n_А\n", "text before the first letter's marker"),
            ("_В\n", "_ВВ\n", "marker line"),
            ("показывает,\n", "показывает (орбис 5%),\n", "leftover %"),
            ("эклиптике,", "ecliptic,", "other language's script"),
        ]
        for old, new, want in cases:
            with self.subTest(want=want):
                self.assertIn(old, GLOSSARY)
                problems = self.run_case(GLOSSARY.replace(old, new, 1))
                self.assertTrue(any(want in p for p in problems), problems)

    def test_definition_length(self):
        short = GLOSSARY.split("ВОСХОД")[0] + "ВОСХОД — появление светила над горизонтом.\n"
        problems = self.run_case(short)
        self.assertTrue(any("spr.txt ВОСХОД: 5 words" in p for p in problems), problems)


class Reader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(TREE, "data", "oracle-eng.txt"), "rb") as f:
            cls.lines = f.read().decode("cp1251").split("\r\n")[:-1]
        cls.written = {int(l[1:3]) for l in cls.lines if l.startswith("#")}

    def test_castings_give_their_king_wen_number(self):
        for cast, number in CASTS:
            with self.subTest(cast=cast):
                n, shown = read_english(self.lines, [int(c) for c in cast])
                self.assertEqual(n, number)
                if n in self.written:
                    self.assertTrue(shown[0].startswith("Hexagram %d " % n), shown)
                    self.assertEqual(len(shown), 2, shown)  # heading and main text only

    def test_all_lines_changing(self):
        for values, n in (([9] * 6, 1), ([6] * 6, 2)):
            with self.subTest(n=n):
                got, shown = read_english(self.lines, values)
                self.assertEqual(got, n)
                self.assertEqual(len(shown), 3, shown)
                self.assertIn("[%d 0 %s" % (values[0], shown[2]), self.lines)

    def test_each_changing_line_shows_its_own_text(self):
        values = check_oracle.line_values()
        for n in sorted(self.written):
            for p in range(1, 7):
                cast = [v - 2 if v == 9 else v + 2 for v in values[n]]  # 7 and 8: at rest
                cast[p - 1] = values[n][p - 1]
                got, shown = read_english(self.lines, cast)
                self.assertEqual(got, n)
                self.assertEqual(len(shown), 3, (n, p, shown))
                self.assertIn("[%d %d %s" % (values[n][p - 1], p, shown[2]), self.lines)
        # A nine in place 3 of the first hexagram takes the third line, not another.
        _, shown = read_english(self.lines, [7, 7, 9, 7, 7, 7])
        self.assertTrue(shown[2].startswith("Busy from dawn"), shown)


if __name__ == "__main__":
    unittest.main()
