#!/usr/bin/env bash
# Tells whether this machine can run the 32-bit Windows build: exits 0 when the 32-bit Wine
# loader of setup-wine32.sh starts here; otherwise prints the reason in one line and exits 1.
#   wine32-ready.sh [ROOT, default build/wine32]
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
wine32_root="${1:-$root/build/wine32}"

if [ ! -e /lib/ld-linux.so.2 ]; then
  echo "no 32-bit C library (/lib/ld-linux.so.2 from libc6-i386)"
  exit 1
fi
if ! output="$(/lib/ld-linux.so.2 --version 2>&1)"; then
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
exit 0
