#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test (clang for the
# fuzz targets, Python for the include check among them, openbox and xprop for the tests
# on a desktop of their own).
# Only missing packages are installed; sudo is used when not running as root.
# Usage: scripts/setup.sh [--browser]
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev libcurl4-openssl-dev libvips-dev libjpeg62-turbo-dev
  libsqlite3-dev libgtest-dev libgmock-dev
  clang-format xvfb xauth dbus python3 qt6-translations-l10n desktop-file-utils appstream dpkg-dev
  clang-14 libclang-rt-14-dev
  fonts-dejavu-core fonts-liberation2
  openbox x11-utils
)
for arg in "$@"; do
  case "$arg" in
    --fuzz) ;;  # clang is always installed now; kept for old command lines
    --browser) packages+=(chromium) ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
