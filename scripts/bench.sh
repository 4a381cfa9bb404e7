#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/), writes their data with the
# demo data generator (kept in build-bench/bench-data), runs every end-to-end
# case several times and writes the medians, with the machine, to
# bench/RESULTS.md (a filtered run to build-bench/RESULTS-partial.md).
# Exits non-zero when a goal is not met.
#   CLINORA_BENCH_REPETITIONS  repetitions of each case (default 5)
#   CLINORA_BENCH_FILTER       a regular expression of the cases to run
#   CLINORA_BENCH_JOBS         parallel compile jobs (default: every core)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${CLINORA_BENCH_JOBS:-$(nproc)}"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DCLINORA_TESTS=OFF -DCLINORA_BENCH=ON >/dev/null
cmake --build build-bench -j "$jobs" --target clinora_bench_screens
export QT_QPA_PLATFORM=offscreen
export CLINORA_BENCH_DATA="$PWD/build-bench/bench-data"
export XDG_RUNTIME_DIR="$PWD/build-bench/xdg-runtime"
mkdir -p "$CLINORA_BENCH_DATA" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Only a run of every case stands as the record.
results=bench/RESULTS.md
[ -n "${CLINORA_BENCH_FILTER:-}" ] && results=build-bench/RESULTS-partial.md
build-bench/bench/clinora_bench_screens \
  --benchmark_repetitions="${CLINORA_BENCH_REPETITIONS:-5}" \
  --benchmark_report_aggregates_only=true \
  --benchmark_filter="${CLINORA_BENCH_FILTER:-.}" \
  --results="$results"
