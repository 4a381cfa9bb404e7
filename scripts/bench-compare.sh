#!/usr/bin/env bash
# Runs the same end-to-end benchmark cases of two Release builds (made by
# scripts/bench.sh) in turn, case by case, before then after, round after
# round, and prints the median time of each with their ratio. Taking turns
# spreads the machine's drifts (other work, the page cache, the clock) over
# both builds alike.
#   scripts/bench-compare.sh BEFORE_BUILD AFTER_BUILD [FILTER]
#     BEFORE_BUILD, AFTER_BUILD  build folders, e.g. ../base/build-bench build-bench
#     FILTER                     a regular expression of the cases (default: every case)
#   CLINORA_BENCH_ROUNDS  runs of each case per build (default 5)
#   CLINORA_BENCH_DATA    the data folder both builds read (default: AFTER_BUILD/bench-data,
#                         written there by the first run that needs it)
# Each run is a fresh process that runs one case its usual number of
# iterations; its time is their mean. The ratio is after over before: above
# 1 is slower. The exit code is 0 whenever every run worked.
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
before="$1/bench/clinora_bench_screens"
after="$2/bench/clinora_bench_screens"
filter="${3:-.}"
rounds="${CLINORA_BENCH_ROUNDS:-5}"
for b in "$before" "$after"; do
  [ -x "$b" ] || { echo "no benchmark program at $b (build it with scripts/bench.sh)" >&2; exit 2; }
done

export QT_QPA_PLATFORM=offscreen
export CLINORA_BENCH_DATA="${CLINORA_BENCH_DATA:-$(cd "$2" && pwd)/bench-data}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/xdg-runtime"
mkdir -p "$CLINORA_BENCH_DATA" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The cases both builds have, in the after build's order.
"$before" --benchmark_list_tests=true --benchmark_filter="$filter" | sort >"$work/before.list"
mapfile -t cases < <("$after" --benchmark_list_tests=true --benchmark_filter="$filter" | grep -Fxf "$work/before.list" || true)
if [ ${#cases[@]} -eq 0 ]; then
  echo "no case matches '$filter' in both builds" >&2
  exit 2
fi

# One run of one case: appends its time in milliseconds to FILE.
run_case() { # PROGRAM CASE FILE
  local csv="$work/run.csv" re
  re=$(printf '%s' "$2" | sed 's/[][\.*^$()+?{}|]/\\&/g')
  if ! "$1" --benchmark_filter="^${re}\$" --benchmark_out="$csv" --benchmark_out_format=csv \
      >"$work/run.log" 2>&1; then
    # Exit code 3 only says a goal was missed; the time still counts.
    [ -s "$csv" ] || { cat "$work/run.log" >&2; echo "run of '$2' with $1 failed" >&2; exit 1; }
  fi
  # name,iterations,real_time,cpu_time,time_unit,...: the real (here: manual) time.
  awk -F, -v name="\"$2\"" '$1 == name {
      t = $3; u = $5
      if (u == "ns") t /= 1e6; else if (u == "us") t /= 1e3; else if (u == "s") t *= 1e3
      print t }' "$csv" >>"$3"
}

median() { sort -g "$1" | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan";
  else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Benchmark: before $before"
echo "           after  $after"
echo "Data: $CLINORA_BENCH_DATA; $rounds rounds, taking turns; median ms of each"
echo
printf '%-52s %12s %12s %8s\n' case "before ms" "after ms" ratio
for c in "${cases[@]}"; do
  : >"$work/b"; : >"$work/a"
  for ((r = 0; r < rounds; r++)); do
    run_case "$before" "$c" "$work/b"
    run_case "$after" "$c" "$work/a"
  done
  mb=$(median "$work/b"); ma=$(median "$work/a")
  printf '%-52s %12.3f %12.3f %8.3f\n' "$(printf '%s' "$c" | sed -E 's#/iterations:[0-9]+##; s#/manual_time$##')" "$mb" "$ma" "$(awk -v a="$ma" -v b="$mb" 'BEGIN { print (b > 0 ? a / b : 0) }')"
done
