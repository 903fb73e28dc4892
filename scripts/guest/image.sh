#!/usr/bin/env bash
# Builds the emulated machine's disk image from Debian's packages only: a Debian base made by
# debootstrap with Debian's kernel, Wine with its 32-bit part, Xvfb and strace, and the init that
# runs the host's script. Rebuilt only when this script or that init changes.
# Argument: the folder to keep it in; leaves vmlinuz, initrd.img and root.img there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
mirror=http://deb.debian.org/debian
stamp=$(cat "$here/image.sh" "$here/init" | sha256sum | cut -c1-16)
if [ "$(cat "$dir/image.stamp" 2>/dev/null)" = "$stamp" ] && [ -f "$dir/root.img" ]; then
    exit 0
fi
echo "Building the emulated x86 machine's image in $dir (about 5 minutes, once)..."
rm -rf "$dir"
mkdir -p "$dir"
# Each step's output goes to the log: a failed one is named here, with the log's end.
trap 'echo "Building the image failed at image.sh line $LINENO: $BASH_COMMAND; its log: $dir/image.log" >&2
      tail -n 20 "$dir/image.log" >&2' ERR
root="$dir/rootfs"
debootstrap --variant=minbase --include=ca-certificates bookworm "$root" "$mirror" >"$dir/image.log" 2>&1
# Nothing starts services inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
# The chroot's /proc lives in a mount namespace of its own, gone with it whatever happens. The 32-bit
# helpers some packages run while installing cannot start on a host without 32-bit support; what
# they would make is not needed.
unshare --mount --propagation private chroot "$root" /bin/sh -c '
    set -e
    mount -t proc proc /proc
    dpkg --add-architecture i386
    # A mirror caught in the middle of a sync fails an update now and then.
    for try in 1 2 3; do apt-get update -qq && break; sleep 10; done
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        linux-image-amd64 kmod wine wine32:i386 xvfb xauth strace procps
    apt-get clean
' >>"$dir/image.log" 2>&1
install -m 755 "$here/init" "$root/sbin/tapwren-init"
mkdir -p "$root/mnt"
cp "$root"/boot/vmlinuz-* "$dir/vmlinuz"
cp "$root"/boot/initrd.img-* "$dir/initrd.img"
mkfs.ext4 -q -F -L tapwren -d "$root" "$dir/root.img" 3G
rm -rf "$root"
echo "$stamp" >"$dir/image.stamp"
echo "Image built: $(du -sh "$dir/root.img" | cut -f1) ($dir/image.log)."
