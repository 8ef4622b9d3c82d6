# Sourced by the other scripts: paths and the Wine environment.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
NATIVE_BUILD=$BUILD_DIR/native
WIN32_BUILD=$BUILD_DIR/win32
BIN_DIR=$WIN32_BUILD/bin

export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEARCH=win32
export WINEDEBUG=-all
# winedbg disabled: a crashed process exits at once instead of waiting in the debugger.
# winemenubuilder disabled: no desktop menus to make, and it costs a process at every session.
# winspool.drv and spoolss: the print host's spooler stand-ins beside the executables win
# over Wine's own; elsewhere Wine's built-in ones are used.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d;winspool.drv,spoolss=n,b"

log() { printf '== %s\n' "$*" >&2; }

# Wine's background services must not inherit a captured stderr (the capture would never end).
start_wine_session() {
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wine_session() {
    wineserver -k 2>/dev/null || true
}
