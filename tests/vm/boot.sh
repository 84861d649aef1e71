#!/bin/bash
# Boots the emulated machine once: boot.sh <image folder> <job folder> <source> <i686 tree>.
# The job folder holds job.sh, which the guest's first process (tests/vm/init) runs;
# the guest writes job.log, status and its results there, and this script writes
# "ended" with QEMU's exit code when the machine is off. The source and the tree are
# shared read-only; the disk is a throw-away layer over the cached image. There is no
# KVM: QEMU emulates the processors (TCG), and its emulated SMAP makes every Wine
# process oops, so the processor has it off. Niced, as others share the host; ended
# after SETUP_VM_LIMIT (4h) at the latest.
set -uo pipefail
image=$(cd "$1" && pwd) job=$2 source=$3 tree=$4
qemu=
finish() {
    local status=$?
    [ -z "$qemu" ] || kill "$qemu" 2>/dev/null
    rm -f "$job/disk.qcow2"
    echo "$status" >"$job/ended"
}
trap finish EXIT
trap 'exit 143' TERM INT
# SETUP_VM_WRITABLE=1: on the image itself, to change it.
if [ -n "${SETUP_VM_WRITABLE:-}" ]; then
    disk="file=$image/root.img,format=raw"
else
    qemu-img create -q -f qcow2 -F raw -b "$image/root.img" "$job/disk.qcow2" || exit
    disk="file=$job/disk.qcow2,format=qcow2"
fi
timeout --kill-after=30 "${SETUP_VM_LIMIT:-4h}" nice -n 5 qemu-system-x86_64 \
    -nodefaults -no-user-config -display none -no-reboot \
    -accel tcg,thread=multi -cpu max,-smap -smp "${SETUP_VM_CPUS:-2}" -m "${SETUP_VM_MEMORY:-4096}" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 panic=-1 quiet" \
    -serial "file:$job/console.log" \
    -drive "$disk,if=virtio,cache=unsafe" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none" \
    -virtfs "local,path=$source,mount_tag=source,security_model=none,readonly=on" \
    -virtfs "local,path=$tree,mount_tag=build,security_model=none,readonly=on" &
qemu=$!
wait "$qemu"
status=$?
qemu=
exit "$status"
