#!/usr/bin/env python3
"""corvane-diff's CSV and JSON read back by real parsers, against its report,
and its exclusions, on the snapshot pairs the fixtures wrote into DIR.

    check_formats.py DIR DIFF [EMULATOR...]

Exit code 0 when every case holds; otherwise one line per failure.
"""

import csv
import io
import json
import os
import re
import subprocess
import sys

DIR, DIFF, EMULATOR = sys.argv[1], sys.argv[2], sys.argv[3:]
failures = []


def run(*args):
    done = subprocess.run(EMULATOR + [DIFF, *args], cwd=DIR, capture_output=True, timeout=120)
    return done.returncode, done.stdout, done.stderr.replace(b"\r", b"")


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}:\n  got      {got!r}\n  expected {expected!r}")


def text_lines(output):
    """The report's or tree's lines, names as the Western code page's text."""
    return output.replace(b"\r", b"").decode("cp1252").splitlines()


REPORT_LINE = re.compile(r"^(only in 1|only in 2|changed):\s+(.*?)(\\ \(holding .*\)| \(.*\)|: .*)$")


def report_records(args):
    """(change, is a folder or key, path) of each line of the default report."""
    code, out, _ = run(*args)
    records = []
    for line in text_lines(out):
        m = REPORT_LINE.match(line)
        if not m:
            failures.append(f"report line not understood: {line!r}")
            continue
        change = {"only in 1": "removed", "only in 2": "added", "changed": "changed"}[m.group(1)]
        records.append((change, m.group(3).startswith("\\ (holding"), m.group(2)))
    return code, records


NODE_KINDS = {"folder", "key"}


def csv_rows(args):
    code, out, err = run("--format", "csv", *args)
    check(f"csv {args} stderr", err, b"")
    check(f"csv {args} starts with a byte-order mark", out[:3], b"\xef\xbb\xbf")
    body = out[3:]
    rows = list(csv.DictReader(io.StringIO(body.decode("utf-8"), newline="")))
    bare = sum(v.count("\n") - v.count("\r\n") for row in rows for v in row.values())
    check(f"csv {args} line ends", body.count(b"\n") - bare, body.count(b"\r\n"))
    return code, rows


def json_document(args):
    code, out, err = run("--format", "json", *args)
    check(f"json {args} stderr", err, b"")
    return code, json.loads(out.decode("utf-8"))


PAIRS = [
    ("before.tvrec", "after.tvrec"),
    ("reg-before.tvrec", "reg-after.tvrec"),
    ("odd-before.tvrec", "odd-after.tvrec"),
    ("reg-odd-before.tvrec", "reg-odd-after.tvrec"),
    ("before.tvrec", "before.tvrec"),
    ("reg-before.tvrec", "reg-before.tvrec"),
]

# Every record of each format is one of the report's differences, in order.
for first, second in PAIRS:
    pair = [first, second]
    code, report = report_records(pair)
    csv_code, rows = csv_rows(pair)
    json_code, document = json_document(pair)
    check(f"{pair} exit codes of csv and json", (csv_code, json_code), (code, code))
    check(f"{pair} csv records", [(r["change"], r["kind"] in NODE_KINDS, r["path"]) for r in rows], report)
    differences = document["differences"]
    check(f"{pair} json records", [(d["change"], d["kind"] in NODE_KINDS, d["path"]) for d in differences], report)
    counts = {change: sum(1 for r in report if r[0] == change) for change in ("removed", "added", "changed")}
    counts["total"] = len(report)
    check(f"{pair} json summary", document["summary"], counts)
    check(f"{pair} json files", (document["snapshot1"]["file"], document["snapshot2"]["file"]), (first, second))
    check(f"{pair} json kind", document["kind"], "registry" if first.startswith("reg-") else "file system")


def csv_by_path(pair):
    return {r["path"]: r for r in csv_rows(pair)[1]}


def json_by_path(pair):
    return {d["path"]: d for d in json_document(pair)[1]["differences"]}


