#!/usr/bin/env python3
"""Checks the interpretation text bases of data/Txt/ against their sources in tools/texts/.

For each base and language:
  - the file is what tools/make_texts.py makes of the sources now (so it is up to date), and
    every source character has a code page 1251 form;
  - the file decodes as code page 1251 and round-trips through iconv, every line ends in CR LF,
    and its first line is a comment naming the base;
  - every key the readers look up (from the base's key rules, not from the file) is found by
    the readers' own parsing, its section has a title and a body; no section has a key that no
    reader looks up, none repeats a key (a reader would never reach it);
  - each body is at least its part's minimum length (and within its word range when one is
    given), holds no placeholder, is in its language's script (no Latin in Russian, no Cyrillic
    in English);
  - a degree-text base ("format": "degrees") is read as the program reads it: every degree of
    every sign not pending has its entry under a header with the sign's title, no text holds
    "/", and no line is passed over;
  - a composed base: its bank paragraphs within their word range;
  - across all bases of a language: no two bodies are equal, nor equal once the names of the
    points, signs, houses and aspects are masked (every form, by stem); no sentence of eight
    words or more recurs with only names changed; no two bodies share so many word runs that
    one is the other rewritten.

Usage: tools/check_texts.py [--texts DIR] [--data DIR]
Exit status 0 when everything holds, 1 otherwise (each problem on its own line).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import textbase  # noqa: E402

TREE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

PLACEHOLDERS = [
    (re.compile(r"\b(TODO|TBD|XXX|FIXME)\b"), "placeholder"),
    (re.compile(r"lorem|ipsum|placeholder|заглушк", re.IGNORECASE), "placeholder"),
    (re.compile(r"\{[^}]*\}|[{}]"), "leftover braces"),
    (re.compile(r"%"), "leftover %"),
]
LATIN = re.compile(r"[A-Za-z]")
ROMAN_WORD = re.compile(r"\b(?=[IVXLC]+\b)C{0,3}(XC|XL|L?X{0,3})(IX|IV|V?I{0,3})\b")
CYRILLIC = re.compile(r"[\u0400-\u04FF]")

# Stems of the names of points, signs, houses and aspects, matched at the start of a word,
# lower case. A masked word becomes "#"; masking more than the names only makes equality
# likelier to be seen.
NAME_STEMS = {
    "ru": """солнц солнеч лун меркури венер марс юпитер сатурн уран нептун плутон раху кету
             узел узл лилит селен прозерпин хирон асцендент десцендент надир зенит
             овн овен тельц телец близнец рак лев льв дев вес скорпион стрел козерог водоле
             рыб дом куспид перв втор трет четв пят шест седьм восьм девят десят
             одиннадцат двенадцат соединени оппозици трин квадрат секстил квинконс
             полусекстил полуквадрат сесквиквадрат квинтил биквинтил""".split(),
    "en": """sun solar moon lunar mercur venus venusian mars martian jupiter jovian saturn
             uranus uranian neptun pluto plutonian node nodal north south rahu ketu lilith
             black white selena proserpin chiron ascendant descendant midheaven nadir zenith
             aries arian taur gemin cancer leo leonine virgo virgoan libra libran scorpi
             sagittari capricorn aquari pisces piscean house cusp first second third fourth
             fifth sixth seventh eighth ninth tenth eleventh twelfth 1st 2nd 3rd 4th 5th 6th
             7th 8th 9th 10th 11th 12th conjunct opposition trine square sextile quincunx
             semisextile semisquare sesquiquadrate quintile biquintile""".split(),
}
ROMAN = {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix", "x", "xi", "xii"}
WORD = re.compile(r"[\w'’-]+", re.UNICODE)
SENTENCE_END = re.compile(r"(?<=[.!?…])\s+")
MIN_SENTENCE_WORDS = 8
SHINGLE = 5            # words in a run compared between bodies
MAX_SHARED_RUNS = 0.2  # share of one body's runs found in another that makes it a rewrite


def masked_words(text, lang):
    stems = NAME_STEMS[lang]
    out = []
    for w in WORD.findall(text.lower().replace("ё", "е")):
        w = w.strip("'’-")
        if not w:
            continue
        if w in ROMAN or any(w.startswith(s) for s in stems):
            out.append("#")
        else:
            out.append(w)
    return out


def words(text):
    return [w for w in WORD.findall(text) if w.strip("'’-")]


class Checker:
    def __init__(self, texts, data):
        self.texts = texts
        self.data = data
        self.problems = []
        self.notes = []
        self.timing_seen = set()
        self.banks_seen = set()

    def problem(self, where, what):
        self.problems.append("%s: %s" % (where, what))

    # ---------------------------------------------------------- one file
    def check_bytes(self, path, data, star_base=False):
        try:
            text = data.decode("cp1251")
        except UnicodeDecodeError as e:
            self.problem(path, "byte 0x%02X at offset %d is not code page 1251"
                         % (data[e.start], e.start))
            return False
        if text.encode("cp1251") != data:
            self.problem(path, "does not round-trip through code page 1251")
            return False
        iconv = shutil.which("iconv")
        if iconv:
            r = subprocess.run([iconv, "-f", "CP1251", "-t", "UTF-8"], input=data,
                               capture_output=True)
            if r.returncode != 0 or r.stdout.decode("utf-8", "replace") != text:
                self.problem(path, "iconv -f CP1251 fails on it")
                return False
        if not text.endswith("\r\n") or text.replace("\r\n", "").count("\n") \
                or text.replace("\r\n", "").count("\r"):
            self.problem(path, "lines must end in CR LF")
        if star_base and not text.startswith("[]\r\n/"):
            self.problem(path, "a star base opens with the line \"[]\" and a comment naming it")
        elif not star_base and not text.startswith("/"):
            self.problem(path, "the first line must be a comment naming the base")
        return True

    def check_body(self, where, lang, title, body_lines, part):
        body = " ".join(body_lines)
        if not title:
            self.problem(where, "no title")
        if not body.strip():
            self.problem(where, "empty body")
            return
        for rx, what in PLACEHOLDERS:
            m = rx.search(title + " " + body)
            if m:
                self.problem(where, "%s %r" % (what, m.group(0)))
        if lang == "ru":
            # Roman numerals (house numbers) are written in Latin letters in Russian too.
            text = ROMAN_WORD.sub(lambda r: " " * len(r.group(0)), title + " " + body)
            m = LATIN.search(text)
            if m:
                self.problem(where, "Latin letters in the Russian text near %r"
                             % text[max(0, m.start() - 20):m.start() + 20])
        else:
            text = title + " " + body
            m = CYRILLIC.search(text)
            if m:
                self.problem(where, "Cyrillic letters in the English text near %r"
                             % text[max(0, m.start() - 20):m.start() + 20])
        if len(body) < part["min_chars"]:
            self.problem(where, "body of %d characters, below the minimum %d"
                         % (len(body), part["min_chars"]))
        if "words" in part:
            lo, hi = part["words"]
            n = len(words(body))
            if not lo <= n <= hi:
                self.problem(where, "body of %d words, outside %d-%d" % (n, lo, hi))

    def check_file(self, base, lang, bodies):
        rel = textbase.output_name(base, lang)
        path = os.path.join(self.data, rel)
        try:
            expected = textbase.build(base, lang, self.data)
        except textbase.SourceError as e:
            self.problem(rel, str(e))
            expected = None
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError:
            self.problem(rel, "missing (run tools/make_texts.py)")
            return
        if not self.check_bytes(rel, data, base.get("format") == "stars"):
            return
        if expected is not None and expected != data:
            self.problem(rel, "differs from its sources (run tools/make_texts.py)")
        if base.get("format") == "stars":
            self.check_star_file(base, lang, rel, data, bodies)
            return
        if base.get("format") == "degrees":
            self.check_degree_file(base, lang, rel, data, bodies)
            return

        group_of = base.get("group_of", {}).get(lang)
        groups = [] if group_of is not None else None
        sections = textbase.read_base_file(data, groups)
        parse = textbase.PARSERS[base["parser"]]
        rule_of = {}
        for part in base["parts"]:
            for key in textbase.KEY_RULES[part["rule"]][1]:
                rule_of.setdefault(key, part)
        seen = {}
        for header, body in sections:
            parsed = parse(header[1:])
            where = "%s %s" % (rel, header.split("]")[0] + "]")
            if parsed is None:
                self.problem(where, "key the readers cannot parse")
                continue
            if parsed not in rule_of:
                self.problem(where, "key no reader looks up")
                continue
            if parsed in seen:
                self.problem(where, "repeats the key of %s; a reader never reaches it"
                             % seen[parsed])
                continue
            seen[parsed] = header.split("]")[0] + "]"
            part = rule_of[parsed]
            title = header[header.index("]") + 1:].strip() if "]" in header else ""
            self.check_body(where, lang, title, body, part)
            # A composed section repeats its bank's paragraph and sentence by design: its
            # sentences and word runs are compared through the bank (below), not here.
            bodies.append((where, " ".join(body), "compose" not in base))
        if base.get("compose") == "aspect":
            self.check_bank(base, lang, bodies)
        elif base.get("compose") == "combination":
            self.check_comb_bank(base, lang, bodies, textbase.read_comb_bank)
        elif base.get("compose") == "transit":
            self.check_transit_bank(base, lang, bodies)
        elif base.get("compose") == "return":
            self.check_return_bank(base, lang, bodies)
        elif base.get("compose") == "synastry":
            self.check_comb_bank(base, lang, bodies, textbase.read_syn_bank)
        if group_of is not None:
            self.check_groups(rel, lang, base["parser"], sections, groups, group_of)
        # the keys a reader finds, each at its first section (as find_section would)
        found = set()
        for header, _ in sections:
            parsed = parse(header[1:])
            if parsed is not None:
                found.add(parsed)
        for part in base["parts"]:
            pending = set(part.get("pending", []))
            missing = [k for k in textbase.KEY_RULES[part["rule"]][1] if k not in found]
            waiting = [k for k in missing if k[0] in pending]
            if waiting:
                self.notes.append("%s: %d sections of %s not written yet (pending)"
                                  % (rel, len(waiting), part["rule"]))
            for k in missing:
                if k[0] in pending:
                    continue
                self.problem(rel, "no section for key [%s] (%s)"
                             % (textbase.canonical_key(k), part["rule"]))

    def check_degree_file(self, base, lang, rel, data, bodies):
        """A degree-text file: each sign's header with its title, every degree of every sign
        found by the program's reader, each entry a text of its own without "/"."""
        titles, entries, strays = textbase.read_degree_file(data)
        for line, why in strays:
            self.problem(rel, "%s: %r" % (why, line[:40]))
        group_of = base["group_of"][lang]
        for part in base["parts"]:
            pending = set(part.get("pending", []))
            keys = textbase.KEY_RULES[part["rule"]][1]
            waiting = [k for k in keys if k not in entries and k[0] in pending]
            if waiting:
                self.notes.append("%s: %d degrees not written yet (pending)"
                                  % (rel, len(waiting)))
            for sign in sorted({k[0] for k in keys} - pending):
                if sign not in titles:
                    self.problem(rel, "no section of sign %d" % sign)
                elif titles[sign].strip() != group_of[sign]:
                    self.problem(rel, "sign %d is titled %r, not %r"
                                 % (sign, titles[sign].strip(), group_of[sign]))
            for k in keys:
                where = "%s [%2d]%3d" % (rel, k[0], k[1])
                if k not in entries:
                    if k[0] not in pending:
                        self.problem(where, "no entry")
                    continue
                lines = entries[k]
                if any("/" in line for line in lines):
                    self.problem(where, "holds \"/\", which the window takes for a line break")
                self.check_body(where, lang, group_of.get(k[0], ""), lines, part)
                bodies.append((where, " ".join(lines), True))
    def check_star_file(self, base, lang, rel, data, bodies):
        """A star base read as the program reads it: every named star's HR number in the key
        of a section titled with its catalogue name (the editor's name check passes), every
        Messier object's code a key; no section that no reader reaches; the hand-written and
        the composed bodies within their word ranges; the banks in the language's script and
        compared with every other text."""
        try:
            entries = textbase.star_entries(self.data)
            written, banks = textbase.read_star_banks(base, lang)
        except textbase.SourceError as e:
            self.problem(rel, str(e))
            return
        sections = [(h, b) for h, b in textbase.read_base_file(data) if h != "[]"]
        keys = [textbase.to_key(h) for h, _ in sections]
        reached = set()

        def first(match):
            for i, k in enumerate(keys):
                if k is not None and match(k):
                    return i
            return None

        for e in entries:
            if "messier" in e:
                wanted = [(e["key"], lambda k, c=e["key"]: k == c, None)]
            else:
                wanted = [(str(s["hr"]), lambda k, hr=s["hr"]: textbase.star_key_lists(k, hr),
                           s["name"][lang]) for s in e["stars"]]
            for label, match, name in wanted:
                i = first(match)
                if i is None:
                    self.problem(rel, "no section for %s" % label)
                    continue
                header, body = sections[i]
                title = header[header.index("]") + 1:].strip()
                if name is not None and title != name:
                    self.problem("%s [%s]" % (rel, keys[i]), "titled %r, not the catalogue's "
                                 "name %r: the editor's name check fails" % (title, name))
                if i in reached:
                    continue
                reached.add(i)
                hand = keys[i] in written
                part = {"min_chars": base["min_chars"],
                        "words": base["hand_words"] if hand else base["composed_words"]}
                where = "%s [%s]" % (rel, keys[i])
                self.check_body(where, lang, title or textbase.messier_code(keys[i], lang),
                                body, part)
                bodies.append((where, " ".join(body), hand))
        for i, (header, _) in enumerate(sections):
            if i not in reached:
                self.problem("%s %s" % (rel, header.split("]")[0] + "]"),
                             "a section no reader reaches")
        script = LATIN if lang == "ru" else CYRILLIC
        for bank in banks.values():
            where = "%s [%s]" % (bank.where, bank.key)
            if script.search(bank.title + " " + bank.paragraphs[0]):
                self.problem(where, "letters of the other language's script")
            bodies.append((where, bank.paragraphs[0], True))

    def check_bank(self, base, lang, bodies):
        """The paragraphs and sentences a composed base is made of: each paragraph within the
        base's word range, each in its language's script, and each compared with every other
        text for repeated sentences and shared word runs."""
        try:
            pairs, sentences = textbase.read_bank(base, lang)
        except textbase.SourceError as e:
            self.problem(textbase.output_name(base, lang), str(e))
            return
        lo, hi = base.get("paragraph_words", [0, 10 ** 6])
        for kind, bank in (("paragraph", pairs), ("sentence", sentences)):
            for s in bank.values():
                where = "%s [%s]" % (s.where, s.key)
                text = s.paragraphs[0]
                n = len(words(text))
                if kind == "paragraph" and not lo <= n <= hi:
                    self.problem(where, "paragraph of %d words, outside %d-%d" % (n, lo, hi))
                script = LATIN if lang == "ru" else CYRILLIC
                if script.search(ROMAN_WORD.sub(" ", text) if lang == "ru" else text):
                    self.problem(where, "letters of the other language's script")
                bodies.append((where, text, True))

    def add_sentences(self, lang, sections, bodies):
        """Bank sentences: each in its language's script, and kept for the comparison with
        every other text."""
        script = LATIN if lang == "ru" else CYRILLIC
        for sec in sections:
            where = "%s [%s]" % (sec.where, sec.key)
            text = sec.paragraphs[0]
            if script.search(ROMAN_WORD.sub(" ", text) if lang == "ru" else text):
                self.problem(where, "letters of the other language's script")
            bodies.append((where, text, True))

    def check_comb_bank(self, base, lang, bodies, read):
        """The sentences a combination or synastry base is made of: each in its language's
        script and compared with every other text for repeats and shared word runs."""
        try:
            bank = read(base, lang)
        except textbase.SourceError as e:
            self.problem(textbase.output_name(base, lang), str(e))
            return
        self.add_sentences(lang, bank.values(), bodies)

    def check_return_bank(self, base, lang, bodies):
        """The sentences the return bases share: each in its language's script and compared,
        once however many bases draw on it, with every other text for repeats and shared word
        runs."""
        folder = textbase.return_bank_folder(base)
        if (folder, lang) in self.banks_seen:
            return
        self.banks_seen.add((folder, lang))
        try:
            bank = textbase.read_return_bank(folder, lang)
        except textbase.SourceError as e:
            self.problem(textbase.output_name(base, lang), str(e))
            return
        self.add_sentences(lang, bank.values(), bodies)

    def check_transit_bank(self, base, lang, bodies):
        """The sentences a transit base is made of, and once per language the timing sentences
        the transit bases share: each in its language's script and compared with every other
        text for repeats and shared word runs."""
        banks = []
        try:
            banks.append(textbase.read_transit_bank(base, lang))
            folder = os.path.normpath(textbase.timing_folder(base))
            if (folder, lang) not in self.timing_seen:
                self.timing_seen.add((folder, lang))
                banks.append(textbase.read_timing_bank(base, lang))
        except textbase.SourceError as e:
            self.problem(textbase.output_name(base, lang), str(e))
            return
        for bank in banks:
            self.add_sentences(lang, bank.values(), bodies)

    def check_groups(self, rel, lang, parser, sections, groups, group_of):
        """A base with group lines: each section stands under the group of its first key
        number, and each group's line comes once, before its sections."""
        parse = textbase.PARSERS[parser]
        for (header, _), title in zip(sections, groups):
            parsed = parse(header[1:])
            if parsed is None or parsed[0] not in group_of:
                continue
            where = "%s %s" % (rel, header.split("]")[0] + "]")
            want = group_of[parsed[0]]
            if title is None:
                self.problem(where, "stands under no group line (wanted {%s})" % want)
            elif title != want:
                self.problem(where, "stands under the group {%s}, not {%s}" % (title, want))
        runs = [t for i, t in enumerate(groups) if t is not None and (i == 0 or groups[i - 1] != t)]
        for title in sorted(set(runs)):
            if runs.count(title) > 1:
                self.problem(rel, "the group {%s} comes back after another group" % title)
        script = CYRILLIC if lang == "en" else LATIN
        for title in group_of.values():
            if script.search(title):
                self.problem(rel, "the group title {%s} is not in the file's language" % title)

    # ---------------------------------------------------------- across bodies
    def check_repeats(self, lang, bodies):
        exact, masked = {}, {}
        sentences = defaultdict(list)
        runs = []
        for where, body, compared in bodies:
            if not body.strip():
                continue
            norm = " ".join(body.split())
            if norm in exact:
                self.problem(where, "same body as %s" % exact[norm])
                continue
            exact[norm] = where
            mw = masked_words(body, lang)
            m = " ".join(mw)
            if m in masked:
                self.problem(where, "same body as %s once the names are masked" % masked[m])
                continue
            masked[m] = where
            if not compared:
                continue
            for sentence in SENTENCE_END.split(body):
                sw = masked_words(sentence, lang)
                if len(sw) >= MIN_SENTENCE_WORDS:
                    sentences[" ".join(sw)].append((where, sentence))
            shingles = {tuple(mw[i:i + SHINGLE]) for i in range(len(mw) - SHINGLE + 1)}
            runs.append((where, shingles))
        for key, uses in sentences.items():
            for where, sentence in uses[1:]:
                self.problem(where, "sentence also in %s (names masked): %r"
                             % (uses[0][0], sentence[:80]))
        index = defaultdict(set)
        for i, (_, sh) in enumerate(runs):
            for s in sh:
                index[s].add(i)
        for i, (where, sh) in enumerate(runs):
            shared = defaultdict(int)
            for s in sh:
                for j in index[s]:
                    if j < i:
                        shared[j] += 1
            for j, n in shared.items():
                smaller = min(len(sh), len(runs[j][1]))
                if smaller and n / smaller > MAX_SHARED_RUNS:
                    self.problem(where, "%d%% of its word runs are also in %s: a rewrite, "
                                 "not a text of its own" % (100 * n // smaller, runs[j][0]))

    def run(self):
        try:
            folders = textbase.base_folders(self.texts)
        except OSError as e:
            self.problem(self.texts, str(e))
            return self.problems
        for lang in textbase.LANGUAGES:
            bodies = []
            for folder in folders:
                try:
                    base = textbase.load_base(folder)
                except (textbase.SourceError, OSError, ValueError, KeyError) as e:
                    self.problem(folder, "bad base.json: %s" % e)
                    continue
                self.check_file(base, lang, bodies)
            self.check_repeats(lang, bodies)
        return self.problems


def main(argv):
    ap = argparse.ArgumentParser(description="Check the text bases.")
    ap.add_argument("--texts", default=os.path.join(TREE, "tools", "texts"))
    ap.add_argument("--data", default=os.path.join(TREE, "data"))
    args = ap.parse_args(argv)
    checker = Checker(args.texts, args.data)
    problems = checker.run()
    for n in checker.notes:
        print("note: " + n)
    for p in problems:
        print(p)
    print("check_texts: %d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
