#!/usr/bin/env bash
# Installs what the build and the tests need (Debian packages), builds the native tree and both
# Windows trees (build/win32, build/win64) and makes their Wine prefixes (32-bit and 64-bit) with
# each build's monitor installed by its own installer; with --native it stops after the build.
# With --arch win32 or --arch win64 it makes only that build's prefix. Safe to run again: each step
# is skipped when done.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# wine64 runs the 64-bit build and brings the native wineserver, which also serves a 32-bit prefix.
# clang and its runtimes build the fuzz targets (libFuzzer).
# fonts-ipafont-gothic: a Japanese font, so that the Japanese user's screenshot shows the Japanese
# names as a Japanese Windows with its Gothic font does.
# openssl makes the test CA and the servers' certificates; Wine's SChannel is GnuTLS underneath
# (libgnutls30 of each architecture Wine runs). postfix and dovecot-core: the tests' real mail
# server; they run only as instances of their own that the tests start (scripts/mail_server.sh).
PACKAGES=(cmake g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 fonts-wine libxrender1:i386 xvfb xauth
          imagemagick python3 curl locales clang libclang-rt-14-dev fonts-ipafont-gothic
          openssl libgnutls30:i386 libgnutls30 postfix dovecot-core)
BACKPORTS_SOURCE=/etc/apt/sources.list.d/bookworm-backports.sources
QEMU_I386=/usr/bin/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    log "installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386
    apt-get update -qq
    # The machine's own mail server stays unconfigured and nothing installed starts a service: a
    # Postfix on port 25 would take the loopback addresses the scripted servers listen on.
    echo "postfix postfix/main_mailer_type select No configuration" | debconf-set-selections
    local policy=/usr/sbin/policy-rc.d made_policy=false
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod +x "$policy" && made_policy=true
    fi
    local installed=0
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        installed=$?
    if $made_policy; then rm -f "$policy"; fi
    return $installed
}

runs_32bit_programs() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Some kernels have 32-bit execution switched off ("Exec format error"). Wine's 32-bit code then
# runs under qemu's user-mode emulation, registered for i386 programs. Version 10 (backports) is
# needed: 7.2's page bookkeeping makes every Wine process start take about a minute.
enable_32bit_programs() {
    runs_32bit_programs && return
    log "this kernel does not run 32-bit programs: registering qemu's i386 emulation"
    if [ ! -x "$QEMU_I386" ]; then
        if [ ! -f "$BACKPORTS_SOURCE" ]; then
            printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
                'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' >"$BACKPORTS_SOURCE"
        fi
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            -t bookworm-backports qemu-user >/dev/null
    fi
    [ -f "$BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$BINFMT"
    [ -f "$BINFMT/qemu-i386" ] && echo -1 >"$BINFMT/qemu-i386"
    # The magic and mask of an i386 ELF executable or shared object; F opens the emulator now, so
    # that it also serves programs started in other mount namespaces.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:' \
        '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:' \
        "$QEMU_I386:F" >"$BINFMT/register"
    runs_32bit_programs || { log "32-bit programs still do not run"; return 1; }
}

# The Japanese dialog font is tested in a Wine process with a Japanese locale.
generate_japanese_locale() {
    locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$' && return
    log "generating the ja_JP.UTF-8 locale"
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
}

build_trees() {
    log "building (native, win32 and win64)"
    cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE_BUILD" -j "$(nproc)" >/dev/null
    local arch toolchain
    for arch in "${ARCHES[@]}"; do
        toolchain=$ROOT/cmake/mingw${arch#win}.cmake
        cmake -S "$ROOT" -B "$BUILD_DIR/$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$BUILD_DIR/$arch" -j "$(nproc)" >/dev/null
    done
}

# The prefix of the build chosen with use_arch.
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
    local setup_log=$BUILD_DIR/nmxsetup-$ARCH.log
    if ! wine "$WIN_BUILD/dist/nmxsetup.exe" install </dev/null >"$setup_log" 2>&1; then
        cat "$setup_log" >&2
        wineserver -k
        return 1
    fi
    wineserver -k
}

prefixes=("${ARCHES[@]}")
case "${1:-}" in
    --native) prefixes=() ;;
    --arch) prefixes=("${2:?--arch win32 or --arch win64}") ;;
esac

install_packages
build_trees
if [ ${#prefixes[@]} -gt 0 ]; then
    enable_32bit_programs
    generate_japanese_locale
    for arch in "${prefixes[@]}"; do
        use_arch "$arch"
        make_prefix
    done
fi
