#!/usr/bin/env python3
"""Fails unless every program given is a 32-bit Windows program marked
large-address-aware, so that on 64-bit Windows it may use 4 GB.

    check_large_address.py PROGRAM.exe...
"""

import struct
import sys

IMAGE_FILE_MACHINE_I386 = 0x014C
IMAGE_FILE_LARGE_ADDRESS_AWARE = 0x0020
IMAGE_FILE_32BIT_MACHINE = 0x0100


def characteristics(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe : pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    machine, = struct.unpack_from("<H", data, pe + 4)
    flags, = struct.unpack_from("<H", data, pe + 22)
    return machine, flags


def main(paths):
    failed = 0
    for path in paths:
        machine, flags = characteristics(path)
        wanted = IMAGE_FILE_LARGE_ADDRESS_AWARE | IMAGE_FILE_32BIT_MACHINE
        if machine != IMAGE_FILE_MACHINE_I386 or flags & wanted != wanted:
            print(f"{path}: machine {machine:#06x}, characteristics {flags:#06x}: "
                  "not a large-address-aware 32-bit program")
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
