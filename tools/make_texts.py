#!/usr/bin/env python3
"""Writes the interpretation text bases of data/Txt/ from their UTF-8 sources in tools/texts/.

Each base folder tools/texts/<name>/ (see tools/texts/README.md) gives one file per language:
the Russian one under the name in its base.json, the English one beside it with "-e" before
".txt". The files are code page 1251 with CR LF line ends; running the tool again gives the
same bytes.

Usage: tools/make_texts.py [--texts DIR] [--data DIR] [BASE...]
  (defaults: tools/texts/ and data/ of the tree; all bases when none is named)
Exit status 0 when every file was written, 1 otherwise (nothing is written for a base whose
sources fail).
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import textbase  # noqa: E402

TREE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write_atomic(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    ap = argparse.ArgumentParser(description="Write the text bases from their sources.")
    ap.add_argument("--texts", default=os.path.join(TREE, "tools", "texts"))
    ap.add_argument("--data", default=os.path.join(TREE, "data"))
    ap.add_argument("bases", nargs="*")
    args = ap.parse_args(argv)

    failed = False
    for folder in textbase.base_folders(args.texts):
        if args.bases and os.path.basename(folder) not in args.bases:
            continue
        try:
            base = textbase.load_base(folder)
            files = {lang: textbase.build(base, lang, args.data) for lang in textbase.LANGUAGES}
        except (textbase.SourceError, OSError, ValueError) as e:
            print("make_texts: %s" % e, file=sys.stderr)
            failed = True
            continue
        for lang, data in files.items():
            path = os.path.join(args.data, textbase.output_name(base, lang))
            write_atomic(path, data)
            print("make_texts: %s (%d bytes)" % (textbase.output_name(base, lang), len(data)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
