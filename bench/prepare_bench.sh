#!/usr/bin/env bash
# Print preparation against the usual tools, on real photographs from Debian packages:
# korvella-tool prepare; the libvips command line (thumbnail, rot, gravity on white,
# JPEG Q 80); ImageMagick (Catrom resize, extent on white, Q 80, with and without
# jpeg:size); and the floor: djpeg at the best DCT scale that still covers the canvas
# plus cjpeg -quality 80 of a canvas-sized image (djpeg scales by any M/8). Runs interleaved, RUNS times each
# (default 5), and prints wall time, CPU time and peak memory as medians with min-max.
# Usage: bench/prepare_bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"

pkgs=(libvips-tools imagemagick libjpeg-turbo-progs lomiri-wallpapers-20.04 mate-backgrounds time)
missing=()
for p in "${pkgs[@]}"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --parallel "$(nproc)" --target korvella-tool >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
kleiber=/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg
elephants=$(find /usr/share/backgrounds -name 'Elephants_5640x3172.jpg' | head -1)
storm=$(find /usr/share/backgrounds -name 'Storm.jpg' | head -1)
vips rot "$kleiber" "$work/kleiber-portrait.jpg[Q=95]" d90

tool=build-bench/tools/korvella-tool
measure() {  # prints "wall_ms cpu_ms peak_kb"
  /usr/bin/time -f '%e %U %S %M' -o "$work/t" "$@" >/dev/null 2>&1 || return 0  # failed: no line
  awk '{printf "%d %d %d\n", $1*1000, ($2+$3)*1000, $4}' "$work/t"
}
stats() {  # median min max of a column of numbers
  sort -n | awk '{a[NR]=$1} END {if (NR == 0) printf "failed"; else printf "%d (%d-%d)", a[int((NR+1)/2)], a[1], a[NR]}'
}

for case in "$kleiber 1800 1200" "$work/kleiber-portrait.jpg 5400 3600" "$elephants 1800 1200" \
            "$storm 1800 1200" "$kleiber 5400 3600"; do
  set -- $case
  photo=$1 w=$2 h=$3
  pw=$(vipsheader -f width "$photo"); ph=$(vipsheader -f height "$photo")
  turn=""; [ "$ph" -gt "$pw" ] && turn=1
  # The floor: the best DCT scale that still covers the canvas, and a canvas-sized encode.
  scale=8
  for s in 1 2 3 4 5 6 7 8; do
    if [ -n "$turn" ]; then cw=$h; ch=$w; else cw=$w; ch=$h; fi
    if [ $((pw * s / 8)) -ge "$cw" ] && [ $((ph * s / 8)) -ge "$ch" ]; then scale=$s; break; fi
  done
  vips black "$work/canvas.v" "$w" "$h" --bands 3 && vips copy "$work/canvas.v" "$work/canvas.ppm"
  : > "$work/korvella"; : > "$work/vipscli"; : > "$work/im"; : > "$work/imsize"; : > "$work/floor"
  for _ in $(seq "$runs"); do
    measure "$tool" prepare "$photo" "$work/out.jpg" "$w" "$h" "С полями" >> "$work/korvella"
    if [ -n "$turn" ]; then
      measure sh -c "vips thumbnail '$photo' '$work/t.v' $h --height $w && vips rot '$work/t.v' '$work/r.v' d90 && vips gravity '$work/r.v' '$work/g.jpg[Q=80]' centre $w $h --background 255" >> "$work/vipscli"
    else
      measure sh -c "vips thumbnail '$photo' '$work/t.v' $w --height $h && vips gravity '$work/t.v' '$work/g.jpg[Q=80]' centre $w $h --background 255" >> "$work/vipscli"
    fi
    rot=(); [ -n "$turn" ] && rot=(-rotate 90)
    measure convert-im6.q16 "$photo" "${rot[@]}" -filter Catrom -resize "${w}x${h}" -background white -gravity center -extent "${w}x${h}" -quality 80 "$work/im.jpg" >> "$work/im"
    measure convert-im6.q16 -define jpeg:size="$((w*2))x$((h*2))" "$photo" "${rot[@]}" -filter Catrom -resize "${w}x${h}" -background white -gravity center -extent "${w}x${h}" -quality 80 "$work/im.jpg" >> "$work/imsize"
    measure sh -c "djpeg -scale $scale/8 '$photo' > /dev/null && cjpeg -quality 80 '$work/canvas.ppm' > /dev/null" >> "$work/floor"
  done
  echo "== $(basename "$photo") ${pw}x${ph} -> ${w}x${h} (floor: djpeg scale $scale/8)"
  for tool_name in korvella vipscli im imsize floor; do
    printf '  %-9s wall %s ms  cpu %s ms  peak %s KB\n' "$tool_name" \
      "$(cut -d' ' -f1 "$work/$tool_name" | stats)" "$(cut -d' ' -f2 "$work/$tool_name" | stats)" \
      "$(cut -d' ' -f3 "$work/$tool_name" | stats)"
  done
done
