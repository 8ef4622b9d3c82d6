#!/usr/bin/env bash
# Figures, not a test: prints a job of SIZE MiB (default 16) through the print host to the loopback
# SMTP sink and reports the wall time, the time of the delivery alone (EndDocPort: from the end of
# the job to its return, without Wine's process start), the throughput, the monitor's send calls
# and the host's peak working set; as a reference, curl sends the same mail to the same sink, and
# the ratios of the times are shown. Then the same size and a quarter of it are printed to a port that mails
# in parts of SIZE/16 (1024 KB for 16 MiB), to show that the peak memory follows the part size,
# not the job's. Last, the address book: its time from start to its main window shown with 10,
# 6 553 and 65 535 people, and with 1 000 groups of 50 besides (tests/wine/addressbook_timing.cpp
# says how it is measured). Between them, the same job over STARTTLS with a login to a Postfix on
# loopback (scripts/mail_server.sh, its test CA trusted for that part only), against curl sending
# the same mail over STARTTLS to the same server. Uses a Wine prefix of its own; builds and
# installs what it needs through setup.sh. Postfix listens on 127.0.0.1:587: run it in a network
# namespace of its own where others test (see the README).
#
#   bash scripts/benchmark.sh [SIZE]
#   bash scripts/benchmark.sh --address-book    # the address book's part alone
#   bash scripts/benchmark.sh --starttls [SIZE] # the STARTTLS part alone
set -euo pipefail
source "$(dirname "$0")/common.sh"

usage() {
    echo "usage: bash scripts/benchmark.sh [SIZE]   (SIZE in MiB, 4 to 256, default 16)" >&2
    echo "       bash scripts/benchmark.sh --address-book" >&2
    exit 2
}
[ $# -le 2 ] || usage
address_book_only=false
starttls_only=false
starttls_inner=false
[ "${1:-}" = --address-book ] && { address_book_only=true; shift; }
[ "${1:-}" = --starttls ] && { starttls_only=true; shift; }
[ "${1:-}" = --starttls-inner ] && { starttls_inner=true; shift; }
SIZE_MIB=${1:-16}
[[ $SIZE_MIB =~ ^[0-9]+$ ]] && [ "$SIZE_MIB" -ge 4 ] && [ "$SIZE_MIB" -le 256 ] || usage

export WINEPREFIX=${BENCHMARK_PREFIX:-$BUILD_DIR/benchmark-prefix}
BENCH_DIR=$BUILD_DIR/benchmark
PART_LIMIT_KB=$((SIZE_MIB * 1024 / 16))
JOB_TIMEOUT=$((120 + 20 * SIZE_MIB)) # seconds; a guard only: a MiB takes well under a second now
RECIPIENT=printer@example.com

$starttls_inner || bash "$ROOT/scripts/setup.sh"

finish() {
    stop_wine_session
    stop_smtp_sink
    rm -rf "$BENCH_DIR"
}
trap finish EXIT

# The installed address book started over data files of each size, several times (about a minute).
address_book_part() {
    log "address book: from its start to its main window shown, by the size of its data files"
    start_wine_session
    echo
    timeout 900 wine "$BIN_DIR/addressbook_timing.exe" </dev/null
}

if ! $starttls_inner; then
    rm -rf "$BENCH_DIR"
    mkdir -p "$BENCH_DIR"
fi
if $address_book_only; then
    address_book_part
    exit
fi
inbox=$BENCH_DIR/inbox

seed=$BENCH_DIR/ports.reg
write_sink_ports "$seed" "NMX1|$RECIPIENT|0|1024|0" "NMX2|$RECIPIENT|1|$PART_LIMIT_KB|0"

make_job() { # MiB; prints the file's path
    local file=$BENCH_DIR/job-$1MiB.prn
    [ -f "$file" ] || head -c $(($1 * 1024 * 1024)) /dev/urandom >"$file"
    echo "$file"
}

now_ns() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e9 }'; }
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }

# Prints the job to the port with the host's --stats and checks that the mail arrived in the
# expected number of parts. Sets JOB_NS, DELIVERY_S, SEND_CALLS, SEND_BYTES, PEAK and MAIL (the
# first mail).
run_job() { # port, job file, expected mails
    local output start
    start=$(now_ns)
    output=$(timeout "$JOB_TIMEOUT" wine "$BIN_DIR/printhost.exe" print "$1" "Z:${2//\//\\}" --stats </dev/null) || {
        printf '%s\n' "$output" >&2
        log "printing to $1 failed or took longer than $JOB_TIMEOUT s"
        return 1
    }
    JOB_NS=$(($(now_ns) - start))
    DELIVERY_S=$(sed -n 's/^stats: end of job \([0-9.]*\) s.*/\1/p' <<<"$output")
    SEND_CALLS=$(sed -n 's/^stats: send calls \([0-9]*\), bytes sent.*/\1/p' <<<"$output")
    SEND_BYTES=$(sed -n 's/^stats: send calls .*, bytes sent \([0-9]*\).*/\1/p' <<<"$output")
    PEAK=$(sed -n 's/^stats: peak working set \([0-9]*\) bytes.*/\1/p' <<<"$output")
    [ -n "$DELIVERY_S" ] && [ -n "$SEND_CALLS" ] && [ -n "$PEAK" ] || { printf '%s\n' "$output" >&2; log "no figures from the host"; return 1; }
    local mails=("$inbox"/message-*.eml)
    python3 "$ROOT/scripts/smtp_sink.py" check --job "$2" --mails "$3" "${mails[@]}" >/dev/null
    MAIL=${mails[0]}
}

clear_inbox() { rm -f "$inbox"/message-*.eml; }

