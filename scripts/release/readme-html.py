#!/usr/bin/python3
"""Writes the README as one HTML page that a Windows user opens by a double
click: its pictures are held in the page itself, and links to files of the
source tree, which the release does not carry, become plain text. Needs
Debian's python3-markdown (scripts/setup.sh), hence /usr/bin/python3.

    readme-html.py README.md VERSION OUT.html
"""

import base64
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
</style>
</head>
<body>
<p><em>Corvane {version}</em></p>
{body}
</body>
</html>
"""


def main():
    source, version, out = sys.argv[1:4]
    top = os.path.dirname(os.path.abspath(source))
    with open(source, encoding="utf-8") as f:
        text = f.read()

    def picture(match):
        alt, path = match.group(1), match.group(2)
        with open(os.path.join(top, path), "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return "![%s](data:image/png;base64,%s)" % (alt, data)

    text = re.sub(r"!\[([^\]]*)\]\(([^)#:]+\.png)\)", picture, text)
    # A link into the source tree: its text alone.
    text = re.sub(r"(?<!!)\[([^\]]+)\]\((?!#|[a-z]+:)[^)]+\)", r"\1", text)
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"],
                             extension_configs={"toc": {"permalink": False}})
    with open(out, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(PAGE.format(version=version, body=body))


if __name__ == "__main__":
    main()
