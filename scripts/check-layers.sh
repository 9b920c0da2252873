#!/usr/bin/env bash
# Checks that the source folders form layers: a file may include headers of its own folder and
# of folders in lower layers only. Folders in the same layer may not include each other.
# tests/, fuzz/ and bench/ sit above everything and are not checked.
# The codec's internals in lha/detail/ are for lha/ alone: other folders include only the
# headers directly in lha/ (the archive reader and writer, byte I/O, the result).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# From the ground up; one line per layer.
layers=(
  "text resources"
  "base"
  "win"
  "lha"
  "unlha32"
  "catalogue settings trust"
  "net install"
  "workflow"
  "ui"
  "app tools"
  "demo_driver"
)

declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do level[$folder]=$i; done
done

status=0
files=0
cd "$root"
for folder in "${!level[@]}"; do
  while IFS= read -r file; do
    files=$((files + 1))
    while IFS= read -r included; do
      target="${included%%/*}"
      if [ "$folder" != lha ] && [[ "$included" == lha/detail/* ]]; then
        echo "check-layers: $file includes \"$included\", an internal of the LHA codec; include only the headers in lha/" >&2
        status=1
      elif [ -z "${level[$target]+set}" ]; then
        echo "check-layers: $file includes \"$included\" from a folder outside the layers" >&2
        status=1
      elif [ "$target" != "$folder" ] && [ "${level[$target]}" -ge "${level[$folder]}" ]; then
        echo "check-layers: $file (layer ${level[$folder]}) includes \"$included\" (layer ${level[$target]})" >&2
        status=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.rc' \))
done

# Every source folder has a layer.
for dir in */; do
  dir="${dir%/}"
  case "$dir" in tests | fuzz | bench | scripts | cmake | docs | build) continue ;; esac
  if [ -z "${level[$dir]+set}" ]; then
    echo "check-layers: folder $dir/ has no layer" >&2
    status=1
  fi
done

if [ "$status" -eq 0 ]; then
  echo "check-layers: $files files in ${#layers[@]} layers, no include reaches up or sideways"
fi
exit "$status"
