#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs every one the README names: adding
# photos, storing a format list, print preparation inside one process (on real
# photographs from Debian packages), the upload of 100 photos against their
# preparation alone, and print preparation against the usual tools
# (bench/prepare_bench.sh, RUNS times each; default 3).
# Usage: scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --parallel "$(nproc)" \
  --target add_files_bench formats_reply_bench prepare_inprocess_bench upload_bench viewer_bench \
  viewer_keys_bench labd_load_bench \
  korvella-tool labd

echo "== adding photos"
build-bench/bench/add_files_bench
echo "== storing a format list"
build-bench/bench/formats_reply_bench

# The photographs prepare_bench.sh uses too.
photos=(lomiri-wallpapers-20.04 mate-backgrounds)
missing=()
for p in "${photos[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
kleiber=/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg
storm=$(find /usr/share/backgrounds -name 'Storm.jpg' | head -1)
echo "== print preparation in one process"
build-bench/bench/prepare_inprocess_bench 1800 1200 "$runs" "$kleiber" "$storm"
build-bench/bench/prepare_inprocess_bench 5400 3600 "$runs" "$kleiber"

echo "== the viewer's pictures"
build-bench/bench/viewer_bench "$runs" "$kleiber" "$storm"
build-bench/bench/viewer_keys_bench "$runs" "$kleiber"

echo "== the upload of 100 photos against preparing their prints alone"
build-bench/bench/upload_bench build-bench/labd/labd "$kleiber" 100

echo "== print preparation against the usual tools"
bench/prepare_bench.sh "$runs"

echo "== labd under load"
build-bench/bench/labd_load_bench build-bench/labd/labd 10
