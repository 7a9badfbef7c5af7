#!/usr/bin/env bash
# The Debian package's fields, dependencies and files; its program run by a user who may not write beside it: killed,
# it leaves nothing that blocks the next start; ended by SIGTERM, it saves.   package_test.sh PACKAGE_FOLDER VERSION
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/desktop_user.sh"
failed=0
check() { "${@:2}" || { failed=1 && echo "FAILED: $1" >&2; }; } # check WHAT COMMAND...
has() { [[ "$1" == *"$2"* ]]; }
lacks() { ! grep -Eq "$2" <<< "$1"; }
du_setup "$1" "$2" || exit 1
deb="$du_deb" root="$du_package" version="$2" share="$du_package/usr/share"
check "exactly one package, $deb" test "$(find "$1" -maxdepth 1 -name '*.deb')" = "$deb"
check "control fields" test "$(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')" = \
  "Package: veskora Version: $version Architecture: $(dpkg --print-architecture) "
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  check "Depends names $library with a version: $depends" has "$depends" "$library (>= "
done
check "Depends brings Qt's own translations: $depends" has "$depends" qt6-translations-l10n
check "Recommends the opener of folders and files" test "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils
check "apt would install it with what is here" apt-get install --simulate --quiet "$deb" > /dev/null

expected="bin/veskora bin/veskora-cli share/applications/veskora.desktop share/icons/hicolor/scalable/apps/veskora.svg"
expected+=" share/bash-completion/completions/veskora-cli share/man/man1/veskora.1.gz share/man/man1/veskora-cli.1.gz"
expected+=" share/metainfo/io.github.veskora.Veskora.metainfo.xml share/doc/veskora/copyright"
for size in 16 22 24 32 48 64 128 256; do
  icon="share/icons/hicolor/${size}x$size/apps/veskora.png" expected+=" $icon"
  check "the ${size}x$size icon is that size" has "$(file -b "$root/usr/$icon")" "PNG image data, $size x $size,"
done
sorted() { sed 's|^\./usr/||' | LC_ALL=C sort | tr '\n' ' '; }
installed="$(cd "$root" && find . -type f | sorted)"
check "exactly the programs, menu entry, icons, metainfo, manual pages, completion and licence: $installed" \
  test "$installed" = "$(tr ' ' '\n' <<< "$expected" | sorted)"
needed="$(readelf -d "$du_program")" cli_needed="$(readelf -d "$root/usr/bin/veskora-cli" | grep NEEDED)"
check "the program links Qt Widgets" has "$needed" libQt6Widgets.so.6
check "no sanitizer in the program or among its dependencies" lacks "$needed $depends" 'libasan|libubsan'
check "the command line links QtCore" has "$cli_needed" libQt6Core.so.6
check "the command line links neither Qt Gui nor Widgets" lacks "$cli_needed" 'libQt6(Gui|Widgets)'
check "the licence in Debian's machine-readable format" grep -qz \
  "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/.*Copyright: 2026 The VESKORA developers" \
  "$share/doc/veskora/copyright"
check "the menu entry starts the installed program" grep -qx Exec=veskora "$share/applications/veskora.desktop"
check "the metainfo launches it, this version its newest release" grep -qz \
  "veskora.desktop</launchable>.*<release version=\"$version\"" "$share/metainfo/io.github.veskora.Veskora.metainfo.xml"

# The packaged program, run by a user.
rules="$du_data/veskora/ZUL.dat" log="$du_data/veskora/veskora.log" settings="$du_config/ZUL/ZUL.ini"
rule=$'5,1,report,'"$du_home/書類"$'\r\n'
du_put "$rules" "$rule"
snapshot() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort); }
before="$(snapshot)"
for end in KILL TERM; do
  du_put "$du_desktop/report $end.txt" "quarterly figures"
  rules_inode="$(stat -c %i "$rules")"
  du_start QT_QPA_PLATFORM=offscreen
  check "the program moves the desktop file into the rule's folder" xs_poll 30 test -f "$du_home/書類/report $end.txt"
  [[ "$end" == KILL ]] && kill -KILL "$du_pid" && ! du_wait_end 10 && check "killed, it saved nothing" test ! -e "$settings"
done
check "the program ends normally on SIGTERM" du_end
check "the desktop files left the desktop" test -z "$(ls "$du_desktop")"
check "nothing was written beside the program" test "$(snapshot)" = "$before"
# Read as ticked ("5"); saved on SIGTERM as a new file in its place, byte for byte as nobody edited it.
check "the rule file was saved in the user's data folder" test "$(stat -c %i "$rules")" != "$rules_inode"
check "the unedited rule file kept its bytes" cmp -s "$rules" <(printf '%s' "$rule")
check "one log line a move: $(cat "$log")" test "$(grep -c " を $du_home/書類 へ移動しました" "$log")" = 2
for file in "$rules" "$log" "$settings" "$du_home/.local/state/veskora/move-journal.csv"; do
  check "$file belongs to $du_user" test "$(stat -c %U "$file")" = "$du_user"
done
((failed)) && cat "$du_root/program.out" >&2
((failed == 0)) && echo "passed"
