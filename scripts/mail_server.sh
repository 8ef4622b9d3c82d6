#!/usr/bin/env bash
# A real mail server on loopback for the secure mail tests and the benchmark: a Postfix instance
# of its own (configuration, queue and mailboxes under DIR, nothing of the machine's), with
# submission on 127.0.0.1:587 (STARTTLS required, then a login) and smtps on 127.0.0.1:465 (TLS
# from the first byte), the login checked by a Dovecot instance of its own against one test user.
# Every mail is delivered to the Maildir DIR/mail. The certificate names "localhost", issued by the
# test CA of scripts/with_test_ca.sh in CA_DIR.
#
#   mail_server.sh start DIR CA_DIR    the test user is "printer" with the password "Pr1nt-secret"
#   mail_server.sh stop DIR
set -euo pipefail
command=$1
dir=$(realpath -m "$2")
conf=$dir/postfix
TEST_USER=printer
TEST_PASSWORD=Pr1nt-secret

stop() {
    [ -f "$conf/main.cf" ] && postfix -c "$conf" stop >/dev/null 2>&1 || true
    if [ -f "$dir/dovecot/master.pid" ]; then
        kill "$(cat "$dir/dovecot/master.pid")" 2>/dev/null || true
    fi
    for _ in $(seq 50); do
        [ -f "$dir/dovecot/master.pid" ] && kill -0 "$(cat "$dir/dovecot/master.pid")" 2>/dev/null || break
        sleep 0.1
    done
}

configure_dovecot() {
    mkdir -p "$dir/dovecot"
    printf '%s:{PLAIN}%s\n' "$TEST_USER" "$TEST_PASSWORD" >"$dir/users"
    cat >"$dir/dovecot.conf" <<CONF
base_dir = $dir/dovecot
protocols =
ssl = no
log_path = $dir/dovecot.log
auth_mechanisms = plain login
passdb {
  driver = passwd-file
  args = scheme=PLAIN $dir/users
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=$dir/mail
}
service auth {
  unix_listener $dir/queue/private/auth {
    mode = 0660
    user = postfix
    group = postfix
  }
}
CONF
}

configure_postfix() {
    mkdir -p "$conf" "$dir/queue" "$dir/data" "$dir/mail"
    chown nobody:nogroup "$dir/mail"
    chown postfix "$dir/data"
    cp /etc/postfix/master.cf.proto "$conf/master.cf"
    cat >"$conf/main.cf" <<CONF
compatibility_level = 3.6
queue_directory = $dir/queue
data_directory = $dir/data
mail_owner = postfix
setgid_group = postdrop
myhostname = localhost
mydestination =
inet_interfaces = 127.0.0.1
inet_protocols = ipv4
maillog_file = $dir/postfix.log
maillog_file_prefixes = $dir
virtual_mailbox_domains = static:all
virtual_mailbox_base = $dir
virtual_mailbox_maps = static:mail/
virtual_uid_maps = static:65534
virtual_gid_maps = static:65534
virtual_minimum_uid = 100
message_size_limit = 104857600
virtual_mailbox_limit = 0
smtpd_tls_cert_file = $dir/server.pem
smtpd_tls_key_file = $dir/server.key
smtpd_tls_mandatory_protocols = >=TLSv1.2
smtpd_sasl_type = dovecot
smtpd_sasl_path = private/auth
CONF
    # Only the submission services: no port 25.
    sed -i 's/^smtp      inet/#smtp      inet/' "$conf/master.cf"
    cat >>"$conf/master.cf" <<CONF
submission inet n - n - - smtpd
  -o syslog_name=postfix/submission
  -o smtpd_tls_security_level=encrypt
  -o smtpd_sasl_auth_enable=yes
  -o smtpd_tls_auth_only=yes
  -o smtpd_client_restrictions=permit_sasl_authenticated,reject
  -o smtpd_recipient_restrictions=permit_sasl_authenticated,reject
smtps inet n - n - - smtpd
  -o syslog_name=postfix/smtps
  -o smtpd_tls_wrappermode=yes
  -o smtpd_sasl_auth_enable=yes
  -o smtpd_client_restrictions=permit_sasl_authenticated,reject
  -o smtpd_recipient_restrictions=permit_sasl_authenticated,reject
CONF
}

case $command in
start)
    stop
    rm -rf "$dir"
    mkdir -p "$dir"
    bash "$(dirname "$0")/with_test_ca.sh" --issue "$3/ca" localhost 2 "$dir/server"
    configure_postfix
    configure_dovecot
    # Postfix makes its queue, where Dovecot then puts the login socket.
    postfix -c "$conf" start >/dev/null 2>&1
    dovecot -c "$dir/dovecot.conf"
    for _ in $(seq 100); do
        (exec 3<>/dev/tcp/127.0.0.1/587) 2>/dev/null && (exec 3<>/dev/tcp/127.0.0.1/465) 2>/dev/null && exit 0
        sleep 0.1
    done
    echo "mail_server: Postfix does not listen on 127.0.0.1:587 and 465" >&2
    stop
    exit 1
    ;;
stop)
    stop
    ;;
*)
    echo "usage: mail_server.sh start DIR CA_DIR | stop DIR" >&2
    exit 2
    ;;
esac
