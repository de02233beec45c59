#!/usr/bin/env bash
# The bash completion of faceto-cli completes its commands, each command's options and their values.
set -uo pipefail
source_dir=$1
source /usr/share/bash-completion/bash_completion
source "$source_dir/cli/completions/faceto-cli.bash"
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _faceto_cli faceto-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    echo "${COMPREPLY[*]}"
}
expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    [[ " $got " == *" $want "* ]] || { echo "'$*' completes to '$got', without $want"; exit 1; }
}
expect convert faceto-cli con
expect --json faceto-cli info --j
expect --interpolation faceto-cli convert --int
expect quad faceto-cli render a.md2 --view q
expect textured-shaded faceto-cli render a.md2 --mode textured-
expect md3 faceto-cli convert --to m
expect import faceto-cli skin im
got=$(complete_line faceto-cli info --vi)
[[ -z $got ]] || { echo "info offers render's options: $got"; exit 1; }
echo "bash completion ok"