T0 = "2015-03-03T14:05:09.0000000Z"
fs_csv = csv_by_path(["before.tvrec", "after.tvrec"])
fs_json = json_by_path(["before.tvrec", "after.tvrec"])
reg_csv = csv_by_path(["reg-before.tvrec", "reg-after.tvrec"])
reg_json = json_by_path(["reg-before.tvrec", "reg-after.tvrec"])
odd_csv = csv_by_path(["odd-before.tvrec", "odd-after.tvrec"])
odd_json = json_by_path(["odd-before.tvrec", "odd-after.tvrec"])
reg_odd_json = json_by_path(["reg-odd-before.tvrec", "reg-odd-after.tvrec"])

# (what, got, expected): the fields of single records, exactly.
FIELDS = [
    ("csv win.ini", {k: fs_csv["C:\\WINDOWS\\win.ini"][k] for k in
                     ("kind", "change", "size_before", "size_after", "created_before", "modified_after",
                      "folders_held")},
     {"kind": "file", "change": "changed", "size_before": "10", "size_after": "12", "created_before": T0,
      "modified_after": "2015-03-03T14:05:09.0000001Z", "folders_held": ""}),
    ("csv Old", {k: fs_csv["C:\\Old"][k] for k in ("kind", "change", "size_before", "folders_held", "files_held")},
     {"kind": "folder", "change": "removed", "size_before": "", "folders_held": "1", "files_held": "2"}),
    ("json added.txt", fs_json["C:\\added.txt"],
     {"kind": "file", "path": "C:\\added.txt", "change": "added", "before": None,
      "after": {"size": 1, "created": T0, "modified": T0}}),
    ("json NewApp", fs_json["C:\\NewApp"],
     {"kind": "folder", "path": "C:\\NewApp", "change": "added", "folders_held": 0, "files_held": 1}),
    ("csv Version", {k: reg_csv["HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\Version"][k] for k in
                     ("kind", "type_before", "type_after", "size_before", "data_before", "data_after")},
     {"kind": "value", "type_before": "REG_DWORD", "type_after": "REG_DWORD", "size_before": "4",
      "data_before": "01000000", "data_after": "02000000"}),
    ("json Installed", reg_json["HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\Installed"],
     {"kind": "value", "path": "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\Installed", "change": "added",
      "before": None, "after": {"type_number": 0, "type": "REG_NONE", "size": 0, "data": ""}}),
    ("json S-1-5-21", reg_json["HKEY_USERS\\S-1-5-21"],
     {"kind": "key", "path": "HKEY_USERS\\S-1-5-21", "change": "added", "keys_held": 1, "values_held": 1}),
    ("odd names in csv", sorted(odd_csv),
     sorted(["D:\\a,b.txt", "D:\\say \"hi\".txt", "D:\\\u20acuro", "D:\\new\u00a0space.txt"])),
    ("odd names in json", sorted(odd_json), sorted(odd_csv)),
    ("odd value names in json", sorted((p, d["change"]) for p, d in reg_odd_json.items()),
     [("HKEY_LOCAL_MACHINE\\SOFTWARE\\caf\u00e9", "added"),
      ("HKEY_LOCAL_MACHINE\\SOFTWARE\\comma,\"quoted\"", "removed"),
      ("HKEY_LOCAL_MACHINE\\SOFTWARE\\dir\\with\\slashes", "changed")]),
    ("value data in hexadecimal", (reg_odd_json["HKEY_LOCAL_MACHINE\\SOFTWARE\\dir\\with\\slashes"]["before"]["data"],
                                   reg_odd_json["HKEY_LOCAL_MACHINE\\SOFTWARE\\caf\u00e9"]["after"]["data"]),
     ("7800", "E900")),
]
for what, got, expected in FIELDS:
    check(what, got, expected)

