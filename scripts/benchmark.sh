#!/usr/bin/env bash
# Figures, not a test: prints a job of SIZE MiB (default 16) through the print host to the loopback
# SMTP sink and reports the wall time, the time of the delivery alone (EndDocPort: from the end of
# the job to its return, without Wine's process start), the throughput, the monitor's send calls
# and the host's peak working set; as a reference, curl sends the same mail to the same sink, and
# the ratios of the times are shown. Then the same size and a quarter of it are printed to a port that mails
# in parts of SIZE/16 (1024 KB for 16 MiB), to show that the peak memory follows the part size,
# not the job's. Last, the address book: its time from start to its main window shown with 10,
# 6 553 and 65 535 people, and with 1 000 groups of 50 besides (tests/wine/addressbook_timing.cpp
# says how it is measured). Both builds are measured in one run, each in a Wine prefix of its own
# (build/benchmark-prefix for win32, build/benchmark-prefix64 for win64), and their figures are
# shown side by side. Between them, the same job over STARTTLS with a login to a Postfix on loopback
# (scripts/mail_server.sh, its test CA trusted for that part only), against curl sending the same
# mail over STARTTLS to the same server (the win32 build, or the build ARCH names). Builds and
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

WINEPREFIX32=${BENCHMARK_PREFIX:-$BUILD_DIR/benchmark-prefix} WINEPREFIX64=${BENCHMARK_PREFIX64:-$BUILD_DIR/benchmark-prefix64}
use_arch "$ARCH" # the prefix of the build chosen
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

# The installed address book of each build started over data files of each size, several times
# (about a minute each).
address_book_part() {
    local arch
    for arch in "${ARCHES[@]}"; do
        use_arch "$arch"
        log "address book ($arch build): from its start to its main window shown, by the size of its data files"
        start_wine_session
        echo
        echo "$arch build:"
        timeout 900 wine "$BIN_DIR/addressbook_timing.exe" </dev/null
        stop_wine_session
    done
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

# Every figure of one build, in its prefix: the whole job, the reference mail it sent, the parts.
declare -A whole_ns whole_delivery whole_calls whole_sent whole_peak quarter_peak split_ns split_peak
measure_build() { # arch
    use_arch "$1"
    start_wine_session
    import_reg_file "$seed"
    log "$1 build: printing a job of $SIZE_MIB MiB to NMX1 (mailed whole)"
    run_job NMX1 "$job" 1
    whole_ns[$1]=$JOB_NS whole_delivery[$1]=$DELIVERY_S whole_calls[$1]=$SEND_CALLS
    whole_sent[$1]=$SEND_BYTES whole_peak[$1]=$PEAK
    mv "$MAIL" "$BENCH_DIR/whole-job-$1.eml"
    clear_inbox
    log "$1 build: printing $quarter MiB and $SIZE_MIB MiB to NMX2 (mailed in parts of $PART_LIMIT_KB KB)"
    run_job NMX2 "$quarter_job" 4
    quarter_peak[$1]=$PEAK
    clear_inbox
    run_job NMX2 "$job" 16
    split_ns[$1]=$JOB_NS split_peak[$1]=$PEAK
    clear_inbox
    stop_wine_session
}

# The STARTTLS part, run by with_test_ca.sh so that the test CA is trusted while it runs.
starttls_part() {
    local job mail
    SECURE_SERVER=$BENCH_DIR/postfix
    local server=$SECURE_SERVER
    trap 'bash "$ROOT/scripts/mail_server.sh" stop "$SECURE_SERVER"; stop_wine_session' EXIT
    bash "$ROOT/scripts/mail_server.sh" start "$server" "$BENCH_DIR/ca"
    start_wine_session
    import_reg_file "$seed"
    printf 'Pr1nt-secret\n' | wine "$WIN_BUILD/dist/nmxsetup.exe" port NMX3 --to printer@print.test \
        --from "$SINK_SENDER" --server localhost --security starttls --user printer --password-stdin \
        --show-settings off --parts off
    wine reg add 'HKLM\SOFTWARE\Norvale\Velloprint\NMX3' /v CheckMailSw /t REG_DWORD /d 0 /f $REG_VIEW >/dev/null 2>&1
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
job=$(make_job "$SIZE_MIB")
job_bytes=$((SIZE_MIB * 1024 * 1024))
quarter=$((SIZE_MIB / 4))
quarter_job=$(make_job "$quarter")
for arch in "${ARCHES[@]}"; do
    measure_build "$arch"
done
mail=$BENCH_DIR/whole-job-win32.eml

log "reference: curl sends the same mail ($(wc -c <"$mail") bytes) to the same sink"
start=$(now_ns)
curl -sS --max-time "$JOB_TIMEOUT" "smtp://$SINK_HOST" --mail-from "$SINK_SENDER" --mail-rcpt "$RECIPIENT" -T "$mail"
curl_ns=$(($(now_ns) - start))
received=("$inbox"/message-*.eml)
cmp -s "$mail" "${received[0]}" || { log "the sink did not receive curl's mail as sent"; exit 1; }
clear_inbox

# One line of the report: a label, the win32 and win64 figures, a note.
row() { printf '  %-16s %-14s %-14s %s\n' "$@"; }
per_arch() { # function and its arguments: its result for each build, one a line
    local arch out=()
    for arch in "${ARCHES[@]}"; do out+=("$("$@" "$arch")"); done
    printf '%s\n' "${out[@]}"
}
throughput() { awk -v b="$job_bytes" -v s="${whole_delivery[$1]}" 'BEGIN { printf "%.2f MiB/s", b / 1048576 / s }'; }
per_call() { awk -v b="${whole_sent[$1]}" -v c="${whole_calls[$1]}" 'BEGIN { printf "%.0f", b / c }'; }
ratio() { awk -v a="${whole_delivery[$1]}" -v b="$curl_ns" 'BEGIN { printf "%.1f", a / (b / 1e9) }'; }
ratio_wall() { awk -v a="${whole_ns[$1]}" -v b="$curl_ns" 'BEGIN { printf "%.1f", a / b }'; }
figure() { # array name, format (s, MiB or plain), arch
    local -n values=$1
    case $2 in
        s) echo "$(seconds "${values[$3]}") s" ;;
        MiB) echo "$(mib "${values[$3]}") MiB" ;;
        *) echo "${values[$3]}" ;;
    esac
}
both() { mapfile -t pair < <(per_arch "$@"); echo "${pair[0]}|${pair[1]}"; }
line() { # label, note, function and arguments
    local label=$1 note=$2 pair
    shift 2
    pair=$(both "$@")
    row "$label" "${pair%%|*}" "${pair#*|}" "$note"
}
delivery() { echo "${whole_delivery[$1]} s"; }

