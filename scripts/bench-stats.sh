# Sourced by the bench scripts: samples kept one per line as "contender value" in a file, their
# median and spread, ratios of medians and the target lines.
export LC_ALL=C  # '.' as the decimal point in EPOCHREALTIME and in awk

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
