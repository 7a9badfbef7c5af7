#!/usr/bin/env bash
# The manual pages render without a single warning:  manual_pages_test.sh PAGE...
command -v man > /dev/null || { echo "man is missing"; exit 77; }
for page in "$@"; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)"
  [[ -z "$warnings" ]] || { echo "$page: $warnings" >&2; exit 1; }
done
