#!/bin/bash
# Builds the emulated machine into a folder: image.sh <folder>. A Debian root of the
# packages listed in tests/vm/packages (amd64 with i386 beside it, for 32-bit Wine),
# made by mmdebstrap from the Debian archives of this machine's own apt configuration,
# as an ext4 image (root.img) with the root's kernel and initial RAM disk beside it,
# and the test prefixes of tests/wine-prefix.sh made in it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
work=$out.new

# The Debian archives that this machine's apt configuration uses, one deb line each.
mapfile -t mirrors < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(ORIGIN)' |
    awk '$4 == "Debian" { print "deb " $1 " " $2 " " $3 }' | sort -u)
if ! ((${#mirrors[@]})); then
    echo "no Debian archive in the apt configuration (apt-get indextargets)" >&2
    exit 1
fi
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
packages=$(grep -v '^#' "$here/packages" | paste -sd, -)

# What an interrupted build left: never into a file system mounted inside it.
clear() {
    findmnt -rn -o TARGET | { grep -F "$1/" || true; } | sort -r | xargs -r -d '\n' umount -l
    rm -rf --one-file-system "$1"
}
clear "$work"
mkdir -p "$work"
# The Japanese locale of the test prefixes and a Western one for their code page 1252
# siblings; the first process of tests/vm/init.
mmdebstrap --mode=root --variant=apt --architectures=amd64,i386 --include="$packages" \
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/info/*' \
    --customize-hook='sed -i -E "s/^# *((ja_JP|de_DE)\.UTF-8 UTF-8)/\1/" "$1/etc/locale.gen" && chroot "$1" locale-gen' \
    --customize-hook="copy-in $here/init /sbin" \
    "$suite" "$work/root" "${mirrors[@]}"
cp "$(ls "$work"/root/boot/vmlinuz-* | sort -V | tail -1)" "$work/vmlinuz"
cp "$(ls "$work"/root/boot/initrd.img-* | sort -V | tail -1)" "$work/initrd.img"
# Sparse: room for the tests' files (one of over 4 GiB) costs only what they write.
mke2fs -q -t ext4 -L setup-vm -d "$work/root" "$work/root.img" 16G
clear "$work/root"

# The test prefixes, made once in the machine itself (only there does 32-bit code
# run) and kept in the image; each run moves them to where the i686 tree expects them.
job=$work/job
mkdir -p "$job"
# A prefix whose making fails is made again (tests/wine-prefix.sh starts it afresh), at
# most three times, each failure's errors in the log.
cat >"$job/job.sh" <<'JOB'
cd /mnt/source
mkdir -p /var/lib/setup-vm
for arch in win32 win64; do
    prefix=/var/lib/setup-vm/$arch
    for try in 1 2 3; do
        WINEDEBUG=err+all WINEPREFIX=$prefix WINEARCH=$arch bash tests/wine-prefix.sh \
            >/tmp/prefix.log 2>&1 && break
        echo "making the $arch prefix failed (exit code $?, try $try):"
        grep -v winediag /tmp/prefix.log | tail -n 30
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        [ "$try" != 3 ] || exit 1
    done
    WINEPREFIX=$prefix wineserver -k
    WINEPREFIX=$prefix wineserver -w
done
sync
JOB
SETUP_VM_WRITABLE=1 bash "$here/boot.sh" "$work" "$job" "$(cd "$here/../.." && pwd)" "$job" \
    >"$job/qemu.log" 2>&1 || true
if [ "$(cat "$job/status" 2>/dev/null)" != 0 ]; then
    echo "making the test prefixes in the machine failed:" >&2
    cat "$job/qemu.log" "$job/job.log" >&2 2>/dev/null
    tail -n 30 "$job/console.log" >&2 2>/dev/null
    exit 1
fi
rm -rf "$job"
clear "$out"
mv "$work" "$out"
