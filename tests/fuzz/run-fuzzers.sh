#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (ASan + UBSan) in build-fuzz/ and runs each for
# SECONDS (default 20). New inputs go to build-fuzz/fuzz-corpus/<name>/, crashes to
# build-fuzz/fuzz-artifacts/<name>/. Exits non-zero when any harness found a crash.
# Usage: run-fuzzers.sh [SECONDS] [name...]
set -euo pipefail
seconds=${1:-20}
shift || true
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVI_FUZZ_BUILD:-$root/build-fuzz}
data=$root/tests/data

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQUORVI_FUZZ=ON -DQUORVI_GUI=OFF -DQUORVI_BENCH=OFF >/dev/null
cmake --build "$build" --target quorvi_fuzzers

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for fuzzer in "$build"/tests/fuzz/fuzz_*; do
        name=${fuzzer##*/fuzz_}
        [[ $name == replay_* ]] || names+=("$name")
    done
fi

status=0
for name in "${names[@]}"; do
    corpus=$build/fuzz-corpus/$name
    artifacts=$build/fuzz-artifacts/$name
    mkdir -p "$corpus" "$artifacts"
    inputs=("$corpus")
    for extra in "$data/fuzz-seeds/$name" "$data/crashers/$name"; do
        [ -d "$extra" ] && inputs+=("$extra")
    done
    if [ -n "${FUZZ_RUNS:-}" ]; then
        limit=(-runs="$FUZZ_RUNS" -seed="${FUZZ_SEED:-1}")
        echo "== fuzz_$name for $FUZZ_RUNS inputs from seed ${FUZZ_SEED:-1}"
    else
        limit=(-max_total_time="$seconds")
        echo "== fuzz_$name for ${seconds}s"
    fi
    if ! "$build/tests/fuzz/fuzz_$name" "${limit[@]}" -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "${inputs[@]}" 2>"$build/fuzz-$name.log"; then
        echo "fuzz_$name FAILED: see $build/fuzz-$name.log and $artifacts/"
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$name.log" || true
done
exit $status
