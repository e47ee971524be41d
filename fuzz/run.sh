#!/usr/bin/env bash
# Runs each fuzz target for a fixed time on a working copy of its seed corpus and prints
# executions and crashes. Fork mode carries on past a crash, so one fault does not hide the
# next. Crash inputs land in FUZZ_BIN_DIR/work/crashes/TARGET/: fix the fault, then copy the
# input into fuzz/corpus/TARGET/ so `make test` keeps it fixed.
# Usage: fuzz/run.sh FUZZ_BIN_DIR SECONDS [TARGET...]
set -uo pipefail
bin=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(saved_files script_parse png_decode ogg_decode)
work=$bin/work

found=0
summary=()
for t in "${targets[@]}"; do
    corpus=$work/corpus/$t
    crashes=$work/crashes/$t
    log=$work/$t.log
    mkdir -p "$corpus" "$crashes"
    echo "fuzz: $t for ${seconds}s (log $log)"
    ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0 \
        "$bin/fuzz_$t" -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1 \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
        -artifact_prefix="$crashes/" "$corpus" "$here/corpus/$t" >"$log" 2>&1
    status=$?
    last=$(grep -E '^#[0-9]+: cov:' "$log" | tail -n 1)
    execs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$last")
    rate=$(sed -E 's/.*exec\/s ([0-9]+).*/\1/' <<<"$last")
    faults=$(sed -E 's/.*oom\/timeout\/crash: ([0-9\/]+).*/\1/' <<<"$last")
    units=$(find "$corpus" -type f | wc -l)
    kept=$(find "$crashes" -type f | wc -l)
    if [[ $status -ne 0 || $kept -gt 0 ]]; then
        found=1
        grep -m 3 -E 'ERROR: |runtime error|failed:' "$log" | sed 's/^/    /'
    fi
    summary+=("$(printf '%-13s %12s %9s %7s %14s %7s' "$t" "${execs:-?}" "${rate:-?}" \
        "$units" "${faults:-?}" "$kept")")
done

printf '\n%-13s %12s %9s %7s %14s %7s\n' target executions exec/s corpus oom/time/crash inputs
printf '%s\n' "${summary[@]}"
exit $found
