#!/usr/bin/env python3
"""Checks that linked Windows programs (PE32 or PE32+) are shipped without debug information.

Each PROGRAM must have no COFF symbols, no debug section (".debug_*"; long section names are read
from the string table), and a ".gnu_debuglink" section naming a file beside it whose CRC-32 is
the one the link records (the debug information, kept for reading crash addresses).

  check-stripped.py PROGRAM ...

Prints one line per program and exits 1 on any fault.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_image import Image  # noqa: E402


def check(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    faults = []
    if image.symbol_count:
        faults.append("a symbol table of %d symbols" % image.symbol_count)
    for section in image.sections:
        if section[0].startswith(".debug"):
            faults.append("the section %s" % section[0])
    link = image.section_bytes(".gnu_debuglink")
    if link is None:
        faults.append("no .gnu_debuglink")
    else:
        end = link.find(b"\0")
        target = link[:end].decode("ascii", "replace")
        crc, = struct.unpack_from("<I", link, (end + 4) & ~3)
        beside = os.path.join(os.path.dirname(path), target)
        if not os.path.isfile(beside):
            faults.append("the debug file %s is missing" % target)
        else:
            with open(beside, "rb") as f:
                if zlib.crc32(f.read()) & 0xFFFFFFFF != crc:
                    faults.append("the debug file %s is not the one linked (CRC-32)" % target)
    print("%s: %d bytes, %s" % (os.path.basename(path), len(image.data), "; ".join(faults) if faults else "stripped"))
    return faults


def main(argv):
    if len(argv) < 2:
        print("usage: check-stripped.py PROGRAM ...", file=sys.stderr)
        return 2
    faults = []
    for path in argv[1:]:
        faults += check(path)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
