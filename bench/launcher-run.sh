# Sourced by the benchmarks that run the launcher program.
#
# bench_work: makes the scratch directory $work, removed at exit together with the process
# $server_pid (a local server) when one is set.
bench_work() {
    work=$(mktemp -d)
    server_pid=
    trap 'if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
}
#
# run_launcher RUN WINDOWS LOG: runs the launcher at RUN in the current directory (under Wine,
# through scripts/with-display and scripts/wine-run, when WINDOWS is not empty), its output in
# LOG, and prints "SECONDS PEAK_KB": the time it took and the peak resident memory of the
# launcher process (under Wine: of the Windows process), sampled every 0.1 s. The process is
# found by RUN's whole path in either separator form, so that launchers of other work trees
# running at the same time do not count.
run_launcher() {
    local run=$1 windows=$2 log=$3 scripts start pattern pid kb peak_kb=0 run_pid
    scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../scripts" && pwd)
    pattern=$(echo "$run" | sed 's#/#.#g')
    start=$(date +%s.%N)
    if [ -n "$windows" ]; then
        "$scripts/with-display" "$scripts/wine-run" "$run" >"$log" 2>&1 &
    else
        "$run" >"$log" 2>&1 &
    fi
    run_pid=$!
    while kill -0 "$run_pid" 2>/dev/null; do
        for pid in $(pgrep -f "$pattern" || true); do
            kb=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
            if [ -n "$kb" ] && [ "$kb" -gt "$peak_kb" ]; then peak_kb=$kb; fi
        done
        sleep 0.1
    done
    wait "$run_pid" || true
    echo "$(echo "$(date +%s.%N) - $start" | bc) $peak_kb"
}
