#!/usr/bin/env bash
# Sets up what is missing, then builds and runs every test: Linux, Linux under AddressSanitizer
# and UndefinedBehaviorSanitizer, Linux under ThreadSanitizer, and Windows under Wine (one Xvfb,
# one wineserver). The Windows tests run from the 32-bit product under 32-bit Wine where this
# machine runs 32-bit programs, else from the same code built for x86-64 under 64-bit Wine; the
# other width is built, and its launcher checked without running it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh" all
test_width=$("$root/scripts/windows-width")
case $test_width in
    win32) other_width=win64 wine_name="32-bit Wine" ;;
    win64) other_width=win32 wine_name="64-bit Wine" ;;
esac

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

# Runs one preset's configure, build and tests under a label; keeps ctest's tally for the closing
# line. Fails when the preset ran fewer tests than asked for.
run_preset() {
    local preset=$1 label=$2 least=$3
    shift 3
    echo "==> $label: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
    echo "==> $label: tests"
    local log status=0 ran
    log=$(mktemp)
    "$@" ctest --preset "$preset" -j2 2>&1 | tee "$log" || status=$?
    grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | sed "s/^/$label: /" >>"$summary" || true
    ran=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n1)
    rm -f "$log"
    if [ "${ran:-0}" -lt "$least" ]; then
        echo "$label: ${ran:-no} tests ran, at least $least expected" | tee -a "$summary"
        return 1
    fi
    return "$status"
}

failed=0
run_preset native native 1 || failed=1
run_preset native-asan native-asan 1 env ASAN_OPTIONS=detect_leaks=1 || failed=1
run_preset native-tsan native-tsan 1 || failed=1
# The other width runs no test program here, only its launcher's check.
run_preset "$other_width" "$other_width (built, launcher checked without running it)" 1 || failed=1
# More than that one check, or the Windows tests did not run at all.
run_preset "$test_width" "$test_width (tests under $wine_name)" 2 "$root/scripts/with-display" ||
    failed=1

echo "==> summary"
cat "$summary"
echo "Windows tests ran from the $test_width build under $wine_name."
# One plain closing line over all runs.
# A preset that ran too few tests counts as one failure.
awk '/ expected$/ { total++; bad++; next }
     { for (i = 1; i <= NF; i++) if ($i == "out" && $(i + 1) == "of") total += $(i + 2);
       for (i = 1; i <= NF; i++) if ($i == "failed" && $(i - 1) == "tests") bad += $(i - 2) }
     END { printf "%d passed, %d failed\n", total - bad, bad }' "$summary"
exit "$failed"
