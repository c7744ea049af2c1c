# bash completion for ziprepair: commands, the options of each command, and
# .zip/.zipx files and folders (a folder may hold the parts of a split archive).

_ziprepair() {
    local cur prev words cword
    _init_completion || return

    local commands="scan repair help"
    local command="" i
    local options_ended=""
    for ((i = 1; i < cword; i++)); do
        if [[ -z $command && ${words[i]} != -* ]]; then
            command=${words[i]}
        elif [[ -n $command && ${words[i]} == -- ]]; then
            options_ended=yes
        fi
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands -h --help -V --version" -- "$cur"))
        return
    fi

    case $prev in
        -o | --output)
            [[ $command == repair && -z $options_ended ]] && { _filedir -d; return; }
            ;;
        --threads)
            [[ -z $options_ended ]] && { COMPREPLY=($(compgen -W "1 2 4 8 $(nproc 2>/dev/null)" -- "$cur")); return; }
            ;;
    esac

    if [[ -z $options_ended && $cur == -* ]]; then
        case $command in
            scan) COMPREPLY=($(compgen -W "--verify --json --threads -h --help --" -- "$cur")) ;;
            repair) COMPREPLY=($(compgen -W "-o --output --json --skip-damaged --salvage --threads -h --help --" -- "$cur")) ;;
        esac
        return
    fi

    case $command in
        scan | repair) _filedir '@(zip|zipx|ZIP|ZIPX)' ;;
        help) COMPREPLY=($(compgen -W "scan repair" -- "$cur")) ;;
    esac
} && complete -F _ziprepair ziprepair
