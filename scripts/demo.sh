#!/usr/bin/env bash
# The launcher on a built-in demo: a demo game installed at version 1.0, an update server on
# 127.0.0.1 offering 1.0 -> 1.1 -> 1.2, and the launcher, which shows its progress on the
# terminal, brings the game to 1.2 (the first configured server refuses, the second answers)
# and starts it. A second start then finds nothing to do. Everything lives under build/demo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh" native
echo "==> building the launcher (native)"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target launcher >/dev/null
launcher=$root/build/native/launcher/terminal/launcher

demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/server" "$demo/game/data" "$demo/stage"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
refused=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
server=http://127.0.0.1:$port

# The installation as the studio shipped it.
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
mkdir -p "$demo/game/data/levels"
echo 1.0 >"$demo/game/data/version.txt"
echo "meadow" >"$demo/game/data/levels/1-meadow.txt"

# Two packages and the list that chains them.
package() {
    local name=$1 version=$2 level=$3
    rm -rf "$demo/stage" && mkdir -p "$demo/stage/data/levels"
    echo "$version" >"$demo/stage/data/version.txt"
    echo "$level" >"$demo/stage/data/levels/$level.txt"
    head -c 8000000 /dev/urandom >"$demo/stage/data/levels/$level.textures"
    (cd "$demo/stage" && zip -q -r "$demo/server/$name" data)
}
package update-1.1.zip 1.1 2-forest
package update-1.2.zip 1.2 3-mountain
cat >"$demo/server/list.xml" <<XML
<?xml version="1.0"?>
<game>
   <update><for>1.0</for><to>1.1</to><name>Forest</name><file>$server/update-1.1.zip</file></update>
   <update><for>1.1</for><to>1.2</to><name>Mountain</name><file>$server/update-1.2.zip</file></update>
</game>
XML

echo "==> update server on $server"
python3 -m http.server --bind 127.0.0.1 --directory "$demo/server" "$port" >"$demo/server.log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    curl -fsS -o /dev/null "$server/list.xml" 2>/dev/null && break
    sleep 0.1
done

chmod +x "$demo/game/game.sh"

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
