#!/bin/sh
# Builds and runs the updater benchmark (needs curl, unzip, zip and python3):
#   bench/run-updater-bench.sh [BUILD_DIR]    (default build/native)
set -e
cd "$(dirname "$0")/.."
build="${1:-build/native}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset native -B "$build"
cmake --build "$build" -j2 --target updater_bench
exec "$build/bench/updater_bench"
