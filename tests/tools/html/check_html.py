#!/usr/bin/env python3
"""corvane-diff --format html on every test pair, read back with a strict
HTML5 parser (any parse error fails): both trees must be exactly what --tree
lists, drawn and opened as the views' colours say, the counts exactly the
report's, the files' names and dates shown, and nothing loaded from outside.

usage: check_html.py FOLDER [EMULATOR...] CORVANE-DIFF"""
import datetime
import os
import re
import subprocess
import sys

import html5lib

FOLDER, DIFF = sys.argv[1], sys.argv[2:]
CASES = [  # snapshot 1, snapshot 2, exit code
    ("before.tvrec", "after.tvrec", 1),
    ("before.tvrec", "before.tvrec", 0),
    ("reg-before.tvrec", "reg-after.tvrec", 1),
    ("reg-before.tvrec", "reg-before.tvrec", 0),
    ("html-names-1.tvrec", "html-names-2.tvrec", 1),
    ("html-deep-1.tvrec", "html-deep-2.tvrec", 1),
]
STATES = {"uncompared": -1, "identical": 0, "unique": 1, "changed": 2}
UNDEFINED_1252 = {0x81, 0x8D, 0x8F, 0x90, 0x9D}  # Windows maps them to U+0081 ...


def run(*args, code):
    done = subprocess.run(DIFF + list(args), cwd=FOLDER, capture_output=True, timeout=120)
    assert done.returncode == code, (args, done.returncode, done.stderr)
    return done.stdout.replace(b"\r\n", b"\n")


def shown(ansi):
    """A name's bytes as the page must show them: Windows-1252, and the
    characters HTML cannot hold as Control Pictures or U+FFFD. --tree shows
    control bytes as <0A>, which is undone first."""
    ansi = re.sub(rb"<([01][0-9A-F]|7F)>", lambda m: bytes([int(m[1], 16)]), ansi)
    text = "".join(chr(b) if b in UNDEFINED_1252 else bytes([b]).decode("cp1252") for b in ansi)
    return "".join(chr(0x2400 + ord(c)) if c < " " else "\u2421" if c == "\x7f"
                   else "\ufffd" if "\x80" <= c <= "\x9f" else c for c in text)


def read_tree(section, side):
    """The tree's lines as --tree writes them, from the nesting of the page,
    walked with a stack (the deep pair nests 600 folders)."""
    lines, pending = [], [(child, 0, False) for child in reversed(list(section)) if child.tag != "h2"]
    while pending:
        element, depth, in_only = pending.pop()
        classes = element.get("class").split()
        state = STATES[classes[1] if element.tag == "div" else classes[0]]
        only = "only" in classes
        assert only == (in_only or state == 1), (side, depth, classes)
        if element.tag == "details":
            summary, children = element[0], list(element)[1:]
            assert summary.tag == "summary" and (element.get("open") is None) == only, classes
            name = summary.find("span").text or ""
            lines.append(f"{side} {depth} {state} N {name}")
            pending += [(child, depth + 1, only) for child in reversed(children)]
        else:
            assert element.tag == "div" and classes[0] == "i", classes
            lines.append(f"{side} {depth} {state} I {element.find('span').text or ''}")
    return lines


def check(first, second, code):
    page = run("--format", "html", first, second, code=code)
    root = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False).parse(page)
    for element in root.iter():
        assert element.tag not in ("script", "link", "img", "iframe", "object", "embed"), element.tag
        assert not {"src", "href"} & set(element.keys()), element.tag
    assert not re.search(r"url\(|@import", root.find("head/style").text)

    listing = run("--format", "tree", first, second, code=code).split(b"\n")[:-1]
    expected = [shown(line) for line in listing]
    trees = root.findall("body/main/section")
    read = read_tree(trees[0], "L") + read_tree(trees[1], "R")
    assert read == expected, "\n".join(f"{a!r} | {b!r}" for a, b in zip(read, expected) if a != b)

    report = run(first, second, code=code).decode("latin-1").split("\n")
    by_id = {e.get("id"): "".join(e.itertext()) for e in root.iter() if e.get("id")}
    for key, prefix in (("removed", "only in 1: "), ("added", "only in 2: "), ("changed", "changed:   ")):
        assert int(by_id[key].replace(",", "")) == sum(line.startswith(prefix) for line in report), key
    for n, name in ((1, first), (2, second)):
        stamp = os.stat(os.path.join(FOLDER, name)).st_mtime
        date = datetime.datetime.fromtimestamp(int(stamp), datetime.timezone.utc)
        assert by_id[f"file{n}"] == name and by_id[f"date{n}"] == date.strftime("%Y-%m-%d %H:%M:%S UTC")
    identical = [p for p in root.iter("p") if p.get("class") == "note"]
    assert (code == 0) == (len(identical) == 1) and (code != 0 or len(read) == 2)
    return max(int(line.split()[1]) for line in read)


depths = {}
for first, second, code in CASES:
    depths[first] = check(first, second, code)
    print(f"{first} {second}: exit {code}, {depths[first]} deep: ok")
assert depths["html-deep-1.tvrec"] == 602
