#!/usr/bin/env bash
# Installs everything the native and/or Windows builds need, cross-builds the static Windows
# dependencies from Debian's patched sources into build/deps/win32 and build/deps/win64, and
# creates the Wine prefix the Windows tests run in. Re-running only does what is missing.
#
# Both Windows widths are built from the same sources: win32 is the product, win64 the same code
# for x86-64. The tests run from win32 under 32-bit Wine where this machine runs 32-bit programs
# (scripts/windows-width asks it by running one), and from win64 under 64-bit Wine where it does
# not. The width that runs its tests gets every dependency and GoogleTest; the other one only
# what its programs link.
set -euo pipefail

usage() { echo "usage: scripts/setup.sh [native|windows|all]" >&2; }

case "${1:-all}" in
    native | windows | all) target=${1:-all} ;;
    win32 | win64) target=windows ;; # the names of earlier versions
    -h | --help) usage; exit 0 ;;
    *) echo "setup.sh: unknown target '$1'" >&2; usage; exit 2 ;;
esac
[ $# -le 1 ] || { echo "setup.sh: too many arguments" >&2; usage; exit 2; }

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
srcroot=$root/build/deps/src
jobs=2
export DEBIAN_FRONTEND=noninteractive

log() { printf '==> %s\n' "$*"; }
die() { echo "setup.sh: $*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo -n "$@" || die "needs root for: $*"
    else
        die "needs root for: $*"
    fi
}

native_pkgs=(
    build-essential cmake ninja-build pkg-config
    libcurl4-openssl-dev libtinyxml-dev libminizip-dev zlib1g-dev libsodium-dev librsync-dev rdiff
    libgtest-dev libgmock-dev libphysfs-dev minisign
    clang libclang-rt-14-dev
    locales zip unzip curl python3
)
windows_pkgs=(
    cmake ninja-build pkg-config dpkg-dev xz-utils autoconf automake libtool python3
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    libz-mingw-w64-dev xvfb minisign fonts-wine
)
# Wine comes without its recommends; the few that matter are named: gnutls backs Schannel
# (HTTPS from Windows programs), the X libraries let windows render under Xvfb. 32-bit Wine
# needs them for i386, which is only installed where 32-bit programs run.
wine_libs=(libgnutls30 libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1
    libxfixes3 libxxf86vm1)
wine32_pkgs=(wine wine32:i386 "${wine_libs[@]/%/:i386}")
wine64_pkgs=(wine64 "${wine_libs[@]}")

apt_stale=

installed() { dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null | grep -q '^ii'; }

ensure_i386() {
    dpkg --print-foreign-architectures | grep -qx i386 && return
    log "enabling the i386 architecture for 32-bit Wine"
    as_root dpkg --add-architecture i386
    apt_stale=1
}

# apt-get source needs deb-src entries; mirror the configured Debian suites.
ensure_deb_src() {
    local dir=/etc/apt/sources.list.d
    [ -e "$dir/launcher-src.sources" ] || [ -e "$dir/launcher-src.list" ] && return
    if grep -qsE '^(Types:.*\bdeb-src\b|deb-src[[:space:]])' /etc/apt/sources.list "$dir"/*.list "$dir"/*.sources; then
        return
    fi
    log "adding deb-src entries for the Debian archive"
    local tmp
    tmp=$(mktemp)
    if [ -f "$dir/debian.sources" ]; then
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                out = ""; deb = 0
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^#/) continue
                    if ($i ~ /^Types:/) { deb = ($i ~ /[ \t]deb([ \t]|$)/); $i = "Types: deb-src" }
                    out = out $i "\n"
                }
                if (deb) printf "%s%s", (n++ ? "\n" : ""), out
            }' "$dir/debian.sources" >"$tmp"
        [ -s "$tmp" ] || die "no 'Types: deb' entry in $dir/debian.sources"
        as_root install -m 644 "$tmp" "$dir/launcher-src.sources"
    elif [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$tmp"
        [ -s "$tmp" ] || die "no 'deb' line in /etc/apt/sources.list"
        as_root install -m 644 "$tmp" "$dir/launcher-src.list"
    else
        die "found neither $dir/debian.sources nor /etc/apt/sources.list"
    fi
    rm -f "$tmp"
    apt_stale=1
}

install_packages() {
    local missing=() p
    for p in $(printf '%s\n' "$@" | sort -u); do installed "$p" || missing+=("$p"); done
    if [ -n "$apt_stale" ] || [ ${#missing[@]} -gt 0 ]; then
        log "apt-get update"
        as_root apt-get update -qq
    fi
    [ ${#missing[@]} -gt 0 ] || return 0
    log "installing ${missing[*]}"
    as_root apt-get install -y -qq --no-install-recommends -o Dpkg::Use-Pty=0 \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
}

ensure_locale() {
    locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && return
    log "generating the de_DE.UTF-8 locale"
    if grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
        echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen >/dev/null
}

# Newest version of a source package, the one apt-get source would fetch.
source_version() {
    local v best=
    for v in $(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p'); do
        if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
    done
    [ -n "$best" ] || die "apt-get source knows no package '$1'; are deb-src entries configured?"
    echo "$best"
}

# When a mirror has a package's .dsc and upstream tarball but not its Debian part, unpacks the
# upstream tarball once its SHA-256 matches the .dsc's; says so, as Debian's patches are missing.
unpack_upstream() {
    local name=$1 version=$2 dir=$3 tarball sum
    tarball=$(find "$dir" -maxdepth 1 -name "${name}_${version%-*}.orig.tar.*" | head -n1)
    [ -n "$tarball" ] && [ -f "$dir/${name}_$version.dsc" ] || return 1
    sum=$(sha256sum "$tarball" | cut -d' ' -f1)
    grep -q "^ $sum [0-9]* $(basename "$tarball")\$" "$dir/${name}_$version.dsc" || return 1
    echo "setup.sh: warning: the mirror lacks the Debian part of $name $version;" \
        "building its upstream source without Debian's patches" >&2
    tar -xf "$tarball" -C "$dir"
}

# Fetches and unpacks a source package (Debian patches applied) into build/deps/src/NAME/,
# once for both widths, and prints the unpacked directory.
fetch_source() {
    local name=$1 version=$2 dir=$srcroot/$1
    if [ "$(cat "$dir/.stamp-source" 2>/dev/null)" != "$version" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        (cd "$dir" && apt-get source -qq -o APT::Sandbox::User=root "$name=$version" >/dev/null) ||
            unpack_upstream "$name" "$version" "$dir" ||
            die "apt-get source $name=$version failed"
        # Debian's libsodium comes without a generated configure script; both widths share it.
        if [ "$name" = libsodium ]; then
            (cd "$(find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$name-*")" && autoreconf -fi) \
                >"$dir/autoreconf.log" 2>&1 || die "autoreconf of $name failed; see $dir/autoreconf.log"
        fi
        echo "$version" >"$dir/.stamp-source"
    fi
    find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n1
}

build_curl() {
    local src=$1 bld=$srcroot/curl/build-$width
    # HTTP(S) over Schannel only: no other protocols, no optional libraries.
    cmake -S "$src" -B "$bld" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
        -DENABLE_MANUAL=OFF -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
        -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF \
        -DCURL_USE_GSSAPI=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DUSE_NGHTTP2=OFF \
        -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DCURL_ZLIB=ON \
        -DZLIB_LIBRARY="$mingw_root/lib/libz.a" -DZLIB_INCLUDE_DIR="$mingw_root/include" \
        -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none
    cmake --build "$bld" -j "$jobs"
    cmake --install "$bld"
    # The CMake config exports CURL_STATICLIB; the .pc file must say it too.
    sed -i -e 's|^prefix=.*|prefix=${pcfiledir}/../..|' -e 's|^libdir=.*|libdir=${prefix}/lib|' \
        -e 's|^Cflags: .*|Cflags: -I${includedir} -DCURL_STATICLIB|' "$prefix/lib/pkgconfig/libcurl.pc"
}

build_tinyxml() {
    local src=$1 bld=$srcroot/tinyxml/build-$width f
    mkdir -p "$bld" "$prefix/include" "$prefix/lib/pkgconfig"
    # Debian's tinyxml.h turns TIXML_USE_STL on itself, as on the native side.
    for f in tinyxml tinyxmlparser tinyxmlerror tinystr; do
        $triplet-g++-posix -O2 -DNDEBUG -w -c "$src/$f.cpp" -o "$bld/$f.o" &
    done
    wait_all
    rm -f "$prefix/lib/libtinyxml.a"
    $triplet-ar rcs "$prefix/lib/libtinyxml.a" "$bld"/*.o
    install -m 644 "$src/tinyxml.h" "$src/tinystr.h" "$prefix/include/"
    write_pc tinyxml "TinyXml" "simple, small, C++ XML parser" "${2%%-*}" \
        '${prefix}/include' '-ltinyxml' ''
}

build_minizip() {
    local src=$1 bld=$srcroot/minizip/build-$width f
    mkdir -p "$bld" "$prefix/include/minizip" "$prefix/lib/pkgconfig"
    # iowin32 gives Unicode (wide) path support through the Win32 file API.
    for f in ioapi unzip zip mztools iowin32; do
        $triplet-gcc-posix -O2 -DNDEBUG -w -c "$src/$f.c" -o "$bld/$f.o" &
    done
    wait_all
    rm -f "$prefix/lib/libminizip.a"
    $triplet-ar rcs "$prefix/lib/libminizip.a" "$bld"/*.o
    for f in unzip ioapi zip crypt mztools iowin32; do
        install -m 644 "$src/$f.h" "$prefix/include/minizip/"
    done
    write_pc minizip "minizip" "Minizip zip file manipulation library" "${2%%-*}" \
        '${prefix}/include/minizip' '-lminizip' '-lz'
}

build_libsodium() {
    local src=$1 bld=$srcroot/libsodium/build-$width
    # Static only; no stack protector, which would need libssp at every link.
    rm -rf "$bld"
    mkdir -p "$bld"
    (cd "$bld" && "$src/configure" --host=$triplet --prefix="$prefix" --libdir="$prefix/lib" \
        --disable-shared --enable-static --disable-ssp --disable-pie \
        CC=$triplet-gcc-posix CFLAGS="-O2")
    make -C "$bld" -j "$jobs"
    make -C "$bld" install
}

build_librsync() {
    local src=$1 bld=$srcroot/librsync/build-$width
    # The library alone: no rdiff program (it needs popt), its own BLAKE2, no compression.
    rm -rf "$bld"
    cmake -S "$src" -B "$bld" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_RDIFF=OFF -DENABLE_COMPRESSION=OFF -DUSE_LIBB2=OFF \
        -DENABLE_TRACE=OFF
    cmake --build "$bld" -j "$jobs"
    cmake --install "$bld"
}

build_googletest() {
    local src=$1 bld=$srcroot/googletest/build-$width
    cmake -S "$src" -B "$bld" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
        -Dgtest_disable_pthreads=OFF
    cmake --build "$bld" -j "$jobs"
    cmake --install "$bld"
}

wait_all() {
    local pid ok=1
    for pid in $(jobs -p); do wait "$pid" || ok=; done
    [ -n "$ok" ] || die "compilation failed"
}

# A .pc file relative to its own location, so pkg-config works from the
# toolchain file without absolute paths baked in.
write_pc() {
    cat >"$prefix/lib/pkgconfig/$1.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib

Name: $2
Description: $3
Version: $4
Libs: -L\${libdir} $6
Libs.private: $7
Cflags: -I$5
EOF
}

# Sets what the build recipes need for one Windows width.
use_width() {
    width=$1
    case $width in
        win32) triplet=i686-w64-mingw32 ;;
        win64) triplet=x86_64-w64-mingw32 ;;
    esac
    prefix=$root/build/deps/$width
    toolchain=$root/cmake/toolchain-mingw-$width.cmake
    mingw_root=/usr/$triplet
}

# The stamp of a dependency's build for the current width: its source version, its recipe and
# the toolchain files.
dep_stamp() {
    echo "${versions[$1]} $( (declare -f "build_$1"; cat "$toolchain" "$root/cmake/toolchain-mingw.cmake") |
        md5sum | cut -c1-12)"
}

dep_built() { [ "$(cat "$prefix/.stamp-$1" 2>/dev/null)" = "$(dep_stamp "$1")" ]; }

# The dependencies of a width: GoogleTest only where its tests run.
width_deps() {
    echo curl tinyxml minizip libsodium librsync
    if [ "$1" = "$test_width" ]; then echo googletest; fi
}

# Builds a dependency, whose source is fetched, for the current width unless it is built.
build_dep() {
    local name=$1 src log
    dep_built "$name" && return
    log "building $name ${versions[$name]} for $width"
    mkdir -p "$prefix"
    src=$(find "$srcroot/$name" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n1)
    [ -n "$src" ] || die "no source of $name in $srcroot/$name"
    log=$srcroot/$name/build-$width.log
    # In the background so that set -e holds inside; it is off in an || list.
    "build_$name" "$src" "${versions[$name]}" >"$log" 2>&1 &
    if ! wait $!; then
        tail -n 40 "$log" >&2
        die "building $name for $width failed; full log in $log"
    fi
    dep_stamp "$name" >"$prefix/.stamp-$name"
}

# Built dependencies are also kept outside the work tree, so that another clone on this machine
# (CI's, say) copies them instead of building them again: one copy a width, named by its stamps.
deps_cache=${XDG_CACHE_HOME:-$HOME/.cache}/game-launcher/deps

width_cache() {
    local dep
    echo "$deps_cache/$1-$(for dep in $(width_deps "$1"); do dep_stamp "$dep"; done | md5sum | cut -c1-16)"
}

# Copies a width's dependencies from the cache when some are not built and the cache has them.
restore_width() {
    use_width "$1"
    local dep cached
    cached=$(width_cache "$1")
    [ -f "$cached/.complete" ] || return 0
    for dep in $(width_deps "$1"); do
        dep_built "$dep" || {
            log "copying the $1 dependencies from $cached"
            rm -rf "$prefix"
            mkdir -p "$(dirname "$prefix")"
            cp -a "$cached" "$prefix"
            rm -f "$prefix/.complete"
            return
        }
    done
}

build_width() {
    use_width "$1"
    local dep cached staging
    for dep in $(width_deps "$1"); do build_dep "$dep"; done
    if [ "$1" != "$test_width" ] && [ -f "$prefix/.stamp-googletest" ]; then remove_googletest; fi
    cached=$(width_cache "$1")
    [ ! -f "$cached/.complete" ] || return 0
    mkdir -p "$deps_cache"
    staging=$(mktemp -d "$deps_cache/.new-$1.XXXXXX")
    cp -a "$prefix/." "$staging/"
    touch "$staging/.complete"
    rm -rf "$deps_cache/$1-"*
    mv -T "$staging" "$cached" 2>/dev/null || rm -rf "$staging"
}

# Fetches the sources the builds need, then builds both widths side by side: much of each build
# is configure steps that keep one core busy.
build_windows_deps() {
    local width dep needed=() pids=() pid
    for width in win32 win64; do
        for dep in $(width_deps "$width"); do
            [ -n "${versions[$dep]:-}" ] || versions[$dep]=$(source_version "$dep")
        done
        restore_width "$width"
        for dep in $(width_deps "$width"); do dep_built "$dep" || needed+=("$dep"); done
    done
    for dep in $(printf '%s\n' "${needed[@]}" | sort -u); do
        fetch_source "$dep" "${versions[$dep]}" >/dev/null
    done
    for width in win32 win64; do
        build_width "$width" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || die "building the Windows dependencies failed"; done
}

# GoogleTest left from a machine whose tests ran from this width would build its tests for
# nothing.
remove_googletest() {
    log "removing GoogleTest for $width: its tests do not run here"
    rm -rf "$prefix"/include/gtest "$prefix"/include/gmock "$prefix"/lib/libgtest* \
        "$prefix"/lib/libgmock* "$prefix"/lib/cmake/GTest "$prefix"/lib/pkgconfig/gtest* \
        "$prefix"/lib/pkgconfig/gmock* "$prefix/.stamp-googletest"
}

# The Wine prefix of the width that runs the tests, made by that width's own Wine.
ensure_wine_prefix() {
    local width=$1 stamp want
    # shellcheck source=scripts/wine-env
    . "$root/scripts/wine-env" "$width"
    stamp=$WINEPREFIX/.stamp-prefix
    want="$("$wine_loader" --version) $(declare -f ensure_wine_prefix | md5sum | cut -c1-12)"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then return; fi
    log "creating the $width Wine prefix ($want)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    env -u DISPLAY "$wine_loader" wineboot -i >/dev/null 2>&1 || die "wineboot failed"
    # A crashing test must end with an error code, not wait on a dialog.
    env -u DISPLAY "$wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1 || die "could not configure the Wine prefix"
    "$wine_server" -w
    echo "$want" >"$stamp"
}

# Two runs at once (say CI's test script and a developer) would build into
# the same directories.
mkdir -p "$root/build"
exec 9>"$root/build/.setup.lock"
flock -w 1800 9 || die "another setup.sh has held $root/build/.setup.lock for 30 minutes"

pkgs=()
[ "$target" = windows ] || pkgs+=("${native_pkgs[@]}")
if [ "$target" != native ]; then
    test_width=$("$root/scripts/windows-width")
    pkgs+=("${windows_pkgs[@]}")
    if [ "$test_width" = win32 ]; then
        ensure_i386
        pkgs+=("${wine32_pkgs[@]}")
    else
        pkgs+=("${wine64_pkgs[@]}")
    fi
    ensure_deb_src
    # A deb-src entry added by an interrupted run may not have been fetched.
    [ -n "$(apt-cache showsrc --only-source curl 2>/dev/null)" ] || apt_stale=1
fi
install_packages "${pkgs[@]}"

if [ "$target" != windows ]; then
    ensure_locale
fi

if [ "$target" != native ]; then
    log "Windows tests run from the $test_width build on this machine"
    declare -A versions
    build_windows_deps
    ensure_wine_prefix "$test_width"
fi
log "setup ($target) done"
