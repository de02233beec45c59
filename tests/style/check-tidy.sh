#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the toolkit-free core (model, formats,
# document, render) as the build compiles it, and its function-size rule over the views, the editor and
# the command-line tool; fails on any finding.
set -euo pipefail
root="$1"
build="$2"
tidy="${3:-clang-tidy-14}"
cd "$root"
files=()
for f in model/*.cpp formats/*.cpp document/*.cpp render/*.cpp; do
    [ "$f" = formats/ThirdParty.cpp ] || files+=("$f") # the header-only libraries compiled once
done
jobs=$(nproc 2>/dev/null || echo 2)
if ! printf '%s\n' "${files[@]}" | xargs -P "$jobs" -n 4 "$tidy" -p "$build" --quiet 2>/dev/null >"$build/tidy.log"; then
    grep -E "(warning|error):" "$build/tidy.log" | sort -u >&2
    exit 1
fi
shells=(views/*.cpp cli/*.cpp)
[ -d app ] && shells+=(app/*.cpp)
if ! printf '%s\n' "${shells[@]}" | xargs -P "$jobs" -n 4 "$tidy" -p "$build" --quiet \
    --checks='-*,readability-function-size' 2>/dev/null >"$build/tidy-size.log"; then
    grep -E "(warning|error):" "$build/tidy-size.log" | sort -u >&2
    exit 1
fi
echo "${#files[@]} core files without findings; no function too long in ${#shells[@]} others"
