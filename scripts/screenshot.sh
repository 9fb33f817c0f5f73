#!/usr/bin/env bash
# Builds the program and saves a PNG of each of its windows, drawn in a real X server
# (Xvfb), into the folder given (default: screenshots/). The order and settings of
# the run live in a temporary home, so the user's own are never touched; pass
# --keep-home DIR to use (and keep) DIR instead, e.g. to show a prepared order.
set -euo pipefail
cd "$(dirname "$0")/.."
out=screenshots
home=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keep-home) home="$2"; shift 2 ;;
    *) out="$1"; shift ;;
  esac
done
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELLA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target korvella-screenshot
if [ -z "$home" ]; then
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
fi
mkdir -p "$out"
XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x900x24" build/tools/korvella-screenshot "$out"
