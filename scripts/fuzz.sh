#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS (default 10),
# starting from the seed corpus in fuzz/corpus/<target>. New inputs found
# go to build-fuzz/corpus, never into the repository.
#   scripts/fuzz.sh [SECONDS]             CLINORA_JOBS: parallel build jobs (default: all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLINORA_FUZZ=ON \
  -DCLINORA_GUI=OFF -DCLINORA_SANITIZE=address,undefined -DCLINORA_WERROR=ON >/dev/null
cmake --build build-fuzz -j "${CLINORA_JOBS:-$(nproc)}"
mkdir -p build-fuzz/artifacts
for bin in build-fuzz/fuzz/fuzz_*; do
  [ -f "$bin" ] && [ -x "$bin" ] || continue
  name=$(basename "$bin")
  target=${name#fuzz_}
  work=build-fuzz/corpus/$target
  mkdir -p "$work"
  log=build-fuzz/$name.log
  echo "== $name: ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix=build-fuzz/artifacts/"$name"- "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzzing found a failure in $name (input in build-fuzz/artifacts)" >&2
    exit 1
  fi
  grep -E "^Done|stat::number_of_executed_units" "$log" || true
done
