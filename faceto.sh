#!/usr/bin/env bash
# One entry point for a fresh clone: installs what is missing, builds, and runs.
#   ./faceto.sh run [FILE...]   build and start the editor (on the sample model when no file is named)
#   ./faceto.sh test            build everything and run every test, then replay and briefly run the fuzzers
#   ./faceto.sh bench [FILTER]  build and run the benchmarks
#   ./faceto.sh fuzz [SECONDS]  build the fuzzers and run each one for SECONDS (default 600)
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
fuzz_dir=build-fuzz
jobs=$(nproc 2>/dev/null || echo 2)

setup() {
    ./scripts/install-deps.sh
}

build_main() {
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFACETO_WERROR=ON >/dev/null
    cmake --build "$build_dir" -j "$jobs"
}

build_fuzzers() {
    cmake -S . -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++-14 -DFACETO_BUILD_FUZZ=ON -DFACETO_BUILD_GUI=OFF \
        -DFACETO_BUILD_TESTS=OFF -DFACETO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$fuzz_dir" -j "$jobs"
}

fuzzers() {
    for exe in "$fuzz_dir"/fuzz/fuzz_*; do
        [ -x "$exe" ] && basename "$exe"
    done
}

# Replays every seed, then fuzzes from a scratch copy of the corpus for the given time.
run_fuzzers() {
    local seconds=$1
    local root
    root=$(pwd)
    for name in $(fuzzers); do
        local corpus="fuzz/corpus/${name#fuzz_}"
        local scratch
        scratch=$(mktemp -d)
        cp -r "$corpus"/. "$scratch"/
        echo "== $name: replaying $(ls "$corpus" | wc -l) seeds, then fuzzing for ${seconds}s"
        "$fuzz_dir/fuzz/$name" -runs=0 "$corpus"/* >/dev/null 2>&1 || { "$fuzz_dir/fuzz/$name" -runs=0 "$corpus"/*; exit 1; }
        local log="$scratch.log"
        local status=0
        "$root/$fuzz_dir/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$root/fuzz-" "$scratch" >"$log" 2>&1 || status=$?
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|SUMMARY' "$log" || true
        rm -rf "$scratch" "$log"
        if [ "$status" -ne 0 ]; then
            echo "$name found a failure (input saved as fuzz-crash-*)" >&2
            exit 1
        fi
    done
}

command=${1:-}
shift || true
case "$command" in
    run)
        setup
        build_main
        if [ $# -eq 0 ]; then
            set -- examples/sample.md2
        fi
        exec "$build_dir/app/faceto" "$@"
        ;;
    test)
        setup
        build_main
        (cd "$build_dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
        build_fuzzers
        run_fuzzers 10
        ;;
    bench)
        setup
        build_main
        for exe in "$build_dir"/bench/faceto_*_bench; do
            "$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
                ${1:+--benchmark_filter="$1"}
        done
        ;;
    fuzz)
        setup
        build_fuzzers
        run_fuzzers "${1:-600}"
        ;;
    *)
        sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
