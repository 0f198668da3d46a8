#!/usr/bin/env python3
"""The tables of --noise in docs/command-line.md hold exactly the built-in
patterns.

    check_noise_list.py COMMAND_LINE_MD DIFFFILTER_CPP
"""

import re
import sys

readme, source = (open(path, encoding="utf-8").read() for path in sys.argv[1:3])
tables = readme.split("`--noise` adds a built-in list")[1].split("Noise is only")[0]
documented = []
for row in tables.splitlines():
    if row.startswith("| `"):
        documented += re.findall(r"`([^`]+)`", row.split(" | ")[0])
body = source.split("NoisePatterns(SnapKind kind)")[1]
built_in = [literal.replace("\\\\", "\\") for literal in re.findall(r'^\s*"((?:[^"\\]|\\.)*)",$', body, re.M)]
if documented != built_in:
    print("documented:", documented)
    print("built in: ", built_in)
    sys.exit(1)
print(f"{len(built_in)} patterns documented in order")
