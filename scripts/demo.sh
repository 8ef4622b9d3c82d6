#!/usr/bin/env bash
# The main job: the monitor installed into a Wine prefix of its own, a local SMTP sink on loopback,
# two ports that mail through it, and a sample document printed to each through the print host:
# NMX1 mails it whole, NMX2 in numbered parts of 16 KB. Shows what arrived (the saved mail, its
# header, the text part with the control block, the attachment) and checks that the attachments
# are the printed bytes. Then the round trip with the address book, on a virtual screen (Xvfb): a
# third port's settings dialog, its "Address Book..." button, printers and a group picked and sent
# in the address book, the dialog confirmed, and a document printed to that port; a picture of
# each step goes into build/demo/round_trip. Exits 0 only when every job arrived as printed and
# the round trip's mail went to exactly the mailboxes picked. Builds and installs what it needs
# through setup.sh; safe to run again. Uses the build of this machine's Windows: 64-bit on a
# 64-bit host (build/win64, prefix build/demo-prefix64); `--arch win32` takes the 32-bit build
# (build/win32, prefix build/demo-prefix).
#
#   bash scripts/demo.sh [--arch win32|win64]
set -euo pipefail
source "$(dirname "$0")/common.sh"

if [ "${1:-}" = --arch ]; then
    ARCH=${2:?--arch win32 or --arch win64}
    shift 2
else
    ARCH=${ARCH_OF_DEMO:-$(native_arch)}
fi
WINEPREFIX32=${DEMO_PREFIX:-$BUILD_DIR/demo-prefix} WINEPREFIX64=${DEMO_PREFIX64:-$BUILD_DIR/demo-prefix64}
use_arch "$ARCH"
export ARCH_OF_DEMO=$ARCH # the run on the virtual screen below uses the same build
DEMO_DIR=$BUILD_DIR/demo
PART_LIMIT_KB=16 # the smallest part the port configuration dialog accepts
JOB_TIMEOUT=120  # seconds; a message box from the monitor would otherwise wait for ever
ROUND_TRIP_STEPS=(1_port_settings 2_address_book 3_recipients_chosen 4_port_settings_after_send)
SPOOLER_DIALOG_STEPS=(spooler_add_port spooler_add_port_settings spooler_configure_port spooler_job_confirmation)
MONITOR_NAME="Velloprint Mail Port" # string 706 of NmxRC.dll, the name the monitor is installed under
# Wine's own spooler: without the override that puts the print host's stand-ins in its place.
SPOOLER_OVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

# On the virtual screen (the round trip below runs this script again there): the driver walks
# through the round trip and waits at each step for its picture.
if [ "${1:-}" = --round-trip-on-screen ]; then
    shots=$2
    start_wine_session
    NMX_SCREENSHOT_DIR=$(winepath -w "$shots") wine "$BIN_DIR/round_trip_demo.exe" </dev/null \
        >"$shots/driver.log" 2>&1 &
    status=0
    photograph_steps "$shots" $! "${ROUND_TRIP_STEPS[@]}" || status=$?
    stop_wine_session # before the screen goes
    exit $status
fi

# On the virtual screen: the UI library's dialogs opened through AddPortW and ConfigurePortW.
if [ "${1:-}" = --spooler-dialogs-on-screen ]; then
    shots=$2
    start_wine_session
    NMX_SCREENSHOT_DIR=$(winepath -w "$shots") WINEDLLOVERRIDES=$SPOOLER_OVERRIDES \
        wine "$BIN_DIR/spooler_dialog_shots.exe" </dev/null >"$shots/driver.log" 2>&1 &
    status=0
    photograph_steps "$shots" $! "${SPOOLER_DIALOG_STEPS[@]}" || status=$?
    stop_wine_session
    exit $status
fi

log "the $ARCH build in the prefix $WINEPREFIX"
bash "$ROOT/scripts/setup.sh" --arch "$ARCH"

finish() {
    stop_wine_session
    stop_smtp_sink
}
trap finish EXIT

rm -rf "$DEMO_DIR"
mkdir -p "$DEMO_DIR"

