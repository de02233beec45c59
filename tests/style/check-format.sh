#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the repository differs from what its .clang-format makes
# of it. Run `clang-format-14 -i FILE...` to fix them.
set -euo pipefail
root="$1"
format="${2:-clang-format-14}"
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find app bench cli document examples formats fuzz model render tests views \
        -name '*.cpp' -o -name '*.h')
fi
differ=()
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    if ! "$format" --dry-run --Werror "$f" >/dev/null 2>&1; then
        differ+=("$f")
    fi
done
if [ ${#differ[@]} -ne 0 ]; then
    echo "not formatted by .clang-format (run $format -i on them):" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "${#files[@]} files formatted"
