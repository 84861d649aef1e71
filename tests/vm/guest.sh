#!/bin/bash
# Runs inside the emulated machine (tests/vm/init starts it through the job share):
# guest.sh <build folder> <test>... The machine sees the host's source and i686 tree
# where the host has them. Its test prefixes are its own, made here over the host's
# paths; Xvfb is started and each named test of the i686 tree run by ctest, its
# output and exit code written to the job share's results folder (<test>.log,
# <test>.status) as it ends. A step before the tests that fails ends the job with a
# line naming it and its output.
set -uo pipefail
BUILD=$1
shift
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
JOB=/mnt/job
RESULTS=$JOB/results
export HOME=/root USER=root LANG=C.UTF-8

say() { printf '%s guest: %s\n' "$(date +%T)" "$*"; }

step() {
    local what=$1 out
    shift
    say "$what"
    out=$(mktemp)
    if ! "$@" >"$out" 2>&1; then
        echo "FAILED in the emulated machine: $what"
        tail -n 100 "$out"
        exit 1
    fi
    rm -f "$out"
}

# A prefix of the machine's own where the i686 tree expects it (the host's, if any,
# is hidden): <prefix> win32|win64, in the Japanese locale. Taken from the host's
# cache (SETUP_VM_PREFIXES) when it holds one; else made, and handed to the host for
# its cache through the job share, as it stands once its server has ended.
make_prefix() {
    local prefix=$1 arch=$2 own=/var/lib/setup-vm/${1##*/}
    local cached=$SETUP_VM_PREFIXES/$arch.tar
    mkdir -p "$own" "$prefix"
    mount --bind "$own" "$prefix"
    if [ -f "$cached" ]; then
        tar -C "$prefix" -xf "$cached"
    else
        WINEPREFIX=$prefix WINEARCH=$arch bash "$ROOT/tests/wine-prefix.sh" &&
            WINEPREFIX=$prefix wineserver -k && WINEPREFIX=$prefix wineserver -w &&
            mkdir -p "$JOB/prefixes" && tar -C "$prefix" -cf "$JOB/prefixes/$arch.tar" . || return
    fi
    WINEPREFIX=$prefix WINEARCH=$arch bash "$ROOT/tests/wine-prefix.sh"
}

say "started; $(nproc) processors, $(($(awk '/MemTotal/ { print $2 }' /proc/meminfo) / 1024)) MiB"
mkdir -p "$RESULTS"
rm -rf "$BUILD/results"
ln -s "$RESULTS" "$BUILD/results"
step "making the 32-bit prefix" make_prefix "$BUILD/wine" win32
step "making the 64-bit prefix" make_prefix "$BUILD/wine64" win64
source "$ROOT/tests/xvfb.sh"
xvfb_start 90 || { echo "FAILED in the emulated machine: starting Xvfb"; cat "$XVFB_LOG"; exit 1; }

# What runs, every half minute, for a test that hangs.
while sleep 30; do ps -eo pid,etime,time,args >"$JOB/ps.txt"; done &

for test in "$@"; do
    say "running $test"
    status=0
    # Verbose: the output reaches the host as it comes.
    (cd "$BUILD/win32" && ctest -V -R "^$test\$") >"$RESULTS/$test.log" 2>&1 || status=$?
    grep -q '100% tests passed' "$RESULTS/$test.log" || [ "$status" != 0 ] || status=1
    echo "$status" >"$RESULTS/$test.status"
    say "$test: exit code $status"
done
# The failures' screenshots, for the host's build folder.
find "$BUILD/win32" -name '*-failure.png' -exec cp {} "$RESULTS/" \; 2>/dev/null
say "done"
