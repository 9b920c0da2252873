#!/usr/bin/env python3
"""Checks the imports of a linked Windows program (PE32 or PE32+).

Imported at start-up: only DLLs that the system always takes from its own folder (the KnownDLLs
of Windows, and the common controls, which the program's manifest binds to the system's side-by-
side copy). Any other DLL imported at start-up is searched for beside the program before the
program can limit where DLLs come from: a copy planted there would run with its rights.

Delay-loaded: every delay-import slot must start out pointing at code of the program (the thunk
that loads the DLL and resolves the function on the first call). A slot that holds 0, or points
anywhere else, makes the first call into that function jump there: the program crashes at its
first use of the DLL, which a window that never touches the DLL at start-up does not show.

  check-imports.py PROGRAM [DLL ...]

Each DLL named must have a delay-import descriptor in PROGRAM. Prints one line per DLL and
exits 1 on any fault.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_image import Image  # noqa: E402

# The KnownDLLs of Windows 10 and 11 (HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs,
# and ntdll and kernelbase, which every process has), plus comctl32, bound by the manifest.
START_UP_ALLOWED = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "kernelbase.dll", "msctf.dll", "msvcrt.dll",
    "normaliz.dll", "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll",
    "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
    "comctl32.dll",
}


def delay_descriptors(image):
    """The delay-import descriptors by lower-case DLL name (attributes 1: addresses are RVAs), found by their shape:
    the linker records them in no data directory, and may place them among the code."""
    found = {}
    for _name, _rva, _size, raw_size, raw_at, _flags in image.sections:
        for at in range(raw_at, raw_at + raw_size - 32 + 1, 4):
            attributes, dll_rva, module_rva, iat_rva, int_rva = struct.unpack_from("<IIIII", image.data, at)
            if attributes != 1 or 0 in (dll_rva, module_rva, iat_rva, int_rva):
                continue
            dll = image.text(dll_rva)
            if not dll or not dll.lower().endswith(".dll") or image.offset_of(iat_rva) is None:
                continue
            found[dll.lower()] = (dll, iat_rva, int_rva)
    return found


def check(image, dll, iat_rva, int_rva):
    faults, count = [], 0
    while True:
        entry = image.pointer(int_rva + count * image.pointer_size)
        if entry is None:
            return count, faults + ["the name table runs out of the image"]
        if entry == 0:
            return count, faults
        ordinal_flag = 1 << (image.pointer_size * 8 - 1)
        function = "#%d" % (entry & 0xFFFF) if entry & ordinal_flag else image.text(entry + 2)
        slot = image.pointer(iat_rva + count * image.pointer_size)
        if not slot:
            faults.append("%s!%s: the slot holds 0 (no thunk linked)" % (dll, function))
        elif not image.executable(slot):
            faults.append("%s!%s: the slot holds %#x, outside the program's code" % (dll, function, slot))
        count += 1


def main(argv):
    if len(argv) < 2:
        print("usage: check-imports.py PROGRAM [DLL ...]", file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        image = Image(f.read())
    faults = []
    imported = image.start_up_imports()
    print("imported at start-up: %s" % " ".join(imported))
    for dll in imported:
        if dll.lower() not in START_UP_ALLOWED:
            faults.append("%s: imported at start-up, but not a DLL the system always takes from its own folder" % dll)
    descriptors = delay_descriptors(image)
    for wanted in argv[2:]:
        if wanted.lower() not in descriptors:
            faults.append("%s: no delay-import descriptor" % wanted)
    for dll, iat_rva, int_rva in descriptors.values():
        count, found = check(image, dll, iat_rva, int_rva)
        print("%s: %d delay-loaded functions, %d faults" % (dll, count, len(found)))
        faults += found
    for fault in faults:
        print("FAULT " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
