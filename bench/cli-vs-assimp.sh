#!/usr/bin/env bash
# Whole-process time of `faceto-cli info` beside `assimp info` on every real model both read, and of
# `faceto-cli --help`: the median of 21 runs each, in milliseconds, and faceto's time as a share of
# assimp's.
set -euo pipefail
cli=$1
realdata=${2:-$(dirname "$0")/../../shared/realdata}
runs=21

# The median wall time of a command, in milliseconds (bash's own clock: no process to read it).
median_ms() {
    local times=()
    for _ in $(seq $runs); do
        local start end
        start=${EPOCHREALTIME/./}
        "$@" >/dev/null 2>&1 || true
        end=${EPOCHREALTIME/./}
        times+=($(( end - start )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p" | awk '{printf "%.2f", $1 / 1000}'
}

echo "faceto-cli --help: $(median_ms "$cli" --help) ms"
if ! command -v assimp >/dev/null; then
    echo "assimp is not installed: no comparison"
    exit 0
fi
if [ ! -d "$realdata" ]; then
    echo "no real data at $realdata"
    exit 0
fi
# Each file by its path under the real data (several share a name); a reader that fails on a file is
# flagged and no ratio is given for it.
printf '%-40s %10s %10s %7s\n' file faceto assimp ratio
find "$realdata" -type f \( -name '*.md2' -o -name '*.mdl' -o -name '*.md3' -o -name '*.gltf' -o -name '*.glb' \) |
    sort |
while read -r model; do
    name=${model#"$realdata"/}
    ours=failed
    theirs=failed
    if "$cli" info "$model" >/dev/null 2>&1; then
        ours=$(median_ms "$cli" info "$model")
    fi
    if assimp info "$model" >/dev/null 2>&1; then
        theirs=$(median_ms assimp info "$model")
    fi
    ratio=-
    if [ "$ours" != failed ] && [ "$theirs" != failed ]; then
        ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
    fi
    [ "$ours" = failed ] || ours="$ours ms"
    [ "$theirs" = failed ] || theirs="$theirs ms"
    printf '%-40s %10s %10s %7s\n' "$name" "$ours" "$theirs" "$ratio"
done
