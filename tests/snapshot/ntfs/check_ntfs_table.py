#!/usr/bin/env python3
"""corvane-snap fs on a real NTFS volume under Wine: the snapshot read from the
master file table must be the one walked through the file system, byte for
byte.   check_ntfs_table.py BUILD FOLDER

The volume is made by ntfs-3g (mkntfs on an image file, filled through its
FUSE mount, as root). Drive T: is the mounted folder; T:: is the image file,
so that \\\\.\\T: reads the raw volume. Without T:: the program walks T:.
Wine cannot see a file's creation time through the mount (it gives the time
of the last change of the file's record), so the walked snapshot takes each
file's creation time from what ntfs-3g reports of its own volume, its
system.ntfs_crtime attribute, before the two are compared."""
import os, re, shutil, struct, subprocess, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from winetests import check, finish, wine_env

build, folder = (os.path.abspath(arg) for arg in sys.argv[1:3])
snap_exe = os.path.join(build, "tools", "corvane-snap.exe")
image, mount, out = (os.path.join(folder, name) for name in ("volume.img", "mnt", "out"))


def link(name, target):
    path = os.path.join(env["WINEPREFIX"], "dosdevices", name)
    if os.path.lexists(path):
        os.remove(path)
    if target:
        os.symlink(target, path)


