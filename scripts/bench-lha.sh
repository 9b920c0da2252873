#!/usr/bin/env bash
# LHA codec benchmark (never run by the tests): on a mixed corpus (text, program binaries, random
# bytes; TOLVEX_BENCH_MIB MiB, default 64), for TOLVEX_BENCH_ROUNDS rounds (default 5), each round
# runs in turn
#   compression: our -lh5- writer, jlha-utils (-lh5-), gzip -6 (a well-known reference);
#   decoding:    our decoder and lhasa on both -lh5- archives, gzip -d on the gzip -6 output,
#                everything decoded to a null sink / /dev/null.
# Every contender is a process timed from here. Prints sizes, the median and spread of each
# speed (MB of original data per second), ratios of medians and the targets.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/bench-stats.sh"
build="$root/build/lha-native"
mib_count=${TOLVEX_BENCH_MIB:-64}
rounds=${TOLVEX_BENCH_ROUNDS:-5}
work="$root/build/lha-bench/corpus-${mib_count}mib"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench_lha >/dev/null
ours="$build/bench/lha/bench_lha"
mkdir -p "$work"
cd "$work"

files=(text.txt programs.bin random.bin)
bench_corpus "$work" "$mib_count"
total=$(cat "${files[@]}" | wc -c)

ours_a() { "$ours" a ours.lzh "${files[@]}"; }
jlha_a() { jlha aq jlha.lzh "${files[@]}"; }
gzip_a() { gzip -6 -c "${files[@]}" >corpus.gz; }
ours_x() { "$ours" x "$1"; }
lhasa_x() { lhasa -pq "$1"; }
gzip_x() { gzip -dc corpus.gz; }
samples="$work/samples"
: >"$samples"
record() {  # record CONTENDER COMMAND...: times one run, appends its MB/s
  local seconds
  seconds="$(bench_seconds "${@:2}")" || { echo "$1 failed" >&2; exit 1; }
  awk -v c="$1" -v b="$total" -v s="$seconds" 'BEGIN { printf "%s %.3f\n", c, b / s / 1e6 }' >>"$samples"
}
for _ in $(seq 1 "$rounds"); do
  rm -f ours.lzh jlha.lzh corpus.gz
  record ours_a ours_a
  record jlha_a jlha_a
  record gzip_a gzip_a
  for archive in ours.lzh jlha.lzh; do
    record "ours_x_$archive" ours_x "$archive"
    record "lhasa_x_$archive" lhasa_x "$archive"
  done
  record gzip_x gzip_x
done

size() { stat -c %s "$1"; }
echo "corpus: ${files[*]}, $total bytes; $rounds rounds, contenders alternating"
awk -v t="$total" -v o="$(size ours.lzh)" -v j="$(size jlha.lzh)" -v g="$(size corpus.gz)" 'BEGIN {
  printf "sizes: ours -lh5- %d (%.2f%%), jlha-utils -lh5- %d (%.2f%%), gzip -6 %d (%.2f%%)\n", o, 100 * o / t, j, 100 * j / t, g, 100 * g / t
}'
echo "compression, MB/s of original data, median (min-max):"
bench_row "$samples" ours_a "ours -lh5-" MB/s
bench_row "$samples" jlha_a "jlha-utils -lh5-" MB/s
bench_row "$samples" gzip_a "gzip -6" MB/s
echo "decoding, MB/s of original data, median (min-max):"
for archive in ours.lzh jlha.lzh; do
  bench_row "$samples" "ours_x_$archive" "ours, $archive" MB/s
  bench_row "$samples" "lhasa_x_$archive" "lhasa, $archive" MB/s
done
bench_row "$samples" gzip_x "gzip -d, corpus.gz" MB/s
echo "targets (speed: ratio of the medians; size: ratio of the archive sizes):"
for archive in ours.lzh jlha.lzh; do
  bench_target "decode >= 2x gzip -d ($archive)" "$(bench_ratio "$samples" "ours_x_$archive" gzip_x)" ">=" 2
  bench_target "decode >= 5x lhasa ($archive)" "$(bench_ratio "$samples" "ours_x_$archive" "lhasa_x_$archive")" ">=" 5
done
bench_target "size <= 0.97x jlha" "$(awk -v o="$(size ours.lzh)" -v j="$(size jlha.lzh)" 'BEGIN { printf "%.4f", o / j }')" "<=" 0.97
bench_target "compress speed >= 2x jlha" "$(bench_ratio "$samples" ours_a jlha_a)" ">=" 2
