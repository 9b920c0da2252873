#!/usr/bin/env bash
# Tells whether this machine can run the 32-bit Windows build: when the 32-bit Wine loader of
# setup-wine32.sh starts here, prints how i386 programs run and exits 0:
#   natively
#   through qemu-i386 10.0.13 (user-mode emulation)
# otherwise prints the reason in one line and exits 1.
#   wine32-ready.sh [ROOT, default build/wine32]
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
wine32_root="${1:-$root/build/wine32}"

# The interpreter binfmt_misc hands i386 programs to, if an enabled registration matches the
# 32-bit C library's own ELF header; nothing when the kernel runs them itself.
i386_interpreter() {
  python3 - /lib/ld-linux.so.2 <<'EOF'
import glob, sys
head = open(sys.argv[1], "rb").read(128)
found = []
for entry in sorted(glob.glob("/proc/sys/fs/binfmt_misc/*")):
    if entry.endswith(("/register", "/status")):
        continue
    try:
        fields = dict(line.split(" ", 1) for line in open(entry).read().split("\n")[1:] if " " in line)
        enabled = open(entry).readline().strip() == "enabled"
    except OSError:
        continue
    if not enabled or "magic" not in fields:
        continue
    magic = bytes.fromhex(fields["magic"].strip())
    mask = bytes.fromhex(fields["mask"].strip()) if "mask" in fields else b"\xff" * len(magic)
    offset = int(fields.get("offset", "0"))
    data = head[offset:offset + len(magic)]
    if len(data) == len(magic) and all((d & m) == (g & m) for d, m, g in zip(data, mask, magic)):
        found.append((not entry.endswith("/tolvex-qemu-i386"), fields["interpreter"].strip()))
if found:
    print(sorted(found)[0][1])
EOF
}

if [ ! -e /lib/ld-linux.so.2 ]; then
  echo "no 32-bit C library (/lib/ld-linux.so.2 from libc6-i386)"
  exit 1
fi
if ! output="$(timeout 60 /lib/ld-linux.so.2 --version 2>&1)"; then
  # The kernel may refuse every i386 program (IA-32 emulation off); say what it said.
  kernel="$(dmesg 2>/dev/null | grep -i -m1 -E 'ia-?32 emulation|32-bit emulation' | sed 's/^\[[^]]*\] *//')"
  echo "this machine does not run 32-bit programs (${output##*: }${kernel:+; kernel: $kernel})"
  exit 1
fi
if [ ! -x "$wine32_root/usr/lib/wine/wine" ]; then
  echo "the 32-bit Wine loader is not set up in $wine32_root (scripts/setup-wine32.sh)"
  exit 1
fi
export LD_LIBRARY_PATH="$wine32_root/usr/lib/i386-linux-gnu:$wine32_root/lib/i386-linux-gnu"
if ! output="$(timeout 60 "$wine32_root/usr/lib/wine/wine" --version 2>&1)"; then
  echo "the 32-bit Wine loader does not start within 60 s: $(echo "$output" | tail -n 1)"
  exit 1
fi
interpreter="$(i386_interpreter)"
if [ -z "$interpreter" ]; then
  echo "natively"
else
  # "qemu-i386 version 10.0.13 (Debian 1:10.0.13+ds-0+deb13u1)"
  version="$("$interpreter" --version 2>/dev/null | sed -n '1s/^.* version \([0-9][0-9.]*\).*$/\1/p')"
  echo "through $(basename "$interpreter")${version:+ $version} (user-mode emulation)"
fi
exit 0
