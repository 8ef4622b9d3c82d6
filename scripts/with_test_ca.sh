#!/usr/bin/env bash
# Runs a command with a test CA trusted by the machine: Wine's chain check trusts only the system
# bundle, read when each process starts. The CA (and a second one that nobody trusts) is made
# with openssl into DIR, added to the bundle between markers for the run, and taken out again
# whatever happens to the command.
#
#   with_test_ca.sh DIR COMMAND...
set -uo pipefail
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
