#!/usr/bin/env bash
# The packaged program on a virtual X screen, driven with mouse and keyboard as a user would; the window's own
# test program (WINDOW_TEST) then runs there too.   user_seat_test.sh PACKAGE_FOLDER VERSION WINDOW_TEST
set -uo pipefail
for tool in Xvfb trayer xdotool metacity dbus-run-session xprop; do
  command -v "$tool" > /dev/null || { echo "SKIPPED: $tool is missing (see scripts/install-deps.sh)"; exit 77; }
done
source "$(dirname "${BASH_SOURCE[0]}")/../support/desktop_user.sh"
du_setup "$1" "$2" || du_fail "cannot unpack the package"
du_put "$du_data/veskora/ZUL.dat" $'-1,2,pdf,'"$du_home/書類"$'\r\n'
start() { du_start DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb; }
xs_start_display 1024x768 || du_fail "no X screen"

# "ファイル" at the left end of the menu bar, then "タスクトレイに収納" by keyboard (the open popup takes it).
to_tray_from_file_menu() {
  local before
  before="$(xs_count_shown veskora)"
  xs_geometry "$1" && xdotool mousemove $((X + 25)) $((Y + 9)) click 1 && xs_wait_more_shown veskora "$before" &&
    xdotool key Down Return
}

# No tray: the window sent to the tray stays on screen (for the task bar) and goes on working.
start
window="$(xs_wait_window_shown VESKORA 30)" || du_fail "the window did not come up without a tray"
to_tray_from_file_menu "$window" || du_fail "the File menu did not open"
to_tray_from_file_menu "$window" || du_fail "the window went away with no tray to bring it back"
du_end || du_fail "the first run did not end on SIGTERM ($du_status)"

# A window manager and a tray host: the next start is in the tray, as the last run was left, and moves a file.
xs_start_window_manager || du_fail "no window manager"
xs_start_tray_host 32 || du_fail "no tray host"
du_put "$du_desktop/invoice.pdf" "%PDF-1.4"
start
xs_wait_tray_icon 30 || du_fail "no tray icon"
xs_poll 30 test -f "$du_home/書類/invoice.pdf" || du_fail "nothing moved while in the tray"
xs_wait_window_hidden VESKORA 1 || du_fail "the window did not start in the tray"
xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 1
window="$(xs_wait_window_shown VESKORA 30)" || du_fail "a left click on the tray icon did not bring the window back"
to_tray_from_file_menu "$window" || du_fail "the File menu did not open"
xs_wait_window_hidden VESKORA 30 || du_fail "タスクトレイに収納 did not put the window into the tray"
before="$(xs_count_shown veskora)"
xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 3
xs_wait_more_shown veskora "$before" || du_fail "a right click on the tray icon showed no menu"
xdotool key Down Down Down Down Return  # 開く, 直前の移動を元に戻す, 移動履歴を表示, 終了
du_wait_end 30 || du_fail "終了 in the tray menu did not end the program ($du_status)"

# Under a title bar, in Japanese, the bottom row lies inside; libdbus keeps some memory to the end.
LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$3" theWindowIsAtHomeForAJapaneseUser ||
  du_fail "the window is not at home on this desktop"
echo "passed"
