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
import struct
import sys

# The KnownDLLs of Windows 10 and 11 (HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs,
# and ntdll and kernelbase, which every process has), plus comctl32, bound by the manifest.
START_UP_ALLOWED = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "kernelbase.dll", "msctf.dll", "msvcrt.dll",
    "normaliz.dll", "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll",
    "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
    "comctl32.dll",
}

IMAGE_SCN_CNT_CODE = 0x00000020
IMAGE_SCN_MEM_EXECUTE = 0x20000000


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ image")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = pe + 4
        sections, = struct.unpack_from("<H", data, coff + 2)
        optional_size, = struct.unpack_from("<H", data, coff + 16)
        optional = coff + 20
        magic, = struct.unpack_from("<H", data, optional)
        if magic == 0x10B:
            self.pointer_size = 4
            self.image_base, = struct.unpack_from("<I", data, optional + 28)
            directories = optional + 96
        elif magic == 0x20B:
            self.pointer_size = 8
            self.image_base, = struct.unpack_from("<Q", data, optional + 24)
            directories = optional + 112
        else:
            raise ValueError("unknown optional header magic %#x" % magic)
        # Data directory 1: the import directory (RVA, size).
        self.import_directory, = struct.unpack_from("<I", data, directories + 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            at = table + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
            flags, = struct.unpack_from("<I", data, at + 36)
            self.sections.append((name, rva, max(vsize, raw_size), raw_size, raw_at, flags))

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def offset_of(self, rva):
        section = self.section_of(rva)
        if section is None or rva - section[1] >= section[3]:
            return None
        return section[4] + rva - section[1]

    def pointer(self, rva):
        at = self.offset_of(rva)
        if at is None:
            return None
        return struct.unpack_from("<Q" if self.pointer_size == 8 else "<I", self.data, at)[0]

    def text(self, rva):
        at = self.offset_of(rva)
        if at is None:
            return None
        end = self.data.find(b"\0", at)
        return self.data[at:end].decode("latin-1") if end >= 0 else None

    def executable(self, va):
        section = self.section_of(va - self.image_base) if va >= self.image_base else None
        return section is not None and section[5] & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE) != 0

    def start_up_imports(self):
        """The DLL names of the import directory, in order."""
        names, at = [], self.import_directory
        while at:
            offset = self.offset_of(at)
            if offset is None:
                raise ValueError("the import directory runs out of the image")
            _lookup, _stamp, _chain, name_rva, thunk_rva = struct.unpack_from("<IIIII", self.data, offset)
            if name_rva == 0 and thunk_rva == 0:
                break
            names.append(self.text(name_rva) or "?")
            at += 20
        return names

    def delay_descriptors(self):
        """The delay-import descriptors by lower-case DLL name (attributes 1: addresses are RVAs), found by their shape:
        the linker records them in no data directory, and may place them among the code."""
        found = {}
        for _name, _rva, _size, raw_size, raw_at, _flags in self.sections:
            for at in range(raw_at, raw_at + raw_size - 32 + 1, 4):
                attributes, dll_rva, module_rva, iat_rva, int_rva = struct.unpack_from("<IIIII", self.data, at)
                if attributes != 1 or 0 in (dll_rva, module_rva, iat_rva, int_rva):
                    continue
                dll = self.text(dll_rva)
                if not dll or not dll.lower().endswith(".dll") or self.offset_of(iat_rva) is None:
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
    descriptors = image.delay_descriptors()
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
