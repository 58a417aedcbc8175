#!/usr/bin/env bash
# What the running application costs, in each state a user leaves it in: processor time in percent
# of one core, peak and final resident memory, threads and open files.
#
#   bench/cpu_usage.sh [BINARY] [SECONDS] [STATE...]
#
# BINARY   the application (default build/src/shell/joulemap)
# SECONDS  length of each measurement (default 120)
# STATE    any of: background shown history (default all three, in that order)
#
#   background  tray icon only (JOULEMAP_START_HIDDEN=1): the cost of sampling alone
#   shown       the main window shown, its diagram animating
#   history     the history window open on 7 days of samples (JOULEMAP_OPEN_HISTORY=1), main
#               window not shown
#
# Runs on a private virtual desktop with a tray host (see desktop_session.sh), fed by the real
# sources of this machine. Each run settles for JOULEMAP_SETTLE_SECONDS (default 10) first.
# Processor time is the scheduler's nanosecond count of a control group holding only the
# application and the tools it runs; tick counts from /proc/<pid>/stat miss timer-driven work.
# Needs root for the control group. The load average is printed, as other work on the machine
# still competes for the cores.
set -uo pipefail

binary=${1:-build/src/shell/joulemap}
duration=${2:-120}
shift 2 2>/dev/null || shift $#
states=("$@")
((${#states[@]})) || states=(background shown history)
settle=${JOULEMAP_SETTLE_SECONDS:-10}
history_days=7

[[ -x $binary ]] || { echo "not an executable: $binary" >&2; exit 1; }
binary=$(realpath "$binary")

# shellcheck source=desktop_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"
trap stop_desktop EXIT
find_cgroup || exit 1
start_desktop || exit 1

measure() {
    local label=$1
    shift
    launch_app "$label" "$binary" "$@" || return 1
    sleep "$settle"
    local start_ns start_wall end_ns end_wall figures
    start_ns=$(cgroup_cpu_ns)
    start_wall=$(date +%s.%N)
    sleep "$duration"
    if ! figures=$(process_figures "$app_pid"); then
        echo "$label: the application exited during the measurement" >&2
        cat "$desktop_work/$label.log" >&2
        return 1
    fi
    end_ns=$(cgroup_cpu_ns)
    end_wall=$(date +%s.%N)
    stop_app
    read -r rss peak threads files <<<"$figures"
    awk -v label="$label" -v ns=$((end_ns - start_ns)) -v start="$start_wall" -v end="$end_wall" \
        -v rss="$rss" -v peak="$peak" -v threads="$threads" -v files="$files" 'BEGIN {
            wall = end - start
            printf "%-10s %7.3f %% of one core (%.3f s in %.1f s)  resident %.1f MB (peak %.1f MB)  %d threads  %d files\n",
                   label, 100 * ns / 1e9 / wall, ns / 1e9, wall, rss / 1024, peak / 1024, threads, files
        }'
}

echo "cgroup $cgroup_kind at $cgroup_root; $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for state in "${states[@]}"; do
    case $state in
        background) measure background JOULEMAP_START_HIDDEN=1 ;;
        shown) measure shown ;;
        history)
            echo "history: $(seed_history "$history_days") samples seeded"
            measure history JOULEMAP_START_HIDDEN=1 JOULEMAP_OPEN_HISTORY=1
            ;;
        *) echo "unknown state: $state" >&2; exit 1 ;;
    esac
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
