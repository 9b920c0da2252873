"""A linked Windows program (PE32 or PE32+) as the checks of the build read it: its headers, its
sections (long names read from the string table), addresses and the import directory."""
import struct

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
        symbol_table, self.symbol_count = struct.unpack_from("<II", data, coff + 8)
        optional_size, = struct.unpack_from("<H", data, coff + 16)
        # A section name longer than 8 characters is "/<offset>" into the string table, which
        # follows the symbols.
        strings = symbol_table + 18 * self.symbol_count if symbol_table else None
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
            if name.startswith("/") and name[1:].isdigit() and strings is not None:
                start = strings + int(name[1:])
                name = data[start:data.find(b"\0", start)].decode("ascii", "replace")
            vsize, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
            flags, = struct.unpack_from("<I", data, at + 36)
            self.sections.append((name, rva, max(vsize, raw_size), raw_size, raw_at, flags))

    def section_bytes(self, name):
        """The raw bytes of the first section called `name`; None when there is none."""
        for section in self.sections:
            if section[0] == name:
                return self.data[section[4]:section[4] + section[3]]
        return None

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
