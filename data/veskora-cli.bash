# bash completion for veskora-cli
_veskora_cli() {
  local cur prev words cword
  _init_completion || return

  local command="" word
  for word in "${words[@]:1:cword-1}"; do
    case "$word" in
      plan | why | undo) command="$word" && break ;;
    esac
  done

  case "$prev" in
    --last | --since) return ;;
  esac

  case "$command" in
    "")
      COMPREPLY=($(compgen -W 'plan why undo --help --version' -- "$cur"))
      ;;
    plan)
      COMPREPLY=($(compgen -W '--json --help' -- "$cur"))
      ;;
    undo)
      COMPREPLY=($(compgen -W '--last --since --all --dry-run --json --help' -- "$cur"))
      ;;
    why)
      if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W '--json --help' -- "$cur"))
      elif [[ "$cur" == */* ]]; then
        _filedir
      else
        # Names on the desktop, which is where why looks for a bare name.
        local desktop
        desktop="$(xdg-user-dir DESKTOP 2> /dev/null)"
        [[ -d "$desktop" ]] || desktop="$HOME/Desktop"
        local IFS=$'\n'
        COMPREPLY=($(cd "$desktop" 2> /dev/null && compgen -f -- "$cur"))
      fi
      ;;
  esac
}
complete -F _veskora_cli veskora-cli
