#!/usr/bin/env bash
# Checks that every C and C++ file in the repository is formatted as .clang-format says, with
# clang-format 14 (another version may format a few constructs differently). Prints the files
# that are not, and how to format them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
format="${CLANG_FORMAT:-clang-format-14}"
command -v "$format" >/dev/null || { echo "check-format: $format is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

cd "$root"
# One run over every file; clang-format names each unformatted place as "file:line:col: error: ...".
mapfile -d '' files < <(git ls-files -z -- '*.h' '*.c' '*.cpp')
if ! report="$("$format" --dry-run -Werror "${files[@]}" 2>&1)"; then
  echo "$report" | sed -n 's/^\([^: ]*\):[0-9]*:[0-9]*: error:.*/check-format: not formatted: \1/p' | sort -u >&2
  echo "check-format: run $format -i on them" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted as .clang-format says"
