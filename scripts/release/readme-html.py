#!/usr/bin/python3
"""Writes the README and its guides as one HTML page that a Windows user opens
by a double click: the guides follow the README as sections of the page, its
pictures are held in the page itself, links between the documents become
links within the page, and links to files of the source tree, which the
release does not carry, become plain text. Needs Debian's python3-markdown
(scripts/setup.sh), hence /usr/bin/python3.

    readme-html.py README.md VERSION OUT.html [GUIDE.md...]

A heading's id is its anchor on the repository's web page (lower case, blanks
as hyphens, punctuation left out; a repeated heading of one document gets -1,
-2 ...). When an earlier document of the page has that id already, it becomes
the document's name, a hyphen and the anchor (command-line-exit-codes). A link
that no heading of the page answers, or to a document the page does not hold,
stops the script.
"""

import base64
import html
import os
import re
import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Corvane {version}</title>
<style>
body {{ font-family: "Segoe UI", Tahoma, sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em;
        line-height: 1.45; color: #1f1f1f; }}
code, pre {{ font-family: Consolas, "Courier New", monospace; background: #f3f3f3; }}
pre {{ padding: 0.6em; overflow-x: auto; }}
table {{ border-collapse: collapse; margin: 0.8em 0; }}
th, td {{ border: 1px solid #c8c8c8; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }}
img {{ max-width: 100%; }}
hr {{ margin: 3em 0; }}
</style>
</head>
<body>
<p><em>Corvane {version}</em></p>
{body}
</body>
</html>
"""


def anchor(text):
    return re.sub(r"[^\w\- ]", "", text.strip().lower()).replace(" ", "-")


def convert(path, used):
    """The document's HTML, and its anchors with the ids they have in the page."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    ids, seen = {}, {}

    def slugify(heading, separator):
        name = anchor(heading)
        seen[name] = seen.get(name, 0) + 1
        if seen[name] > 1:
            name += "-%d" % (seen[name] - 1)
        ids[name] = name if name not in used else "%s-%s" % (os.path.splitext(os.path.basename(path))[0], name)
        used.add(ids[name])
        return ids[name]

    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"],
                             extension_configs={"toc": {"permalink": False, "slugify": slugify}})
    return body, ids


def main():
    source, version, out = sys.argv[1:4]
    sources = [os.path.normpath(p) for p in [source] + sys.argv[4:]]
    used, docs = set(), {}
    for path in sources:
        docs[path] = convert(path, used)

    def place(path, match):
        target, text = html.unescape(match.group(1)), match.group(2)
        if re.match(r"[a-z]+:", target):
            return match.group(0)
        name, _, mark = target.partition("#")
        linked = os.path.normpath(os.path.join(os.path.dirname(path), name)) if name else path
        if linked in docs:
            ids = docs[linked][1]
            if mark and mark not in ids:
                sys.exit("readme-html.py: %s links to %s, which has no heading #%s" % (path, linked, mark))
            return '<a href="#%s">%s</a>' % (ids[mark] if mark else next(iter(ids.values())), text)
        if name.endswith(".md"):
            sys.exit("readme-html.py: %s links to %s, which the page does not hold" % (path, linked))
        return text  # a file of the source tree: its text alone

    def picture(path, match):
        with open(os.path.join(os.path.dirname(path), html.unescape(match.group(1))), "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return 'src="data:image/png;base64,%s"' % data

    parts = []
    for path in sources:
        body = re.sub(r'<a href="([^"]*)">(.*?)</a>', lambda m: place(path, m), docs[path][0], flags=re.S)
        parts.append(re.sub(r'src="(?![a-z]+:)([^"]+\.png)"', lambda m: picture(path, m), body))
    with open(out, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(PAGE.format(version=version, body="\n<hr>\n".join(parts)))


if __name__ == "__main__":
    main()
