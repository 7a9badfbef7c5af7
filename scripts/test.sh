#!/usr/bin/env bash
# Builds VESKORA with AddressSanitizer and UndefinedBehaviorSanitizer, warnings
# as errors, runs every fuzzer for a short bounded time, then the whole test
# suite. FUZZ_SECONDS sets the time per fuzzer (0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake --preset asan
cmake --build --preset asan
if [ "${FUZZ_SECONDS:-20}" != 0 ]; then
  scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
fi
ctest --preset asan
