# shellcheck shell=bash
# A virtual X screen with a tray host, for scripts and tests that look at
# VESKORA as a user would. Sourced, not run:
#
#   source scripts/x_session.sh
#   xs_start_display 1024x768      # sets DISPLAY
#   xs_start_tray_host 32          # trayer at the bottom right
#   xs_start_window_manager        # metacity: title bars and frames
#   ...
#   xs_stop                        # ends what xs_ started (also on EXIT)
#
# Needs Xvfb, trayer, xdotool and x11-utils (xwininfo, xprop); the window
# manager needs metacity and dbus-run-session. Every wait is bounded; a
# function that gives up says why on stderr and returns non-zero.

xs_pids=()

# Ends the processes this file started, newest first (children before their
# parent, so the window manager's session bus goes with it), and waits for them.
xs_stop() {
  local i
  for ((i = ${#xs_pids[@]} - 1; i >= 0; i--)); do
    pkill -TERM -P "${xs_pids[i]}" 2> /dev/null || true
    kill "${xs_pids[i]}" 2> /dev/null || true
    wait "${xs_pids[i]}" 2> /dev/null || true
  done
  xs_pids=()
}

# Runs a command until it succeeds, every 0.1 s, for at most SECONDS.
xs_poll() {
  local seconds="$1" tries
  shift
  for ((tries = seconds * 10; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Xvfb on the first free display (Xvfb picks it itself), 24-bit colour. It
# must not reset when its last client leaves (-noreset): a client connecting
# during the reset is turned away.
xs_start_display() {
  local size="$1" fd_file
  fd_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3> "$fd_file" > /dev/null 2>&1 &
  xs_pids+=($!)
  if ! xs_poll 20 test -s "$fd_file"; then
    echo "x_session: Xvfb did not start" >&2
    rm -f "$fd_file"
    return 1
  fi
  DISPLAY=":$(head -1 "$fd_file")"
  export DISPLAY
  rm -f "$fd_file"
  xs_poll 20 xdotool getdisplaygeometry > /dev/null 2>&1 || {
    echo "x_session: display $DISPLAY does not answer" >&2
    return 1
  }
}

# trayer, a freedesktop tray host, along the bottom edge at the right; its
# window grows by one icon for each program that docks there.
xs_start_tray_host() {
  local height="${1:-32}" log
  log="$(mktemp)"
  trayer --edge bottom --align right --widthtype request --height "$height" --SetDockType true \
    --transparent false --tint 0x303030 > "$log" 2>&1 &
  xs_pids+=($!)
  xs_tray_window=""
  if ! xs_poll 20 _xs_find_tray_window; then
    echo "x_session: trayer did not show its window: $(tail -3 "$log")" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

# metacity, as GNOME's older desktops run it, with a session bus of its own:
# every window then gets a title bar and a frame. Waits until it manages the
# screen.
xs_start_window_manager() {
  NO_AT_BRIDGE=1 dbus-run-session -- metacity > /dev/null 2>&1 &
  xs_pids+=($!)
  xs_poll 20 _xs_window_manager_runs || {
    echo "x_session: metacity did not take the screen" >&2
    return 1
  }
}

_xs_window_manager_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }

_xs_find_tray_window() {
  xs_tray_window="$(xdotool search --onlyvisible --class trayer 2> /dev/null | head -1)"
  [[ -n "$xs_tray_window" ]]
}

# Sets X Y WIDTH HEIGHT of a window's inside on the screen; with "frame" as
# second argument, of the window with the frame a window manager drew round
# it. Read with xwininfo: xdotool counts a framed window's offset twice.
xs_geometry() {
  local info extents left=0 right=0 top=0 bottom=0
  info="$(xwininfo -id "$1" 2> /dev/null)" || return 1
  X="$(sed -n 's/^ *Absolute upper-left X: *//p' <<< "$info")"
  Y="$(sed -n 's/^ *Absolute upper-left Y: *//p' <<< "$info")"
  WIDTH="$(sed -n 's/^ *Width: *//p' <<< "$info")"
  HEIGHT="$(sed -n 's/^ *Height: *//p' <<< "$info")"
  if [[ "${2:-}" == frame ]]; then
    extents="$(xprop -id "$1" _NET_FRAME_EXTENTS 2> /dev/null | sed -n 's/.* = //p' | tr -d ,)"
    [[ -z "$extents" ]] || read -r left right top bottom <<< "$extents"
    X=$((X - left)) Y=$((Y - top)) WIDTH=$((WIDTH + left + right)) HEIGHT=$((HEIGHT + top + bottom))
  fi
}

# Waits until the tray holds at least one icon (trayer's window, a pixel or
# two wide when empty, has grown) and sets xs_tray_x, xs_tray_y to the middle of the icon at
# its right end (the only one, where nothing else docks).
xs_wait_tray_icon() {
  local seconds="${1:-20}"
  xs_poll "$seconds" _xs_tray_has_icon || {
    echo "x_session: no icon docked in the tray" >&2
    return 1
  }
  xs_geometry "$xs_tray_window"
  xs_tray_x=$((X + WIDTH - HEIGHT / 2))
  xs_tray_y=$((Y + HEIGHT / 2))
}

_xs_tray_has_icon() {
  xs_geometry "$xs_tray_window" 2> /dev/null || return 1
  ((WIDTH >= HEIGHT / 2 && WIDTH > 1))
}

# The id of the visible top-level window with exactly this title, waited for.
xs_wait_window_shown() {
  local title="$1" seconds="${2:-20}"
  xs_window=""
  xs_poll "$seconds" _xs_find_window "$title" || {
    echo "x_session: no visible window \"$title\"" >&2
    return 1
  }
  echo "$xs_window"
}

_xs_find_window() {
  xs_window="$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1)"
  [[ -n "$xs_window" ]]
}

# Waits until no visible window has exactly this title.
xs_wait_window_hidden() {
  local title="$1" seconds="${2:-20}"
  xs_poll "$seconds" _xs_no_window "$title" || {
    echo "x_session: window \"$title\" is still shown" >&2
    return 1
  }
}

_xs_no_window() { ! _xs_find_window "$1"; }

# How many windows of a class are mapped (popups and tray icons included).
xs_count_shown() {
  xdotool search --onlyvisible --class "$1" 2> /dev/null | wc -l
}

# Waits until more than COUNT windows of the class are mapped: a popup menu
# or a dialog has come up.
xs_wait_more_shown() {
  local class="$1" count="$2" seconds="${3:-20}"
  xs_poll "$seconds" _xs_more_shown "$class" "$count" || {
    echo "x_session: no new window of class $class" >&2
    return 1
  }
}

_xs_more_shown() { (($(xs_count_shown "$1") > $2)); }
