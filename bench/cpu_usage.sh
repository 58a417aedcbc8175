#!/usr/bin/env bash
# How much processor time the running application takes, in percent of one core.
#
#   bench/cpu_usage.sh [BINARY] [SECONDS]
#
# BINARY   the application (default build/src/shell/joulemap)
# SECONDS  length of each measurement (default 60)
#
# The application runs under a virtual X server (xvfb-run) twice, fed by the real sources of this
# machine:
#   1. as it starts normally, main window shown and the diagram animating;
#   2. with JOULEMAP_START_HIDDEN=1 in its environment, which the application takes as "start
#      without showing the main window". With the window hidden the diagram must do no animation
#      work, so this figure is the cost of sampling alone.
# Each run settles for JOULEMAP_SETTLE_SECONDS (default 5) before the measurement starts. The
# figure is utime + stime of the process from /proc/<pid>/stat over the wall time elapsed; the
# tools it runs (ps and the like) are shown separately, from cutime + cstime.
set -euo pipefail

binary=${1:-build/src/shell/joulemap}
duration=${2:-60}
settle=${JOULEMAP_SETTLE_SECONDS:-5}

if [[ ! -x $binary ]]; then
    echo "not an executable: $binary" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }

clock_ticks=$(getconf CLK_TCK)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the CPU ticks of a process, then those of its waited-for children. The command name
# (field 2) may hold spaces, so the fields are counted from its closing parenthesis.
cpu_ticks() {
    local stat
    local -a fields
    stat=$(<"/proc/$1/stat") || return 1
    stat=${stat##*) }
    # Word 0 is now the state (field 3): utime, stime, cutime, cstime (14-17) are words 11-14.
    read -r -a fields <<<"$stat"
    echo "$((fields[11] + fields[12])) $((fields[13] + fields[14]))"
}

now() { date +%s.%N; }

measure() {
    local label=$1
    shift
    local pid_file=$work/pid
    rm -f "$pid_file"
    # A runtime folder of its own, so a Joulemap the user already runs does not take over the
    # measured launch (a second launch hands off to the running instance and leaves).
    local runtime=$work/run-$label
    mkdir -p -m 700 "$runtime"
    # The shell records its own pid and then becomes the application, so the pid is the app's.
    env "$@" XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1440x900x24" \
        sh -c 'echo $$ >"$1"; exec "$2"' sh "$pid_file" "$binary" >"$work/$label.log" 2>&1 &
    local runner=$!

    local waited=0
    while [[ ! -s $pid_file ]] && ((waited < 100)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if [[ ! -s $pid_file ]]; then
        echo "$label: the application did not start (see below)" >&2
        cat "$work/$label.log" >&2
        return 1
    fi
    local pid
    pid=$(<"$pid_file")
    sleep "$settle"

    local start_ticks start_wall end_ticks end_wall
    if ! start_ticks=$(cpu_ticks "$pid"); then
        echo "$label: the application exited while settling" >&2
        cat "$work/$label.log" >&2
        return 1
    fi
    start_wall=$(now)
    sleep "$duration"
    if ! end_ticks=$(cpu_ticks "$pid"); then
        echo "$label: the application exited during the measurement" >&2
        return 1
    fi
    end_wall=$(now)

    kill "$pid" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true

    read -r own_start children_start <<<"$start_ticks"
    read -r own_end children_end <<<"$end_ticks"
    awk -v label="$label" -v own=$((own_end - own_start)) -v children=$((children_end - children_start)) \
        -v hz="$clock_ticks" -v start="$start_wall" -v end="$end_wall" 'BEGIN {
            wall = end - start
            printf "%-8s %6.2f %% of one core (%.2f s CPU in %.1f s); tools it ran: %.2f %%\n",
                   label, 100 * own / hz / wall, own / hz, wall, 100 * children / hz / wall
        }'
}

measure shown
measure hidden JOULEMAP_START_HIDDEN=1
