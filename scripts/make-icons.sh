#!/usr/bin/env bash
# Renders the program's icon (desktop/icons/ru.korvella.Korvella.svg, its one source)
# into the PNG sizes of the hicolor theme under desktop/icons/hicolor/. Run it after
# changing the SVG and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v rsvg-convert >/dev/null; then
  sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends librsvg2-bin
fi
id=ru.korvella.Korvella
for size in 16 24 32 48 64 128 256 512; do
  dir=desktop/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert -w "$size" -h "$size" "desktop/icons/$id.svg" -o "$dir/$id.png"
done
ls -l desktop/icons/hicolor/*/apps/
