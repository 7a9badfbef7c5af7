#!/usr/bin/env bash
# Shows VESKORA on a virtual X screen with a window manager that draws title
# bars (metacity), a tray host (trayer), a Japanese font and a Japanese
# session, and writes what a user sees as PNG files, at scale 1 and at
# QT_SCALE_FACTOR=2 (OUTPUT/scale1, OUTPUT/scale2):
#
#   tray.png                the tray icon, the window in the tray
#   ttmenu.png              the tray menu
#   main-window-empty.png   no rules yet
#   editor-new.png          the editor opened for a new rule
#   main-window.png         one rule of each kind, after a move, in its frame
#   mlmenu.png              the rule list's popup menu
#   editor-kind1..6.png     the editor opened on the rule of each kind
#   about.png               the About box
#   notification.png        the notification after a move, with its buttons
#   history.png             the history window after that move
#   preview.png             the preview, moved by the keyboard to its second file
#
#   scripts/screenshots.sh [--docs] [OUTPUT_FOLDER]   (default: build/screenshots)
#
# --docs also refreshes the README's pictures in docs/ from scale 1.
# Uses the binary in $VESKORA_BIN, else build/release/src/veskora (built when
# missing). Installs what it needs with apt when missing: xvfb, xauth, trayer,
# xdotool, x11-utils, metacity, dbus-daemon, imagemagick, notification-daemon,
# fonts-ipafont-gothic, qt6-translations-l10n, and generates the ja_JP.UTF-8
# locale (through scripts/install-deps.sh test). Touches nothing of the user's
# own: the pictures' user lives in a home folder of its own, /home/yuki (as a
# user's paths look; $SHOT_HOME chooses another), made for the run and removed
# after it; the script refuses a home folder that already exists.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
docs=0
if [[ "${1:-}" == --docs ]]; then
  docs=1
  shift
fi
out="${1:-$repo/build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# The screen, window manager, tray, fonts and locale are the tests' own; the
# pictures take ImageMagick besides.
"$repo/scripts/install-deps.sh" test
sudo_cmd=()
((EUID == 0)) || sudo_cmd=(sudo)
notification_server=/usr/lib/notification-daemon/notification-daemon
if ! command -v import > /dev/null || [[ ! -x "$notification_server" ]]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    imagemagick notification-daemon
fi

binary="${VESKORA_BIN:-$repo/build/release/src/veskora}"
if [[ ! -x "$binary" ]]; then
  (cd "$repo" && cmake --preset release -DVESKORA_BUILD_BENCH=OFF > /dev/null &&
    cmake --build --preset release --target veskora -j"$(nproc)")
fi

# shellcheck source=x_session.sh
source "$repo/scripts/x_session.sh"

work="$(mktemp -d)"
home="${SHOT_HOME:-/home/yuki}"
if [[ -e "$home" ]]; then
  echo "screenshots: $home exists; choose a home folder for the pictures' user with SHOT_HOME" >&2
  exit 1
fi
"${sudo_cmd[@]}" install -d -o "$(id -u)" -g "$(id -g)" "$home"
cleanup() {
  xs_stop
  rm -rf "$work" "$home"
  [[ ! -e "$home" ]] || "${sudo_cmd[@]}" rm -rf "$home"
}
trap cleanup EXIT

# Window size in twips for every picture: 600 × 533 at scale 1.
readonly width_twips=9000 height_twips=8000
# A point of the rule list below its last row, in logical pixels: the list
# takes the top 5000 twips under the menu bar, six rows take far less.
readonly list_x=300 list_y=280

scale=1
veskora=""

# Logical pixels to the screen's.
px() { echo $(($1 * scale)); }

# Clicks at a point of the window given in logical pixels.
click_at() {
  local window="$1" x="$2" y="$3" button="$4"
  xs_geometry "$window"
  xdotool mousemove $((X + $(px "$x"))) $((Y + $(px "$y"))) click "$button"
}

# Lets the program paint what it was just asked to show.
settle() { sleep 0.8; }

# The part of the screen the window and its frame cover (popups and dialogs
# over it too).
shoot_window() {
  local window="$1" name="$2"
  settle
  xs_geometry "$window" frame
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/scale$scale/$name.png"
}

# The whole screen: a notification stands where its server puts it.
shoot_screen() {
  settle
  import -window root +repage "$out/scale$scale/$1.png"
}

# The bottom right corner of the screen: the tray and its menu.
shoot_tray_corner() {
  local name="$1" w h
  settle
  w=$(px 320) h=$(px 160)
  eval "$(xdotool getdisplaygeometry --shell)"
  import -window root -crop "${w}x${h}+$((WIDTH - w))+$((HEIGHT - h))" +repage "$out/scale$scale/$name.png"
}

# A user of our own with these rules; the window comes up with STATE.
prepare_user() {
  local state="$1"
  find "${home:?}" -mindepth 1 -delete
  rm -rf "${work:?}/program"
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
  export XDG_RUNTIME_DIR="$work/run"
  desktop="$HOME/デスクトップ"
  mkdir -p "$desktop" "$XDG_CONFIG_HOME/ZUL" "$XDG_DATA_HOME" "$work/program" "$HOME/写真" "$HOME/書類"
  # shellcheck disable=SC2016 # what xdg-user-dirs writes for a Japanese desktop
  printf 'XDG_DESKTOP_DIR="$HOME/デスクトップ"\n' > "$XDG_CONFIG_HOME/user-dirs.dirs"
  rm -rf "$XDG_RUNTIME_DIR" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  cp "$binary" "$work/program/veskora"
  : > "$work/program/ZUL.dat"
  printf '[window]\nwidth=%s\nheight=%s\nstate=%s\n\n[app]\nautomove=True\n' \
    "$width_twips" "$height_twips" "$state" > "$XDG_CONFIG_HOME/ZUL/ZUL.ini"
}

