#!/usr/bin/env bash
# Runs a command with a test CA trusted by the machine: Wine's chain check trusts only the system
# bundle, read when each process starts. The CA (and a second one that nobody trusts) is made
# with openssl into DIR, added to the bundle between markers for the run, and taken out again
# whatever happens to the command.
#
#   with_test_ca.sh DIR COMMAND...
#   with_test_ca.sh --issue CA_PREFIX NAME DAYS OUT_PREFIX
#       issues a server certificate for NAME (a DNS name, and an IP address when NAME is one)
#       from the CA CA_PREFIX.pem/.key, valid for DAYS (-1: expired), into OUT_PREFIX.pem/.key
set -uo pipefail
if [ "$1" = --issue ]; then
    ca=$2 name=$3 days=$4 out=$5
    names="DNS:$name"
    [[ $name =~ ^[0-9.]+$ ]] && names="$names,IP:$name"
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=$name" \
        -keyout "$out.key" -out "$out.csr" >/dev/null 2>&1 &&
        openssl x509 -req -in "$out.csr" -CA "$ca.pem" -CAkey "$ca.key" -set_serial "$(date +%s%N)" \
            -days "$days" -extfile <(printf 'subjectAltName=%s\n' "$names") -out "$out.pem" >/dev/null 2>&1
    status=$?
    rm -f "$out.csr"
    exit $status
fi
dir=$1
shift
bundle=${TEST_CA_BUNDLE:-/etc/ssl/certs/ca-certificates.crt}
begin="# velloprint test CA begin"
end="# velloprint test CA end"

remove_test_ca() {
    # In place, so that a bundle that is a link stays one; also clears a run that was killed.
    sed -i "/^$begin\$/,/^$end\$/d" "$bundle"
}

make_ca() { # name
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
        -subj "/CN=Velloprint test $1" -keyout "$dir/$1.key" -out "$dir/$1.pem" >/dev/null 2>&1
}

mkdir -p "$dir"
make_ca ca && make_ca untrusted_ca || { echo "with_test_ca: openssl failed" >&2; exit 1; }
remove_test_ca
trap remove_test_ca EXIT
trap 'exit 130' INT TERM
{ echo "$begin"; cat "$dir/ca.pem"; echo "$end"; } >>"$bundle"
"$@"
