#!/usr/bin/env bash
# Builds VESKORA with AddressSanitizer and UndefinedBehaviorSanitizer, warnings
# as errors, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
