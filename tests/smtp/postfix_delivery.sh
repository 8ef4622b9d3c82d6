#!/usr/bin/env bash
# A job through a real mail server: Postfix on loopback (scripts/mail_server.sh) with submission
# on 587 (STARTTLS required, a login through Dovecot) and smtps on 465. A port is configured by
# script for each, as an administrator would, and the mail is checked in the delivered mailbox.
# Runs inside scripts/with_test_ca.sh, which makes the test CA trusted: BUILD CA_DIR.
set -euo pipefail
build=$1
ca_dir=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
server=$build/postfix
job=$build/postfix_job.prn
trap 'bash "$root/scripts/mail_server.sh" stop "$server"; rm -f "$job"' EXIT
bash "$root/scripts/mail_server.sh" start "$server" "$ca_dir"
head -c 300000 /dev/urandom >"$job"

for security in starttls tls; do
    printf 'Pr1nt-secret\n' | wine "$build/dist/nmxsetup.exe" port NMX9 --to printer@print.test \
        --from anna@sender.test --server localhost --security "$security" --user printer --password-stdin \
        --show-settings off
    wine reg add 'HKLM\SOFTWARE\Norvale\Velloprint\NMX9' /v CheckMailSw /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Bounded inside ctest's limit: a hung job fails here, and the trap still stops the servers.
    timeout 120 wine "$build/bin/printhost.exe" print NMX9 "Z:${job//\//\\}" --buffer 65536 </dev/null ||
        { echo "postfix_delivery: $security: the job did not end within 120 s" >&2; exit 1; }
    mails=()
    for _ in $(seq 100); do
        mails=("$server"/mail/new/*)
        [ -f "${mails[0]}" ] && break
        sleep 0.1
    done
    python3 "$root/scripts/smtp_sink.py" check --job "$job" --mails 1 "${mails[@]}" ||
        { echo "postfix_delivery: $security: the mail did not arrive whole" >&2; exit 1; }
    grep -q "postfix/$([ "$security" = tls ] && echo smtps || echo submission)/smtpd.*sasl_username=printer" \
        "$server/postfix.log" || { echo "postfix_delivery: $security: no login in the log" >&2; exit 1; }
    rm -f "${mails[@]}"
done
wine "$build/dist/nmxsetup.exe" port NMX9 --delete
echo "postfix_delivery: STARTTLS on 587 and TLS on 465, each with a login, delivered whole"
