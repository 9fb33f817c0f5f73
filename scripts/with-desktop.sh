#!/usr/bin/env bash
# Runs a command on a desktop of its own: an Xvfb server and the openbox window manager,
# as a customer's desktop has one, so that what the window manager decides (which
# window lies above which) is real. The command sees DISPLAY and QT_QPA_PLATFORM=xcb.
# Usage: scripts/with-desktop.sh COMMAND [ARG...]
set -euo pipefail

for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "with-desktop.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
server=""
manager=""
cleanup() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display and writes its number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
server=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "with-desktop.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
manager=$!
# The window manager is up once it names itself on the root window.
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  { echo "with-desktop.sh: openbox did not start" >&2; cat "$work/openbox.log" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb
"$@"
