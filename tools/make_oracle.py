#!/usr/bin/env python3
"""Writes the oracle texts and the glossary of data/ from their UTF-8 sources.

  tools/texts/oracle/en.txt    -> data/oracle-eng.txt  (the hexagrams, English)
  tools/texts/oracle/ru.txt    -> data/oracle.txt      (the hexagrams, Russian)
  tools/texts/glossary/ru.txt  -> data/spr.txt         (the astrological glossary, Russian)

Every text here is our own. The made files are code page 1251 with CR LF line ends; running
the tool again gives the same bytes. In every source, an empty line is dropped and a line that
begins with a blank continues the item above it (joined with one blank), so long texts may be
wrapped.

English source: "#NN title" opens hexagram NN (two digits); a line that begins with "#" and
no digit is a note for writers. The lines up to the first "[" line are the main text, one
paragraph a line. "[v p text" is the text of the changing line at place p (1 bottom .. 6 top)
whose value v is 9 (an undivided line) or 6 (a divided one); "[9 0" in hexagram 1 and "[6 0"
in hexagram 2 are read when all six lines change.

Russian oracle source: "[n] text", one item per hexagram; the made file has the text of
hexagram n on its line n.

Glossary source: "_Х" opens the section of letter Х, each entry is "TERM — definition".

Usage: tools/make_oracle.py [--texts DIR] [--data DIR]
Exit status 0 when every file was written, 1 otherwise (nothing is written then).
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_texts import write_atomic  # noqa: E402

TREE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (source under tools/texts/, made file under data/)
ORACLE_EN = ("oracle/en.txt", "oracle-eng.txt")
ORACLE_RU = ("oracle/ru.txt", "oracle.txt")
GLOSSARY = ("glossary/ru.txt", "spr.txt")
FILES = (ORACLE_EN, ORACLE_RU, GLOSSARY)


class SourceError(Exception):
    pass


def read_items(path):
    """The source's items as (line number, text): continuation lines joined, empty lines and
    writers' notes dropped."""
    items = []
    with open(path, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip("\r\n")
            if not line.strip():
                continue
            if line[0] in " \t":
                if not items:
                    raise SourceError("%s:%d: a continuation line with nothing above it"
                                      % (path, n))
                items[-1] = (items[-1][0], items[-1][1] + " " + line.strip())
                continue
            if line.startswith("#") and not line[1:2].isdigit():
                continue
            items.append((n, " ".join(line.split())))
    return items


RU_ITEM = re.compile(r"^\[(\d+)\]\s*(.*)$")


def build_lines(name, items):
    if name == ORACLE_RU[0]:
        texts = {}
        for n, item in items:
            m = RU_ITEM.match(item)
            if not m:
                raise SourceError("%s:%d: not a \"[n] text\" item" % (name, n))
            k = int(m.group(1))
            if not 1 <= k <= 64 or k in texts:
                raise SourceError("%s:%d: hexagram %d out of range or repeated" % (name, n, k))
            texts[k] = m.group(2)
        last = max(texts) if texts else 0
        return [texts.get(k, "") for k in range(1, last + 1)]
    return [item for _, item in items]


def encode(lines, where):
    text = "".join(line + "\r\n" for line in lines)
    try:
        return text.encode("cp1251")
    except UnicodeEncodeError as e:
        ch = e.object[e.start]
        raise SourceError("%s: line %d: character %r (U+%04X) has no code page 1251 form"
                          % (where, e.object.count("\n", 0, e.start) + 1, ch, ord(ch)))


def build(texts, source):
    """The made file's bytes for one source."""
    path = os.path.join(texts, source)
    return encode(build_lines(source, read_items(path)), source)


def main(argv):
    ap = argparse.ArgumentParser(description="Write the oracle texts and the glossary.")
    ap.add_argument("--texts", default=os.path.join(TREE, "tools", "texts"))
    ap.add_argument("--data", default=os.path.join(TREE, "data"))
    args = ap.parse_args(argv)
    try:
        made = [(out, build(args.texts, src)) for src, out in FILES]
    except (SourceError, OSError) as e:
        print("make_oracle: %s" % e, file=sys.stderr)
        return 1
    for out, data in made:
        write_atomic(os.path.join(args.data, out), data)
        print("make_oracle: %s (%d bytes)" % (out, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
