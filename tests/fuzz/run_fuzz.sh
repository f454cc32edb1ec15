#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60)
# from its seed corpus, with the command dictionary. Fails on the first
# finding (a crash, a sanitizer report, a leak, an input that runs for over two
# minutes: a search under a clock may take seconds of it); prints the inputs
# each target ran.
#
#   tests/fuzz/run_fuzz.sh [SECONDS] [BUILD_DIR]
#
# Needs clang and its runtime (Debian: clang, libclang-rt-dev or
# libclang-rt-14-dev). The corpus grows in BUILD_DIR/corpus, never in the
# sources; a finding is left in BUILD_DIR as crash-*, timeout-* or leak-*.
# The targets change their working directory: every path they are given is
# absolute.
set -euo pipefail
seconds=${1:-60}
build=${2:-build-fuzz}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
targets=(xboard_commands uci_commands fen move_text book_file ini_file pgn_text)

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DVOSTREL_FUZZ=ON -DVOSTREL_TESTS=OFF -DVOSTREL_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzz}"

build=$(cd "$build" && pwd)
total=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    cp -n "$here/corpus/$target"/* "$corpus/"
    log="$build/$target.log"
    echo "--- $target: $seconds s"
    if ! (cd "$build" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "./tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2048 \
        -max_len=4096 -dict="$here/commands.dict" -print_final_stats=1 \
        -artifact_prefix="$build/" "$corpus" >"$log" 2>&1); then
        tail -n 60 "$log"
        echo "$target: FINDING (the input is in $build)" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: $runs inputs, no finding"
    total=$((total + runs))
done
echo "fuzzing: $total inputs in all, no finding"
