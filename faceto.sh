#!/usr/bin/env bash
# One entry point for a fresh clone: installs what is missing, builds, and runs.
#   ./faceto.sh run [FILE...]   build and start the editor (on the sample model when no file is named)
#   ./faceto.sh test            build and run every test, again under AddressSanitizer and
#                               UndefinedBehaviorSanitizer, then replay and briefly run the fuzzers
#   ./faceto.sh bench [FILTER]  build and run the benchmarks
#   ./faceto.sh fuzz [SECONDS]  build the fuzzers and run each one for SECONDS (default 600)
set -euo pipefail
cd "$(dirname "$0")"

build_dir=build
sanitized_dir=build-sanitized
jobs=$(nproc 2>/dev/null || echo 2)

setup() {
    ./scripts/install-deps.sh
}

build_main() {
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFACETO_WERROR=ON >/dev/null
    cmake --build "$build_dir" -j "$jobs"
}

# clang with AddressSanitizer and UndefinedBehaviorSanitizer: the whole test suite (the editor's windows
# included) and the fuzz harnesses, from one build.
build_sanitized() {
    cmake -S . -B "$sanitized_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
        -DCMAKE_CXX_COMPILER=clang++-14 -DFACETO_WERROR=ON -DFACETO_BUILD_FUZZ=ON \
        -DFACETO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$sanitized_dir" -j "$jobs"
}

# faceto-cli alone, without the toolkit installed or asked for: it must build and read a model.
cli_only_dir=build-cli-only
check_cli_without_gui() {
    cmake -S . -B "$cli_only_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFACETO_WERROR=ON -DFACETO_BUILD_GUI=OFF \
        -DFACETO_BUILD_TESTS=OFF -DFACETO_BUILD_BENCH=OFF >/dev/null
    cmake --build "$cli_only_dir" -j "$jobs" --target faceto-cli
    "$cli_only_dir/cli/faceto-cli" info --json examples/sample.md2 >/dev/null
    echo "faceto-cli builds and reads models without the editor"
}

run_tests() {
    local dir=$1
    (cd "$dir" && QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS="suppressions=$(pwd)/../scripts/lsan-suppressions.txt" \
        ctest --output-on-failure -j "$jobs")
}

fuzzers() {
    for exe in "$sanitized_dir"/fuzz/fuzz_*; do
        [ -f "$exe" ] && [ -x "$exe" ] && basename "$exe"
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
        "$sanitized_dir/fuzz/$name" -runs=0 "$corpus"/* >/dev/null 2>&1 || { "$sanitized_dir/fuzz/$name" -runs=0 "$corpus"/*; exit 1; }
        local log="$scratch.log"
        local status=0
        # Inputs as large as the largest seed and more: the glTF reader's hostile files run to tens of
        # kilobytes.
        local longest
        longest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -1)
        "$root/$sanitized_dir/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
            -max_len=$(( longest > 4096 ? longest * 2 : 8192 )) \
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
        run_tests "$build_dir"
        check_cli_without_gui
        build_sanitized
        run_tests "$sanitized_dir"
        run_fuzzers 10
        ;;
    bench)
        setup
        build_main
        for exe in "$build_dir"/bench/faceto_*_bench; do
            "$exe" --benchmark_repetitions=5 --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true \
                ${1:+--benchmark_filter="$1"}
        done
        if [ -z "${1:-}" ]; then
            bench/cli-vs-assimp.sh "$build_dir/cli/faceto-cli"
            bench/scaling-table.sh "$build_dir/cli/faceto-cli"
        fi
        ;;
    fuzz)
        setup
        build_sanitized
        run_fuzzers "${1:-600}"
        ;;
    *)
        sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
