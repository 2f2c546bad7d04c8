#!/usr/bin/env python3
"""Checks the numbered message files data/rtext.txt and data/etext.txt.

Each message is one line: the number right-aligned in columns 1-3, a blank
in column 4, the text from column 5 on. Any other line must be a comment
starting with "#". Both files are code page 1251 with CR LF line ends.

Checked here:
  - the bytes decode as cp1251 and every line ends in CR LF (no lone CR/LF);
  - every line is a comment or a well-formed message line (number 1..999,
    blank separator, non-empty text without a trailing blank);
  - no number appears twice in a file;
  - both files carry the same set of numbers;
  - for each number the count of "%" and the trailing "_" agree between the
    Russian and the English text.

Usage: tools/check_messages.py [data-folder]   (default: data/ of the tree)
Exit status 0 when everything holds, 1 otherwise.
"""

import os
import re
import sys

MESSAGE_LINE = re.compile(r"^(  [1-9]| [1-9][0-9]|[1-9][0-9]{2}) (.*)$")
NUMBER_PREFIX = re.compile(r"^[ 0-9]{3}")


def read_lines(path, errors):
    """Returns the decoded lines of a file, or None when it is unusable."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        errors.append("%s: cannot read: %s" % (path, e))
        return None
    try:
        text = raw.decode("cp1251", errors="strict")
    except UnicodeDecodeError as e:
        errors.append("%s: not code page 1251: %s" % (path, e))
        return None
    if not text:
        errors.append("%s: empty file" % path)
        return None
    if not text.endswith("\r\n"):
        errors.append("%s: last line does not end in CR LF" % path)
    parts = text.split("\r\n")
    if parts and parts[-1] == "":
        parts.pop()
    for i, line in enumerate(parts, 1):
        if "\r" in line or "\n" in line:
            errors.append("%s:%d: lone CR or LF inside the line" % (path, i))
    return parts


def parse(path, lines, errors):
    """Returns {number: text} of the message lines of one file."""
    messages = {}
    for i, line in enumerate(lines, 1):
        where = "%s:%d" % (path, i)
        if line.startswith("#"):
            # A comment must never be taken for a message number.
            if MESSAGE_LINE.match(line[:3] + " "):
                errors.append("%s: comment looks like a message number" % where)
            continue
        m = MESSAGE_LINE.match(line)
        if not m:
            if NUMBER_PREFIX.match(line):
                errors.append("%s: malformed message line: %r" % (where, line))
            else:
                errors.append("%s: neither a comment nor a message: %r" % (where, line))
            continue
        n = int(m.group(1))
        body = m.group(2)
        if not body:
            errors.append("%s: message %d has no text" % (where, n))
        elif body != body.rstrip(" \t"):
            errors.append("%s: message %d ends in a blank (use \"_\")" % (where, n))
        if "\t" in body:
            errors.append("%s: message %d holds a tab" % (where, n))
        if n in messages:
            errors.append("%s: message %d appears twice" % (where, n))
            continue
        messages[n] = body
    return messages


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "data")
    rus_path = os.path.join(folder, "rtext.txt")
    eng_path = os.path.join(folder, "etext.txt")
    errors = []

    rus_lines = read_lines(rus_path, errors)
    eng_lines = read_lines(eng_path, errors)
    rus = parse(rus_path, rus_lines, errors) if rus_lines is not None else {}
    eng = parse(eng_path, eng_lines, errors) if eng_lines is not None else {}

    if rus_lines is not None and eng_lines is not None:
        for n in sorted(set(rus) - set(eng)):
            errors.append("message %d is in rtext.txt only" % n)
        for n in sorted(set(eng) - set(rus)):
            errors.append("message %d is in etext.txt only" % n)
        for n in sorted(set(rus) & set(eng)):
            if rus[n].count("%") != eng[n].count("%"):
                errors.append(
                    "message %d: %d \"%%\" in Russian, %d in English"
                    % (n, rus[n].count("%"), eng[n].count("%"))
                )
            if rus[n].endswith("_") != eng[n].endswith("_"):
                errors.append("message %d: trailing \"_\" in one language only" % n)

    for e in errors:
        print(e)
    if errors:
        print("FAILED: %d problem(s)" % len(errors))
        return 1
    print(
        "OK: %d messages in each file, numbers %d..%d"
        % (len(rus), min(rus), max(rus))
    )
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
