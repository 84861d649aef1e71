#!/bin/bash
# Boots the emulated machine once: boot.sh <image folder> <job folder>. The job folder
# holds job.sh, which the machine's program (tests/vm/init) runs; the machine writes
# job.log, status and its results there, and this script writes "ended" with QEMU's
# exit code when the machine is off. The machine's root is this machine's own, shared
# read-only, under a writable layer on a fresh sparse disk in the job folder (zeros
# written there cost no space). There is no KVM: QEMU emulates the processors (TCG),
# and its emulated SMAP makes every Wine process oops, so the processor has it off.
# Niced, as the host's tests run beside it; ended after SETUP_VM_LIMIT (4h) at the
# latest.
set -uo pipefail
image=$(cd "$1" && pwd) job=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
qemu=
finish() {
    local status=$?
    [ -z "$qemu" ] || kill "$qemu" 2>/dev/null
    rm -f "$job/disk.img"
    echo "$status" >"$job/ended"
}
trap finish EXIT
trap 'exit 143' TERM INT
rm -f "$job/disk.img"
truncate -s 32G "$job/disk.img" &&
    mke2fs -q -t ext4 -O ^has_journal "$job/disk.img" || exit
timeout --kill-after=30 "${SETUP_VM_LIMIT:-4h}" nice -n 5 qemu-system-x86_64 \
    -nodefaults -no-user-config -display none -no-reboot \
    -accel tcg,thread=multi -cpu max,-smap -smp "${SETUP_VM_CPUS:-2}" -m "${SETUP_VM_MEMORY:-4096}" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.cpio" \
    -append "console=ttyS0 panic=-1 quiet setup.init=$here/init" \
    -serial "file:$job/console.log" \
    -drive "file=$job/disk.img,format=raw,if=virtio,cache=unsafe,discard=unmap,detect-zeroes=unmap" \
    -virtfs "local,path=/,mount_tag=root,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none" &
qemu=$!
wait "$qemu"
status=$?
qemu=
exit "$status"
