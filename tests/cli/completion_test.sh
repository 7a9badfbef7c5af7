#!/usr/bin/env bash
# veskora-cli's bash completion as a user meets it: each line is typed into an interactive bash (on a terminal, by
# script) with Tab where marked, and a stand-in veskora-cli prints the words it got.   completion_test.sh COMPLETION
set -uo pipefail
completion="$1" loader=/usr/share/bash-completion/bash_completion
[[ -f "$loader" ]] || { echo "bash-completion is missing"; exit 77; }
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Desktop/my folder"
: > "$home/Desktop/my notes.txt"

# typed line (TAB where Tab is pressed), the words veskora-cli gets
cases=(
  'why myTAB' '<why><my notes.txt>'
  'why "myTAB' '<why><my notes.txt>'
  'why TAB' '<why><my notes.txt>'
  'plan --json --TAB' '<plan><--json><--help>'
  'undo --all --json --dry-run --TAB' '<undo><--all><--json><--dry-run><--help>'
  'hiTAB --since 2024-05-01 --jTAB' '<history><--since><2024-05-01><--json>'
  'help hiTAB' '<help><history>'
)
setup="source $loader; source $completion; veskora-cli() { printf '<%s>' \"\$@\"; echo; }"
failed=0
for ((i = 0; i < ${#cases[@]}; i += 2)); do
  got="$(printf '%s\nveskora-cli %s\nexit\n' "$setup" "${cases[i]//TAB/$'\t'}" |
    env -u XDG_CONFIG_HOME HOME="$home" TERM=dumb INPUTRC=/dev/null timeout 10 script -qec 'bash --norc -i' /dev/null |
    tr -d '\r' | grep -a '^<')"
  [[ "$got" == "${cases[i + 1]}" ]] || { echo "FAILED: ${cases[i]} gave '$got', not '${cases[i + 1]}'" >&2; failed=1; }
done
exit $failed
