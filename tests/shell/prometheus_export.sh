#!/usr/bin/env bash
# "joulemap --export-metrics" on a fake sysfs tree, read back through a real node_exporter's
# textfile collector, the way a monitoring setup would scrape it.
#
#   prometheus_export.sh JOULEMAP SYSFS-FIXTURES
#
# Exit 77 means a tool is missing.
set -uo pipefail

app=$1
fixtures=$2

# A build of the tests alone (the sanitizer builds) has no program to run.
[[ -x $app ]] || { echo "skipped: $app is not built"; exit 77; }
for tool in prometheus-node-exporter promtool curl python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (tools/dev.sh installs it)"; exit 77; }
done

work=$(mktemp -d)
exporter_pid=
cleanup() {
    [[ -n $exporter_pid ]] && kill "$exporter_pid" 2>/dev/null && wait "$exporter_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "ok   - $*"; }
fail() { echo "FAIL - $*"; failures=$((failures + 1)); }

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_STATE_HOME=$work/home/.local/state
mkdir -p "$HOME"
# No display at all, and a platform that would abort if a window system were asked for.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# On battery: 9.12 W out of 37.449 of 51.3 Wh (design 57 Wh), 73 %, 112 cycles; no meters.
textfiles=$work/textfile
mkdir -p "$textfiles"
if JOULEMAP_SYSFS_ROOT=$fixtures/acpi-laptop-discharging "$app" --export-metrics "$textfiles/joulemap.prom" \
    2>"$work/stderr"; then
    pass "export exits 0 without a display"
else
    fail "export failed: $(cat "$work/stderr")"
fi
if promtool check metrics <"$textfiles/joulemap.prom" >"$work/lint" 2>&1; then
    pass "promtool accepts the file"
else
    fail "promtool: $(cat "$work/lint")"
fi
if ls -A "$textfiles" | grep -qv '^joulemap.prom$'; then fail "a temporary file was left: $(ls -A "$textfiles")"; fi

"$app" --export-metrics /proc/joulemap/joulemap.prom 2>"$work/stderr"
status=$?
if ((status != 0)) && [[ $(wc -l <"$work/stderr") -eq 1 ]] && grep -q '/proc/joulemap' "$work/stderr"; then
    pass "an unwritable path fails ($status) with one line: $(cat "$work/stderr")"
else
    fail "unwritable path: status $status, stderr: $(cat "$work/stderr")"
fi

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$textfiles" --web.listen-address="127.0.0.1:$port" >"$work/exporter.log" 2>&1 &
exporter_pid=$!
scraped=
for _ in $(seq 100); do
    if curl -fsS "http://127.0.0.1:$port/metrics" -o "$work/metrics" 2>/dev/null; then scraped=1; break; fi
    sleep 0.2
done
if [[ -z $scraped ]]; then
    fail "node_exporter did not answer: $(cat "$work/exporter.log")"
    exit 1
fi

# node_exporter prints the values in Go's shortest form ("112", not "112.0").
expect() {
    if grep -qxF "$1" "$work/metrics"; then pass "$1"; else fail "missing: $1"; fi
}
expect 'node_textfile_scrape_error 0'
expect 'joulemap_input_power_watts{measured="true"} 9.1'
expect 'joulemap_system_power_watts 9.1'
expect 'joulemap_battery_power_watts -9.12'
expect 'joulemap_battery_charge_ratio 0.73'
expect 'joulemap_battery_health_ratio 0.9'
expect 'joulemap_battery_cycles 112'
expect '# TYPE joulemap_component_power_watts gauge'
for component in display cpu gpu; do
    # Without meters every component is a share by fixed proportions.
    if grep -q "^joulemap_component_power_watts{component=\"$component\",measured=\"false\"} " "$work/metrics"; then
        pass "$component is reported as an estimate"
    else
        fail "no estimated $component figure"
    fi
done
if grep -q '^joulemap_charge_limit_ratio' "$work/metrics"; then fail "a charge limit nobody set"; fi

if ((failures > 0)); then
    echo "--- scraped joulemap metrics"
    grep '^joulemap_' "$work/metrics"
    exit 1
fi
