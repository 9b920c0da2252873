#!/usr/bin/env bash
# A folder that no process can create files in, not even root (as Wine's programs run here, all
# of them with administrator rights): an empty folder marked immutable. Where the file system or
# the container does not allow the mark, the folder stays writable and the tests that need it
# say so and skip.
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
    ;;
  unlock)
    chattr -i "$dir" 2>/dev/null
    rm -rf "$dir"
    ;;
esac
exit 0
