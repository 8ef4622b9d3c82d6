# Sourced by the other scripts: paths and the Wine environment.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
NATIVE_BUILD=$BUILD_DIR/native
ARCHES=(win32 win64) # the Windows builds: build/win32 (i686) and build/win64 (x86_64)
# The prefixes of the two builds, handed on to the scripts this one starts; the demo and the
# benchmark set prefixes of their own.
export WINEPREFIX32=${WINEPREFIX32:-${WINEPREFIX:-$BUILD_DIR/wineprefix}}
export WINEPREFIX64=${WINEPREFIX64:-$BUILD_DIR/wineprefix64}

# Chooses the Windows build the Wine commands use and its prefix: win32 in a 32-bit prefix, win64
# in a 64-bit one (which runs 32-bit programs too). Sets WIN_BUILD and BIN_DIR.
use_arch() { # win32 | win64
    case $1 in
        win32) export WINEPREFIX=$WINEPREFIX32 REG_VIEW= ;;
        win64) export WINEPREFIX=$WINEPREFIX64 REG_VIEW=/reg:64 ;;
        *) printf '== unknown architecture %s (win32 or win64)\n' "$1" >&2; return 1 ;;
    esac
    export ARCH=$1 WINEARCH=$1
    WIN_BUILD=$BUILD_DIR/$1
    BIN_DIR=$WIN_BUILD/bin
}

# The build of this host's Windows: 64-bit on a 64-bit machine.
native_arch() {
    if [ "$(uname -m)" = x86_64 ]; then echo win64; else echo win32; fi
}

use_arch "${ARCH:-win32}"
export WINEDEBUG=-all
# winedbg disabled: a crashed process exits at once instead of waiting in the debugger.
# winemenubuilder disabled: no desktop menus to make, and it costs a process at every session.
# winspool.drv and spoolss: the print host's spooler stand-ins beside the executables win
# over Wine's own; elsewhere Wine's built-in ones are used.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d;winspool.drv,spoolss=n,b"

log() { printf '== %s\n' "$*" >&2; }

# A persistent wineserver for the prefix, so that the programs of a session share one server.
# Debian's wineserver wrapper starts every server with -p0: the server a program started ends as
# soon as that program does, and while it goes down "wineserver -p" exits with 2 and makes nothing
# persistent; the next programs would each meet a server going down or starting anew. So -p is
# asked again until that server is gone; a persistent session that runs already (which does not
# go) is kept after 10 s. Wine's background services must not inherit a captured stderr (the
# capture would never end).
start_wine_session() {
    local tries=0
    until wineserver -p 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || break
        sleep 0.5
    done
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Returns once the server is gone: -k waits for it, but at most 10 s before it kills it outright.
stop_wine_session() {
    wineserver -k 2>/dev/null || true
    wineserver -w
}

# The loopback SMTP sink of the demo and the benchmark. Its address lies outside 127.0.0.x, where
# the tests' scripted SMTP servers take theirs, so both can run at once.
SINK_HOST=127.0.1.25
SINK_SENDER=me@example.com # the ports' own address
SINK_PID=

# Starts the sink saving mail into the given folder; returns once it listens (at most 10 s).
start_smtp_sink() {
    local ready=$1/.listening
    mkdir -p "$1"
    rm -f "$ready"
    python3 "$ROOT/scripts/smtp_sink.py" serve --host "$SINK_HOST" --out "$1" --ready "$ready" &
    SINK_PID=$!
    local tries=0
    until [ -f "$ready" ]; do
        if ! kill -0 "$SINK_PID" 2>/dev/null || [ $tries -ge 100 ]; then
            log "the SMTP sink did not start on $SINK_HOST:25"
            stop_smtp_sink
            return 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
}

stop_smtp_sink() {
    [ -n "$SINK_PID" ] || return 0
    kill "$SINK_PID" 2>/dev/null || true
    wait "$SINK_PID" 2>/dev/null || true
    SINK_PID=
}

# Writes a .reg file of ports that mail through the sink without a dialog or a question. Each
# argument is one port: "name|ServAddr|PartSw|PartLimit in KB|Notification".
write_sink_ports() { # file, port...
    local file=$1 port name servaddr partsw partlimit notification
    shift
    echo 'Windows Registry Editor Version 5.00' >"$file"
    for port in "$@"; do
        IFS='|' read -r name servaddr partsw partlimit notification <<<"$port"
        printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale\\Velloprint\\%s]\n' "$name"
        printf '"ServAddr"="%s"\n"SMTPAddr"="%s"\n"UserAddr"="%s"\n' "$servaddr" "$SINK_HOST" "$SINK_SENDER"
        printf '"ShowSw"=dword:00000000\n"CheckMailSw"=dword:00000000\n'
        printf '"PartSw"=dword:%08x\n"PartLimit"=dword:%08x\n' "$partsw" "$partlimit"
        printf '"Notification"=dword:%08x\n"NotifyAddr"="%s"\n' "$notification" "$SINK_SENDER"
    done >>"$file"
}

# Imports a .reg file into the prefix of the running Wine session. Debian's `wine` starts Wine's
# tools as 32-bit programs, whose HKLM\SOFTWARE in a 64-bit prefix is the redirected Wow6432Node:
# there the 64-bit view is asked for ($REG_VIEW).
import_reg_file() {
    timeout 60 wine reg import "Z:${1//\//\\}" $REG_VIEW </dev/null
}

# The prefix's display driver: "null" (headless, the default of every script), or empty for Wine's
# X11 driver, which draws on $DISPLAY. Chosen when a wineserver starts: the session must not run.
set_graphics_driver() {
    start_wine_session
    if [ -n "$1" ]; then
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d "$1" /f </dev/null >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
    fi
    stop_wine_session
}

# While the program of that process id runs on a screen, saves "<name>.png" of the screen each
# time it asks, in the order named (the hand-shake of tests/wine/support/shot_directory.h). Returns
# the program's exit status.
photograph_steps() { # folder, process id, names...
    local folder=$1 pid=$2 name
    shift 2
    for name in "$@"; do
        while [ ! -f "$folder/$name.ready" ]; do
            kill -0 "$pid" 2>/dev/null || { log "the program ended before $name"; break 2; }
            sleep 0.5
        done
        sleep 1 # let the windows finish painting
        import -window root "$folder/$name.png"
        touch "$folder/$name.done"
        log "$folder/$name.png"
    done
    local status=0
    wait "$pid" || status=$?
    return $status
}

# Runs the command on a virtual screen of 1024 x 768 (Xvfb) with the prefix on Wine's X11 driver,
# and puts the prefix back on the null driver afterwards. The Wine session must not run, and the
# command ends its own session before it returns: a wineserver that outlives its X server breaks
# the next session.
on_virtual_screen() { # command...
    set_graphics_driver ""
    local status=0
    xvfb-run -a -s "-screen 0 1024x768x24" "$@" || status=$?
    set_graphics_driver null
    return $status
}
