#!/bin/sh
# Builds and runs the updater benchmark (needs curl, unzip, zip and python3):
#   bench/run-updater-bench.sh [--large] [BUILD_DIR]    (default build/native)
# --large measures a package of about 2 GB after the one of about 200 MB (about 15 GB of disk).
# Start it six minutes after many files were removed (the tests, an earlier run): see README.
set -e
cd "$(dirname "$0")/.."
large=
if [ "$1" = "--large" ]; then
    large=--large
    shift
fi
build="${1:-build/native}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset native -B "$build"
cmake --build "$build" -j2 --target updater_bench
exec "$build/bench/updater_bench" $large
