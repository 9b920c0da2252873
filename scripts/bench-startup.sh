#!/usr/bin/env bash
# Start-up benchmark (not part of CI): time until tolvex.exe shows its 26 rows, against a minimal
# Win32 window program, both under Wine on a private Xvfb, in a folder with the stand-in suite.
#   bench-startup.sh [runs, default 10]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/x64"
runs="${1:-10}"
bash "$root/scripts/build.sh" x64 >/dev/null
work="$(mktemp -d)"
rig="$build/bench-rig"
cleanup() {
  "$root/scripts/wine-rig.sh" stop "$rig" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/bin/tolvex.exe" "$build/bin/UNLHA32.dll" "$work/"
cp "$build/fixtures/sibling_1_0_0_1.exe" "$work/plo.exe"
for name in vemoda.dll vemoca.dll nuri.dll sef.dll palgon.dll zevo.dll orbi.dll fule.dll; do
  cp "$build/fixtures/ver_1_2_3_45.dll" "$work/$name"
done
"$root/scripts/wine-rig.sh" start "$rig"
export TOLVEX_RIG_DIR="$rig"
"$root/scripts/wine-run.sh" "$build/bench/startup/startup_bench.exe" "Z:${work//\//\\}" "$runs" </dev/null 2>&1 | tr -d '\r'
