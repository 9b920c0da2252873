#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build for a bounded time each on its seed corpus (kept in the
# repository under fuzz/<target>/corpus; new finds go to a scratch copy, not into the repo).
#   run-fuzz.sh BUILD_DIR [SECONDS] [TARGET...]
# SECONDS defaults to 30 (what CI runs); TARGET names one or more targets (lha, fuzz_lha, ...),
# all of them when none is given. A long run of one target, e.g. ten minutes of the reader:
#   scripts/run-fuzz.sh build/fuzz 600 lha
# Each run prints its execution count and rate; the full log is BUILD_DIR/<target>.log.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build folder}"
seconds="${2:-30}"
shift $(($# < 2 ? $# : 2))
fuzzers=()
if [ $# -eq 0 ]; then
  for fuzzer in "$build"/fuzzers/fuzz_*; do
    [ -x "$fuzzer" ] && fuzzers+=("$fuzzer")
  done
else
  for target in "$@"; do
    fuzzer="$build/fuzzers/fuzz_${target#fuzz_}"
    if [ ! -x "$fuzzer" ]; then
      echo "no fuzz target $target in $build/fuzzers" >&2
      exit 2
    fi
    fuzzers+=("$fuzzer")
  done
fi
status=0
for fuzzer in "${fuzzers[@]}"; do
  name="$(basename "$fuzzer")"
  seeds="$root/fuzz/${name#fuzz_}/corpus"
  scratch="$build/fuzz-corpus/$name"
  mkdir -p "$scratch"
  echo "-- $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/fuzz-artifacts-" "$scratch" "$seeds" >"$build/$name.log" 2>&1; then
    echo "FAILED: $name (see $build/$name.log)"
    tail -n 40 "$build/$name.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$build/$name.log" || true
  fi
done
exit $status
