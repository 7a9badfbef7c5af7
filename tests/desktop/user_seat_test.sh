#!/usr/bin/env bash
# VESKORA from a user's seat: the packaged program on a virtual X screen,
# driven with the mouse and keyboard as a user would.
#
#   1. No tray on the desktop: the window sent to the tray stays on screen
#      (for the task bar) and goes on working.
#   2. A window manager (metacity) and a tray host (trayer) join; the next
#      start comes up in the tray, as the first run was left, and moves a
#      file from there. A left click on the tray icon brings the window back;
#      "タスクトレイに収納" puts it away again; the tray menu's "終了" ends it.
#   3. On that screen, in a Japanese session, the window's bottom row lies
#      inside its title-barred frame and Qt's own buttons speak Japanese
#      (WINDOW_TEST, the main window's QtTest program).
#   user_seat_test.sh PACKAGE_FOLDER VERSION WINDOW_TEST
set -uo pipefail

for tool in Xvfb trayer xdotool metacity dbus-run-session xprop; do
  command -v "$tool" > /dev/null && continue
  echo "SKIPPED: $tool is missing (Debian packages xvfb, trayer, xdotool, metacity, dbus-daemon, x11-utils)"
  exit 77
done
source "$(dirname "${BASH_SOURCE[0]}")/../support/desktop_user.sh"
du_setup "$1" "$2" || du_fail "cannot unpack the package"
du_put "$du_data/veskora/ZUL.dat" $'-1,2,pdf,'"$du_home/書類"$'\r\n'
start() { du_start DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb; }
xs_start_display 1024x768 || du_fail "no X screen"

# Opens "ファイル" at the left end of the window's menu bar, then chooses
# "タスクトレイに収納" with the keyboard (the popup takes it while open).
to_tray_from_file_menu() {
  local before
  before="$(xs_count_shown veskora)"
  xs_geometry "$1" && xdotool mousemove $((X + 25)) $((Y + 9)) click 1 && xs_wait_more_shown veskora "$before" &&
    xdotool key Down Return
}

# --- 1. No tray -------------------------------------------------------------
start
window="$(xs_wait_window_shown VESKORA 30)" || du_fail "the window did not come up without a tray"
to_tray_from_file_menu "$window" || du_fail "the File menu did not open"
# Still mapped and still answering: its menu opens again.
to_tray_from_file_menu "$window" || du_fail "the window went away with no tray to bring it back"
du_end || du_fail "the first run did not end on SIGTERM ($du_status)"

# --- 2. With a window manager and a tray -------------------------------------
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
xdotool key Down Down Return  # 開く, 終了
du_wait_end 30 || du_fail "終了 in the tray menu did not end the program ($du_status)"

# --- 3. The window under a title bar, in Japanese ---------------------------
# libdbus, which Qt loads on a real screen, keeps some memory to the end.
LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
  "$3" theLayoutKeepsEveryControlInPlace qtsOwnTextsSpeakTheUsersLanguage ||
  du_fail "the window is not at home on this desktop"
echo "passed"
