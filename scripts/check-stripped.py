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


def sections(data):
    if data[:2] != b"MZ":
        raise ValueError("not an MZ image")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    coff = pe + 4
    count, = struct.unpack_from("<H", data, coff + 2)
    symbol_table, symbol_count = struct.unpack_from("<II", data, coff + 8)
    optional_size, = struct.unpack_from("<H", data, coff + 16)
    table = coff + 20 + optional_size
    # A name longer than 8 characters is "/<offset>" into the string table after the symbols.
    strings = symbol_table + 18 * symbol_count if symbol_table else None
    found = []
    for i in range(count):
        at = table + 40 * i
        name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/") and name[1:].isdigit() and strings is not None:
            start = strings + int(name[1:])
            name = data[start:data.find(b"\0", start)].decode("ascii", "replace")
        raw_size, raw_at = struct.unpack_from("<II", data, at + 16)
        found.append((name, data[raw_at:raw_at + raw_size]))
    return symbol_table, symbol_count, found


def check(path):
    with open(path, "rb") as f:
        data = f.read()
    symbol_table, symbol_count, found = sections(data)
    faults = []
    if symbol_count:
        faults.append("a symbol table of %d symbols" % symbol_count)
    for name, _ in found:
        if name.startswith(".debug"):
            faults.append("the section %s" % name)
    links = [body for name, body in found if name == ".gnu_debuglink"]
    if not links:
        faults.append("no .gnu_debuglink")
    else:
        body = links[0]
        end = body.find(b"\0")
        target = body[:end].decode("ascii", "replace")
        crc_at = (end + 4) & ~3
        crc, = struct.unpack_from("<I", body, crc_at)
        beside = os.path.join(os.path.dirname(path), target)
        if not os.path.isfile(beside):
            faults.append("the debug file %s is missing" % target)
        else:
            with open(beside, "rb") as f:
                if zlib.crc32(f.read()) & 0xFFFFFFFF != crc:
                    faults.append("the debug file %s is not the one linked (CRC-32)" % target)
    print("%s: %d bytes, %s" % (os.path.basename(path), len(data), "; ".join(faults) if faults else "stripped"))
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
