#!/usr/bin/env bash
# Starts VESKORA on a virtual X screen with a tray host (trayer) and a few
# rules, and writes what a user sees as PNG files: the tray menu, the main
# window, and the rule list's popup menu.
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]      (default: build/screenshots)
#
# Uses the binary in $VESKORA_BIN, else build/release/src/veskora (built when
# missing). Installs what it needs with apt when missing: xvfb, xauth, trayer,
# xdotool, imagemagick, fonts-ipafont-gothic. Touches nothing of the user's
# own: home, desktop, settings and rule file all live in a temporary folder.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$repo/build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

need=()
for tool in Xvfb:xvfb xauth:xauth trayer:trayer xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" > /dev/null || need+=("${tool##*:}")
done
fc-list | grep -qi ipagothic || need+=(fonts-ipafont-gothic)
if ((${#need[@]})); then
  sudo_cmd=()
  ((EUID == 0)) || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${need[@]}"
fi

binary="${VESKORA_BIN:-$repo/build/release/src/veskora}"
if [[ ! -x "$binary" ]]; then
  (cd "$repo" && cmake --preset release > /dev/null && cmake --build --preset release --target veskora -j"$(nproc)")
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A user of our own: home, desktop, settings, runtime folder, program folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME/ZUL" "$XDG_DATA_HOME" "$work/program" "$work/写真" "$work/書類"
chmod 700 "$work" && mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$binary" "$work/program/veskora"
printf '%s\r\n' \
  "-1,2,jpg,$work/写真" \
  "-1,1,見積,$work/書類" \
  "0,4,100M,(移動を禁止する)" \
  "-1,5,20240101000000,$work/書類" > "$work/program/ZUL.dat"
# Starts in the tray, so the tray menu can be seen first.
printf '[window]\nwidth=9000\nheight=7000\nstate=1\n\n[app]\nautomove=True\n' > "$XDG_CONFIG_HOME/ZUL/ZUL.ini"
printf 'photo\n' > "$HOME/Desktop/IMG_0001.jpg"

export DISPLAY=:$((90 + RANDOM % 100))
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.1; done

trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
  --transparent false --tint 0x303030 > /dev/null 2>&1 &
pids+=($!)
tray_window="$(xdotool search --sync --onlyvisible --class trayer | head -1)"

QT_QPA_PLATFORM=xcb LANG=C.UTF-8 "$work/program/veskora" &
veskora=$!
pids+=("$veskora")

# The tray icon is the only one in trayer: press on its middle.
sleep 2
eval "$(xdotool getwindowgeometry --shell "$tray_window")"
tray_x=$((X + WIDTH / 2)) tray_y=$((Y + HEIGHT / 2))
xdotool mousemove "$tray_x" "$tray_y" click 3
sleep 0.7
import -window root "$out/tray-menu.png"
xdotool key Escape
sleep 0.3

# Out of the tray: the main window, with the status line of the first move.
xdotool mousemove "$tray_x" "$tray_y" click 1
window="$(xdotool search --sync --onlyvisible --name '^VESKORA$' | head -1)"
sleep 2.5
import -window "$window" "$out/main-window.png"

# The rule list's popup menu, on the rule under the pointer.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 120)) $((Y + 70)) click 1
xdotool mousemove $((X + 120)) $((Y + 70)) click 3
sleep 0.7
import -window root "$out/list-popup.png"
xdotool key Escape

kill -TERM "$veskora"
wait "$veskora" || true
ls -1 "$out"/*.png
