#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test:
# native unit tests, the Windows tests of both builds under Wine (CTest starts and stops each
# build's rig: the x86_64 build with the 64-bit loader, the i686 build, which ships, with the
# 32-bit one) and the fuzz targets for a short, bounded time.
# Where the kernel refuses 32-bit programs, set-up hands them to a user-mode emulator, and the
# run says in one line how they run ("i686 tests run natively" or "i686 tests run through
# qemu-i386 X.Y (user-mode emulation)"). A machine where neither way works builds the i686 tests
# and runs those that need no Wine, and says "i686 tests NOT run: <reason>" at once and again at
# the end. When the i686 suite runs, it must pass as many tests as the x86_64 suite did.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fuzz_seconds="${TOLVEX_FUZZ_SECONDS:-30}"

bash "$root/scripts/setup.sh"

# run_suite BUILD LOG [CTEST ARGS]: runs a build's tests, keeping ctest's output in LOG.
run_suite() {
  local build="$1" log="$2"
  shift 2
  (cd "$build" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
}
# passed_tests LOG: how many tests passed (a skipped test did not).
passed_tests() { grep -c -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed ' "$1" || true; }

echo "== native build and tests"
bash "$root/scripts/build.sh" native
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)")

echo "== Windows x86_64 build and tests under Wine"
bash "$root/scripts/build.sh" x64
started=$SECONDS
run_suite "$root/build/x64" "$root/build/x64/ctest.log"
x64_passed="$(passed_tests "$root/build/x64/ctest.log")"
x64_summary="x86_64: $x64_passed tests passed in $((SECONDS - started)) s"
echo "== $x64_summary"

echo "== Windows i686 build (the shipping build) and tests under Wine"
bash "$root/scripts/build.sh" x86
i686_not_run=""
i686_summary=""
if how="$(bash "$root/scripts/wine32-ready.sh" "$root/build/wine32")"; then
  echo "i686 tests run $how"
  started=$SECONDS
  run_suite "$root/build/x86" "$root/build/x86/ctest.log"
  x86_passed="$(passed_tests "$root/build/x86/ctest.log")"
  i686_summary="i686: $x86_passed tests passed in $((SECONDS - started)) s, run $how"
  echo "== $i686_summary"
  if [ "$x86_passed" -lt "$x64_passed" ]; then
    echo "the i686 suite passed $x86_passed tests, fewer than the $x64_passed of the x86_64 suite" >&2
    exit 1
  fi
else
  i686_not_run="i686 tests NOT run: $how"
  echo "$i686_not_run"
  run_suite "$root/build/x86" "$root/build/x86/ctest.log" -LE wine
fi

echo "== fuzz targets (${fuzz_seconds}s each)"
bash "$root/scripts/build.sh" fuzz
bash "$root/scripts/run-fuzz.sh" "$root/build/fuzz" "$fuzz_seconds"

if [ -n "$i686_not_run" ]; then
  echo "== all tests that this machine can run passed"
  echo "$i686_not_run"
else
  echo "== all tests passed ($x64_summary; $i686_summary)"
fi
