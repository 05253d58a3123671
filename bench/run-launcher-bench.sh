#!/bin/sh
# Builds and runs the launcher benchmark (needs curl and python3):
#   bench/run-launcher-bench.sh [BUILD_DIR]    (default build/native)
# (a) the main thread's CPU time during an update of about 10 seconds with the launcher on a
#     terminal (its line, bar, speed and time left redrawn), as a share of one core, beside a
#     build whose main loop never waits (goal: under 1%);
# (b) a start with nothing to update, from the launcher's start to the game's, against curl
#     fetching the same list and then starting the game (goal: a ratio of at most 1.5).
set -e
cd "$(dirname "$0")/.."
build="${1:-build/native}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset native -B "$build"
cmake --build "$build" -j2 --target launcher launcher_busy_poll gamerelease
exec python3 bench/launcher-bench.py "$build"
