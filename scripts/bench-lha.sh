#!/usr/bin/env bash
# LHA codec benchmark (not part of the tests): builds a 64 MiB mixed corpus (text, program
# binaries, random bytes), then compares our -lh5- writer with jlha-utils (size and speed) and
# our decoder with lhasa (speed) on the same archives, in one run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/lha-native"
work="$root/build/lha-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench_lha >/dev/null
mkdir -p "$work"
cd "$work"

mib=$((1024 * 1024))
fill() {  # fill NAME SIZE SOURCE-FILES...: concatenates the sources until SIZE bytes
  local name="$1" size="$2"
  shift 2
  : >"$name.tmp"
  while [ "$(stat -c %s "$name.tmp")" -lt "$size" ]; do cat "$@" >>"$name.tmp"; done
  head -c "$size" "$name.tmp" >"$name"
  rm -f "$name.tmp"
}
if [ ! -f random.bin ]; then
  fill text.txt $((24 * mib)) $(find /usr/share/common-licenses /usr/share/doc -type f -name '*.txt' -size -200k 2>/dev/null | head -200) /usr/share/common-licenses/GPL-3
  fill programs.bin $((24 * mib)) $(ls -S /usr/bin/* | head -40)
  head -c $((16 * mib)) /dev/urandom >random.bin
fi
"$build/bench/lha/bench_lha" text.txt programs.bin random.bin
