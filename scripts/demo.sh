#!/usr/bin/env bash
# The main job: the monitor installed into a Wine prefix of its own, a local SMTP sink on loopback,
# two ports that mail through it, and a sample document printed to each through the print host:
# NMX1 mails it whole, NMX2 in numbered parts of 16 KB. Shows what arrived (the saved mail, its
# header, the text part with the control block, the attachment) and checks that the attachments
# are the printed bytes; exits 0 only then. Builds and installs what it needs through setup.sh;
# safe to run again.
set -euo pipefail
source "$(dirname "$0")/common.sh"

export WINEPREFIX=${DEMO_PREFIX:-$BUILD_DIR/demo-prefix}
DEMO_DIR=$BUILD_DIR/demo
PART_LIMIT_KB=16 # the smallest part the port configuration dialog accepts
JOB_TIMEOUT=120  # seconds; a message box from the monitor would otherwise wait for ever

bash "$ROOT/scripts/setup.sh"

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

# Prints the document to the port, moves the mail that arrived to a folder of the port's, shows
# it and checks it.
print_and_show() { # port, document, expected number of mails
    local port=$1 document=$2 mails=$3
    log "printing $(basename "$document") ($(wc -c <"$document") bytes) to $port"
    timeout "$JOB_TIMEOUT" wine "$BIN_DIR/printhost.exe" print "$port" "Z:${document//\//\\}" </dev/null
    # The sink saves a mail before it accepts its end of data, so all of it is there by now.
    local received=$DEMO_DIR/$port
    mkdir -p "$received"
    find "$inbox" -maxdepth 1 -name 'message-*.eml' -exec mv -t "$received" {} +
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
