#!/usr/bin/env bash
# Runs the tests. Installs and builds first (the native tree and every Windows binary of both
# builds, the Wine test programs included), then runs the native unit tests (AddressSanitizer,
# UBSan) once, and for each Windows build (win32 in the 32-bit prefix, win64 in the 64-bit one) the
# Wine tests of its shipped binaries in the prefix its monitor is installed in and a screenshot of
# each dialog on a virtual screen. The fuzz targets run for a bounded number of
# inputs (scripts/fuzz.sh), one entry of the count. With --native only the native tests and the
# fuzz targets run. Ends with one "N passed, N failed" line.
set -uo pipefail
source "$(dirname "$0")/common.sh"

wine_tests=true
[ "${1:-}" = --native ] && wine_tests=false

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
log "fuzz targets, a bounded number of inputs each"
if bash "$ROOT/scripts/fuzz.sh"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
if $wine_tests; then
    for arch in "${ARCHES[@]}"; do
        use_arch "$arch"
        log "Wine tests of the $arch build"
        start_wine_session
        run_ctest "$WIN_BUILD" "wine $arch"
        stop_wine_session
        log "screenshots of the $arch build's dialogs (kept in $BUILD_DIR/screenshots/$arch)"
        if bash "$ROOT/scripts/screenshots.sh"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
    done
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