def snap(name, raw):
    """The snapshot of T:, the table read from the image raw when raw names one."""
    link("t::", raw)
    path = os.path.join(out, name + ".tvrec")
    done = subprocess.run(["wine", snap_exe, "fs", "T:", "Z:" + path.replace("/", "\\")], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
    check(f"{name}: exit code", (done.returncode, done.stderr.decode(errors="replace")), (0, ""))
    with open(path, "rb") as f:
        return f.read(), done.stdout.decode("cp1252").replace("\r\n", "\n")


def mounted(readonly, volume=image):
    subprocess.run(["ntfs-3g", "-o", "ro" if readonly else "rw", volume, mount], check=True, timeout=60)


def unmount():
    subprocess.run(["umount", mount], check=True, timeout=60)


def set_reparse(path, tag, target, relative=False):
    """A junction (tag 0xA0000003) or symbolic link (0xA000000C) to target, on an empty folder."""
    name = target.encode("utf-16-le")
    if tag == 0xA0000003:
        print_name = target[4:].encode("utf-16-le")
        body = struct.pack("<HHHH", 0, len(name), len(name) + 2, len(print_name)) + name + b"\0\0" + print_name + b"\0\0"
    else:
        body = struct.pack("<HHHHI", 0, len(name), len(name), len(name), 1 if relative else 0) + name + name
    os.setxattr(path, "system.ntfs_reparse_data", struct.pack("<IHH", tag, len(body), 0) + body)


def fill():
    """Everything a listing must get right, and an MFT in several fragments."""
    m = mount
    # Free space in a checkerboard, so that the table grows in fragments.
    os.makedirs(f"{m}/fill")
    count = 0
    try:
        while True:
            with open(f"{m}/fill/{count}", "wb") as f:
                f.write(b"\1" * 65536)
            count += 1
    except OSError:
        os.remove(f"{m}/fill/{count}")
    for i in range(0, count, 2):
        os.remove(f"{m}/fill/{i}")
    for d in range(60):  # thousands of files in many folders, one of them wide
        os.makedirs(f"{m}/many/sub{d:02}")
        for i in range(1500 if d == 7 else 25):
            open(f"{m}/many/sub{d:02}/file-{i:04}-{'x' * (i % 40)}.txt", "w").close()
    with open(f"{m}/unique-in-wide.txt", "w") as f:
        f.write("the wide folder's marker")
    os.rename(f"{m}/unique-in-wide.txt", f"{m}/many/sub07/unique-in-wide.txt")
    os.makedirs(f"{m}/many/sub07/unopenable")
    # Names: long, outside the code page, differing only in case, a short name beside a long one.
    os.makedirs(f"{m}/names/Déjà vu")
    for name in ["L" * 255, "日本語のファイル.txt", "emoji-\U0001F600.txt", "Case.txt", "CASE.TXT", "ε-file"]:
        with open(f"{m}/names/{name}", "w") as f:
            f.write(name)
    with open(f"{m}/names/A long name with a short one.txt", "w") as f:
        f.write("8.3")
    os.setxattr(f"{m}/names/A long name with a short one.txt", "system.ntfs_dos_name", b"ALONGN~1.TXT")
    # A file of many hard links (its record then needs an attribute list), in two folders.
    os.makedirs(f"{m}/links/one")
    os.makedirs(f"{m}/links/two")
    with open(f"{m}/links/original.dat", "wb") as f:
        f.write(b"linked" * 100)
    for i in range(300):
        os.link(f"{m}/links/original.dat", f"{m}/links/{'one' if i % 2 else 'two'}/link-{i:03}.dat")
    # Streams, sparse and compressed files.
    with open(f"{m}/streams.txt", "w") as f:
        f.write("main data")
    os.setxattr(f"{m}/streams.txt", "user.hidden-stream", b"never listed")
    with open(f"{m}/sparse-5GiB.bin", "wb") as f:
        f.truncate(5 << 30)
        f.seek(3 << 30)
        f.write(b"island")
    os.makedirs(f"{m}/packed")
    attrib = struct.unpack("<I", os.getxattr(f"{m}/packed", "system.ntfs_attrib"))[0]
    os.setxattr(f"{m}/packed", "system.ntfs_attrib", struct.pack("<I", attrib | 0x800))
    with open(f"{m}/packed/compressed.txt", "w") as f:
        f.write("compress me " * 5000)
    # Deep nesting.
    os.makedirs(f"{m}/deep/" + "/".join(f"level{i:02}" for i in range(50)))
    with open(f"{m}/deep/" + "/".join(f"level{i:02}" for i in range(50)) + "/bottom.txt", "w") as f:
        f.write("bottom")
    # Folder links: a junction and a symbolic link into the volume, and a junction into a loop.
    os.makedirs(f"{m}/target/inner")
    with open(f"{m}/target/inner/reached.txt", "w") as f:
        f.write("through a link")
    for name in ("junction", "symlink", "loop/back"):
        os.makedirs(f"{m}/{name}")
    set_reparse(f"{m}/junction", 0xA0000003, "\\??\\T:\\target")
    set_reparse(f"{m}/symlink", 0xA000000C, "target\\inner", relative=True)
    set_reparse(f"{m}/loop/back", 0xA0000003, "\\??\\T:\\loop")


def table_runs(data):
    """The number of fragments of the master file table."""
    cluster = data[0x0D] * struct.unpack_from("<H", data, 0x0B)[0]
    record = data[struct.unpack_from("<q", data, 0x30)[0] * cluster:][:1024]
    at = struct.unpack_from("<H", record, 0x14)[0]
    while struct.unpack_from("<I", record, at)[0] != 0x80:
        at += struct.unpack_from("<I", record, at + 4)[0]
    p, runs = at + struct.unpack_from("<H", record, at + 0x20)[0], 0
    while record[p]:
        p, runs = p + 1 + (record[p] & 15) + (record[p] >> 4), runs + 1
    return runs


def break_block(data, marker, magic, size):
    """Spoils the fix-ups of the record or index block (magic, of size bytes)
    that holds the UTF-16 name marker; the number spoilt."""
    for hit in re.finditer(re.escape(marker.encode("utf-16-le")), data):
        start = hit.start() - hit.start() % size
        if data[start:start + 4] == magic:
            data[start + 510] ^= 0xFF
            return 1
    return 0


def index_order(name):
    """Where a name sorts in a folder's index: by its upper-case UTF-16 units,
    names equal but for case by their own units."""
    upper = "".join(c.upper() if len(c.upper()) == 1 else c for c in name)
    return upper.encode("utf-16-be"), name.encode("utf-16-be")


def with_creation_times(snapshot):
    """The walked snapshot with each file's creation time as ntfs-3g holds it.
    The records are matched to the mounted files by the index's order."""
    data = bytearray(snapshot)
    at = 7

    def counted():
        nonlocal at
        at += 2 + struct.unpack_from("<H", data, at)[0]

    def folder(path):
        nonlocal at
        counted()
        subfolders, files = struct.unpack_from("<II", data, at)
        at += 8
        names = sorted(os.listdir(path), key=index_order) if subfolders or files else []
        listed = [n for n in names if not os.path.isdir(os.path.join(path, n))]
        check(f"files of {path}", len(listed), files)
        for name in listed[:files]:
            counted()
            crtime = os.getxattr(os.path.join(path, name), "system.ntfs_crtime")
            data[at:at + 8] = crtime
            at += 20
        for name in [n for n in names if os.path.isdir(os.path.join(path, n))][:subfolders]:
            folder(os.path.join(path, name))

    folder(mount)
    return bytes(data)


env = wine_env(build)
if os.path.ismount(mount):
    unmount()
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(mount)
os.makedirs(out)
with open(image, "wb") as f:
    f.truncate(48 << 20)
subprocess.run(["mkntfs", "-F", "-f", "-q", "-L", "Corvane", image], check=True, timeout=120,
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
mounted(readonly=False)
try:
    fill()
finally:
    unmount()

with open(image, "rb") as f:
    volume = bytearray(f.read())
check("fragments of the table", table_runs(volume) > 1, True)
# Only in what is read raw: a folder's record, and an index block of the wide folder.
check("record of sub13", break_block(volume, "sub13", b"FILE", 1024), 1)
check("index of sub07", break_block(volume, "unique-in-wide.txt", b"INDX", 4096), 1)
# The folder "names" keeps its index root in another record, which its
# attribute list names: the extension records of folders (they hold "$I30").
extensions = [start for start in range(0, len(volume), 1024) if volume[start:start + 4] == b"FILE"
              and volume[start + 0x20:start + 0x26] != bytes(6) and "$I30".encode("utf-16-le") in volume[start:start + 1024]]
for start in extensions:
    volume[start + 510] ^= 0xFF
check("extension records of folders", len(extensions), 1)
damaged = os.path.join(folder, "damaged.img")
with open(damaged, "wb") as f:
    f.write(volume)
# A copy whose folder "unopenable" has a broken record on the volume itself.
with open(image, "rb") as f:
    volume = bytearray(f.read())
check("record of unopenable", break_block(volume, "unopenable", b"FILE", 1024), 1)
locked = os.path.join(folder, "locked.img")
with open(locked, "wb") as f:
    f.write(volume)

mounted(readonly=True)
link("t:", mount)
try:
    walked, walked_text = snap("walked", None)
    table, table_text = snap("table", image)
    spoilt, spoilt_text = snap("damaged", damaged)
    walked = with_creation_times(walked)
    # The folders the damaged table leaves to the system get Wine's creation times too.
    spoilt = with_creation_times(spoilt)
    # The folder with the broken record: its parent's index lists it, it
    # cannot be opened, and it is recorded as not accessible, as a listing
    # of the running system does. (Wine's own listing leaves out an entry it
    # cannot look at, so no walk is held against this one.)
    unmount()
    mounted(readonly=True, volume=locked)
    unlisted = snap("locked", locked)[1]
    check("a folder that cannot be opened", re.findall(r"\d+ directories ignored|T:\\.*", unlisted),
          ["2 directories ignored", "T:\\loop\\back", "T:\\many\\sub07\\unopenable"])
finally:
    link("t:", None)
    link("t::", None)
    unmount()

head = "OPERATION SUCCESSFUL.\n\n3648 files found\n128 directories found\n1 directories ignored\n\n" \
       "The following directories could not be accessed and contents were ignored:\n\nT:\\loop\\back\n"
read = "\nThe directories were read from the NTFS master file table of drive T:"
check("results", (walked_text, table_text, spoilt_text), (head, head + read + ".\n", head + read +
      ", but for 3 listed through the file system (not in the table, or failing its checks).\n"))
check("the walk's snapshot read from the table, intact and damaged", (table == walked, spoilt == walked), (True, True))

finish()
