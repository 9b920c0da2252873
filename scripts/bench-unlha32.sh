#!/usr/bin/env bash
# Extraction benchmark of the archive library (never run by the tests or CI): UNLHA32.dll called
# the way the updater calls it (unlha32_bench.exe: the entry at ordinal 1, "e -mc -n1 -jse2
# <archive> *.*", into the current folder), on one -lh5- archive with one member, as the updater
# receives them: the mixed corpus of bench-lha.sh (text, program binaries, random bytes;
# TOLVEX_BENCH_MIB MiB, default 32) as a single file, compressed by our codec (bench_lha a, the
# publisher's writer). Each build runs under a Wine rig of its own width; with several builds
# they take turns, round after round (TOLVEX_BENCH_ROUNDS, default 5). Prints each build's median
# and spread in MB/s of extracted data and, with two builds, the ratio of the medians (i686 /
# x86_64 when the widths differ, otherwise the second over the first).
#   bench-unlha32.sh [build folder ..., default build/x64]
# A missing folder is configured as its name suggests (x86: i686, otherwise x86_64).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/bench-stats.sh"
mib_count=${TOLVEX_BENCH_MIB:-32}
rounds=${TOLVEX_BENCH_ROUNDS:-5}
[ "$#" -gt 0 ] || set -- "$root/build/x64"

builds=() widths=() exes=()
for folder in "$@"; do
  build="$(mkdir -p "$folder" && cd "$folder" && pwd)"
  bench_configure "$build"
  cmake --build "$build" --target unlha32_bench -j "$(nproc)" >/dev/null
  builds+=("$build")
  widths+=("$(bench_build_width "$build")")
  exes+=("$(find "$build" -name unlha32_bench.exe -print -quit)")
done

work="$(mktemp -d)"
cleanup() {
  local build
  for build in "${builds[@]}"; do "$root/scripts/wine-rig.sh" stop "$build/bench-rig" >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT
for build in "${builds[@]}"; do bench_start_rig "$build" "$build/bench-rig" || exit 1; done

# The member: the corpus as one file under a managed name, compressed by the current codec.
native="$root/build/lha-native"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$native" -j "$(nproc)" --target bench_lha >/dev/null
corpus="$root/build/unlha32-bench/corpus-${mib_count}mib"
bench_corpus "$corpus" "$mib_count"
cat "$corpus/text.txt" "$corpus/programs.bin" "$corpus/random.bin" >"$corpus/vemoda.dll"
rm -f "$corpus/vemoda.lzh"
(cd "$corpus" && "$native/bench/lha/bench_lha" a vemoda.lzh vemoda.dll)
archive="$corpus/vemoda.lzh"
total=$(stat -c %s "$corpus/vemoda.dll")

run_once() {  # run_once INDEX: one extraction by build INDEX, its MB/s of extracted data
  local out
  out="$(TOLVEX_RIG_DIR="${builds[$1]}/bench-rig" "$root/scripts/wine-run.sh" "${exes[$1]}" \
    "Z:${archive//\//\\}" "Z:${work//\//\\}\\scratch-$1" 1 </dev/null 2>&1 | tr -d '\r')" ||
    { echo "$out" >&2; return 1; }
  sed -n 's/^run=1 seconds=\([0-9.]*\) bytes=\([0-9]*\)$/\1 \2/p' <<<"$out" |
    awk -v want="$total" '$2 == want && $1 > 0 { printf "%.3f\n", want / $1 / 1e6; ok = 1 } END { exit !ok }' ||
    { echo "unexpected output (want $total bytes):" >&2; echo "$out" >&2; return 1; }
}

samples="$work/samples"
: >"$samples"
for round in $(seq 1 "$rounds"); do
  for i in "${!builds[@]}"; do
    speed="$(run_once "$i")" || { echo "round $round: ${builds[$i]} failed" >&2; exit 1; }
    echo "build$i $speed" >>"$samples"
  done
done

width_name() { if [ "$1" = win32 ]; then echo i686; else echo x86_64; fi; }
echo "extraction by UNLHA32.dll as the updater calls it: vemoda.dll, $total bytes, from a $(stat -c %s "$archive")-byte -lh5- archive"
echo "$rounds rounds, builds alternating; MB/s of extracted data, median (min-max):"
emulated=0
for i in "${!builds[@]}"; do
  label="${builds[$i]#"$root"/} ($(width_name "${widths[$i]}"))"
  if bench_emulated "${builds[$i]}"; then
    label="${label%)}, emulated)"
    emulated=1
  fi
  bench_row "$samples" "build$i" "$label" MB/s
done
if [ "${#builds[@]}" -eq 2 ] && [ "$emulated" = 1 ]; then
  bench_no_ratios
elif [ "${#builds[@]}" -eq 2 ]; then
  if [ "${widths[0]}" = win64 ] && [ "${widths[1]}" = win32 ]; then
    echo "ratio of the medians, i686 / x86_64: $(bench_ratio "$samples" build1 build0)"
  elif [ "${widths[0]}" = win32 ] && [ "${widths[1]}" = win64 ]; then
    echo "ratio of the medians, i686 / x86_64: $(bench_ratio "$samples" build0 build1)"
  else
    echo "ratio of the medians, second / first: $(bench_ratio "$samples" build1 build0)"
  fi
fi
