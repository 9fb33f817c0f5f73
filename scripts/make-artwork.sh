#!/usr/bin/env bash
# Draws the window pictures anew into app/artwork/ (empty.jpg, list.jpg, help.jpg,
# session.jpg, progress.jpg, viewer.jpg). Run it after changing app/artwork/painting.cpp or the
# geometry headers it reads, look at the pictures, and commit them with the change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELLA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target korvella-artwork
build/app/artwork/korvella-artwork app/artwork
ls -l app/artwork/*.jpg
