#!/usr/bin/env bash
# The Debian package as a user gets it: its name, the libraries it asks for,
# the files it installs, and the packaged program run from an unpacked copy
# by a user who may not write beside it, so that its rules, log and settings
# must go to the user's own folders.
#
#   package_test.sh PACKAGE_FOLDER VERSION
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/desktop_user.sh"
folder="$(cd "$1" && pwd)" version="$2"

passed=0 failed=0
check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
  fi
}
contains() { [[ "$1" == *"$2"* ]]; }
no_sanitizer() { ! grep -Eq 'libasan|libubsan' <<< "$1"; }
no_gui() { ! grep -Eq 'libQt6(Gui|Widgets)' <<< "$1"; }
matches() { [[ "$1" =~ $2 ]]; }
# An entry "LIBRARY (>= VERSION)" in a comma-separated Depends field.
depends_on_version() {
  local entry entries
  IFS=, read -ra entries <<< "$1"
  for entry in "${entries[@]}"; do
    [[ "${entry# }" == "$2 (>= "*")" ]] && return 0
  done
  return 1
}

work="$(mktemp -d)"
trap 'du_unprotect "$work"; rm -rf "$work"' EXIT
# The user of the run below must reach the unpacked package and its home.
chmod 755 "$work"

# --- The file and its control fields ---------------------------------------
arch="$(dpkg --print-architecture)"
deb="$folder/veskora_${version}_${arch}.deb"
check "the package is named veskora_${version}_${arch}.deb" test -f "$deb"
[[ -f "$deb" ]] || exit 1
check "it is the only package built" test "$(find "$folder" -maxdepth 1 -name '*.deb' | wc -l)" -eq 1
check "package name" test "$(dpkg-deb -f "$deb" Package)" = veskora
check "version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "architecture" test "$(dpkg-deb -f "$deb" Architecture)" = "$arch"

# Versioned entries come from dpkg-shlibdeps reading the binary's libraries.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  check "Depends names $library with a version: $depends" depends_on_version "$depends" "$library"
done
check "no sanitizer runtime among the dependencies: $depends" no_sanitizer "$depends"
if command -v apt-get > /dev/null; then
  check "apt would install it with what is here" apt-get install --simulate --quiet "$deb" > /dev/null
fi

# --- What it installs -------------------------------------------------------
root="$work/root"
dpkg-deb -x "$deb" "$root"
expected="usr/bin/veskora
usr/bin/veskora-cli
usr/share/applications/veskora.desktop
usr/share/bash-completion/completions/veskora-cli
usr/share/man/man1/veskora.1.gz
usr/share/man/man1/veskora-cli.1.gz
usr/share/icons/hicolor/scalable/apps/veskora.svg"
for size in 16 22 24 32 48 64 128 256; do
  expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/veskora.png"
done
expected+=$'\n'"usr/share/metainfo/io.github.veskora.Veskora.metainfo.xml"
installed="$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
check "exactly the programs, menu entry, icons, metainfo, manual pages and completion: $installed" \
  test "$installed" = "$(LC_ALL=C sort <<< "$expected")"

binary="$root/usr/bin/veskora"
check "the program is executable" test -x "$binary"
needed="$(readelf -d "$binary" | grep NEEDED)"
check "the program links Qt Widgets" contains "$needed" libQt6Widgets.so.6
check "the program is no sanitizer build" no_sanitizer "$needed"
cli_needed="$(readelf -d "$root/usr/bin/veskora-cli" | grep NEEDED)"
check "the command line links QtCore" contains "$cli_needed" libQt6Core.so.6
check "the command line links neither Qt Gui nor Widgets" no_gui "$cli_needed"

for size in 16 22 24 32 48 64 128 256; do
  check "the ${size}x${size} icon is that size" \
    contains "$(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/veskora.png")" "PNG image data, $size x $size,"
done
check "the scalable icon is SVG" contains "$(file -b "$root/usr/share/icons/hicolor/scalable/apps/veskora.svg")" SVG

entry="$root/usr/share/applications/veskora.desktop"
check "the menu entry starts the installed program, without arguments" grep -qx 'Exec=veskora' "$entry"
check "the menu entry shows the installed icon" grep -qx 'Icon=veskora' "$entry"
check "the menu entry is under Utility" grep -qx 'Categories=Utility;' "$entry"
check "the menu entry is named VESKORA" grep -qx 'Name=VESKORA' "$entry"
check "the menu entry has a comment" grep -q '^Comment=.' "$entry"
check "the menu entry has a Japanese comment" grep -q '^Comment\[ja\]=.' "$entry"
if command -v desktop-file-validate > /dev/null; then
  check "the installed menu entry is valid" desktop-file-validate "$entry"
fi
metainfo="$root/usr/share/metainfo/io.github.veskora.Veskora.metainfo.xml"
check "the metainfo launches the installed menu entry" \
  grep -q '<launchable type="desktop-id">veskora.desktop</launchable>' "$metainfo"
check "the metainfo's newest release is this version" \
  grep -q "<release version=\"$version\"" "$metainfo"

# --- The packaged program, run by a user ------------------------------------
du_make "$work/user"
du_put "$du_data/veskora/ZUL.dat" $'5,1,report,'"$du_home/書類"$'\r\n0,2,tmp,(移動を禁止する)\r\n'
du_put "$du_desktop/report 2026.txt" "quarterly figures"
du_protect "$root"
snapshot() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort); }
before="$(snapshot)"

du_start "$binary" QT_QPA_PLATFORM=offscreen
check "the program moves the desktop file into the rule's folder" \
  xs_poll 30 test -f "$du_home/書類/report 2026.txt"
check "the program writes its log" xs_poll 10 test -s "$du_data/veskora/veskora.log"
check "the program ends normally on SIGTERM" du_end

check "the desktop file left the desktop" test ! -e "$du_desktop/report 2026.txt"
check "nothing was written beside the program" test "$(snapshot)" = "$before"
# Read as ticked, written back as -1: proof that it was saved, not left.
printf '%s\r\n' "-1,1,report,$du_home/書類" "0,2,tmp,(移動を禁止する)" > "$work/rules.expected"
check "the rule file was saved in the user's data folder" cmp "$work/rules.expected" "$du_data/veskora/ZUL.dat"
log="$(cat "$du_data/veskora/veskora.log" 2> /dev/null)"
check "one log line for the move: $log" \
  matches "$log" "^\[[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\] report 2026\.txt を $du_home/書類 へ移動しました"$'\r$'
settings="$du_config/ZUL/ZUL.ini"
check "the settings are in the user's config folder" test -f "$settings"
check "the settings hold the window state" grep -qx 'state=0' "$settings"
check "the settings hold the automatic move switch" grep -qx 'automove=True' "$settings"
for file in "$du_data/veskora/ZUL.dat" "$du_data/veskora/veskora.log" "$settings" \
  "$du_home/.local/state/veskora/move-journal.csv"; do
  check "$file belongs to $du_user" du_owned_by_user "$file"
done

if ((failed)); then
  echo "The program said:" >&2
  cat "$du_root/program.out" >&2
fi
echo "$passed passed, $failed failed"
((failed == 0))
