#!/usr/bin/env bash
# Sets up, builds and runs the program's main job on one machine: the bundled lab
# service labd on 127.0.0.1:8642 (data in ~/.local/share/korvella-labd), and the
# program, built to talk to it. labd stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELLA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target korvella labd korvella-tool

data="${XDG_DATA_HOME:-$HOME/.local/share}/korvella-labd"
mkdir -p "$data"
labd_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/8642) 2>/dev/null; then
  build/labd/labd --port 8642 --data "$data" 2>>"$data/labd.log" &
  labd_pid=$!
  trap '[ -n "$labd_pid" ] && kill "$labd_pid" 2>/dev/null; wait 2>/dev/null' EXIT
  for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/8642) 2>/dev/null && break
    sleep 0.1
  done
fi
echo "labd: http://127.0.0.1:8642/ (log: $data/labd.log)"
build/app/korvella "$@"
