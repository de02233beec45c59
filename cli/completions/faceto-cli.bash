# bash completion for faceto-cli
_faceto_cli() {
    local cur prev words cword
    _init_completion || return
    local commands="info convert render thumbnail skin set help"
    local models='@(fm|mdl|md2|md3|3do|3DO|gltf|glb|obj)'
    case $prev in
        --view) COMPREPLY=($(compgen -W "camera preview top side front quad skin" -- "$cur")); return ;;
        --mode) COMPREPLY=($(compgen -W "none wireframe vertex flat gouraud textured textured-shaded" -- "$cur")); return ;;
        --to) COMPREPLY=($(compgen -W "fm mdl md2 md3 asc gltf glb obj" -- "$cur")); return ;;
        --interpolation) COMPREPLY=($(compgen -W "step linear" -- "$cur")); return ;;
        --skin-depth) COMPREPLY=($(compgen -W "8 24" -- "$cur")); return ;;
        --palette) COMPREPLY=($(compgen -W "quake hexen2" -- "$cur")); return ;;
        -d|--base) _filedir -d; return ;;
        --settings) _filedir ini; return ;;
        --frame|--size|--skin|--fps|--scale|--import-scale) return ;;
    esac
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]}
    if [[ $cur == -* ]]; then
        local options="--base --settings --palette --help --version"
        case $command in
            info) options+=" --json" ;;
            convert) options+=" --to -d --tree --fps --import-scale --scale --interpolation --skin-depth --force" ;;
            render) options+=" --view --mode --frame --size --skin --edges --vertices --fit" ;;
            skin) options+=" --map --scale-coords" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
        help) [[ $cword -eq 2 ]] && COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
        skin) if [[ $cword -eq 2 ]]; then COMPREPLY=($(compgen -W "export import" -- "$cur")); else _filedir; fi ;;
        *) _filedir "$models"; [[ ${#COMPREPLY[@]} -eq 0 ]] && _filedir ;;
    esac
}
complete -F _faceto_cli faceto-cli
