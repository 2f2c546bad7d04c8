#!/usr/bin/env python3
"""Checks the oracle texts (data/oracle-eng.txt, data/oracle.txt) and the glossary
(data/spr.txt), reading them as the program's windows do:

  - each file is what tools/make_oracle.py makes of its source now, decodes as code page 1251
    and round-trips, and ends every line in CR LF;
  - oracle-eng.txt: the 64 sections "#NN title" in order; in each a main text, then the six
    line texts "[v p text" for p = 1..6, with v = 9 where the hexagram has an undivided line
    at p and 6 where it has a divided one (the hexagram's lines taken from the King Wen table
    of the two trigrams, not from the texts); "[9 0" only in hexagram 1 and "[6 0" only in 2;
    nothing else in the file;
  - oracle.txt: 64 lines, line n the text of hexagram n, 80-150 words;
  - spr.txt: one section per tab letter of the glossary window, in the tabs' order, each opened
    by its marker line "_" + letter and holding at least two entries "TERM — definition" whose
    terms begin with that letter and stand in alphabetical order; a definition of 20-80 words;
    no term twice; at least 300 entries;
  - every text in its language's script, without placeholders, none repeating another or a
    sentence of another, none a rewrite of another (the measures of tools/check_texts.py).

Usage: tools/check_oracle.py [--texts DIR] [--data DIR]
Exit status 0 when everything holds, 1 otherwise (each problem on its own line).
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_texts  # noqa: E402
import make_oracle  # noqa: E402

TREE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Hexagrams whose texts are not written yet (their sections and lines may be missing).
PENDING_HEXAGRAMS = set()
# True while the glossary is being written: its counts are not demanded yet.
GLOSSARY_PENDING = False

# King Wen numbers by lower trigram (rows) and upper trigram (columns); the trigrams in the
# order Heaven, Lake, Fire, Thunder, Wind, Water, Mountain, Earth. Trigram t (1..8) has a
# divided bottom line when (t - 1) & 4, middle when (t - 1) & 2, top when (t - 1) & 1.
KING_WEN = [
    [1, 43, 14, 34, 9, 5, 26, 11],
    [10, 58, 38, 54, 61, 60, 41, 19],
    [13, 49, 30, 55, 37, 63, 22, 36],
    [25, 17, 21, 51, 42, 3, 27, 24],
    [44, 28, 50, 32, 57, 48, 18, 46],
    [6, 47, 64, 40, 59, 29, 4, 7],
    [33, 31, 56, 62, 53, 39, 52, 15],
    [12, 45, 35, 16, 20, 8, 23, 2],
]

TABS = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЭЮЯ"

EN_MAIN_WORDS = (30, 220)
EN_LINE_WORDS = (10, 100)
RU_WORDS = (80, 150)
GLOSSARY_WORDS = (20, 80)
GLOSSARY_MIN_ENTRIES = 300


def line_values():
    """Hexagram number -> the values (9 or 6) of its lines 1..6, bottom first."""
    out = {}
    for t1 in range(8):
        for t2 in range(8):
            lines = [6 if t & bit else 9 for t in (t1, t2) for bit in (4, 2, 1)]
            out[KING_WEN[t1][t2]] = lines
    return out


EN_HEAD = re.compile(r"^#(\d\d) (\S.*)$")
EN_LINE = re.compile(r"^\[([69]) ([0-6]) (\S.*)$")
GLOSSARY_ENTRY = re.compile(r"^(\S[^—]*?) — (\S.*)$")


def words(text):
    return check_texts.words(text)


class OracleChecker:
    def __init__(self, texts, data, pending=None, glossary_pending=None,
                 glossary_min=GLOSSARY_MIN_ENTRIES):
        self.texts = texts
        self.data = data
        self.pending = PENDING_HEXAGRAMS if pending is None else set(pending)
        self.glossary_pending = GLOSSARY_PENDING if glossary_pending is None else glossary_pending
        self.glossary_min = glossary_min
        self.problems = []
        self.notes = []
        self.bodies = {"en": [], "ru": []}

    def problem(self, where, what):
        self.problems.append("%s: %s" % (where, what))

    def load(self, source, out):
        """The made file's text, after the checks every file gets; None when unusable."""
        try:
            expected = make_oracle.build(self.texts, source)
        except (make_oracle.SourceError, OSError) as e:
            self.problem(out, str(e))
            expected = None
        try:
            with open(os.path.join(self.data, out), "rb") as f:
                data = f.read()
        except OSError:
            self.problem(out, "missing (run tools/make_oracle.py)")
            return None
        if expected is not None and expected != data:
            self.problem(out, "differs from its source (run tools/make_oracle.py)")
        try:
            text = data.decode("cp1251")
        except UnicodeDecodeError as e:
            self.problem(out, "byte 0x%02X at offset %d is not code page 1251"
                         % (data[e.start], e.start))
            return None
        if not text.endswith("\r\n") or "\n" in text.replace("\r\n", "") \
                or "\r" in text.replace("\r\n", ""):
            self.problem(out, "lines must end in CR LF")
        return text.replace("\r\n", "\n").rstrip("\n").split("\n") if text else []

    def text(self, where, lang, body, limits):
        """One text: not empty, in its language, no placeholder, within its word range."""
        if not body.strip():
            self.problem(where, "empty text")
            return
        for rx, what in check_texts.PLACEHOLDERS:
            m = rx.search(body)
            if m:
                self.problem(where, "%s %r" % (what, m.group(0)))
        if lang == "ru":
            plain = check_texts.ROMAN_WORD.sub(lambda r: " " * len(r.group(0)), body)
            m = check_texts.LATIN.search(plain)
        else:
            plain = body
            m = check_texts.CYRILLIC.search(body)
        if m:
            self.problem(where, "letters of the other language's script near %r"
                         % plain[max(0, m.start() - 20):m.start() + 20])
        n = len(words(body))
        if not limits[0] <= n <= limits[1]:
            self.problem(where, "%d words, outside %d-%d" % (n, limits[0], limits[1]))
        self.bodies[lang].append((where, body, True))

    # ------------------------------------------------------------ oracle-eng.txt
    def check_english(self):
        out = make_oracle.ORACLE_EN[1]
        lines = self.load(*make_oracle.ORACLE_EN)
        if lines is None:
            return
        values = line_values()
        sections = []   # [number, title, main lines, [(v, p, text)]]
        for i, line in enumerate(lines, 1):
            where = "%s line %d" % (out, i)
            if line.startswith("#"):
                m = EN_HEAD.match(line)
                if not m:
                    self.problem(where, "a \"#\" line that is not \"#NN title\"")
                    continue
                sections.append([int(m.group(1)), m.group(2).strip(), [], []])
            elif not sections:
                self.problem(where, "text before the first hexagram")
            elif line.startswith("["):
                m = EN_LINE.match(line)
                if not m:
                    self.problem(where, "not a line text \"[v p text\" (v 6 or 9, p 0..6)")
                    continue
                sections[-1][3].append((int(m.group(1)), int(m.group(2)), m.group(3)))
            elif sections[-1][3]:
                self.problem(where, "a continuation line; each line text is one line here")
            else:
                sections[-1][2].append(line)
        numbers = [s[0] for s in sections]
        want = [n for n in range(1, 65) if n not in self.pending or n in numbers]
        if numbers != want:
            self.problem(out, "hexagram sections %s, not 1..64 in order" % numbers)
        for number, title, main, texts in sections:
            where = "%s #%02d" % (out, number)
            if number not in values:
                continue
            if not title:
                self.problem(where, "no title")
            self.text(where + " main text", "en", " ".join(main), EN_MAIN_WORDS)
            places = [p for _, p, _ in texts]
            want_places = [1, 2, 3, 4, 5, 6] + ([0] if number in (1, 2) else [])
            if places != want_places:
                self.problem(where, "line texts at places %s, not %s" % (places, want_places))
            for v, p, body in texts:
                w = "%s [%d %d" % (where, v, p)
                need = values[number][p - 1] if p else {1: 9, 2: 6}.get(number)
                if v != need:
                    self.problem(w, "value %d, but the hexagram's line %s is %s"
                                 % (v, p or "(all six)", need))
                self.text(w, "en", body, EN_LINE_WORDS)
        if self.pending:
            self.notes.append("%s: %d hexagrams not written yet (pending)"
                              % (out, len(self.pending - set(numbers))))

    # ------------------------------------------------------------ oracle.txt
    def check_russian(self):
        out = make_oracle.ORACLE_RU[1]
        lines = self.load(*make_oracle.ORACLE_RU)
        if lines is None:
            return
        if len(lines) != 64 and not self.pending:
            self.problem(out, "%d lines, not one for each of the 64 hexagrams" % len(lines))
        for n in range(1, 65):
            where = "%s line %d" % (out, n)
            body = lines[n - 1] if n <= len(lines) else ""
            if n in self.pending and not body:
                continue
            self.text(where, "ru", body, RU_WORDS)

    # ------------------------------------------------------------ spr.txt
    def check_glossary(self):
        out = make_oracle.GLOSSARY[1]
        lines = self.load(*make_oracle.GLOSSARY)
        if lines is None:
            return
        letters = []
        entries = {}   # letter -> [(term, where)]
        seen = {}
        for i, line in enumerate(lines, 1):
            where = "%s line %d" % (out, i)
            if line.startswith("_"):
                if len(line) != 2 or line[1] not in TABS:
                    self.problem(where, "a marker line that is not \"_\" + a tab's letter")
                    continue
                letters.append(line[1])
                entries.setdefault(line[1], [])
                continue
            if not letters:
                self.problem(where, "text before the first letter's marker")
                continue
            m = GLOSSARY_ENTRY.match(line)
            if not m:
                self.problem(where, "not an entry \"TERM — definition\"")
                continue
            term, body = m.group(1), m.group(2)
            letter = letters[-1]
            if term != term.upper():
                self.problem(where, "term %r is not in capitals" % term)
            if term[0].replace("Ё", "Е") != letter:
                self.problem(where, "term %r under the letter %s" % (term, letter))
            key = term.lower().replace("ё", "е")
            if key in seen:
                self.problem(where, "term %r again (first at %s)" % (term, seen[key]))
            seen[key] = where
            entries[letter].append((key, where))
            self.text("%s %s" % (out, term), "ru", term + " — " + body, GLOSSARY_WORDS)
        if letters != [c for c in TABS if c in letters] or len(set(letters)) != len(letters):
            self.problem(out, "letter sections %s, not one each in the tabs' order"
                         % "".join(letters))
        for letter, items in entries.items():
            for (a, _), (b, where) in zip(items, items[1:]):
                if b < a:
                    self.problem(where, "%r stands after %r: not in alphabetical order" % (b, a))
        if self.glossary_pending:
            self.notes.append("%s: %d entries so far (pending)" % (out, len(seen)))
            return
        for letter in TABS:
            if len(entries.get(letter, [])) < 2:
                self.problem(out, "the letter %s has %d entries, fewer than two"
                             % (letter, len(entries.get(letter, []))))
        if len(seen) < self.glossary_min:
            self.problem(out, "%d entries, fewer than %d" % (len(seen), self.glossary_min))

    def run(self):
        self.check_english()
        self.check_russian()
        self.check_glossary()
        repeats = check_texts.Checker(self.texts, self.data)
        for lang, bodies in self.bodies.items():
            repeats.check_repeats(lang, bodies)
        self.problems += repeats.problems
        return self.problems


def main(argv):
    ap = argparse.ArgumentParser(description="Check the oracle texts and the glossary.")
    ap.add_argument("--texts", default=os.path.join(TREE, "tools", "texts"))
    ap.add_argument("--data", default=os.path.join(TREE, "data"))
    args = ap.parse_args(argv)
    checker = OracleChecker(args.texts, args.data)
    problems = checker.run()
    for n in checker.notes:
        print("note: " + n)
    for p in problems:
        print(p)
    print("check_oracle: %d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