# A session bus of the program's own with a notification server that draws
# bubbles with buttons, as GNOME's fallback session does.
start_session_bus() {
  local bus
  bus="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"
  export DBUS_SESSION_BUS_ADDRESS="${bus%%$'\n'*}"
  xs_pids+=("${bus##*$'\n'}")
  "$notification_server" > /dev/null 2>&1 &
  notification_pid=$!
  xs_pids+=("$notification_pid")
  xs_poll 20 dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.GetServerInformation > /dev/null 2>&1
}

start_veskora() {
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" LC_ALL=ja_JP.UTF-8 "$work/program/veskora" &
  veskora=$!
  xs_pids+=("$veskora")
}

stop_veskora() {
  kill -TERM "$veskora"
  wait "$veskora" || true
}

# Right button on the list's empty part: mlmenu, over the selected row.
open_mlmenu() {
  local window="$1" before
  before="$(xs_count_shown veskora)"
  click_at "$window" "$list_x" "$list_y" 3
  xs_wait_more_shown veskora "$before"
}

# No rules; the program starts in the tray.
shoot_empty() {
  prepare_user 1
  start_veskora
  xs_wait_tray_icon
  shoot_tray_corner tray
  local before window
  before="$(xs_count_shown veskora)"
  xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 3
  xs_wait_more_shown veskora "$before"
  shoot_tray_corner ttmenu
  xdotool key Escape

  xdotool mousemove "$xs_tray_x" "$xs_tray_y" click 1
  window="$(xs_wait_window_shown VESKORA)"
  shoot_window "$window" main-window-empty

  open_mlmenu "$window"
  xdotool key Down Return # mlnew
  shoot_window "$window" editor-new
  stop_veskora
}

# One rule of each kind; the program starts shown and moves a photo at once.
shoot_rules() {
  prepare_user 0
  printf '%s\r\n' \
    "-1,1,見積,$HOME/書類" \
    "-1,2,jpg,$HOME/写真" \
    "-1,3,1K,(移動を禁止する)" \
    "-1,4,100M,(未定義)" \
    "-1,5,20240101093000,$HOME/書類" \
    "0,6,20241224180000,(移動を禁止する)" > "$work/program/ZUL.dat"
  printf 'photo\n' > "$desktop/IMG_0001.jpg"
  printf 'estimate\n' > "$desktop/見積書_2024.pdf"
  printf 'memo\n' > "$desktop/メモ.txt" # small: protected
  truncate -s 101M "$desktop/録画.mkv"    # large: no folder defined, it waits
  start_veskora
  local window kind down
  window="$(xs_wait_window_shown VESKORA)"
  xs_poll 20 test -s "$work/program/veskora.log"
  shoot_screen notification
  # Its bubble would stand over the window.
  kill "$notification_pid"
  shoot_window "$window" main-window

  # The history: F10, then the keyboard to 移動 → 移動履歴を表示 (the last
  # entry but two: Up from the first entry wraps round to the last).
  local before history
  xdotool key F10 Right
  sleep 0.3
  xdotool key Up Up Up Return
  history="$(xs_wait_window_shown 移動履歴)"
  shoot_window "$history" history
  xdotool windowclose "$history" 2> /dev/null || xdotool key --window "$history" Escape

  # The preview (the last entry but one), its first file selected; Down takes the next.
  local preview
  xdotool key F10 Right
  sleep 0.3
  xdotool key Up Up Return
  preview="$(xs_wait_window_shown 移動のプレビュー)"
  xdotool key Down
  shoot_window "$preview" preview
  xdotool key Escape

  for kind in 1 2 3 4 5 6; do
    # A left click on the empty part takes the focus; End and Home select
    # the first row even when it is the current one already, Down the next.
    click_at "$window" "$list_x" "$list_y" 1
    xdotool key End Home
    for ((down = 1; down < kind; down++)); do xdotool key Down; done
    open_mlmenu "$window"
    if ((kind == 1)); then shoot_window "$window" mlmenu; fi
    xdotool key Down Down Down Return # mledit
    shoot_window "$window" "editor-kind$kind"
  done

  # The first menu of the bar, then the keyboard to ヘルプ → バージョン情報.
  before="$(xs_count_shown veskora)"
  click_at "$window" 25 9 1
  xs_wait_more_shown veskora "$before"
  xdotool key Right Right
  sleep 0.3
  xdotool key Return
  shoot_window "$window" about
  xdotool key Return
  stop_veskora
}

for scale in 1 2; do
  mkdir -p "$out/scale$scale"
  xs_start_display "$(px 1024)x$(px 768)"
  xs_start_window_manager
  xs_start_tray_host "$(px 32)"
  start_session_bus
  shoot_empty
  shoot_rules
  xs_stop
done

if ((docs)); then
  mkdir -p "$repo/docs"
  # A window's few colours fit a palette: a third of the size, no visible change.
  for name in main-window editor-kind5 history; do
    convert "$out/scale1/$name.png" -strip -dither None -colors 256 "PNG8:$repo/docs/${name%-kind5}.png"
  done
  # The bubble stands at the screen's top right corner.
  convert "$out/scale1/notification.png" -gravity NorthEast -crop 440x170+0+0 +repage -strip \
    -dither None -colors 256 "PNG8:$repo/docs/notification.png"
fi
ls -1 "$out"/scale*/*.png
