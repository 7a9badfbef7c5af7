# bash completion for veskora-cli
_veskora_cli() {
  local cur prev words cword
  _init_completion || return

  local command="" word
  for word in "${words[@]:1:cword-1}"; do
    case "$word" in
      plan | why | undo | history | help) command="$word" && break ;;
    esac
  done

  case "$prev" in
    --last | --since) return ;;
  esac

  local options
  case "$command" in
    "")
      COMPREPLY=($(compgen -W 'plan why undo history help --help --version' -- "$cur"))
      return
      ;;
    help)
      [[ "$prev" == help ]] && COMPREPLY=($(compgen -W 'plan why undo history' -- "$cur"))
      return
      ;;
    plan | why) options='--json --help' ;;
    history) options='--since --json --help' ;;
    undo)
      options='--dry-run --json --help'
      # Only one of these three says which moves to undo.
      case " ${words[*]:1:cword-1} " in
        *" --last "* | *" --since "* | *" --all "*) ;;
        *) options+=' --last --since --all' ;;
      esac
      ;;
  esac

  if [[ "$cur" == -* || "$command" != why ]]; then
    # An option already given is not offered again.
    local option offered=()
    for option in $options; do
      [[ " ${words[*]:1:cword-1} " == *" $option "* ]] || offered+=("$option")
    done
    COMPREPLY=($(compgen -W '${offered[*]}' -- "$cur"))
  elif [[ "$cur" == */* ]]; then
    _filedir
  else
    # The files on the desktop, which is where why looks for a bare name;
    # readline quotes what it inserts (a name with a blank stays one word).
    local desktop name names
    desktop="$(xdg-user-dir DESKTOP 2> /dev/null)"
    [[ -d "$desktop" ]] || desktop="$HOME/Desktop"
    compopt -o filenames
    mapfile -t names < <(cd "$desktop" 2> /dev/null && compgen -f -- "$cur")
    for name in "${names[@]}"; do
      [[ -f "$desktop/$name" ]] && COMPREPLY+=("$name")
    done
  fi
}
complete -F _veskora_cli veskora-cli
