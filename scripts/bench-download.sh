#!/usr/bin/env bash
# Download benchmark (not part of CI): one 64 MiB file from the local test server, fetched
#   (1) by the updater's download_file with its progress callback drawing into a real window,
#   (2) by a plain WinInet loop reading 64 KiB blocks with no window,
#   (3) by curl,
# and the ratios (1)/(2) and (1)/(3). (1) and (2) run under Wine on a private Xvfb display.
#   bench-download.sh [build folder, default build/x64]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build/x64}" && cd "${1:-$root/build/x64}" && pwd)"
size_mib=${TOLVEX_BENCH_MIB:-64}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
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

head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$server_dir/root/bench.bin"
bytes=$((size_mib * 1024 * 1024))
python3 "$root/scripts/http_test_server.py" --root "$server_dir/root" --port-file "$server_dir/port" \
  --pid-file "$server_dir/pid" --background --idle-exit 600
port="$(cat "$server_dir/port")"
base="http://127.0.0.1:$port/"

"$root/scripts/wine-rig.sh" start "$rig"
export TOLVEX_RIG_DIR="$rig"
results="$(cd "$work/run" && "$root/scripts/wine-run.sh" "$bench_exe" "$base" bench.bin "$bytes" </dev/null 2>&1 | tr -d '\r')"
program="$(sed -n 's/^program_path_mb_s=//p' <<<"$results")"
plain="$(sed -n 's/^plain_wininet_mb_s=//p' <<<"$results")"
bare="$(sed -n 's/^transfer_without_callback_mb_s=//p' <<<"$results")"
throttled="$(sed -n 's/^callback_drawing_every_15ms_mb_s=//p' <<<"$results")"
if [ -z "$program" ] || [ -z "$plain" ]; then
  echo "download bench failed:" >&2
  echo "$results" >&2
  exit 1
fi

best_curl=0
for _ in 1 2 3; do
  speed="$(curl -s -o /dev/null -w '%{speed_download}' "${base}bench.bin")"
  best_curl="$(awk -v a="$best_curl" -v b="$speed" 'BEGIN { print (b / 1e6 > a) ? b / 1e6 : a }')"
done

awk -v p="$program" -v w="$plain" -v c="$best_curl" -v b="$bare" -v t="$throttled" -v mib="$size_mib" 'BEGIN {
  printf "download of %d MiB from 127.0.0.1 ((1): one run; others: best of 3)\n", mib
  printf "  (1) download_file + progress window : %8.1f MB/s\n", p
  printf "  (2) plain WinInet, 64 KiB reads     : %8.1f MB/s\n", w
  printf "  (3) curl                            : %8.1f MB/s\n", c
  printf "  (1)/(2) = %.2f   (target >= 0.25)\n", p / w
  printf "  (1)/(3) = %.3f\n", p / c
  printf "where (1) spends its time:\n"
  printf "  download_file, no callback          : %8.1f MB/s\n", b
  printf "  callback drawing at most every 15 ms: %8.1f MB/s\n", t
}'
