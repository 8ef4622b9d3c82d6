#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer, AddressSanitizer and UBSan into
# build/fuzz and runs each from its seeds for a bounded number of inputs. Exits non-zero when a
# target crashes or fails one of its checks; the input that did it is kept in build/fuzz/findings.
#   FUZZ_RUNS=N    inputs per target (default 20000, a few seconds each)
#   arguments      the targets to run (default: all)
set -uo pipefail
source "$(dirname "$0")/common.sh"

FUZZ_BUILD=$BUILD_DIR/fuzz
RUNS=${FUZZ_RUNS:-20000}
TARGETS=(personal_file_fuzz group_file_fuzz predefined_address_fuzz smtp_reply_fuzz address_rules_fuzz
         xcv_settings_fuzz ehlo_capabilities_fuzz notifier_answer_fuzz)
[ $# -gt 0 ] && TARGETS=("$@")

build_log=$(mktemp)
if ! { cmake -S "$ROOT/tests/fuzz" -B "$FUZZ_BUILD" -DCMAKE_CXX_COMPILER=clang++ &&
       cmake --build "$FUZZ_BUILD" -j 2; } >"$build_log" 2>&1; then
    cat "$build_log" >&2
    rm -f "$build_log"
    log "fuzz targets: the build failed"
    exit 1
fi
rm -f "$build_log"

failed=0
for target in "${TARGETS[@]}"; do
    corpus=$FUZZ_BUILD/corpus/$target # grows from run to run; the seeds stay as they are
    findings=$FUZZ_BUILD/findings/$target
    output=$FUZZ_BUILD/$target.log
    mkdir -p "$corpus" "$findings"
    if "$FUZZ_BUILD/$target" -runs="$RUNS" -max_len=4096 -timeout=10 -rss_limit_mb=1024 \
        -artifact_prefix="$findings/" "$corpus" "$ROOT/tests/fuzz/seeds/$target" >"$output" 2>&1; then
        log "$target: $(grep -E '^Done [0-9]+ runs' "$output")"
    else
        tail -n 40 "$output" >&2
        log "$target: FAILED (input kept in $findings, output in $output)"
        failed=1
    fi
done
exit $failed
