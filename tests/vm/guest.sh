#!/bin/bash
# Runs inside the emulated machine (tests/vm/init starts it through the job share):
# guest.sh <source folder> <build folder> <test>... The host's source and i686 tree
# are copied to the guest's disk under the host's own paths, so that the tree's
# tests find everything where ctest was told; the prefixes are made, Xvfb started,
# and each named test of the i686 tree run by ctest, its output and exit code written
# to the job share's results folder (<test>.log, <test>.status) as it ends. A step
# before the tests that fails ends the job with a line naming it and its output.
set -uo pipefail
ROOT=$1
BUILD=$2
shift 2
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

# The i686 tree without what only building needs. Executables are copied to the
# guest's disk: run straight from the 9p share, a large one may read as zeros.
copy_tree() {
    mkdir -p "$ROOT" "$BUILD/win32"
    tar -C /mnt/source --exclude=./build --exclude=./.git -cf - . | tar -C "$ROOT" -xf -
    tar -C /mnt/tree --exclude=CMakeFiles --exclude='*.a' --exclude='*.obj' \
        --exclude=e2e --exclude=screenshots --exclude=Testing -cf - . | tar -C "$BUILD/win32" -xf -
}

# The prefixes of the i686 tree's tests: its own 32-bit one and the 64-bit one, in the
# Japanese locale.
make_prefix() {
    local prefix=$1 arch=$2
    WINEPREFIX=$prefix WINEARCH=$arch bash "$ROOT/tests/wine-prefix.sh"
}

say "started; $(nproc) processors, $(($(awk '/MemTotal/ { print $2 }' /proc/meminfo) / 1024)) MiB"
step "copying the sources and the i686 tree to the guest's disk" copy_tree
mkdir -p "$RESULTS" "$(dirname "$BUILD")"
rm -rf "$BUILD/results"
ln -s "$RESULTS" "$BUILD/results"
# Those the image holds are taken (tests/vm/image.sh); only Wine's servers start.
for prefix in win32:wine win64:wine64; do
    [ ! -d "/var/lib/setup-vm/${prefix%:*}" ] || [ -e "$BUILD/${prefix#*:}" ] ||
        mv "/var/lib/setup-vm/${prefix%:*}" "$BUILD/${prefix#*:}"
done
step "preparing the 32-bit prefix" make_prefix "$BUILD/wine" win32
step "preparing the 64-bit prefix" make_prefix "$BUILD/wine64" win64
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
