#!/usr/bin/env bash
# Sets up what is missing, then builds and runs every test: Linux, Linux under AddressSanitizer
# and UndefinedBehaviorSanitizer, Linux under ThreadSanitizer, and 32-bit Windows under Wine
# (one Xvfb, one wineserver).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh" all

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

# Runs one preset's configure, build and tests; keeps ctest's tally for the closing line.
run_preset() {
    local preset=$1
    shift
    echo "==> $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
    echo "==> $preset: tests"
    local log status=0
    log=$(mktemp)
    "$@" ctest --preset "$preset" -j2 2>&1 | tee "$log" || status=$?
    grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | sed "s/^/$preset: /" >>"$summary" || true
    rm -f "$log"
    return "$status"
}

failed=0
run_preset native || failed=1
run_preset native-asan env ASAN_OPTIONS=detect_leaks=1 || failed=1
run_preset native-tsan || failed=1
run_preset win32 "$root/scripts/with-display" || failed=1

echo "==> summary"
cat "$summary"
# One plain closing line over all runs.
awk '{ for (i = 1; i <= NF; i++) if ($i == "out" && $(i + 1) == "of") total += $(i + 2);
       for (i = 1; i <= NF; i++) if ($i == "failed" && $(i - 1) == "tests") bad += $(i - 2) }
     END { printf "%d passed, %d failed\n", total - bad, bad }' "$summary"
exit "$failed"
