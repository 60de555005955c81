#!/usr/bin/env python3
"""Writes a UTF-8 text as the programs' files are read: code page 932 with
CR LF line ends. A character that code page 932 lacks is an error, not a
question mark.

usage: text_cp932.py SOURCE TARGET"""

import sys
from pathlib import Path


def main(source, target):
    text = Path(source).read_text(encoding="utf-8")
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    joined = "".join(line + "\r\n" for line in lines)
    try:
        data = joined.encode("cp932")
    except UnicodeEncodeError as error:
        line = joined.count("\n", 0, error.start) + 1
        sys.exit(f"{source}:{line}: {joined[error.start]!r} has no code page 932 form")
    Path(target).write_bytes(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
