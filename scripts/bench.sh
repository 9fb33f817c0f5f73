#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --parallel "$(nproc)" --target add_files_bench formats_reply_bench
build-bench/bench/add_files_bench
build-bench/bench/formats_reply_bench
