# shellcheck shell=bash
# A desktop user of the packaged program in a temporary folder, with a Japanese desktop folder. As root the user is
# "nobody", who may not write to the unpacked package (as to /usr/bin); otherwise the package loses its write bits.
# shellcheck source=../../scripts/x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x_session.sh"

# du_setup PACKAGE_FOLDER VERSION: the package in $du_package, the user under $du_root; all removed at exit.
du_setup() {
  du_work="$(mktemp -d)" du_root="$du_work/user"
  trap '[[ -n "${du_pid:-}" ]] && kill -KILL "$du_pid" 2> /dev/null; xs_stop; chmod -R u+w "$du_work"; rm -rf "$du_work"' EXIT
  du_package="$du_work/package" du_deb="$1/veskora_${2}_$(dpkg --print-architecture).deb"
  du_program="$du_package/usr/bin/veskora" du_home="$du_root/home" du_runtime="$du_root/run"
  du_desktop="$du_home/デスクトップ" du_config="$du_home/.config" du_data="$du_home/.local/share"
  dpkg-deb -x "$du_deb" "$du_package" || return 1
  mkdir -p "$du_desktop" "$du_config" "$du_data/veskora" "$du_home/書類" && mkdir -m 700 "$du_runtime"
  # shellcheck disable=SC2016 # what xdg-user-dirs writes for a Japanese desktop
  printf 'XDG_DESKTOP_DIR="$HOME/デスクトップ"\n' > "$du_config/user-dirs.dirs"
  du_user="$(id -un)" du_as=()
  if ((EUID == 0)); then
    du_user=nobody du_as=(setpriv --reuid=nobody --regid="$(id -gn nobody)" --clear-groups)
    chmod 755 "$du_work" "$du_root"
    chown -R "nobody:$(id -gn nobody)" "$du_home" "$du_runtime"
  else
    chmod -R a-w "$du_package"
  fi
  du_env=(HOME="$du_home" XDG_RUNTIME_DIR="$du_runtime" LANG=C.UTF-8 PATH=/usr/bin:/bin)
}

# du_put PATH TEXT: a file of the user's, as the user would have made it.
du_put() { printf '%s' "$2" > "$1" && { ((EUID != 0)) || chown "$du_user" "$1"; }; }

# du_start [NAME=VALUE...]: the program as the user, in a clean environment; its output in $du_root/program.out.
du_start() { "${du_as[@]}" env -i "${du_env[@]}" "$@" "$du_program" > "$du_root/program.out" 2>&1 & du_pid=$!; }

# du_wait_end SECONDS: waits for the end (killing it after), true on status 0; du_status holds the status.
_du_ended() { [[ "$(cut -d' ' -f3 "/proc/$du_pid/stat" 2> /dev/null)" =~ ^Z?$ ]]; }
du_wait_end() {
  du_status=killed
  xs_poll "$1" _du_ended || { kill -KILL "$du_pid" 2> /dev/null; wait "$du_pid" 2> /dev/null; return 1; }
  du_status=0
  { wait "$du_pid"; } 2> /dev/null || du_status=$?
  [[ "$du_status" == 0 ]]
}

# du_end: SIGTERM, as at logout, then du_wait_end.
du_end() { kill -TERM "$du_pid" && du_wait_end 30; }

# du_fail WHAT: says what failed and what the program said; ends the test.
du_fail() { echo "FAILED: $*" >&2; [[ -f "${du_root:-}/program.out" ]] && cat "$du_root/program.out" >&2; exit 1; }
