#!/usr/bin/env bash
# Draws the window pictures anew into app/artwork/ (empty.jpg, list.jpg, help.jpg,
# session.jpg). Run it after changing app/artwork/painting.cpp,
# app/artwork/windowgeometry.h or service/sessiongeometry.h, look at the pictures, and
# commit them with the change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELLA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target korvella-artwork
build/app/artwork/korvella-artwork app/artwork
ls -l app/artwork/*.jpg