# The STARTTLS part, run by with_test_ca.sh so that the test CA is trusted while it runs.
starttls_part() {
    local job mail
    SECURE_SERVER=$BENCH_DIR/postfix
    local server=$SECURE_SERVER
    trap 'bash "$ROOT/scripts/mail_server.sh" stop "$SECURE_SERVER"; stop_wine_session' EXIT
    bash "$ROOT/scripts/mail_server.sh" start "$server" "$BENCH_DIR/ca"
    start_wine_session
    import_reg_file "$seed"
    printf 'Pr1nt-secret\n' | wine "$WIN32_BUILD/dist/nmxsetup.exe" port NMX3 --to printer@print.test \
        --from "$SINK_SENDER" --server localhost --security starttls --user printer --password-stdin \
        --show-settings off --parts off
    wine reg add 'HKLM\SOFTWARE\Norvale\Velloprint\NMX3' /v CheckMailSw /t REG_DWORD /d 0 /f >/dev/null 2>&1
    job=$(make_job "$SIZE_MIB")
    inbox=$server/mail/new
    log "printing a job of $SIZE_MIB MiB to NMX3 (STARTTLS on 587, a login)"
    local start
    start=$(now_ns)
    output=$(timeout "$JOB_TIMEOUT" wine "$BIN_DIR/printhost.exe" print NMX3 "Z:${job//\//\\}" --stats </dev/null)
    local wall_ns=$(($(now_ns) - start))
    local delivery
    delivery=$(sed -n 's/^stats: end of job \([0-9.]*\) s.*/\1/p' <<<"$output")
    printf '%s\n' "$output" | grep '^stats:' >&2
    local mails=()
    for _ in $(seq 300); do # Postfix delivers a moment after it took the mail
        mails=("$inbox"/*)
        [ -f "${mails[0]}" ] && break
        sleep 0.1
    done
    python3 "$ROOT/scripts/smtp_sink.py" check --job "$job" --mails 1 "${mails[@]}" >/dev/null
    mail=$BENCH_DIR/secure-job.eml
    mv "${mails[0]}" "$mail"
    log "reference: curl sends the same mail ($(wc -c <"$mail") bytes) over STARTTLS with the same login"
    start=$(now_ns)
    curl -sS --max-time "$JOB_TIMEOUT" --url smtp://localhost:587 --ssl-reqd --user printer:Pr1nt-secret \
        --mail-from "$SINK_SENDER" --mail-rcpt printer@print.test -T "$mail"
    local curl_ns=$(($(now_ns) - start))
    cat <<REPORT

Job of $SIZE_MIB MiB over STARTTLS with a login to Postfix on 127.0.0.1:587 (printhost print NMX3 ... --stats)
  wall time        $(seconds "$wall_ns") s
  delivery         $delivery s      EndDocPort alone: encode, EHLO, STARTTLS, handshake, AUTH, the mail in TLS records
  throughput       $(awk -v b="$((SIZE_MIB * 1048576))" -v s="$delivery" 'BEGIN { printf "%.2f", b / 1048576 / s }') MiB/s
Reference: curl sends the same $(mib "$(wc -c <"$mail")") MiB mail over STARTTLS to the same server
  wall time        $(seconds "$curl_ns") s
  ratio            $(awk -v a="$delivery" -v b="$curl_ns" 'BEGIN { printf "%.1f", a / (b / 1e9) }')      the delivery's time / curl's (at most 3 is the goal)
REPORT
}

if $starttls_inner; then
    starttls_part
    exit
fi
if $starttls_only; then
    bash "$ROOT/scripts/with_test_ca.sh" "$BENCH_DIR/ca" bash "$0" --starttls-inner "$SIZE_MIB"
    exit
fi

log "starting the SMTP sink on $SINK_HOST:25"
start_smtp_sink "$inbox"
start_wine_session
import_reg_file "$seed"

job=$(make_job "$SIZE_MIB")
job_bytes=$((SIZE_MIB * 1024 * 1024))
log "printing a job of $SIZE_MIB MiB to NMX1 (mailed whole)"
run_job NMX1 "$job" 1
whole_ns=$JOB_NS whole_delivery=$DELIVERY_S whole_calls=$SEND_CALLS whole_sent=$SEND_BYTES whole_peak=$PEAK
mail=$BENCH_DIR/whole-job.eml
mv "$MAIL" "$mail"
clear_inbox

log "reference: curl sends the same mail ($(wc -c <"$mail") bytes) to the same sink"
start=$(now_ns)
curl -sS --max-time "$JOB_TIMEOUT" "smtp://$SINK_HOST" --mail-from "$SINK_SENDER" --mail-rcpt "$RECIPIENT" -T "$mail"
curl_ns=$(($(now_ns) - start))
received=("$inbox"/message-*.eml)
cmp -s "$mail" "${received[0]}" || { log "the sink did not receive curl's mail as sent"; exit 1; }
clear_inbox

quarter=$((SIZE_MIB / 4))
quarter_job=$(make_job "$quarter")
log "printing $quarter MiB and $SIZE_MIB MiB to NMX2 (mailed in parts of $PART_LIMIT_KB KB)"
run_job NMX2 "$quarter_job" 4
quarter_peak=$PEAK
clear_inbox
run_job NMX2 "$job" 16
split_ns=$JOB_NS split_peak=$PEAK
clear_inbox

cat <<REPORT

Job of $SIZE_MIB MiB mailed whole through NMX_MON.dll (printhost print NMX1 ... --stats)
  wall time        $(seconds "$whole_ns") s      printhost from start to end: load the monitor, spool the job (WritePort),
                                 encode it to base64, send it over SMTP to the sink on $SINK_HOST:25
  delivery         $whole_delivery s      EndDocPort alone: encode the job to base64 and mail it (no process start)
  throughput       $(awk -v b="$job_bytes" -v s="$whole_delivery" 'BEGIN { printf "%.2f", b / 1048576 / s }') MiB/s   of job bytes per second of delivery
  send calls       $whole_calls      calls of send() by NMX_MON.dll (counted in its import table), all sessions
  bytes sent       $whole_sent      bytes those calls took ($(awk -v b="$whole_sent" -v c="$whole_calls" 'BEGIN { printf "%.0f", b / c }') per call on average)
  peak memory      $(mib "$whole_peak") MiB     peak working set of the printhost process (GetProcessMemoryInfo)
Reference: curl sends the same $(mib "$(wc -c <"$mail")") MiB mail to the same sink
  wall time        $(seconds "$curl_ns") s
  ratio            $(awk -v a="$whole_delivery" -v b="$curl_ns" 'BEGIN { printf "%.1f", a / (b / 1e9) }')      the delivery's time / curl's
  ratio (wall)     $(awk -v a="$whole_ns" -v b="$curl_ns" 'BEGIN { printf "%.1f", a / b }')      printhost's wall time / curl's

Peak working set of the printhost process by job, parts of $PART_LIMIT_KB KB on NMX2
  $SIZE_MIB MiB whole (no part buffer)    $(mib "$whole_peak") MiB
  $quarter MiB in 4 parts             $(mib "$quarter_peak") MiB
  $SIZE_MIB MiB in 16 parts           $(mib "$split_peak") MiB   (wall time $(seconds "$split_ns") s)
  A job 4 times larger moves the peak by $(mib $((split_peak - quarter_peak))) MiB; the job grew by $(mib $((job_bytes - quarter * 1048576))) MiB and one part is $(mib $((PART_LIMIT_KB * 1024))) MiB.
REPORT

stop_wine_session
bash "$ROOT/scripts/with_test_ca.sh" "$BENCH_DIR/ca" bash "$0" --starttls-inner "$SIZE_MIB"
address_book_part
