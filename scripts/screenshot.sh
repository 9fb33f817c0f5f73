#!/usr/bin/env bash
# Builds the program and saves PNGs of its windows, drawn in a real X server (Xvfb),
# into the folder given (default: screenshots/): the main window's empty layout, its
# list layout with a prepared order (one red row) and the popup menu open, the help
# window and the other windows. The bundled lab service labd runs on a free loopback
# port for the formats and the banner. The order and settings of the run live in a
# temporary home, so the user's own are never touched; pass --keep-home DIR to use (and
# keep) DIR instead.
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
cmake --build build --parallel "$(nproc)" --target korvella-screenshot labd
own_home=""
if [ -z "$home" ]; then
  home=$(mktemp -d)
  own_home=1
fi
mkdir -p "$out" "$home/labd"

port=18642
while (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null; do port=$((port + 1)); done
build/labd/labd --port "$port" --data "$home/labd" 2>>"$home/labd/labd.log" &
labd_pid=$!
trap 'kill "$labd_pid" 2>/dev/null; wait 2>/dev/null; [ -n "$own_home" ] && rm -rf "$home"' EXIT
for _ in $(seq 50); do
  (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && break
  sleep 0.1
done

# On a desktop with a window manager (openbox), as a customer's: it decides which window
# lies on top and where dialogs go.
XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
  scripts/with-desktop.sh build/tools/korvella-screenshot --host "127.0.0.1:$port" "$out"
# Again on a laptop's small screen: the window must stay on it (TForm1-small-screen.png).
rm -rf "$home/config" "$home/cache"
XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1366x768x24" \
  build/tools/korvella-screenshot --single TForm1-small-screen.png --host "127.0.0.1:$port" "$out"
# And at twice the scale, as on a HiDPI screen: the pictures as sharp as the text.
rm -rf "$home/config" "$home/cache"
XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
  xvfb-run -a -s "-screen 0 1600x1400x24" \
  build/tools/korvella-screenshot --single TForm1-2x.png --host "127.0.0.1:$port" "$out"
