#!/usr/bin/env bash
# The launcher on a built-in demo: a demo game installed at version 1.0, an update server on
# 127.0.0.1 offering 1.0 -> 1.1 -> 1.2 (made with the release tool), and the launcher, which
# shows its progress on the terminal, brings the game to 1.2 (the first configured server
# refuses, the second answers) and starts it. A second start then finds nothing to do.
# Everything lives under build/demo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. "$root/scripts/demo-common.sh"

"$root/scripts/setup.sh" native
echo "==> building the launcher and the release tool (native)"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target launcher gamerelease >/dev/null
launcher=$root/build/native/launcher/terminal/launcher

demo=$root/build/demo
rm -rf "$demo"
port=$(demo_free_port)
refused=$(demo_free_port)
server=http://127.0.0.1:$port

echo "==> releasing 1.1 and 1.2 with the release tool"
demo_release "$demo" "$server" "$root/build/native/tools/release/gamerelease"

# The installation as the player has it: version 1.0, the launcher's settings and the game.
cp -a "$demo/studio/1.0" "$demo/game"
cat >"$demo/game/launcher.ini" <<INI
[Config]
URL1=http://127.0.0.1:$refused/list.xml
URL2=$server/list.xml
App=game.sh
BaseVersion=1.0
Err_Caption=Demo
TextCheck=Checking for updates
TextDownload=Downloading %.1f of %.1f MB
TextApply=Installing %.1f of %.1f MB
INI
cat >"$demo/game/game.sh" <<'GAME'
#!/bin/sh
# The demo's game: says which version and levels it found, for the demo script to show.
echo "demo game $(cat data/version.txt) starts (launcher token: $1); levels: $(ls data/levels/*.txt | xargs -n1 basename | tr '\n' ' ')" >../game.out
GAME
chmod +x "$demo/game/game.sh"

echo "==> update server on $server"
demo_serve "$demo/site" "$port"
trap 'kill "$server_pid" 2>/dev/null || true' EXIT

# The launcher starts the game and exits; wait for the game's line before going on.
start_launcher() {
    "$launcher"
    for _ in $(seq 50); do
        [ -s "$demo/game.out" ] && break
        sleep 0.1
    done
    cat "$demo/game.out"
    rm -f "$demo/game.out"
}

cd "$demo/game"
echo "==> first start: installed version 1.0"
start_launcher
echo "==> installed_updates now reads:"
cat installed_updates
echo "==> second start: nothing left to apply"
start_launcher
