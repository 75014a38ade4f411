#!/usr/bin/env python3
"""Writes the characters the programs can show, for cutting the faces the
web build brings down to them (pyftsubset --text-file): every character in
the string literals of the given sources, with printable ASCII, the kana,
Japanese punctuation and the full-width forms, which the score files and the
figures may hold besides.

Usage: scripts/font-glyphs.py output-file source-file...
"""

import re
import sys

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
RANGES = [(0x20, 0x7E), (0x3000, 0x303F), (0x3040, 0x30FF), (0xFF01, 0xFF9F)]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    chars = set()
    for first, last in RANGES:
        chars.update(chr(c) for c in range(first, last + 1))
    for path in sys.argv[2:]:
        with open(path, encoding="utf-8") as f:
            for literal in LITERAL.findall(f.read()):
                chars.update(c for c in literal if c >= " ")
    with open(sys.argv[1], "w", encoding="utf-8") as out:
        out.write("".join(sorted(chars)) + "\n")


if __name__ == "__main__":
    main()