# A one-page PostScript document as a printer driver would render it; the monitor never looks
# inside the bytes.
write_sample() { # file, title, lines of text
    {
        printf '%%!PS-Adobe-3.0\n%%%%Title: %s\n%%%%Pages: 1\n%%%%EndComments\n' "$2"
        printf '/Courier findfont 9 scalefont setfont\n'
        for ((line = 1; line <= $3; line++)); do
            printf '36 %d moveto (%s, line %d: printed by e-mail through Velloprint) show\n' \
                $((800 - line % 80 * 10)) "$2" "$line"
        done
        printf 'showpage\n%%%%EOF\n'
    } >"$1"
}

letter=$DEMO_DIR/letter.ps
drawing=$DEMO_DIR/drawing.ps
write_sample "$letter" "A short letter" 20
write_sample "$drawing" "A larger drawing" 500 # about 42 KB: three parts
drawing_mails=$((($(wc -c <"$drawing") + PART_LIMIT_KB * 1024 - 1) / (PART_LIMIT_KB * 1024)))

seed=$DEMO_DIR/ports.reg
# NMX1 sends its jobs whole and asks for a reply when they are printed; NMX2 sends them in parts.
write_sink_ports "$seed" "NMX1|Office Printer <office-printer@example.com>|0|1024|1" \
    "NMX2|plotter@example.com|1|$PART_LIMIT_KB|0"

inbox=$DEMO_DIR/inbox
log "starting the SMTP sink on $SINK_HOST:25 (mail saved in $inbox)"
start_smtp_sink "$inbox"

start_wine_session
log "seeding the ports NMX1 and NMX2"
import_reg_file "$seed"
log "the ports NMX_MON.dll reports (printhost enumports 2)"
timeout "$JOB_TIMEOUT" wine "$BIN_DIR/printhost.exe" enumports 2 </dev/null

# Prints the document to the port and moves the mail that arrived (each with its envelope's
# recipients) to a folder of the port's.
print_to_port() { # port, document
    local port=$1 document=$2
    log "printing $(basename "$document") ($(wc -c <"$document") bytes) to $port"
    timeout "$JOB_TIMEOUT" wine "$BIN_DIR/printhost.exe" print "$port" "Z:${document//\//\\}" </dev/null
    # The sink saves a mail before it accepts its end of data, so all of it is there by now.
    mkdir -p "$DEMO_DIR/$port"
    find "$inbox" -maxdepth 1 -name 'message-*.*' -exec mv -t "$DEMO_DIR/$port" {} +
}

# Prints the document to the port, shows the mail that arrived and checks it.
print_and_show() { # port, document, expected number of mails
    local port=$1 document=$2 mails=$3
    print_to_port "$port" "$document"
    local received=$DEMO_DIR/$port
    local files=("$received"/message-*.eml)
    [ -e "${files[0]}" ] || { log "no mail arrived for $port"; return 1; }
    log "what arrived for $port: ${#files[@]} mail(s) in $received"
    if [ "$mails" -eq 1 ]; then
        log "the saved mail as it came over the wire (first 30 lines)"
        sed -n '1,30p' "${files[0]}" | tr -d '\r'
        echo "[... $(wc -l <"${files[0]}") lines in all]"
        log "the same mail as a mail reader sees it"
    fi
    python3 "$ROOT/scripts/smtp_sink.py" show "${files[@]}"
    python3 "$ROOT/scripts/smtp_sink.py" check --job "$document" --mails "$mails" "${files[@]}"
}

print_and_show NMX1 "$letter" 1
print_and_show NMX2 "$drawing" "$drawing_mails"
log "both jobs arrived as printed"