echo
echo "Job of $SIZE_MIB MiB mailed whole through NMX_MON.dll (printhost print NMX1 ... --stats)"
row "" win32 win64 ""
line "wall time" "printhost from start to end: load the monitor, spool, encode, send to $SINK_HOST:25" figure whole_ns s
line "delivery" "EndDocPort alone: encode the job to base64 and mail it (no process start)" delivery
line "throughput" "of job bytes per second of delivery" throughput
line "send calls" "calls of send() by NMX_MON.dll (counted in its import table), all sessions" figure whole_calls plain
line "bytes sent" "bytes those calls took" figure whole_sent plain
line "per call" "bytes per send() on average" per_call
line "peak memory" "peak working set of the printhost process (GetProcessMemoryInfo)" figure whole_peak MiB
line "ratio" "the delivery's time / curl's" ratio
line "ratio (wall)" "printhost's wall time / curl's" ratio_wall
echo "Reference: curl sends the same $(mib "$(wc -c <"$mail")") MiB mail to the same sink in $(seconds "$curl_ns") s"
echo
echo "Peak working set of the printhost process by job, parts of $PART_LIMIT_KB KB on NMX2"
row "" win32 win64 ""
line "$SIZE_MIB MiB whole" "no part buffer" figure whole_peak MiB
line "$quarter MiB, 4 parts" "" figure quarter_peak MiB
line "$SIZE_MIB MiB, 16 parts" "" figure split_peak MiB
line "  its wall time" "" figure split_ns s
echo "  A job 4 times larger moves the peak by $(mib $((split_peak[win64] - quarter_peak[win64]))) MiB (win64), \
$(mib $((split_peak[win32] - quarter_peak[win32]))) MiB (win32); one part is $(mib $((PART_LIMIT_KB * 1024))) MiB."

stop_wine_session
bash "$ROOT/scripts/with_test_ca.sh" "$BENCH_DIR/ca" bash "$0" --starttls-inner "$SIZE_MIB"
address_book_part
