#!/bin/bash
# Builds what boots the emulated machine into a folder: image.sh <folder>. Debian's
# kernel (linux-image-amd64's) and a RAM disk of Debian's static busybox with the
# kernel's drivers for the host's shares, the machine's disk and the layered root
# (tests/vm/ramdisk-init). The machine's root is this machine's own, shared read-only
# with a writable layer on a disk of its own (tests/vm/boot.sh): what the tests need,
# the 32-bit Wine included, is what ./run installed here.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
work=$out.new
rm -rf "$work"
mkdir -p "$work/debs" "$work/unpacked" "$work/ramdisk"

kernel=$(apt-cache depends linux-image-amd64 | awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }')
[ -n "$kernel" ] || { echo "no kernel package behind linux-image-amd64 (apt-cache depends)" >&2; exit 1; }
(cd "$work/debs" && apt-get download "$kernel" busybox-static)
for deb in "$work"/debs/*.deb; do
    dpkg-deb -x "$deb" "$work/unpacked"
done
version=$(ls "$work/unpacked/lib/modules")
busybox=$work/unpacked/bin/busybox
cp "$work"/unpacked/boot/vmlinuz-* "$work/vmlinuz"

# The drivers named, with what they need, and the list modprobe reads.
modules=$work/unpacked/lib/modules/$version
"$busybox" depmod -b "$work/unpacked" "$version"
disk=$work/ramdisk
mkdir -p "$disk/bin" "$disk/lib/modules/$version"
needed=(virtio_pci virtio_blk 9pnet_virtio 9p overlay crc32c_generic ext4)
pattern=$(printf '/%s.ko:|' "${needed[@]}")
grep -E "(${pattern%|})" "$modules/modules.dep" | tr -d ':' | tr ' ' '\n' | sort -u |
    while read -r module; do
        mkdir -p "$disk/lib/modules/$version/$(dirname "$module")"
        cp "$modules/$module" "$disk/lib/modules/$version/$module"
    done
grep -E "(${pattern%|})" "$modules/modules.dep" >"$disk/lib/modules/$version/modules.dep"
printf '%s\n' "${needed[@]}" >"$disk/modules"
cp "$busybox" "$disk/bin/busybox"
cp "$here/ramdisk-init" "$disk/init"
chmod +x "$disk/init"
mkdir -p "$disk/dev" "$disk/proc" "$disk/sys"
(cd "$disk" && find . | "$busybox" cpio -o -H newc 2>/dev/null) >"$work/initrd.cpio"
rm -rf "$work/debs" "$work/unpacked" "$disk"
rm -rf "$out"
mv "$work" "$out"
