#!/usr/bin/env bash
# Builds the fuzz targets with clang (the libraries they link instrumented with
# -fsanitize=fuzzer-no-link) and runs each from a fixed seed for RUNS inputs (default
# 2000; 0 builds only). For a long run: build-fuzz/order/fuzz/jpegprobe_fuzz
# -max_total_time=600.
# Usage: scripts/fuzz.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-2000}"
build=build-fuzz
targets=(order/fuzz/jpegprobe_fuzz order/fuzz/orderfile_fuzz formats/fuzz/formats_reply_fuzz)
CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVELLA_FUZZ=ON \
  -DKORVELLA_TESTS=OFF -DKORVELLA_WERROR=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]##*/}"
[ "$runs" -eq 0 ] && exit 0
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  echo "fuzz.sh: ${target##*/}, $runs inputs"
  "$build/$target" -seed=1 -runs="$runs" -max_len=4096 2>"$build/${target##*/}.log" ||
    { tail -40 "$build/${target##*/}.log"; exit 1; }
done
echo "fuzz.sh: ${#targets[@]} fuzz targets ran clean"
