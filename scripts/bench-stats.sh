# Sourced by the bench scripts: samples kept one per line as "contender value" in a file, their
# median and spread, ratios of medians and the target lines; the Windows build folders the
# benchmarks run (either width, each under a Wine rig of its own width) and the mixed corpus.
export LC_ALL=C  # '.' as the decimal point in EPOCHREALTIME and in awk
bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# bench_configure BUILD: configures a build folder that has none yet: for 32-bit Windows (i686)
# when the folder's name says x86, i686 or win32, otherwise for 64-bit Windows.
bench_configure() {
  [ -f "$1/CMakeCache.txt" ] && return 0
  local toolchain=mingw-w64-x86_64.cmake
  case "$(basename "$1")" in
    *x86_64* | *x64*) ;;
    *x86* | *i686* | *win32*) toolchain=mingw-w64-i686.cmake ;;
  esac
  cmake -S "$bench_root" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$bench_root/cmake/$toolchain" >/dev/null
}

# bench_build_width BUILD: "win32" when the configured build makes 32-bit programs (the i686
# toolchain file, or 4-byte pointers), otherwise "win64": the width of the rig that runs them.
bench_build_width() {
  [ -f "$1/CMakeCache.txt" ] || { echo "bench: $1 is not a configured build folder" >&2; return 1; }
  if grep -q -E '^CMAKE_TOOLCHAIN_FILE:[A-Z]+=.*mingw-w64-i686\.cmake$|^CMAKE_SIZEOF_VOID_P:[A-Z]+=4$' "$1/CMakeCache.txt" ||
    grep -q -s -F 'CMAKE_CXX_SIZEOF_DATA_PTR "4"' "$1"/CMakeFiles/*/CMakeCXXCompiler.cmake; then
    echo win32
  else
    echo win64
  fi
}

# The build folders whose programs run under a user-mode emulator (the i686 build where the kernel
# refuses 32-bit programs): their timings are an emulated smoke run, not the program's speed.
bench_emulated_builds=()

# bench_start_rig BUILD RIG: starts the Wine rig in folder RIG with the width of BUILD's programs.
# An i686 build on a machine that cannot run it (scripts/wine32-ready.sh) is not run: prints
# "bench: i686 build not run: <reason>" and fails. One run through an emulator is noted in
# bench_emulated_builds and said on a line of its own.
bench_start_rig() {
  local width how
  width="$(bench_build_width "$1")" || return 1
  if [ "$width" = win32 ]; then
    if ! how="$(bash "$bench_root/scripts/wine32-ready.sh" "${TOLVEX_WINE32_ROOT:-}")"; then
      echo "bench: i686 build not run: $how" >&2
      return 1
    fi
    if [ "$how" != natively ]; then
      bench_emulated_builds+=("$1")
      echo "bench: ${1#"$bench_root"/} runs emulated, $how: a smoke run, its timings are not the program's speed"
    fi
  fi
  "$bench_root/scripts/wine-rig.sh" start "$2" "$width"
}

# bench_emulated BUILD: succeeds when BUILD's programs ran through an emulator.
bench_emulated() {
  local build
  for build in "${bench_emulated_builds[@]}"; do [ "$build" = "$1" ] && return 0; done
  return 1
}

# bench_no_ratios: the line said instead of ratios and targets when a contender ran emulated.
bench_no_ratios() {
  echo "no ratios or targets: emulated timings (smoke run) are not the program's speed"
}

# bench_corpus DIR MIB: makes the mixed corpus in DIR unless it is there: text.txt and
# programs.bin (3/8 of MIB MiB each, concatenated licence texts and program binaries of this
# machine) and random.bin (1/4, random bytes).
bench_corpus() {
  local dir="$1" mib=$((1024 * 1024))
  [ -f "$dir/random.bin" ] && return 0
  mkdir -p "$dir"
  bench_fill "$dir/text.txt" $(($2 * mib * 3 / 8)) \
    $(find /usr/share/common-licenses /usr/share/doc -type f -name '*.txt' -size -200k 2>/dev/null | head -200) \
    /usr/share/common-licenses/GPL-3
  bench_fill "$dir/programs.bin" $(($2 * mib * 3 / 8)) $(ls -S /usr/bin/* | head -40)
  head -c $(($2 * mib / 4)) /dev/urandom >"$dir/random.bin.tmp"
  mv "$dir/random.bin.tmp" "$dir/random.bin"
}

# bench_fill FILE SIZE SOURCE-FILES...: concatenates the sources until SIZE bytes.
bench_fill() {
  local name="$1" size="$2"
  shift 2
  : >"$name.tmp"
  while [ "$(stat -c %s "$name.tmp")" -lt "$size" ]; do cat "$@" >>"$name.tmp"; done
  head -c "$size" "$name.tmp" >"$name"
  rm -f "$name.tmp"
}

# bench_seconds COMMAND...: runs the command with its output discarded, prints its wall-clock
# seconds; fails when the command fails.
bench_seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null || return 1
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}

# bench_median FILE CONTENDER: the median of the contender's samples (the mean of the middle two
# for an even count).
bench_median() {
  awk -v c="$2" '$1 == c { print $2 }' "$1" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# bench_row FILE CONTENDER LABEL UNIT: "  LABEL  median UNIT  (min-max, n runs)".
bench_row() {
  awk -v c="$2" '$1 == c { print $2 }' "$1" | sort -g | awk -v label="$3" -v unit="$4" '
    { v[NR] = $1 }
    END {
      if (!NR) { printf "  %-38s  no samples\n", label; exit }
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "  %-38s %9.1f %-5s (%.1f-%.1f, %d runs)\n", label, m, unit, v[1], v[NR], NR
    }'
}

# bench_ratio FILE A B: median(A) / median(B).
bench_ratio() {
  awk -v a="$(bench_median "$1" "$2")" -v b="$(bench_median "$1" "$3")" 'BEGIN { printf "%.3f\n", (b > 0) ? a / b : 0 }'
}

# bench_target TEXT RATIO >=|<= BOUND: "target TEXT: RATIO -> met" (or "NOT met").
bench_target() {
  awk -v text="$1" -v v="$2" -v op="$3" -v bound="$4" 'BEGIN {
    ok = (op == ">=") ? (v >= bound) : (v <= bound)
    printf "target %-38s %7.3f -> %s\n", text ":", v, ok ? "met" : "NOT met"
  }'
}
