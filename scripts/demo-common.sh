# Shared by the demo scripts (sourced): the demo game's three versions, released with the
# release tool onto a local update server, and an installation at version 1.0.

# demo_free_port: a port on 127.0.0.1 that nothing listens on.
demo_free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# demo_release DEMO_DIR SERVER_URL GAMERELEASE: the studio's trees of 1.0, 1.1 and 1.2 under
# DEMO_DIR/studio, each later one adding a level with 8 MB of textures, and the site that
# offers 1.0 -> 1.1 -> 1.2 under DEMO_DIR/site.
demo_release() {
    local demo=$1 server=$2 release=$3 version level previous=
    mkdir -p "$demo/studio" "$demo/site"
    for version in 1.0 1.1 1.2; do
        case $version in
        1.0) level=1-meadow ;;
        1.1) level=2-forest ;;
        1.2) level=3-mountain ;;
        esac
        if [ -n "$previous" ]; then
            cp -a "$demo/studio/$previous" "$demo/studio/$version"
            head -c 8000000 /dev/urandom >"$demo/studio/$version/data/levels/$level.textures"
        fi
        mkdir -p "$demo/studio/$version/data/levels"
        echo "$version" >"$demo/studio/$version/data/version.txt"
        echo "$level" >"$demo/studio/$version/data/levels/$level.txt"
        if [ -n "$previous" ]; then
            "$release" package "$demo/studio/$previous" "$demo/studio/$version" \
                --from "$previous" --to "$version" --url "$server/" --out "$demo/site"
        fi
        previous=$version
    done
}

# demo_serve SITE_DIR PORT: starts the rate-limited update server; its pid in server_pid.
demo_serve() {
    python3 "$root/scripts/demo-server.py" "$1" "$2" &
    server_pid=$!
    for _ in $(seq 50); do
        curl -fsS -o /dev/null "http://127.0.0.1:$2/list.xml" 2>/dev/null && return
        sleep 0.1
    done
}
