#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test:
# native unit tests, the Windows tests under Wine (CTest starts and stops the rig),
# the 32-bit Windows build (compile only) and the fuzz targets for a short, bounded time.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fuzz_seconds="${TOLVEX_FUZZ_SECONDS:-30}"

bash "$root/scripts/setup.sh"

echo "== native build and tests"
bash "$root/scripts/build.sh" native
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)")

echo "== Windows x86_64 build and tests under Wine"
bash "$root/scripts/build.sh" x64
(cd "$root/build/x64" && ctest --output-on-failure)

echo "== Windows i686 build (compile only)"
bash "$root/scripts/build.sh" x86

echo "== fuzz targets (${fuzz_seconds}s each)"
bash "$root/scripts/build.sh" fuzz
bash "$root/scripts/run-fuzz.sh" "$root/build/fuzz" "$fuzz_seconds"

echo "== all tests passed"
