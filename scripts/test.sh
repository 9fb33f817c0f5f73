#!/usr/bin/env bash
# Sets up, builds and runs every test: the formatting check; the fuzz targets, built
# with clang against the real libraries and run briefly from a fixed seed; then the
# test build (warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer)
# under CTest, with the include-map check among the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/check-format.sh

if command -v clang++-14 >/dev/null; then
  scripts/fuzz.sh 20000
else
  echo "test.sh: clang++-14 is missing, the fuzz targets were not built" >&2
  exit 1
fi

build=build-test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVELLA_WERROR=ON -DKORVELLA_SANITIZE=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

