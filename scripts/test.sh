#!/usr/bin/env bash
# Runs every test: the native unit tests (AddressSanitizer, UBSan) and the Wine tests of the
# Windows binaries. Installs and builds first. Ends with one "N passed, N failed" line.
set -uo pipefail
source "$(dirname "$0")/common.sh"

bash "$ROOT/scripts/setup.sh" || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
run_ctest() { # directory, label
    local out
    out=$(mktemp)
    ctest --test-dir "$1" --output-on-failure --timeout 300 2>&1 | tee "$out"
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -n 1)
    rm -f "$out"
    if [ -z "$summary" ]; then
        log "$2: ctest gave no summary"
        failed=$((failed + 1))
        return
    fi
    local f total
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + total - f))
    failed=$((failed + f))
}

log "native unit tests"
run_ctest "$NATIVE_BUILD" native
log "Wine tests"
start_wine_session
run_ctest "$WIN32_BUILD" wine
stop_wine_session

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
