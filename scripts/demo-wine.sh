#!/usr/bin/env bash
# The Windows launcher on the built-in demo, under Wine in a private Xvfb display: the studio
# package's Launcher.exe, launcher.ini and splash picture in a demo installation at version
# 1.0, the update server of scripts/demo.sh, and a screenshot of the splash window during the
# update, left in build/demo-wine/splash.png. The game is a stand-in that records its start.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. "$root/scripts/demo-common.sh"

"$root/scripts/setup.sh" all
# The 32-bit product where this machine runs 32-bit programs, else the same code for x86-64.
width=$("$root/scripts/windows-width")
echo "==> building the release tool (native) and the launcher package ($width)"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target gamerelease >/dev/null
cmake --preset "$width" >/dev/null
cmake --build --preset "$width" -j2 --target launcher_package test_game splash_capture >/dev/null
windows=$root/build/$width

demo=$root/build/demo-wine
rm -rf "$demo"
port=$(demo_free_port)
server=http://127.0.0.1:$port

echo "==> releasing 1.1 and 1.2 with the release tool"
demo_release "$demo" "$server" "$root/build/native/tools/release/gamerelease"

# The installation: version 1.0 and what the studio package holds, pointed at the server.
cp -a "$demo/studio/1.0" "$demo/game"
cp -a "$windows/launcher-package/." "$demo/game/"
cp "$windows/tests/launcher/test_game.exe" "$demo/game/Game.exe"
sed -i -e "s|^URL1=.*|URL1=$server/list.xml|" -e "s|^URL2=.*|URL2=no-server|" "$demo/game/launcher.ini"

echo "==> update server on $server"
demo_serve "$demo/site" "$port"
trap 'kill "$server_pid" 2>/dev/null || true' EXIT

echo "==> Launcher.exe under Wine, with a screenshot of its splash window after 2 seconds"
# The game must start before the display and Wine are torn down, which ends every program.
"$root/scripts/with-display" bash -c '
    cd "$1/game"
    "$2/scripts/wine-run" ./Launcher.exe &
    launcher=$!
    "$2/scripts/wine-run" "$3/tests/launcher/splash_capture.exe" ../splash.bmp 2000
    wait "$launcher"
    for _ in $(seq 100); do
        [ -s started.txt ] && break
        sleep 0.1
    done' demo "$demo" "$root" "$windows"
python3 "$root/scripts/bmp-to-png.py" "$demo/splash.bmp" "$demo/splash.png"
[ -s "$demo/game/started.txt" ] || { echo "demo-wine: the game was not started" >&2; exit 1; }

echo "==> the launcher started: $(cat "$demo/game/started.txt")"
echo "==> installed version: $(cat "$demo/game/data/version.txt"); installed_updates reads:"
cat "$demo/game/installed_updates"
echo "==> screenshot of the splash window: $demo/splash.png"
