#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each for a bounded time on a scratch copy of its corpus
# in tests/fuzz/corpus. Fails when a target finds a crash; the crashing inputs
# are kept in build/fuzz/findings/NAME/ for a regression test.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET [TARGET...]]     (default: 30 s, every target)
#
# With FUZZ_MERGE=1, inputs that reach new code are merged, minimised, into
# the repository's corpus afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    name="$(basename "$source" .cpp)"
    targets+=("${name%_fuzz}")
  done
fi

# clang and its libFuzzer runtime come with the test packages.
scripts/install-deps.sh test
cmake --preset fuzz
# Every fuzzer is built, so none falls behind the code it reads.
cmake --build --preset fuzz

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failed=()
for name in "${targets[@]}"; do
  work="$scratch/$name"
  mkdir -p "$work/new" "$work/findings"
  echo "== $name: ${seconds} s"
  # libFuzzer writes what it finds into the first folder: the scratch one,
  # so the repository's corpus is only read.
  if ! "build/fuzz/tests/fuzz/${name}_fuzz" "$work/new" "tests/fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$work/findings/" 2>"$work/log"; then
    failed+=("$name")
    mkdir -p "build/fuzz/findings/$name"
    cp "$work"/findings/* "build/fuzz/findings/$name/" 2>/dev/null || true
    grep -E "ERROR|runtime error|SUMMARY|Test unit written" "$work/log" || tail -n 30 "$work/log"
  fi
  grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added)" \
    "$work/log" || true
  if [ "${FUZZ_MERGE:-0}" = 1 ]; then
    "build/fuzz/tests/fuzz/${name}_fuzz" -merge=1 "tests/fuzz/corpus/$name" "$work/new" 2>/dev/null
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "crashes found by: ${failed[*]} (inputs in build/fuzz/findings/)"
  exit 1
fi
echo "no crash in ${#targets[@]} targets, ${seconds} s each"
