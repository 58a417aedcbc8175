# A private virtual desktop for measuring the real application: Xvfb, a private D-Bus session,
# the openbox window manager and a tray host (trayer), with a private HOME. Sourced by the
# measuring scripts in this folder; they call start_desktop once, then launch_app for each run.
#
# launch_app puts the application in a control group of its own before it starts, so the
# scheduler's nanosecond count of that group is the application's processor time (the tools it
# runs included), untouched by whatever else the machine does.

desktop_work=$(mktemp -d)
desktop_pids=()

stop_desktop() {
    local i
    for ((i = ${#desktop_pids[@]} - 1; i >= 0; i--)); do kill "${desktop_pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    [[ -n ${cgroup_dir:-} && -d $cgroup_dir ]] && rmdir "$cgroup_dir" 2>/dev/null
    rm -rf "$desktop_work"
}

# Runs the command until it succeeds or the limit (seconds) passes.
wait_until() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.3
    done
}

start_desktop() {
    local tool
    for tool in Xvfb openbox trayer xdotool dbus-daemon sqlite3; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (tools/dev.sh installs it)" >&2; return 1; }
    done
    export HOME=$desktop_work/home
    export XDG_RUNTIME_DIR=$desktop_work/run
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_DATA_HOME=$HOME/.local/share
    export XDG_CACHE_HOME=$HOME/.cache
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY SESSION_MANAGER

    Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp 5>"$desktop_work/display" 2>"$desktop_work/xvfb.log" &
    desktop_pids+=($!)
    wait_until 30 test -s "$desktop_work/display" || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$desktop_work/display")"

    dbus-daemon --session --nofork --print-address=6 6>"$desktop_work/bus" 2>/dev/null &
    desktop_pids+=($!)
    wait_until 30 test -s "$desktop_work/bus" || { echo "dbus-daemon did not start" >&2; return 1; }
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$desktop_work/bus")
    export DBUS_SESSION_BUS_ADDRESS

    openbox >"$desktop_work/openbox.log" 2>&1 &
    desktop_pids+=($!)
    trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false \
        >"$desktop_work/trayer.log" 2>&1 &
    desktop_pids+=($!)
    wait_until 30 xdotool search --class trayer || { echo "trayer did not start" >&2; return 1; }
    # The tray takes its selection a moment after its window appears.
    sleep 1
    export QT_QPA_PLATFORM=xcb
}

# Picks the control-group hierarchy and how its processor time is read: cgroup v2 (cpu.stat,
# usage_usec, also on the "unified" mount of a hybrid system), else v1 cpuacct (cpuacct.usage, ns).
# Sets cgroup_root and cgroup_kind, or says why not and fails.
find_cgroup() {
    if [[ -f /sys/fs/cgroup/cgroup.controllers ]]; then
        cgroup_root=/sys/fs/cgroup cgroup_kind=v2
    elif [[ -f /sys/fs/cgroup/unified/cgroup.procs ]]; then
        cgroup_root=/sys/fs/cgroup/unified cgroup_kind=v2
    elif [[ -f /sys/fs/cgroup/cpuacct/cpuacct.usage ]]; then
        cgroup_root=/sys/fs/cgroup/cpuacct cgroup_kind=v1
    else
        echo "no cgroup hierarchy with processor accounting is mounted" >&2
        return 1
    fi
    local probe=$cgroup_root/joulemap-probe-$$
    if ! mkdir "$probe" 2>/dev/null; then
        echo "cannot create a control group under $cgroup_root (run as root)" >&2
        return 1
    fi
    rmdir "$probe"
}

# Processor time of the current control group in nanoseconds.
cgroup_cpu_ns() {
    if [[ $cgroup_kind == v2 ]]; then
        # %.0f, not %d: mawk clamps %d to 32 bits, about 2.1 s in nanoseconds.
        awk '$1 == "usage_usec" { printf "%.0f\n", $2 * 1000 }' "$cgroup_dir/cpu.stat"
    else
        cat "$cgroup_dir/cpuacct.usage"
    fi
}

# launch_app LABEL BINARY [VAR=VALUE...]: starts the application in a fresh control group and sets
# app_pid. The shell joins the group and then becomes the application, so nothing else is counted.
launch_app() {
    local label=$1 binary=$2
    shift 2
    if [[ -n ${cgroup_dir:-} && -d $cgroup_dir ]]; then rmdir "$cgroup_dir" 2>/dev/null; fi
    cgroup_dir=$cgroup_root/joulemap-$label-$$
    mkdir "$cgroup_dir" || return 1
    local pid_file=$desktop_work/$label.pid
    rm -f "$pid_file"
    env "$@" sh -c 'echo $$ >"$1/cgroup.procs" && echo $$ >"$2" && exec "$3"' sh "$cgroup_dir" "$pid_file" \
        "$binary" >"$desktop_work/$label.log" 2>&1 &
    desktop_pids+=($!)
    if ! wait_until 10 test -s "$pid_file"; then
        echo "$label: the application did not start" >&2
        cat "$desktop_work/$label.log" >&2
        return 1
    fi
    app_pid=$(<"$pid_file")
}

# Stops the application started last and waits for it.
stop_app() {
    kill "$app_pid" 2>/dev/null
    wait_until 10 sh -c "! kill -0 $app_pid" || kill -9 "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
}

# Prints "rss_kb peak_kb threads files" of the process.
process_figures() {
    local rss peak threads files
    rss=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$1/status") || return 1
    peak=$(awk '$1 == "VmHWM:" { print $2 }' "/proc/$1/status")
    threads=$(awk '$1 == "Threads:" { print $2 }' "/proc/$1/status")
    files=$(find "/proc/$1/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    echo "$rss $peak $threads $files"
}

# Fills the history database with `days` of samples, one every 30 s up to now, as the application
# writes them, so the history window has a full week to draw.
seed_history() {
    local days=$1
    local db=$XDG_DATA_HOME/Joulemap/history.db
    mkdir -p "$(dirname "$db")"
    sqlite3 "$db" <<SQL
CREATE TABLE IF NOT EXISTS power_log (ts INTEGER PRIMARY KEY, input_w REAL, system_w REAL,
                                      battery_pct REAL, battery_net_w REAL);
CREATE INDEX IF NOT EXISTS idx_ts ON power_log(ts);
CREATE TABLE IF NOT EXISTS alerts (id INTEGER PRIMARY KEY AUTOINCREMENT, ts REAL, type TEXT,
                                   title TEXT, body TEXT);
CREATE INDEX IF NOT EXISTS idx_alert_ts ON alerts(ts);
PRAGMA user_version = 1;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < $days * 2880)
INSERT OR REPLACE INTO power_log
SELECT CAST(strftime('%s', 'now') AS INTEGER) - i * 30, 30 + (i % 97) * 0.37, 18 + (i % 53) * 0.21,
       20 + i % 80, (i % 41) * 0.5 - 10 FROM n;
SQL
    sqlite3 "$db" 'SELECT count(*) FROM power_log'
}
