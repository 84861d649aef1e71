#!/bin/bash
# A test of the i686 tree as the emulated machine ran it, for the host's ctest run:
# report.sh <job folder> <test> <report file>. Waits until the guest has written
# the test's exit code (the machine runs beside the host's tests), then prints its
# output, hands its GoogleTest report on and exits with its code. A machine that
# ended without running it fails the test with what the machine said.
job=$1 test=$2 report=$3
while [ ! -f "$job/results/$test.status" ]; do
    # Ended, or gone without a word (killed from outside).
    if [ -f "$job/ended" ] || ! kill -0 "$(cat "$job/pid" 2>/dev/null)" 2>/dev/null; then
        echo "the emulated machine ended without running $test; its last words:"
        tail -n 30 "$job/job.log" 2>/dev/null
        tail -n 30 "$job/qemu.log" 2>/dev/null
        exit 1
    fi
    sleep 2
done
cat "$job/results/$test.log"
[ ! -f "$job/results/$test.xml" ] || cp "$job/results/$test.xml" "$report"
exit "$(cat "$job/results/$test.status")"
