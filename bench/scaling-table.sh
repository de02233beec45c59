#!/usr/bin/env bash
# The scaling table: a wavy grid of about 1k, 10k, 100k and 1M triangles, written as OBJ, loaded
# (`info`), converted to binary glTF and rendered to PNG by faceto-cli, and loaded and converted by
# assimp, the peer. Each cell is the median wall time of RUNS runs (default 3) in milliseconds and the
# peak resident memory of one run in MiB; the last columns give faceto's figures as a share of assimp's,
# and the time per triangle shows whether a cost grows faster than the model.
set -euo pipefail
cli=$1
runs=${RUNS:-3}
sizes=${SIZES:-"23 72 225 708"} # grid sides: 2 (n - 1)^2 triangles
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A grid of n x n vertices, z a gentle wave, two triangles a square.
grid() {
    awk -v n="$1" 'BEGIN {
        for (r = 0; r < n; ++r) for (c = 0; c < n; ++c)
            printf "v %.4f %.4f %.4f\n", c * 0.25, r * 0.25, sin(c * 0.2) * cos(r * 0.15) * 3
        for (r = 0; r < n - 1; ++r) for (c = 0; c < n - 1; ++c) {
            a = r * n + c + 1
            printf "f %d %d %d\nf %d %d %d\n", a, a + 1, a + n + 1, a, a + n + 1, a + n
        }
    }' > "$2"
}

# "MS MIB" of a command: the median wall time of the runs (bash's own clock) and the peak resident
# memory of one more run; "failed failed" when it fails.
measure() {
    local times=()
    for _ in $(seq "$runs"); do
        local start=${EPOCHREALTIME/./}
        "$@" >/dev/null 2>&1 || { echo "failed failed"; return; }
        local end=${EPOCHREALTIME/./}
        times+=($((end - start)))
    done
    local ms
    ms=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" | awk '{printf "%.1f", $1 / 1000}')
    local kib=0
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1 || true
        kib=$(tail -n 1 "$work/rss")
    fi
    echo "$ms $(awk -v k="$kib" 'BEGIN { printf "%.1f", k / 1024 }')"
}

ratio() {
    if [ "$1" = failed ] || [ "$2" = failed ] || [ "$2" = - ]; then
        echo -
    else
        awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
    fi
}

have_assimp=true
command -v assimp >/dev/null || have_assimp=false
printf '%9s %-8s %10s %8s %8s %10s %8s %6s %6s\n' triangles task faceto-ms MiB ns/tri assimp-ms MiB time memory
for n in $sizes; do
    triangles=$((2 * (n - 1) * (n - 1)))
    model="$work/grid$n.obj"
    grid "$n" "$model"
    for task in load convert render; do
        case $task in
        load) read -r ms mib < <(measure "$cli" info "$model") ;;
        convert) read -r ms mib < <(measure "$cli" convert "$model" "$work/out.glb") ;;
        render) read -r ms mib < <(measure "$cli" render "$model" "$work/out.png" --fit) ;;
        esac
        theirs=- theirMib=-
        if $have_assimp && [ "$task" != render ]; then
            if [ "$task" = load ]; then
                read -r theirs theirMib < <(measure assimp info "$model")
            else
                read -r theirs theirMib < <(measure assimp export "$model" "$work/peer.glb" -f glb2)
            fi
        fi
        per=-
        [ "$ms" = failed ] || per=$(awk -v m="$ms" -v t="$triangles" 'BEGIN { printf "%.0f", m * 1e6 / t }')
        printf '%9d %-8s %10s %8s %8s %10s %8s %6s %6s\n' "$triangles" "$task" "$ms" "$mib" "$per" "$theirs" \
            "$theirMib" "$(ratio "$ms" "$theirs")" "$(ratio "$mib" "$theirMib")"
    done
done
