#!/usr/bin/env bash
# Start-up benchmark (never run by the tests or CI): time until tolvex.exe shows its 26 rows, against a minimal
# Win32 window program until its window shows, both under Wine on a private Xvfb, in a folder with
# the stand-in suite, started in alternation for TOLVEX_BENCH_ROUNDS rounds (default 10).
# Prints the median and spread of each and the ratio of the medians (none when the programs ran
# through an emulator: a smoke run).
#   bench-startup.sh [build folder, default build/x64]
# Either width: a missing folder is configured as its name suggests (x86: i686, otherwise
# x86_64), and the programs run under a rig of the build's width.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/bench-stats.sh"
build="$(mkdir -p "${1:-$root/build/x64}" && cd "${1:-$root/build/x64}" && pwd)"
rounds=${TOLVEX_BENCH_ROUNDS:-10}

bench_configure "$build"
cmake --build "$build" --target startup_bench tolvex sibling_1_0_0_1 ver_1_2_3_45 -j "$(nproc)" >/dev/null
bench_exe="$(find "$build" -name startup_bench.exe -print -quit)"

work="$(mktemp -d)"
rig="$build/bench-rig"
cleanup() {
  "$root/scripts/wine-rig.sh" stop "$rig" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/suite"
cp "$build/bin/tolvex.exe" "$build/bin/UNLHA32.dll" "$work/suite/"
cp "$build/fixtures/sibling_1_0_0_1.exe" "$work/suite/plo.exe"
for name in vemoda.dll vemoca.dll nuri.dll sef.dll palgon.dll zevo.dll orbi.dll fule.dll; do
  cp "$build/fixtures/ver_1_2_3_45.dll" "$work/suite/$name"
done
bench_start_rig "$build" "$rig" || exit 1
export TOLVEX_RIG_DIR="$rig"
out="$("$root/scripts/wine-run.sh" "$bench_exe" "Z:${work//\//\\}\\suite" "$rounds" </dev/null 2>&1 | tr -d '\r')" ||
  { echo "start-up bench failed:" >&2; echo "$out" >&2; exit 1; }
grep -E '^(tolvex|minimal) [0-9.]+$' <<<"$out" >"$work/samples"

emulated=""
bench_emulated "$build" && emulated=", both emulated"
echo "start-up until the window shows, $rounds rounds, the two alternating$emulated; ms, median (min-max):"
bench_row "$work/samples" tolvex "tolvex.exe (26 rows listed)" ms
bench_row "$work/samples" minimal "minimal Win32 window" ms
if [ -n "$emulated" ]; then
  bench_no_ratios
  exit 0
fi
echo "target (ratio of the medians):"
bench_target "tolvex <= 1.5x the minimal window" "$(bench_ratio "$work/samples" tolvex minimal)" "<=" 1.5
