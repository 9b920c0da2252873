#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time on its seed corpus (kept in the
# repository under fuzz/<target>/corpus; new finds go to a scratch copy, not into the repo).
#   run-fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build folder}"
seconds="${2:-30}"
status=0
for fuzzer in "$build"/fuzzers/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name="$(basename "$fuzzer")"
  seeds="$root/fuzz/${name#fuzz_}/corpus"
  scratch="$build/fuzz-corpus/$name"
  mkdir -p "$scratch"
  echo "-- $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$build/fuzz-artifacts-" "$scratch" "$seeds" >"$build/$name.log" 2>&1; then
    echo "FAILED: $name (see $build/$name.log)"
    tail -n 40 "$build/$name.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
  fi
done
exit $status
