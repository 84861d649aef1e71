#!/bin/bash
# Builds the fuzz targets in <build folder> with clang++-14 and runs each for
# <seconds> on a scratch copy of its seed corpus (tests/fuzz/corpus/<target>/, kept
# under the build folder so the committed seeds stay small). The inputs in
# tests/fuzz/regressions/<target>/, earlier findings, are replayed first.
# Prints one line per target and exits non-zero when any target found something;
# a finding is saved under <build folder>/findings/<target>/ and its log under
# <build folder>/logs/.
#
# The JPEG seeds were made with ImageMagick's convert and libjpeg-turbo's cjpeg
# (progressive, arithmetic, restart markers, grey, CMYK, two pictures in one file);
# the two "declares-" seeds are two of them with the frame size patched to one too
# large to allocate.
set -uo pipefail

if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 <build folder> <seconds per target>" >&2
    exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1" || exit 2
BUILD=$(cd "$1" && pwd)
SECONDS_PER_TARGET=$2

if ! cmake -S "$HERE" -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD/configure.log" 2>&1 ||
    ! cmake --build "$BUILD" -j 2 >"$BUILD/build.log" 2>&1; then
    echo "fuzz: FAILED (build; see $BUILD/configure.log and $BUILD/build.log)"
    exit 1
fi

mkdir -p "$BUILD/logs"
failed=0
for source in "$HERE"/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    binary=$BUILD/${name}_fuzz
    log=$BUILD/logs/$name.log
    findings=$BUILD/findings/$name
    corpus=$BUILD/corpus/$name
    mkdir -p "$findings" "$corpus"
    : >"$log"

    # Earlier findings first: each must now pass.
    replay_failed=
    for input in "$HERE/regressions/$name"/*; do
        [ -f "$input" ] || continue
        if ! "$binary" -runs=1 "$input" >>"$log" 2>&1; then
            replay_failed=$input
            break
        fi
    done
    if [ -n "$replay_failed" ]; then
        echo "fuzz $name: FAILED ($replay_failed)"
        failed=1
        continue
    fi

    [ -d "$HERE/corpus/$name" ] && cp -n "$HERE/corpus/$name"/* "$corpus"/ 2>/dev/null
    "$binary" -max_total_time="$SECONDS_PER_TARGET" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >>"$log" 2>&1
    status=$?
    crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    if [ $status -ne 0 ] || [ -n "$crash" ]; then
        echo "fuzz $name: FAILED (${crash:-$log})"
        failed=1
        continue
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    echo "fuzz $name: ok (${execs:-0} execs, cov ${cov:-0})"
done
exit $failed
