#!/usr/bin/env bash
# Builds everything and runs every test: the ordinary build (unit and
# end-to-end tests) and the sanitizer build of the unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOK_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"

status=0
ctest --test-dir build --output-on-failure -j"$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" || status=1
exit $status
