#!/usr/bin/env bash
# Delta packages against full packages of the same updates:
#   bench/delta-bench.sh [--windows] [SIZE_MB]      (SIZE_MB defaults to 256)
# Two updates: a SIZE_MB pack with forty 64 KB regions rewritten and ten 4 KB insertions and
# deletions (bench/delta-case.py), and a rebuilt executable (the Linux launcher, stripped,
# against the same sources built with one constant changed). For each, gamerelease writes the
# full package and the delta package; the launcher applies the full one, then the delta one, to
# copies of the old installation from a local server (--windows: the Windows launcher under
# Wine, the width scripts/windows-width names). Prints the package sizes with their ratios to
# the full package and to the new bytes, each run's time and the launcher's peak resident
# memory (sampled every 0.1 s), and checks every result against the new version. Uses about
# 6 x SIZE_MB of disk while it runs.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=bench/launcher-run.sh
. "$root/bench/launcher-run.sh"
windows=
case ${1:-} in
    --windows) windows=1; shift ;;
esac
[ $# -le 1 ] || { echo "usage: delta-bench.sh [--windows] [SIZE_MB]" >&2; exit 2; }
size_mb=${1:-256}

cmake --preset native >/dev/null
cmake --build --preset native -j2 --target gamerelease launcher launcher_busy_poll >/dev/null
tool=$root/build/native/tools/release/gamerelease
if [ -n "$windows" ]; then
    preset=$("$root/scripts/windows-width")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target launcher >/dev/null
    run=$root/build/$preset/launcher/win32/launcher.exe
else
    run=$root/build/native/launcher/terminal/launcher
fi

bench_work

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$work/site"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >/dev/null 2>&1 &
server_pid=$!

# Applies the update listed in site/$1 to a copy of $2 and checks the result against $3; prints
# "SECONDS PEAK_KB" (run_launcher).
apply() {
    local list=$1 old=$2 new=$3 game=$work/game measured
    rm -rf "$game"
    cp -r "$old" "$game"
    # The game it starts afterwards does not exist: only the update is measured.
    printf '[Config]\r\nURL1=http://127.0.0.1:%s/%s\r\nApp=no.game\r\n' "$port" "$list" \
        >"$game/launcher.ini"
    cd "$game"
    measured=$(run_launcher "$run" "$windows" "$work/log")
    cd "$work"
    if ! grep -q "<to>1.1</to>" "$game/installed_updates" 2>/dev/null; then
        cat "$work/log" >&2
        echo "delta-bench: $list did not bring the installation to 1.1" >&2
        exit 1
    fi
    rm -f "$game/launcher.ini" "$game/installed_updates"
    diff -r "$new" "$game" >/dev/null || { echo "delta-bench: $list: the result differs" >&2; exit 1; }
    echo "$measured"
}

# Packages the update from $2 to $3 as case $1 (new bytes $4, or - where they are not known),
# applies both packages and prints the comparison.
measure() {
    local name=$1 old=$2 new=$3 new_bytes=$4 site=$work/site
    rm -f "$site"/*
    "$tool" package "$old" "$new" --from 1.0 --to 1.1 --url "http://127.0.0.1:$port/" \
        --out "$site" >/dev/null
    [ -f "$site/update-1.0-to-1.1-delta.zip" ] || { echo "delta-bench: $name: no delta" >&2; exit 1; }
    sed '/<delta/d' "$site/list.xml" >"$site/full.xml"
    local full delta full_run delta_run
    full=$(stat -c %s "$site/update-1.0-to-1.1.zip")
    delta=$(stat -c %s "$site/update-1.0-to-1.1-delta.zip")
    full_run=$(apply full.xml "$old" "$new")
    delta_run=$(apply list.xml "$old" "$new")
    python3 - "$name" "$full" "$delta" "$new_bytes" "$full_run" "$delta_run" <<'PY'
import sys
name, full, delta, new_bytes = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
full_s, full_kb = map(float, sys.argv[5].split())
delta_s, delta_kb = map(float, sys.argv[6].split())
mb = 1024.0 * 1024.0
print(f"== {name}")
print(f"  full package   {full / mb:9.2f} MB   applied in {full_s:6.2f} s, peak {full_kb / 1024:6.1f} MB")
print(f"  delta package  {delta / mb:9.2f} MB   applied in {delta_s:6.2f} s, peak {delta_kb / 1024:6.1f} MB")
print(f"  delta / full package size  {delta / full:7.4f}   (goal <= 0.025)")
if new_bytes != "-":
    print(f"  delta / new bytes          {delta / int(new_bytes):7.4f}   (goal <= 1.5; {int(new_bytes) / mb:.2f} MB new)")
print(f"  delta / full apply time    {delta_s / full_s:7.4f}   (goal <= 1)")
print(f"  delta apply peak memory    {delta_kb / 1024:7.1f} MB (goal <= 48)")
PY
}

echo "==> making a $size_mb MB pack and its next version"
mkdir -p "$work/pack/1.0/data" "$work/pack/1.1/data"
new_bytes=$(python3 "$root/bench/delta-case.py" "$work/pack/1.0/data/pack.bin" \
    "$work/pack/1.1/data/pack.bin" "$size_mb")
measure "pack of $size_mb MB$([ -n "$windows" ] && echo ", $preset launcher under Wine")" \
    "$work/pack/1.0" "$work/pack/1.1" "$new_bytes"
rm -rf "$work/pack"

mkdir -p "$work/exe/1.0" "$work/exe/1.1"
strip -o "$work/exe/1.0/game" "$root/build/native/launcher/terminal/launcher"
strip -o "$work/exe/1.1/game" "$root/build/native/bench/launcher_busy_poll"
measure "rebuilt executable ($(stat -c %s "$work/exe/1.1/game") bytes)" "$work/exe/1.0" \
    "$work/exe/1.1" -
