#!/usr/bin/env bash
# A folder that no process can create files in, not even root (as Wine's programs run here, all
# of them with administrator rights): an empty folder marked immutable, and beside it DIR-file,
# the same holding one file, vemoda.dll. Where the file system or the container does not allow
# the mark, both stay writable and the tests that need them say so and skip.
#   locked_folder.sh lock DIR | unlock DIR
set -u
cmd="${1:?lock|unlock}"
dir="${2:?folder}"
case "$cmd" in
  lock)
    chattr -i "$dir" 2>/dev/null
    rm -rf "$dir"
    mkdir -p "$dir"
    chattr +i "$dir" 2>/dev/null || echo "locked_folder: cannot mark $dir immutable; its tests will skip" >&2
    chattr -i "$dir-file" 2>/dev/null
    rm -rf "$dir-file"
    mkdir -p "$dir-file"
    echo "an old vemoda.dll" >"$dir-file/vemoda.dll"
    chattr +i "$dir-file" 2>/dev/null || echo "locked_folder: cannot mark $dir-file immutable" >&2
    ;;
  unlock)
    chattr -i "$dir" 2>/dev/null
    rm -rf "$dir"
    chattr -i "$dir-file" 2>/dev/null
    rm -rf "$dir-file"
    ;;
esac
exit 0
