#!/bin/sh
# Runs fuzz targets for a while each, two at a time, and prints executions and findings per target.
# Usage: fuzz/run-fuzzers.sh <build>/fuzz <seconds> <kind>...   (kinds: project client ... login)
# New inputs go to <build>/fuzz/corpus/<kind>, crashes to <build>/fuzz/artifacts, logs to <build>/fuzz/logs.
set -eu

bin=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
jobs=${FUZZ_JOBS:-2}

mkdir -p "$bin/logs" "$bin/artifacts"
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

# Inputs up to 128 KiB hold texts with 7-byte length prefixes; no single allocation may pass 16 MiB,
# far beyond what any input of that size needs, so a length or count taken on trust is caught.
run_one() {
    kind=$1
    mkdir -p "$bin/corpus/$kind"
    "$bin/fuzz_$kind" "$bin/corpus/$kind" "$here/corpus/$kind" \
        -dict="$here/korvane.dict" -max_len=131072 -malloc_limit_mb=16 -rss_limit_mb=2048 \
        -timeout=5 -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$bin/artifacts/$kind-" >"$bin/logs/$kind.log" 2>&1 || true
}

for kind in "$@"; do echo "$kind"; done | {
    running=0
    while read -r kind; do
        run_one "$kind" &
        running=$((running + 1))
        if [ "$running" -ge "$jobs" ]; then
            wait
            running=0
        fi
    done
    wait
}

printf '%-10s %8s %12s %10s  %s\n' target seconds executions exec/s finding
for kind in "$@"; do
    log="$bin/logs/$kind.log"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    finding=$(grep -m 1 -E '^==[0-9]+==ERROR|^SUMMARY|broken rule|ERROR: libFuzzer' "$log" || true)
    printf '%-10s %8s %12s %10s  %s\n' "$kind" "$seconds" "${runs:-?}" "${rate:-?}" "${finding:-none}"
done