# Names only the appendix holds and sizes of 4 GiB and more: exact in JSON and
# in the report with --utf8; against a file of 2.0.0.1, paired as recorded.
EXACT = ["exact-before.tvrec", "exact-after.tvrec"]
exact_json = json_by_path(EXACT)
check("exact json", {p: (d["change"], d["before"]["size"] if d["before"] else None,
                         d["after"]["size"] if d["after"] else None) for p, d in exact_json.items()},
      {"C:\\\u0414\u0438\u0440.txt": ("removed", 1, None), "C:\\disk.vhd": ("changed", 5 << 30, 9 << 30)})
code, out, err = run("--utf8", *EXACT)
check("exact report in UTF-8", (code, out.replace(b"\r", b"").decode("utf-8").splitlines(), err),
      (1, ["only in 1: C:\\\u0414\u0438\u0440.txt (1 bytes, modified 2015-03-03 14:05:09.0000000 UTC)",
           "changed:   C:\\disk.vhd: size 5,368,709,120 bytes -> 9,663,676,416 bytes"], b""))
check("exact report in the code page", text_lines(run(*EXACT)[1])[0], "only in 1: C:\\???.txt (1 bytes, modified 2015-03-03 14:05:09.0000000 UTC)")
check("a string changed where the code page stands in", text_lines(run("reg-exact-before.tvrec", "reg-exact-after.tvrec")[1]),
      ["changed:   HKEY_LOCAL_MACHINE\\SOFTWARE\\Path: data differ in characters the code page cannot hold"])
with open(os.path.join(DIR, "exact-patterns.txt"), "wb") as f:
    f.write("C:\\Дир.txt\r\n".encode("utf-8"))
check("a pattern file in UTF-8 that names an exact name", text_lines(run(*EXACT, "--exclude-from", "exact-patterns.txt")[1]),
      ["changed:   C:\\disk.vhd: size 5,368,709,120 bytes -> 9,663,676,416 bytes"])
check("an old file against a new one", sorted((p, d["change"]) for p, d in json_by_path(["exact-before.tvrec", "exact-after-old.tvrec"]).items()),
      [("C:\\\u0414\u0438\u0440.txt", "changed"), ("C:\\\u0416\u0443\u043a.txt", "removed")])

# Fields with commas and quotes are quoted as spreadsheets expect.
raw = run("--format", "csv", "odd-before.tvrec", "odd-after.tvrec")[1].decode("utf-8")
for quoted in ('"D:\\a,b.txt"', '"D:\\say ""hi"".txt"'):
    check(f"csv holds {quoted}", quoted in raw, True)

# Exclusions: (arguments, exit code, the report's lines).
FS = ["before.tvrec", "after.tvrec"]
REG = ["reg-before.tvrec", "reg-after.tvrec"]
FS_REPORT = text_lines(run(*FS)[1])
REG_REPORT = text_lines(run(*REG)[1])
WIN_INI, OLD, BOOT_INI, NEW_APP, ADDED = FS_REPORT
with open(os.path.join(DIR, "patterns.txt"), "wb") as f:
    f.write(b"# what this installer always touches\r\n\r\n   C:\\Old  \r\nC:\\boot.ini\r\n#C:\\added.txt\n\t\n")
with open(os.path.join(DIR, "patterns-bom.txt"), "wb") as f:
    f.write(b"\xef\xbb\xbfC:\\Old\r\n")