# The round trip, on a virtual screen: round_trip_demo.exe opens the port's settings dialog,
# presses "Address Book...", removes the stored list in the address book, picks two printers and
# a group, sends and confirms the dialog, while a picture is taken of each step. The document
# printed to the port must then reach exactly the mailboxes picked, one mail each.
round_trip() { # port
    local port=$1 shots=$DEMO_DIR/round_trip
    mkdir -p "$shots"
    log "the round trip with the address book on $port (its pictures go into $shots)"
    write_sink_ports "$shots/port.reg" "$port|old-printer@example.com|0|1024|0"
    import_reg_file "$shots/port.reg"
    stop_wine_session
    if ! NMX_DEMO_PORT=$port on_virtual_screen bash "$0" --round-trip-on-screen "$shots"; then
        tail -n 30 "$shots/driver.log"
        return 1
    fi
    grep -E '^(== |   )' "$shots/driver.log"
    start_wine_session
    print_to_port "$port" "$letter"
    local files=("$DEMO_DIR/$port"/message-*.eml)
    [ -e "${files[0]}" ] || { log "no mail arrived for $port"; return 1; }
    log "what arrived for $port: ${#files[@]} mail(s) in $DEMO_DIR/$port, one per mailbox"
    local file
    for file in "${files[@]}"; do
        python3 "$ROOT/scripts/smtp_sink.py" check --job "$letter" --mails 1 "$file" >/dev/null
    done
    python3 "$ROOT/scripts/smtp_sink.py" recipients --expected "$shots/picked.txt" "${files[@]}"
}

round_trip NMX3
log "the round trip's mail went to the mailboxes picked in the address book"

# The main job as a Windows program does it, through Wine's own spooler and not the print host: a
# port added with AddPortExW, a printer on it with Wine's PostScript driver, a letter printed by an
# ordinary GDI program (StartDoc, text, EndDoc); Wine's localspl hands the job to the monitor
# through InitializePrintMonitor2. Then the UI library's dialogs, opened through AddPortW and
# ConfigurePortW, photographed on a virtual screen.
wine_spooler() { # arguments...
    WINEDLLOVERRIDES=$SPOOLER_OVERRIDES timeout "$JOB_TIMEOUT" wine "$BIN_DIR/wine_spooler.exe" "$@" </dev/null
}

through_wine_spooler() { # port
    local port=$1 printer="Velloprint Mail" received=$DEMO_DIR/$1
    log "through Wine's own spooler: $port added with AddPortExW, the printer \"$printer\" on it"
    wine_spooler deleteport "$port" 2>/dev/null || true # from an earlier run
    wine_spooler addportex "$port" "$MONITOR_NAME"
    write_sink_ports "$DEMO_DIR/$port.reg" "$port|gdi-printer@example.com|0|1024|0"
    import_reg_file "$DEMO_DIR/$port.reg"
    wine_spooler printer "$printer" "$port"
    log "the ports Wine's spooler lists (EnumPortsW)"
    wine_spooler ports
    log "a GDI program prints a letter to \"$printer\""
    wine_spooler print "$printer" "A letter printed by a Windows program through Wine's spooler"
    mkdir -p "$received"
    find "$inbox" -maxdepth 1 -name 'message-*.*' -exec mv -t "$received" {} +
    local files=("$received"/message-*.eml)
    [ -e "${files[0]}" ] || { log "no mail arrived for $port"; return 1; }
    log "what arrived for $port: ${#files[@]} mail(s) in $received"
    python3 "$ROOT/scripts/smtp_sink.py" show "${files[@]}" | tee "$received/shown.txt"
    grep -q "PrintJob.PRN (.*begins b'%!PS-Adobe" "$received/shown.txt" ||
        { log "the attachment is not the PostScript Wine's driver made"; return 1; }
}

spooler_dialogs() {
    local shots=$DEMO_DIR/spooler_dialogs
    mkdir -p "$shots"
    log "the UI library's dialogs through AddPortW and ConfigurePortW (pictures in $shots)"
    wine_spooler deleteport NMX5 2>/dev/null || true # the port they make, from an earlier run
    stop_wine_session
    if ! on_virtual_screen bash "$0" --spooler-dialogs-on-screen "$shots"; then
        tail -n 30 "$shots/driver.log"
        return 1
    fi
    start_wine_session
}

through_wine_spooler NMX4
log "the GDI program's job arrived as mail with its PostScript attachment"
spooler_dialogs
