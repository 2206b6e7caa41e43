#!/bin/sh
# Runs fuzz targets for a while each, two at a time, and prints executions and findings per target.
# Usage: fuzz/run-fuzzers.sh <build>/fuzz <seconds> <kind>...
#   kinds: project client resource task meeting moneyflow invoice agenda action documents currency
#          login folder vcard ical_tasks ical_meetings cli_json
# New inputs go to <build>/fuzz/corpus/<kind>, crashes to <build>/fuzz/artifacts, logs to <build>/fuzz/logs.
# Exits with 1 when any target found something (a crash, a leak, a hang, too much memory, a broken
# rule) or did not run, after printing the whole table.
set -eu

bin=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
jobs=${FUZZ_JOBS:-2}

mkdir -p "$bin/logs" "$bin/artifacts"
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

# Record files: inputs up to 128 KiB hold texts with 7-byte length prefixes. Imported files and
# JSON are text, read whole; 64 KiB is plenty for many items and keeps each run quick. No single
# allocation may pass 16 MiB, far beyond what any input of that size needs, so a length or count
# taken on trust is caught.
run_one() {
    kind=$1
    case $kind in
    vcard | ical_*) dict=pim.dict max_len=65536 ;;
    cli_json) dict=json.dict max_len=65536 ;;
    folder) dict=korvane.dict max_len=8192 ;;
    *) dict=korvane.dict max_len=131072 ;;
    esac
    mkdir -p "$bin/corpus/$kind"
    status=0
    "$bin/fuzz_$kind" "$bin/corpus/$kind" "$here/corpus/$kind" \
        -dict="$here/$dict" -max_len=$max_len -malloc_limit_mb=16 -rss_limit_mb=2048 \
        -timeout=5 -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$bin/artifacts/$kind-" >"$bin/logs/$kind.log" 2>&1 || status=$?
    echo "$status" >"$bin/logs/$kind.status"
}

rm -f "$bin"/logs/*.status
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

failed=0
printf '%-13s %8s %12s %10s  %s\n' target seconds executions exec/s finding
for kind in "$@"; do
    log="$bin/logs/$kind.log"
    status=$(cat "$bin/logs/$kind.status" 2>/dev/null || echo "not run")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" 2>/dev/null | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" 2>/dev/null | tail -n 1)
    finding=$(grep -m 1 -E '^==[0-9]+==ERROR|^SUMMARY|broken rule|ERROR: libFuzzer' "$log" 2>/dev/null || true)
    if [ "$status" != 0 ]; then
        failed=1
        [ -n "$finding" ] || finding="exit status $status (see $log)"
    fi
    printf '%-13s %8s %12s %10s  %s\n' "$kind" "$seconds" "${runs:-?}" "${rate:-?}" "${finding:-none}"
done
exit "$failed"
