# shellcheck shell=bash
# A desktop user for the packaged program, in a temporary folder: a home with
# a Japanese desktop folder, settings and data folders, a runtime folder, and
# a way to run the program as that user. Run as root, the user is "nobody",
# who may not write to the unpacked package, as a user may not write to
# /usr/bin; otherwise it is the caller, and du_protect takes away the write
# permission on the package folder instead. Sourced, not run; bounded polling
# (xs_poll) comes from the X session helpers.
# shellcheck source=../../scripts/x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x_session.sh"

# du_setup PACKAGE_FOLDER VERSION: a scratch folder, removed at exit with
# everything started in it; the package unpacked into $du_package (du_protect
# it before the user runs $du_program); the user in $du_work/user.
du_setup() {
  du_work="$(mktemp -d)"
  trap _du_cleanup EXIT
  chmod 755 "$du_work"  # the user must reach the unpacked package
  du_package="$du_work/package" du_deb="$1/veskora_${2}_$(dpkg --print-architecture).deb"
  du_program="$du_package/usr/bin/veskora"
  dpkg-deb -x "$du_deb" "$du_package" && du_make "$du_work/user"
}

_du_cleanup() {
  [[ -n "${du_pid:-}" ]] && kill -KILL "$du_pid" 2> /dev/null
  xs_stop
  du_unprotect "$du_work"
  rm -rf "$du_work"
}

# du_make FOLDER: the user's folders under FOLDER, which must be empty.
du_make() {
  du_root="$1" du_home="$1/home" du_runtime="$1/run"
  du_desktop="$du_home/デスクトップ" du_config="$du_home/.config" du_data="$du_home/.local/share"
  mkdir -p "$du_desktop" "$du_config" "$du_data/veskora" "$du_home/書類"
  # What xdg-user-dirs writes for a Japanese desktop.
  # shellcheck disable=SC2016
  printf 'XDG_DESKTOP_DIR="$HOME/デスクトップ"\n' > "$du_config/user-dirs.dirs"
  mkdir -m 700 "$du_runtime"
  du_user="$(id -un)" du_as=()
  if ((EUID == 0)); then
    du_user=nobody du_as=(setpriv --reuid=nobody --regid="$(id -gn nobody)" --clear-groups)
    chmod 755 "$du_root"
    chown -R "nobody:$(id -gn nobody)" "$du_home" "$du_runtime"
  fi
  du_env=(HOME="$du_home" XDG_RUNTIME_DIR="$du_runtime" LANG=C.UTF-8 PATH=/usr/bin:/bin)
}

# du_protect / du_unprotect FOLDER: the user may not write there, and back.
# (Root's nobody may not anyway; root itself ignores write permissions.)
du_protect() { ((EUID == 0)) || chmod -R a-w "$1"; }
du_unprotect() { ((EUID == 0)) || chmod -R u+w "$1"; }

# du_put PATH TEXT: a file of the user's, as the user would have made it.
du_put() {
  printf '%s' "$2" > "$1"
  ((EUID != 0)) || chown "$du_user" "$1"
}

# du_start PROGRAM [NAME=VALUE...]: starts the program as the user with a
# clean environment; its output goes to $du_root/program.out.
du_start() {
  local program="$1"
  shift
  "${du_as[@]}" env -i "${du_env[@]}" "$@" "$program" > "$du_root/program.out" 2>&1 &
  du_pid=$!
}

_du_ended() {
  local state
  state="$(cut -d' ' -f3 "/proc/$du_pid/stat" 2> /dev/null)" || return 0
  [[ -z "$state" || "$state" == Z ]]
}

# du_wait_end SECONDS: waits for the program to end by itself and sets
# du_status to its exit status; true when that is 0. Kills it when it does not
# end.
du_wait_end() {
  du_status=killed
  xs_poll "$1" _du_ended || { kill -KILL "$du_pid" 2> /dev/null; wait "$du_pid" 2> /dev/null; return 1; }
  du_status=0
  { wait "$du_pid"; } 2> /dev/null || du_status=$?
  [[ "$du_status" == 0 ]]
}

# du_end: SIGTERM, as at logout, then du_wait_end.
du_end() {
  kill -TERM "$du_pid"
  du_wait_end 30
}

# du_fail WHAT: says what failed and what the program said, and ends the test.
du_fail() {
  echo "FAILED: $*" >&2
  [[ -f "${du_root:-}/program.out" ]] && cat "$du_root/program.out" >&2
  exit 1
}

du_owned_by_user() { [[ "$(stat -c %U "$1")" == "$du_user" ]]; }
