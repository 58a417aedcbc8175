#!/usr/bin/env bash
# A long real-time run of the application with its main window open and animating: samples
# resident memory, threads and open files once a minute and prints how much each grew after the
# warm-up, when caches are full and nothing should grow any more.
#
#   bench/soak.sh [BINARY] [MINUTES]
#
# BINARY   the application (default build/src/shell/joulemap)
# MINUTES  length of the run (default 60)
# JOULEMAP_SOAK_INTERVAL_SECONDS  time between samples (default 60)
# JOULEMAP_SOAK_WARMUP_MINUTES    growth is counted from the first sample after this (default 5)
#
# Stopping it early (Ctrl-C, SIGTERM) still prints the figures gathered so far. Runs on a private
# virtual desktop with a tray host (see desktop_session.sh); needs root for the control group that
# counts the processor time.
set -uo pipefail

binary=${1:-build/src/shell/joulemap}
minutes=${2:-60}
interval=${JOULEMAP_SOAK_INTERVAL_SECONDS:-60}
warmup_minutes=${JOULEMAP_SOAK_WARMUP_MINUTES:-5}

[[ -x $binary ]] || { echo "not an executable: $binary" >&2; exit 1; }
binary=$(realpath "$binary")

# shellcheck source=desktop_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"
find_cgroup || exit 1

base_rss="" base_threads="" base_files="" base_ns="" base_wall=""
rss=0 peak=0 threads=0 files=0 elapsed=0

summary() {
    trap - EXIT INT TERM
    if [[ -n $base_rss ]]; then
        local ns wall
        ns=$(cgroup_cpu_ns)
        wall=$(date +%s.%N)
        awk -v m="$elapsed" -v w="$warmup_minutes" -v r0="$base_rss" -v r="$rss" -v p="$peak" \
            -v t0="$base_threads" -v t="$threads" -v f0="$base_files" -v f="$files" \
            -v ns=$((ns - base_ns)) -v s0="$base_wall" -v s="$wall" 'BEGIN {
                printf "ran %.1f min; after minute %d: resident %.1f -> %.1f MB (%+.2f %%), peak %.1f MB, threads %d -> %d, files %d -> %d, processor %.3f %% of one core\n",
                       m, w, r0 / 1024, r / 1024, 100 * (r - r0) / r0, p / 1024, t0, t, f0, f, 100 * ns / 1e9 / (s - s0)
            }'
    else
        echo "ran ${elapsed} min, less than the warm-up of $warmup_minutes min: no growth figure"
    fi
    stop_desktop
    exit 0
}
trap summary EXIT INT TERM

start_desktop || exit 1
launch_app soak "$binary" || exit 1
start=$SECONDS
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "minute  resident_MB  peak_MB  threads  files"
while ((SECONDS - start < minutes * 60)); do
    sleep "$interval"
    if ! figures=$(process_figures "$app_pid"); then
        echo "the application exited" >&2
        cat "$desktop_work/soak.log" >&2
        exit 1
    fi
    read -r rss peak threads files <<<"$figures"
    elapsed=$(awk -v s=$((SECONDS - start)) 'BEGIN { printf "%.1f", s / 60 }')
    printf "%6s  %11.1f  %7.1f  %7d  %5d\n" "$elapsed" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "$threads" "$files"
    if [[ -z $base_rss ]] && ((SECONDS - start >= warmup_minutes * 60)); then
        base_rss=$rss base_threads=$threads base_files=$files base_ns=$(cgroup_cpu_ns) base_wall=$(date +%s.%N)
    fi
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