EXCLUSIONS = [
    (FS, 1, FS_REPORT),
    (FS + ["--exclude", "C:\\Old"], 1, [WIN_INI, BOOT_INI, NEW_APP, ADDED]),
    (FS + ["--exclude", "c:\\OLD\\"], 1, [WIN_INI, BOOT_INI, NEW_APP, ADDED]),
    (FS + ["--exclude", "C:\\*\\win.ini"], 1, [OLD, BOOT_INI, NEW_APP, ADDED]),
    (FS + ["--exclude", "C:\\*.ini"], 1, [WIN_INI, OLD, NEW_APP, ADDED]),
    (FS + ["--exclude", "**\\*.INI"], 1, [OLD, NEW_APP, ADDED]),
    (FS + ["--exclude", "C:\\Old\\deep\\y"], 1, [WIN_INI, "only in 1: C:\\Old\\ (holding 1 folders, 1 files)",
                                                 BOOT_INI, NEW_APP, ADDED]),
    (FS + ["--exclude", "C:\\NewApp\\*"], 1, [WIN_INI, OLD, BOOT_INI,
                                              "only in 2: C:\\NewApp\\ (holding 0 folders, 0 files)", ADDED]),
    (FS + ["--exclude", "C:\\add*", "--exclude", "C:\\N*"], 1, [WIN_INI, OLD, BOOT_INI]),
    (FS + ["--exclude-from", "patterns.txt"], 1, [WIN_INI, NEW_APP, ADDED]),
    (FS + ["--exclude-from", "patterns-bom.txt"], 1, [WIN_INI, BOOT_INI, NEW_APP, ADDED]),
    (FS + ["--exclude", "C:"], 0, []),
    (FS + ["--exclude", "**"], 0, []),
    (REG + ["--exclude", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\(Default)"], 1, REG_REPORT[1:]),
    (REG + ["--exclude", "HKEY_USERS\\**"], 1, [line for line in REG_REPORT if "HKEY_USERS" not in line]),
    (REG + ["--exclude", "hkey_local_machine\\software\\pellix\\*"], 1,
     [line for line in REG_REPORT if "Pellix" not in line]),
    (["noise-before.tvrec", "noise-after.tvrec", "--noise"], 1,
     ["only in 2: C:\\Program Files\\App\\ (holding 0 folders, 1 files)"]),
    (["reg-noise-before.tvrec", "reg-noise-after.tvrec", "--noise"], 1,
     ["only in 2: HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellix\\ (holding 0 keys, 1 values)"]),
    (["reg-noise-before.tvrec", "reg-noise-after.tvrec", "--noise", "--exclude", "*\\SOFTWARE\\Pellix"], 0, []),
]
for args, code, lines in EXCLUSIONS:
    got_code, out, err = run(*args)
    check(f"{args}", (got_code, text_lines(out), err), (code, lines, b""))

# A folder whose every difference is excluded leaves the trees too.
tree = text_lines(run(*FS, "--tree", "--exclude", "C:\\WINDOWS\\win.ini")[1])
check("tree without the excluded file's folder", [line for line in tree if "WINDOWS" in line], [])
# What is excluded is left out of every format; nothing left is exit code 0.
code, rows = csv_rows(FS + ["--exclude", "C:"])
check("csv with everything excluded", (code, rows), (0, []))
code, document = json_document(FS + ["--exclude", "C:"])
check("json with everything excluded", (code, document["summary"]["total"], document["differences"]), (0, 0, []))

# Names that would forge a line or a terminal command are shown escaped; a
# change of type alone counts with --types, in every format.
HOSTILE = ["reg-hostile-before.tvrec", "reg-hostile-after.tvrec"]
SOFTWARE = "HKEY_LOCAL_MACHINE\\SOFTWARE\\"
FORGED = [f"changed:   {SOFTWARE}v<0D><0A>changed:   forged: data 31 00 -> 32 00",
          f"changed:   {SOFTWARE}esc<1B>[2J: data 31 00 -> 32 00"]
ADDED_KEY = f"only in 2: {SOFTWARE}line<0A>feed\\ (holding 0 keys, 0 values)"
RETYPED = f"changed:   {SOFTWARE}Retyped: type REG_SZ -> REG_EXPAND_SZ"
for args, lines in [(HOSTILE, FORGED + [ADDED_KEY]), (HOSTILE + ["--types"], FORGED + [RETYPED, ADDED_KEY])]:
    check(f"{args}", (run(*args)[0], text_lines(run(*args)[1])), (1, lines))
check("tree of a name with a line feed", [line for line in text_lines(run("--tree", *HOSTILE)[1]) if "line" in line],
      ["R 3 1 N line<0A>feed"])
retyped = {r["path"]: r for r in csv_rows(HOSTILE + ["--types"])[1]}[SOFTWARE + "Retyped"]
check("csv --types", (retyped["change"], retyped["type_before"], retyped["type_after"], retyped["data_after"]),
      ("changed", "REG_SZ", "REG_EXPAND_SZ", "25502500"))
# A cell that a spreadsheet would evaluate is text behind a quote.
formula = csv_rows(["hostile-before.tvrec", "hostile-after.tvrec"])[1][0]["path"]
check("csv formula", formula, "'=HYPERLINK(\"http://x\")\\a")

# What cannot be used is refused with a message.
REFUSALS = [
    (FS + ["--exclude-from", "no-such-patterns.txt"],
     b"corvane-diff: Cannot read the pattern file no-such-patterns.txt.\n"),
    (FS + ["--format", "xml"], b"corvane-diff: unknown format \"xml\".\n"),
    (FS + ["--reverse"], b"corvane-diff: --reverse applies to --format reg only.\n"),
]
for args, message in REFUSALS:
    got_code, out, err = run(*args)
    check(f"{args}", (got_code, out, err), (2, b"", message))

# Names as typed: files open by their names, never by a look-alike's (which
# would show), a full-width option is none; on Windows a pattern the code page
# cannot hold matches the exact names (a full-width backslash is no
# separator), one it holds is used as before.
for name, data in [("Łukasz 1.tvrec", "before.tvrec"), ("Lukasz 1.tvrec", "registry.tvrec"),
                   ("снимок 2.tvrec", "after.tvrec"), ("Łukasz patterns.txt", b"C:\\Old\r\n"),
                   ("Lukasz patterns.txt", b"C:\\boot.ini\r\n")]:
    with open(os.path.join(DIR, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else open(os.path.join(DIR, data), "rb").read())
TYPED, REG_ODD = ["Łukasz 1.tvrec", "снимок 2.tvrec"], ["reg-odd-before.tvrec", "reg-odd-after.tvrec"]
REG_ODD_REPORT = text_lines(run(*REG_ODD)[1])
CAFE = "HKEY_LOCAL_MACHINE\\SOFTWARE\\café"
check("a value named café in the registry pair", any(CAFE in line for line in REG_ODD_REPORT), True)
USAGE = open(os.path.join(os.path.dirname(__file__), "..", "diff", "usage.txt"), "rb").read()
NAMED = [
    (TYPED, 1, FS_REPORT, b""),
    (TYPED + ["--exclude-from", "Łukasz patterns.txt"], 1, [WIN_INI, BOOT_INI, NEW_APP, ADDED], b""),
    (FS + ["－－tree"], 2, [], USAGE),
] + [
    (FS + ["--exclude", "C:\\Łukasz"], 1, FS_REPORT, b""),
    (FS + ["--exclude", "C:＼Old"], 1, FS_REPORT, b""),
    (EXACT + ["--exclude", "C:\\дир.TXT"], 1, ["changed:   C:\\disk.vhd: size 5,368,709,120 bytes -> 9,663,676,416 bytes"], b""),
    (REG_ODD + ["--exclude", CAFE], 1, [line for line in REG_ODD_REPORT if CAFE not in line], b""),
] * bool(EMULATOR)
for args, code, lines, err in NAMED:
    got_code, out, got_err = run(*args)
    check(f"{args}", (got_code, text_lines(out), got_err), (code, lines, err))

# Output that cannot be written is a failure, not a report.
with open("/dev/full", "wb") as full:
    done = subprocess.run(EMULATOR + [DIFF, "--format", "json", *FS], cwd=DIR, stdout=full,
                          stderr=subprocess.PIPE, timeout=120)
check("json to a full disk", (done.returncode, done.stderr.replace(b"\r", b"")),
      (2, b"corvane-diff: cannot write the output.\n"))

for failure in failures:
    print(failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
