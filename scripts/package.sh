#!/usr/bin/env bash
# Builds the program optimised and makes a Debian package of it (cpack -G DEB): the
# programs korvella, korvella-tool and labd, the desktop entry, the icons and the
# AppStream metadata in their places under /usr. Its dependencies are read from the
# libraries the programs link. The package lands in build-package/.
# Usage: scripts/package.sh [CMAKE_ARGS...]   (say -DKORVELLA_SERVICE_HOST=lab.example:80)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DKORVELLA_TESTS=OFF "$@" >/dev/null
cmake --build build-package --parallel "$(nproc)" --target korvella korvella-tool labd
(cd build-package && cpack -G DEB)
ls -l build-package/*.deb
