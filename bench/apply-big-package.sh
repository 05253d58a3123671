#!/usr/bin/env bash
# Applies one big package with the launcher program and compares every file with its source:
#   bench/apply-big-package.sh [--windows] SIZE_MB
# The package holds SIZE_MB of incompressible data in one stored entry (above 4096 MB that
# entry and the archive are zip64), 300 MB of text that deflates, and a few small files.
# --windows runs the Windows launcher under Wine: the 32-bit product where this machine runs
# 32-bit programs, else the same code built for x86-64 (scripts/windows-width says which);
# otherwise the Linux launcher is used. Prints the time, the peak resident memory of the
# launcher process (sampled every 0.2 s) and the result of the comparison; everything is
# removed afterwards (about 4 x SIZE_MB of disk while it runs).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=bench/launcher-run.sh
. "$root/bench/launcher-run.sh"
windows=
case ${1:-} in
    --windows | --win32) windows=1; shift ;;
esac
[ $# -eq 1 ] || { echo "usage: apply-big-package.sh [--windows] SIZE_MB" >&2; exit 2; }
size_mb=$1

if [ -n "$windows" ]; then
    build=build/$("$root/scripts/windows-width")
    preset=${build#build/}
    run=$root/$build/launcher/win32/launcher.exe
else
    build=build/native
    preset=native
    run=$root/$build/launcher/terminal/launcher
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target launcher >/dev/null
[ -f "$run" ] || { echo "apply-big-package: no $run" >&2; exit 2; }

bench_work

echo "==> making the contents"
mkdir -p "$work/contents/data/small" "$work/served" "$work/game"
head -c "${size_mb}M" /dev/urandom >"$work/contents/data/big.bin"
head -c 225M /dev/urandom | base64 >"$work/contents/data/levels.txt"
for i in $(seq 1 20); do head -c $((i * 1000)) /dev/urandom >"$work/contents/data/small/$i.bin"; done
(cd "$work/contents" && zip -q -r -n .bin "$work/served/package.zip" data)
package_bytes=$(stat -c %s "$work/served/package.zip")

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/served/list.xml" <<XML
<?xml version="1.0"?>
<game>
   <update><for>1.0</for><to>1.1</to><name>big</name><file>http://127.0.0.1:$port/package.zip</file></update>
</game>
XML
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/served" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
    curl -s -o /dev/null "http://127.0.0.1:$port/list.xml" && break
    sleep 0.1
done
# The game it starts afterwards does not exist: only the update is measured.
printf '[Config]\r\nURL1=http://127.0.0.1:%s/list.xml\r\nApp=no.game\r\n' "$port" >"$work/game/launcher.ini"

echo "==> applying a package of $package_bytes bytes"
cd "$work/game"
read -r seconds peak_kb < <(run_launcher "$run" "$windows" "$work/log")
tail -1 "$work/log"
echo "==> $seconds s, peak resident $((peak_kb / 1024)) MB"
if ! grep -q "<to>1.1</to>" installed_updates; then
    cat "$work/log" >&2
    echo "apply-big-package: version not advanced" >&2
    exit 1
fi
diff -r "$work/contents/data" "$work/game/data" && echo "==> every file equals its source"
