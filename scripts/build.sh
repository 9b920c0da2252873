#!/usr/bin/env bash
# Configures and builds one configuration into build/<name>.
#   build.sh native | x64 | x86 | fuzz
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
name="${1:?native|x64|x86|fuzz}"
jobs="$(nproc)"
case "$name" in
  native) args=(-DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc) ;;
  x64) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
  x86) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake") ;;
  fuzz) args=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTOLVEX_FUZZ=ON -DTOLVEX_TESTS=OFF) ;;
  *) echo "usage: build.sh native|x64|x86|fuzz" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
cmake --build "$root/build/$name" -j "$jobs"
