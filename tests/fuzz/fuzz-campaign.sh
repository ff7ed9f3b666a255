#!/usr/bin/env bash
# A long fuzzing run: each named harness (already built in build-fuzz/ by run-fuzzers.sh) runs
# until it has had CPU_SECONDS of processor time; a run that ends on a finding is followed by
# another from the grown corpus. Wall time is not CPU time on a shared machine, hence the loop. Appends
# "name executions cpu-seconds wall-seconds crashes/timeouts/ooms" to build-fuzz/campaign.txt;
# crashing inputs land in build-fuzz/fuzz-artifacts/<name>/.
# WALL_CAP=seconds ends a harness's turn after that much wall time even short of its CPU
# budget, so that on a starved machine every harness still gets its share.
# libFuzzer's per-input timeout is wall time too: a starved process reached 20 s on inputs that
# take 50 ms of processor time, so UNIT_TIMEOUT defaults to 300 s.
# RESUME=1 goes on from the rounds already logged for a harness (its processor time and
# executions count towards the budget), so a campaign can be stopped and restarted.
# Usage: [WALL_CAP=s] [UNIT_TIMEOUT=s] [RESUME=1] fuzz-campaign.sh CPU_SECONDS name...
set -uo pipefail
budget=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVI_FUZZ_BUILD:-$root/build-fuzz}
data=$root/tests/data

for name in "$@"; do
    corpus=$build/fuzz-corpus/$name
    artifacts=$build/fuzz-artifacts/$name
    mkdir -p "$corpus" "$artifacts"
    inputs=("$corpus")
    for extra in "$data/fuzz-seeds/$name" "$data/crashers/$name"; do
        [ -d "$extra" ] && inputs+=("$extra")
    done
    cpu=0 wall=0 execs=0 crashes=0 timeouts=0 ooms=0 round=0
    if [ "${RESUME:-0}" = 1 ]; then
        for done_log in "$build"/campaign-"$name"-*.log; do
            [ -s "$done_log.cpu" ] || continue
            n=${done_log##*-}; n=${n%.log}
            [ "$n" -gt "$round" ] && round=$n
            cpu=$(echo "$cpu + $(awk '{print $1 + $2}' "$done_log.cpu" | tail -1)" | bc)
            run=$(sed -n 's/^stat::number_of_executed_units: *//p' "$done_log" | tail -1)
            execs=$((execs + ${run:-0}))
        done
    fi
    cap=${WALL_CAP:-0}
    while [ "$(echo "$cpu < $budget" | bc)" = 1 ] && { [ "$cap" = 0 ] || [ "$wall" -lt "$cap" ]; }; do
        round=$((round + 1))
        left=$(echo "$budget - $cpu" | bc | cut -d. -f1)
        [ "$cap" != 0 ] && [ $((cap - wall)) -lt "${left:-0}" ] && left=$((cap - wall))
        [ "${left:-0}" -lt 30 ] && left=30
        log=$build/campaign-$name-$round.log
        start=$(date +%s)
        /usr/bin/time -f '%U %S' -o "$log.cpu" "$build/tests/fuzz/fuzz_$name" -print_final_stats=1 \
            -rss_limit_mb=2048 -timeout="${UNIT_TIMEOUT:-300}" -max_total_time="$left" -artifact_prefix="$artifacts/" \
            "${inputs[@]}" >"$log" 2>&1
        wall=$((wall + $(date +%s) - start))
        cpu=$(echo "$cpu + $(awk '{print $1 + $2}' "$log.cpu" | tail -1)" | bc)
        run=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        execs=$((execs + ${run:-0}))
        # A finding ends the process; the next round goes on from the corpus.
        if grep -q -E 'ERROR: libFuzzer: (timeout|out-of-memory)' "$log"; then
            grep -q 'timeout' "$log" && timeouts=$((timeouts + 1)) || ooms=$((ooms + 1))
        elif grep -q -E '^==[0-9]+==ERROR|runtime error:|deadly signal' "$log"; then
            crashes=$((crashes + 1))
        fi
    done
    echo "$name execs=$execs cpu=${cpu}s wall=${wall}s crash/timeout/oom=$crashes/$timeouts/$ooms" | tee -a "$build/campaign.txt"
done
