#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test:
# native unit tests, the Windows tests of both builds under Wine (CTest starts and stops each
# build's rig: the x86_64 build with the 64-bit loader, the i686 build, which ships, with the
# 32-bit one) and the fuzz targets for a short, bounded time.
# A machine that cannot run 32-bit programs builds the i686 tests and runs those that need no
# Wine, and says "i686 tests NOT run: <reason>" at once and again at the end.
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

echo "== Windows i686 build (the shipping build) and tests under Wine"
bash "$root/scripts/build.sh" x86
i686_not_run=""
if reason="$(bash "$root/scripts/wine32-ready.sh" "$root/build/wine32")"; then
  (cd "$root/build/x86" && ctest --output-on-failure)
else
  i686_not_run="i686 tests NOT run: $reason"
  echo "$i686_not_run"
  (cd "$root/build/x86" && ctest --output-on-failure -LE wine)
fi

echo "== fuzz targets (${fuzz_seconds}s each)"
bash "$root/scripts/build.sh" fuzz
bash "$root/scripts/run-fuzz.sh" "$root/build/fuzz" "$fuzz_seconds"

if [ -n "$i686_not_run" ]; then
  echo "== all tests that this machine can run passed"
  echo "$i686_not_run"
else
  echo "== all tests passed"
fi
