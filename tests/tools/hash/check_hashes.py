#!/usr/bin/env python3
"""corvane-snap --hash on a drive mapped under Wine, against Python's hashlib;
a file rewritten with its size and times is changed only between two hashed
snapshots.   check_hashes.py BUILD FOLDER CAPTURE_SUBJECT_EXE"""
import hashlib, json, os, shutil, subprocess, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from winetests import check, finish, wine_env

build, folder, subject_exe = sys.argv[1:4]
snap_exe = os.path.join(build, "tools", "corvane-snap.exe")
diff_exe = os.path.join(build, "tools", "corvane-diff.exe")
LIMIT = 3 << 20


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")

def run(exe, *args):
    done = subprocess.run(["wine", exe, *args], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return done.returncode, done.stdout.decode("cp1252").replace("\r\n", "\n")

def snap(name, *options):
    return run(snap_exe, "fs", "H:", windows_path(f"{out}/{name}.tvrec"), *options)

def diff(first, second, *options):
    return run(diff_exe, *options, windows_path(f"{out}/{first}.tvrec"), windows_path(f"{out}/{second}.tvrec"))


env = wine_env(build)
drive, out = os.path.join(folder, "drive"), os.path.join(folder, "out")
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(os.path.join(drive, "sub"))
os.makedirs(out)
link = os.path.join(env["WINEPREFIX"], "dosdevices", "h:")
if os.path.lexists(link): os.remove(link)
os.symlink(os.path.abspath(drive), link)
holder = None
try:
    # The drive empty, then with files across the read pieces and the limit.
    check("empty drive", snap("none", "--hash")[0], 0)
    contents = {"same.bin": os.urandom(1000), "multi.bin": os.urandom(2 * (1 << 20) + 1), "empty.txt": b"",
                "big.bin": os.urandom(LIMIT + 1), "locked.bin": b"held by another program", "sub\\abc.txt": b"abc"}
    for name, data in contents.items():
        with open(os.path.join(drive, *name.split("\\")), "wb") as f:
            f.write(data)
    holder = subprocess.Popen(["wine", subject_exe, "hold", windows_path(os.path.join(drive, "locked.bin"))], env=env,
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    check("holder", holder.stdout.readline(), b"held\r\n")

    check("results of a hashed snapshot", snap("before", "--hash-limit", "3M"),
          (0, "OPERATION SUCCESSFUL.\n\n6 files found\n2 directories found\n0 directories ignored\n\n"
              "The following directories could not be accessed and contents were ignored:\n\n"
              "4 files hashed (SHA-256)\n2 files not hashed\n"
              "  1 larger than the limit of 3,145,728 bytes\n  1 in use by another program\n\n"
              "The following files could not be read and were not hashed:\n"
              "H:\\locked.bin (in use by another program)\n"))
    check("plain snapshot", snap("plain-before")[0], 0)

    # Every file added to the empty drive, with what the snapshot kept of it.
    kept = {d["path"]: {k: v for k, v in d["after"].items() if k in ("sha256", "not_hashed")}
            for d in json.loads(diff("none", "before", "--format", "json")[1])["differences"] if d["kind"] == "file"}
    wanted = {"H:\\" + name: {"sha256": hashlib.sha256(data).hexdigest()} for name, data in contents.items()}
    wanted["H:\\big.bin"] = {"not_hashed": "larger than the limit"}
    wanted["H:\\locked.bin"] = {"not_hashed": "in use by another program"}
    check("hashes against hashlib", kept, wanted)

    # Rewritten with other bytes of the same size, its times set back.
    same = os.path.join(drive, "same.bin")
    times = os.stat(same)
    with open(same, "r+b") as f:
        f.write(os.urandom(1000))
    os.utime(same, ns=(times.st_atime_ns, times.st_mtime_ns))
    check("hashed after", snap("after", "--hash-limit", "3M")[0], 0)
    check("plain after", snap("plain-after")[0], 0)
    for first, second, wanted in [("before", "after", (1, "changed:   H:\\same.bin: content\n")),
                                  ("plain-before", "plain-after", (0, "")), ("plain-before", "after", (0, "")),
                                  ("before", "plain-after", (0, ""))]:
        check(f"{first} against {second}", diff(first, second), wanted)
finally:
    if holder:
        holder.stdin.close()
        holder.wait(timeout=60)
    os.remove(link)

finish()
