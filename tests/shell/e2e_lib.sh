# Shared by the end-to-end scripts: results, polling, a private session (HOME, runtime folder,
# D-Bus) and cleanup of everything started. Source it after setting `artefacts`.

work=$(mktemp -d)
chmod 755 "$work"
pids=()
failures=0
cleanup_hooks=()
cleanup() {
    local i hook
    for hook in "${cleanup_hooks[@]}"; do "$hook"; done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    for log in "$work"/*.log; do [[ -f $log ]] && cp "$log" "$artefacts/"; done
    rm -rf "$work"
}
trap cleanup EXIT

pass() { echo "ok   - $*"; }
fail() { echo "FAIL - $*"; failures=$((failures + 1)); }
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (tools/dev.sh installs it)"; exit 77; }
    done
}

# Runs the command until it succeeds or the limit passes.
wait_for() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.3
    done
}

# A fresh HOME and runtime folder under $work, and a private session bus.
private_session() {
    mkdir -p "$artefacts"
    rm -f "$artefacts"/*.png "$artefacts"/*.log
    export HOME=$work/home
    export XDG_RUNTIME_DIR=$work/run
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_DATA_HOME=$HOME/.local/share
    export XDG_CACHE_HOME=$HOME/.cache
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY SESSION_MANAGER
    dbus-daemon --session --nofork --print-address=6 6>"$work/bus" 2>/dev/null &
    pids+=($!)
    wait_for 30 test -s "$work/bus" || { echo "dbus-daemon did not start"; exit 1; }
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
    export DBUS_SESSION_BUS_ADDRESS
}

# Xvfb on a free display, and openbox on it.
x11_desktop() {
    Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for 30 test -s "$work/display" || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
}

# StatusNotifierItem hosts: whether the watcher lists our item.   sni_registered SERVICE
sni_registered() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | grep -q "$1"
}
second_launch_exits_zero() {
    local status=0
    timeout 30 "$1" >"$work/second.log" 2>&1 || status=$?
    if [[ $status == 0 ]]; then pass "second launch exits 0"; else fail "second launch exits $status"; fi
}
# Waits for the program to end and checks its status is 0.   quits_with_zero PID
quits_with_zero() {
    local pid=$1 status=0
    if wait_for 15 bash -c "! kill -0 $pid"; then
        wait "$pid" || status=$?
        if [[ $status == 0 ]]; then pass "退出 from the menu quits with 0"; else fail "退出 quits with $status"; fi
    else
        fail "退出 from the menu quits"
    fi
}
