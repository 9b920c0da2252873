#!/usr/bin/env bash
# Download benchmark (never run by the tests or CI): one file (TOLVEX_BENCH_MIB MiB, default 64) from the local
# test server, fetched in alternation, round after round (TOLVEX_BENCH_ROUNDS, default 5), by
#   (1) the updater's download_file with its progress callback drawing into a real window,
#   (2) a plain WinInet loop reading 64 KiB blocks with no window,
#   (3) curl,
# each storing the file in the same folder. (1) and (2) run under Wine on a private Xvfb display.
# Prints the median and spread of each and the ratios of the medians (none when the programs ran
# through an emulator: a smoke run). TOLVEX_BENCH_BREAKDOWN=1
# adds download_file without any callback, and (1) with the SHA-256 of a keyed build, to the rounds.
#   bench-download.sh [build folder, default build/x64]
# Either width: a missing folder is configured as its name suggests (x86: i686, otherwise
# x86_64), and the programs run under a rig of the build's width.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/bench-stats.sh"
build="$(mkdir -p "${1:-$root/build/x64}" && cd "${1:-$root/build/x64}" && pwd)"
size_mib=${TOLVEX_BENCH_MIB:-64}
rounds=${TOLVEX_BENCH_ROUNDS:-5}
contenders="program plain curl"
[ "${TOLVEX_BENCH_BREAKDOWN:-0}" = 1 ] && contenders="$contenders bare signed"

bench_configure "$build"
cmake --build "$build" --target download_bench -j "$(nproc)" >/dev/null
bench_exe="$(find "$build" -name download_bench.exe -print -quit)"

work="$(mktemp -d)"
rig="$build/bench-rig"
server_dir="$work/server"
mkdir -p "$server_dir/root" "$work/run"
cleanup() {
  python3 "$root/scripts/http_test_server.py" --stop --pid-file "$server_dir/pid" || true
  "$root/scripts/wine-rig.sh" stop "$rig" || true
  rm -rf "$work"
}
trap cleanup EXIT

bytes=$((size_mib * 1024 * 1024))
head -c "$bytes" /dev/urandom >"$server_dir/root/bench.bin"
python3 "$root/scripts/http_test_server.py" --root "$server_dir/root" --port-file "$server_dir/port" \
  --pid-file "$server_dir/pid" --background --idle-exit 600
base="http://127.0.0.1:$(cat "$server_dir/port")/"

bench_start_rig "$build" "$rig" || exit 1
export TOLVEX_RIG_DIR="$rig"

run_once() {  # run_once CONTENDER: one download, its MB/s
  if [ "$1" = curl ]; then
    curl -sf -o "$work/run/curl.bin" -w '%{size_download} %{speed_download}\n' "${base}bench.bin" |
      awk -v want="$bytes" '$1 == want { printf "%.3f\n", $2 / 1e6; ok = 1 } END { exit !ok }'
    rm -f "$work/run/curl.bin"
  else
    local out
    out="$(cd "$work/run" && "$root/scripts/wine-run.sh" "$bench_exe" "$1" "$base" bench.bin "$bytes" </dev/null 2>&1 |
      tr -d '\r')" || { echo "$out" >&2; return 1; }
    sed -n 's/^mb_s=//p' <<<"$out"
  fi
}

samples="$work/samples"
for round in $(seq 1 "$rounds"); do
  for contender in $contenders; do
    speed="$(run_once "$contender")" || { echo "round $round: $contender failed" >&2; exit 1; }
    echo "$contender $speed" >>"$samples"
  done
done

emulated=""
bench_emulated "$build" && emulated=", (1) and (2) emulated"
echo "download of $size_mib MiB from 127.0.0.1, $rounds rounds, contenders alternating$emulated; MB/s, median (min-max):"
bench_row "$samples" program "(1) download_file + progress window" MB/s
bench_row "$samples" plain "(2) plain WinInet, 64 KiB reads" MB/s
bench_row "$samples" curl "(3) curl" MB/s
if [ "${TOLVEX_BENCH_BREAKDOWN:-0}" = 1 ]; then
  bench_row "$samples" bare "    download_file, no callback" MB/s
  bench_row "$samples" signed "    (1) hashing what it writes (keyed build)" MB/s
  [ -n "$emulated" ] || echo "keyed/unkeyed: $(bench_ratio "$samples" signed program)"
fi
if [ -n "$emulated" ]; then
  bench_no_ratios
  exit 0
fi
echo "ratios of medians: (1)/(2) = $(bench_ratio "$samples" program plain)   (1)/(3) = $(bench_ratio "$samples" program curl)"
bench_target "(1)/(2) >= 0.5" "$(bench_ratio "$samples" program plain)" ">=" 0.5
