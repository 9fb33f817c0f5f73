#!/usr/bin/env bash
# Checks the Debian package as a customer's machine would take it: makes a clean
# Debian 12 root with debootstrap, installs build-package/korvella_*.deb there with apt
# (its dependencies from Debian), starts labd and the program under Xvfb in it, and
# shows that the program asked the lab for its formats and banner and kept its order.
# Needs root (chroot) and the network; not part of the test run.
# Usage: scripts/check-package.sh [ROOT]   (default /tmp/korvella-deb12)
set -euo pipefail
cd "$(dirname "$0")/.."
root="${1:-/tmp/korvella-deb12}"
deb=$(ls build-package/korvella_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "check-package.sh: run scripts/package.sh first" >&2; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
# The mirror this machine's apt uses (deb822 sources first, then sources.list): the
# script names none of its own.
mirror=$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $0 !~ /security/ {for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) {print $i; exit}}' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$mirror" ] || { echo "check-package.sh: no Debian mirror in this machine's apt sources" >&2; exit 1; }
[ -x "$root/bin/bash" ] || debootstrap --variant=minbase bookworm "$root" "$mirror"
cp "$deb" "$root/tmp/korvella.deb"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
trap 'umount "$root/proc" 2>/dev/null || true' EXIT
chroot "$root" /bin/bash -c 'export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq /tmp/korvella.deb xvfb xauth >/dev/null'
chroot "$root" /bin/bash -c 'export HOME=/root; rm -rf /root/labd /root/.cache/Korvella
  rm -f /root/.config/Korvella.conf; mkdir -p /root/labd; labd --port 8642 --data /root/labd 2>/root/labd.log & sleep 1
  timeout -s TERM 12 xvfb-run -a korvella || true
  kill %1; cat /root/labd.log; ls -l /root/.cache/Korvella/'
