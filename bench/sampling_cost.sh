#!/bin/sh
# Cost of one sampling cycle against ps at fixed process counts. Each count runs in a PID namespace
# of its own (needs unshare and the right to use it), so the counts are exact and every sleeper
# ends with the namespace. Usage: bench/sampling_cost.sh <build dir> [counts...]
set -eu
build=${1:?usage: sampling_cost.sh <build dir> [counts...]}
shift
bench=$(realpath "$build/bench/ProcessSnapshotBench")
[ $# -gt 0 ] || set -- 70 500 2000
for count in "$@"; do
    unshare --pid --fork --mount-proc sh -c '
        count=$1 bench=$2
        # The shell, the benchmark and ps (while it runs) make up the rest of the count.
        i=3
        while [ "$i" -lt "$count" ]; do sleep 600 & i=$((i + 1)); done
        "$bench" --benchmark_min_time=1 | grep "^processes"
    ' sh "$count" "$bench"
done
