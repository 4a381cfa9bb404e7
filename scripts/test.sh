#!/usr/bin/env bash
# Installs what is missing, builds every library, screen, test and benchmark
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer (warnings as
# errors) into build-asan, runs every test there, then runs each fuzzer for a
# few seconds, and last builds the program again with gcc (Release, warnings
# as errors) into build-gcc, so that code only one compiler takes does not
# get in.
#   scripts/test.sh                       CLINORA_FUZZ_SECONDS (default 5) per fuzzer
#                                         CLINORA_GCC=0 leaves the gcc build out
#                                         CLINORA_WINDOWS=1 adds the Windows build and
#                                         its test under Wine (=0 leaves them out even
#                                         where the toolchain is built)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=${CLINORA_JOBS:-$(nproc)}
# -O1 keeps the sanitized suite quick; Debug keeps Qt's and our assertions on.
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCLINORA_WERROR=ON -DCLINORA_SANITIZE=address,undefined
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
CLINORA_JOBS=$jobs scripts/fuzz.sh "${CLINORA_FUZZ_SECONDS:-5}"

if [ "${CLINORA_GCC:-1}" != 0 ]; then
  # The program only (its libraries and screens), built, not run: the suite
  # above runs on the same sources, and every target would add about 7
  # minutes on two cores without a compiler cache, the program about 3.
  CC=gcc CXX=g++ cmake -S . -B build-gcc -DCMAKE_BUILD_TYPE=Release -DCLINORA_WERROR=ON
  cmake --build build-gcc -j "$jobs" --target clinora
fi

# The Windows program, cross-built and tested under Wine, only where its
# toolchain is already built (CLINORA_WINDOWS=1 builds it, about 25 minutes
# of two cores, once per machine): a fresh machine's run stays as it was.
windows_cache=${CLINORA_WINDOWS_CACHE:-$HOME/.cache/clinora-windows}
if [ "${CLINORA_WINDOWS:-0}" = 1 ] || { [ "${CLINORA_WINDOWS:-}" != 0 ] && [ -f "$windows_cache/toolchain.done" ]; }; then
  CLINORA_JOBS=$jobs scripts/windows/build.sh
  scripts/windows/test.sh
fi
