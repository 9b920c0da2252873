#!/usr/bin/env bash
# Checks that every C and C++ file in the repository is formatted as .clang-format says, with
# clang-format 14 (another version may format a few constructs differently). Prints the files
# that are not, and how to format them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
format="${CLANG_FORMAT:-clang-format-14}"
command -v "$format" >/dev/null || { echo "check-format: $format is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

cd "$root"
unformatted=()
files=0
while IFS= read -r -d '' file; do
  files=$((files + 1))
  "$format" --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- '*.h' '*.c' '*.cpp')

if [ "${#unformatted[@]}" -gt 0 ]; then
  printf 'check-format: not formatted: %s\n' "${unformatted[@]}" >&2
  echo "check-format: run $format -i on them" >&2
  exit 1
fi
echo "check-format: $files files formatted as .clang-format says"
