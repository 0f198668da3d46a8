#!/usr/bin/env python3
"""Every link of README.md and docs/*.md reaches a file, and a heading where it
names one (its anchor as the repository's web page makes it); the README.html
that GENERATOR makes of them is made, each of its links within the page
reaches an id, and no id is there twice.

    check_links.py TOP GENERATOR
"""

import collections
import glob
import os
import re
import subprocess
import sys
import tempfile

top, generator = sys.argv[1:3]
os.chdir(top)
docs = ["README.md"] + sorted(glob.glob("docs/*.md"))


def anchors(path):
    seen, found = collections.Counter(), set()
    for heading in re.findall(r"^#{1,6} +(.+)$", open(path, encoding="utf-8").read(), re.M):
        name = re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")
        found.add("%s-%d" % (name, seen[name]) if seen[name] else name)
        seen[name] += 1
    return found


faults = []
for doc in docs:
    for target in re.findall(r"\]\(([^)\s]+)\)", open(doc, encoding="utf-8").read()):
        if re.match(r"[a-z]+:", target):
            continue
        name, _, mark = target.partition("#")
        linked = os.path.normpath(os.path.join(os.path.dirname(doc), name)) if name else doc
        if not os.path.isfile(linked):
            faults.append("%s: %s: no such file" % (doc, target))
        elif mark and mark not in anchors(linked):
            faults.append("%s: %s: no such heading" % (doc, target))

with tempfile.TemporaryDirectory() as folder:
    page = os.path.join(folder, "README.html")
    made = subprocess.run([generator, docs[0], "0.0.0.0", page] + docs[1:], capture_output=True, text=True)
    if made.returncode:
        faults.append(made.stderr.strip())
    else:
        html = open(page, encoding="utf-8").read()
        ids = collections.Counter(re.findall(r'\sid="([^"]*)"', html))
        faults += ["README.html: id %s %d times" % (i, n) for i, n in ids.items() if n > 1]
        faults += ["README.html: #%s: no such id" % h for h in re.findall(r'href="#([^"]*)"', html) if h not in ids]

print("\n".join(faults + ["faults: %d, documents: %d" % (len(faults), len(docs))]))
sys.exit(1 if faults else 0)
