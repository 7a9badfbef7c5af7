#!/usr/bin/env bash
# VESKORA from a user's seat: the packaged program on a virtual X screen,
# driven with the mouse and keyboard as a user would.
#
#   1. No tray on the desktop: the window sent to the tray stays on screen
#      (for the task bar) and goes on working.
#   2. A tray host (trayer) joins, and the next start comes up in the tray,
#      as the first run was left; it moves a file from there. A left click on
#      the tray icon brings the window back; "タスクトレイに収納" puts it away
#      again; the tray menu's "終了" ends the program.
#   3. Rules, log and settings are what that session leaves behind.
#
#   user_seat_test.sh PACKAGE_FOLDER VERSION X_SESSION_SCRIPT
set -uo pipefail

skipped=77
for tool in Xvfb trayer xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIPPED: $tool is missing (Debian packages xvfb, trayer, xdotool)"
    exit "$skipped"
  fi
done

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/desktop_user.sh"
# shellcheck source=../../scripts/x_session.sh
source "$3"
folder="$1" version="$2"

work="$(mktemp -d)"
cleanup() {
  [[ -n "${du_pid:-}" ]] && kill -KILL "$du_pid" 2> /dev/null
  xs_stop
  du_unprotect "$work"
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

fail() {
  echo "FAILED: $*" >&2
  [[ -f "${du_root:-}/program.out" ]] && cat "$du_root/program.out" >&2
  exit 1
}

root="$work/root"
dpkg-deb -x "$folder/veskora_${version}_$(dpkg --print-architecture).deb" "$root" || fail "cannot unpack the package"
du_protect "$root"
binary="$root/usr/bin/veskora"
du_make "$work/user"
rules="$du_data/veskora/ZUL.dat"
log="$du_data/veskora/veskora.log"
settings="$du_config/ZUL/ZUL.ini"
du_put "$rules" $'-1,2,pdf,'"$du_home/書類"$'\r\n'

xs_start_display 1024x768 || fail "no X screen"

# Opens "ファイル" at the left end of the window's menu bar; its entries are
# then chosen with the keyboard (the popup takes it while it is open).
open_file_menu() {
  local window="$1" before
  before="$(xs_count_shown veskora)"
  xs_geometry "$window" || return 1
  xdotool mousemove $((X + 25)) $((Y + 9)) click 1
  xs_wait_more_shown veskora "$before"
}

# --- 1. No tray -------------------------------------------------------------
du_start "$binary" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb
window="$(xs_wait_window_shown VESKORA 30)" || fail "the window did not come up without a tray"
open_file_menu "$window" || fail "the File menu did not open"
xdotool key Down Return  # タスクトレイに収納
# Still mapped and still answering: its menu opens again.
open_file_menu "$window" || fail "the window went away with no tray to bring it back"
xdotool key Escape
du_end || fail "the first run did not end on SIGTERM ($du_status)"
grep -qx 'state=1' "$settings" || fail "the first run did not save the minimized state: $(cat "$settings")"

# --- 2. With a tray ---------------------------------------------------------
xs_start_tray_host 32 || fail "no tray host"
du_put "$du_desktop/invoice.pdf" "%PDF-1.4"
du_start "$binary" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb
xs_wait_tray_icon 30 || fail "no tray icon"
xs_poll 30 test -f "$du_home/書類/invoice.pdf" || fail "nothing moved while in the tray"
xs_wait_window_hidden VESKORA 1 || fail "the window did not start in the tray"

xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 1
window="$(xs_wait_window_shown VESKORA 30)" || fail "a left click on the tray icon did not bring the window back"

du_put "$du_desktop/receipt.pdf" "%PDF-1.4"
xs_poll 30 test -f "$du_home/書類/receipt.pdf" || fail "nothing moved while shown"

open_file_menu "$window" || fail "the File menu did not open"
xdotool key Down Return  # タスクトレイに収納
xs_wait_window_hidden VESKORA 30 || fail "タスクトレイに収納 did not put the window into the tray"

before="$(xs_count_shown veskora)"
xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 3
xs_wait_more_shown veskora "$before" || fail "a right click on the tray icon showed no menu"
xdotool key Down Down Return  # 開く, 終了
du_wait_end 30 || fail "終了 in the tray menu did not end the program ($du_status)"

# --- 3. What the session left -----------------------------------------------
[[ ! -e "$root/usr/bin/ZUL.dat" && ! -e "$root/usr/bin/veskora.log" ]] || fail "files were written beside the program"
printf '%s\r\n' "-1,2,pdf,$du_home/書類" | cmp -s - "$rules" || fail "the rule file changed: $(cat "$rules")"
stamp='\[[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]'
moved=" を $du_home/書類 へ移動しました"
lines="^$stamp invoice\.pdf$moved"$'\r\n'"$stamp receipt\.pdf$moved"$'\r$'
[[ "$(cat "$log")" =~ $lines ]] || fail "the log is not one line per move: $(cat "$log")"
grep -qx 'state=1' "$settings" || fail "ended from the tray, the state saved is not 1: $(cat "$settings")"
grep -qx 'automove=True' "$settings" || fail "the automatic move switch was not saved: $(cat "$settings")"
{ grep -Eqx 'width=[0-9]+' "$settings" && grep -Eqx 'height=[0-9]+' "$settings"; } ||
  fail "the window size was not saved as whole twips: $(cat "$settings")"
du_owned_by_user "$settings" || fail "the settings do not belong to $du_user"

echo "1 passed, 0 failed"
