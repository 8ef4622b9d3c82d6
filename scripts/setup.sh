#!/usr/bin/env bash
# Installs what the build and the tests need (Debian packages) and builds both trees; with
# --wine it also makes the Wine prefix with the monitor installed. Safe to run again: each step is
# skipped when done.
set -euo pipefail
source "$(dirname "$0")/common.sh"

PACKAGES=(cmake g++ g++-mingw-w64-i686 wine wine32:i386 fonts-wine libxrender1:i386 xvfb xauth
          imagemagick python3 curl)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    log "installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_trees() {
    log "building (native and win32)"
    cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE_BUILD" -j "$(nproc)" >/dev/null
    cmake -S "$ROOT" -B "$WIN32_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$WIN32_BUILD" -j "$(nproc)" >/dev/null
}

make_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        wineserver -w
        if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
            log "wineboot did not finish the prefix $WINEPREFIX; remove it and run again"
            return 1
        fi
    fi
    start_wine_session
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$fonts"
    for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
        [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/"
    done
    # Headless by default: Wine's null display driver. The screenshot script switches to Xvfb.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    # The monitor, installed as a user installs it; a second run repairs and takes new builds.
    local setup_log=$BUILD_DIR/nmxsetup.log
    if ! wine "$WIN32_BUILD/dist/nmxsetup.exe" install </dev/null >"$setup_log" 2>&1; then
        cat "$setup_log" >&2
        wineserver -k
        return 1
    fi
    wineserver -k
}

install_packages
build_trees
if [ "${1:-}" = --wine ]; then
    make_prefix
fi
