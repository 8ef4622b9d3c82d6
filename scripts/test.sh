#!/usr/bin/env bash
# Runs the tests. Installs and builds first (the native tree and every Windows binary, the Wine
# test programs included), then runs the native unit tests (AddressSanitizer, UBSan). With --wine
# it also makes the Wine prefix and runs the Wine tests of the Windows binaries: on a machine where
# Wine's 32-bit code runs under qemu-user emulation that takes about an hour. Ends with one
# "N passed, N failed" line.
set -uo pipefail
source "$(dirname "$0")/common.sh"

wine_tests=false
[ "${1:-}" = --wine ] && wine_tests=true

bash "$ROOT/scripts/setup.sh" ${1:-} || { echo "0 passed, 1 failed"; exit 1; }

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
if $wine_tests; then
    log "Wine tests"
    start_wine_session
    run_ctest "$WIN32_BUILD" wine
    stop_wine_session
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
