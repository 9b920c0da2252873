#!/usr/bin/env bash
# Peak memory of `tolvex-publish publish` and `verify` on a large release (never run by the tests): all 26
# managed files, TOLVEX_BENCH_MIB MiB in all (default 2048), of random bytes that do not
# compress; each program and library is a small PE image with a version resource followed by
# the random bytes. Prints the release size and the "Maximum resident set size" /usr/bin/time
# reports for each, then removes the release and the published folder.
#   bench-publish-memory.sh [PUBLISHER]      (default: build/native/bin/tolvex-publish)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
publisher="${1:-$root/build/native/bin/tolvex-publish}"
mib_count=${TOLVEX_BENCH_MIB:-2048}
work="$root/build/publish-memory-bench"
rm -rf "$work"
mkdir -p "$work/release"
trap 'rm -rf "$work"' EXIT

python3 - "$work/release" "$mib_count" <<'EOF'
import os, struct, sys

folder, mib = sys.argv[1], int(sys.argv[2])
names = ["plo.exe", "rasto.exe", "mepli.exe", "gaft.exe", "orbe.exe", "tolvex.exe", "vemoda.dll",
         "vemoca.dll", "nuri.dll", "sef.dll", "palgon.dll", "qe_lorma.dll", "qe_pinta.dll",
         "hobrave.dll", "dulam.dll", "wirto.dll", "zevo.dll", "orbi.dll", "fule.dll", "carnesa.dll",
         "bimoral.dll", "temasid.dll", "yosk.dll", "hexaloun.dll", "hexalou2.dll", "rova.chm"]

def pe_image(minor):
    """A PE32+ image of one .rsrc section holding VS_VERSIONINFO with file version 1.minor.0.1."""
    image = bytearray(0x400)
    def u16(at, value): struct.pack_into("<H", image, at, value)
    def u32(at, value): struct.pack_into("<I", image, at, value)
    u16(0, 0x5A4D); u32(0x3C, 0x40); u32(0x40, 0x4550)
    u16(0x44, 0x8664); u16(0x46, 1); u16(0x54, 240); u16(0x56, 0x2022)
    opt = 0x58
    u16(opt, 0x20B); u32(opt + 32, 0x1000); u32(opt + 36, 0x200); u32(opt + 56, 0x2000)
    u32(opt + 60, 0x200); u32(opt + 108, 16)
    u32(opt + 112 + 16, 0x1000); u32(opt + 112 + 20, 0x58 + 92)
    section = opt + 240
    image[section:section + 5] = b".rsrc"
    u32(section + 8, 0x58 + 92); u32(section + 12, 0x1000); u32(section + 16, 0x200)
    u32(section + 20, 0x200); u32(section + 36, 0x40000040)
    rsrc = 0x200
    u16(rsrc + 14, 1); u32(rsrc + 16, 16); u32(rsrc + 20, 0x80000000 | 0x18)
    u16(rsrc + 0x18 + 14, 1); u32(rsrc + 0x18 + 16, 1); u32(rsrc + 0x18 + 20, 0x80000000 | 0x30)
    u16(rsrc + 0x30 + 14, 1); u32(rsrc + 0x30 + 16, 0x411); u32(rsrc + 0x30 + 20, 0x48)
    u32(rsrc + 0x48, 0x1000 + 0x58); u32(rsrc + 0x48 + 4, 92)
    block = rsrc + 0x58
    u16(block, 92); u16(block + 2, 52)
    for i, c in enumerate("VS_VERSION_INFO\0"): u16(block + 6 + 2 * i, ord(c))
    fixed = block + 40
    for at, value in ((0, 0xFEEF04BD), (4, 0x10000), (8, 0x10000 | minor), (12, 1), (16, 0x10000 | minor), (20, 1)):
        u32(fixed + at, value)
    return bytes(image)

per_file = mib * 1024 * 1024 // len(names)
for index, name in enumerate(names):
    head = b"" if name.endswith(".chm") else pe_image(index)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(head)
        left = per_file - len(head)
        while left > 0:
            chunk = os.urandom(min(left, 8 << 20))
            out.write(chunk)
            left -= len(chunk)
EOF

total=$(du -sb "$work/release" | cut -f1)
echo "release: $total bytes in $(ls "$work/release" | wc -l) files"
for command in publish verify; do
  folders=("$work/release" "$work/out")
  [ "$command" = verify ] && folders=("$work/out")
  /usr/bin/time -v "$publisher" "$command" "${folders[@]}" >"$work/$command.out" 2>"$work/time.txt" ||
    { cat "$work/time.txt" >&2; exit 1; }
  echo "$command:"
  grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$work/time.txt"
done
