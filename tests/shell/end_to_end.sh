#!/usr/bin/env bash
# The real application on a real (virtual) desktop: Xvfb, the openbox window manager, a tray host
# (trayer), a private D-Bus session and a private HOME. Clicks are sent with xdotool.
#
#   end_to_end.sh JOULEMAP GRABBER ARTEFACT-DIR
#
# Screenshots of the main window, the panel and the auxiliary windows land in ARTEFACT-DIR. Waits
# poll with generous limits, since CI machines are slow and busy. Exit 77 means a tool is missing.
set -uo pipefail

app=$1
grab=$2
artefacts=$3
timeout_s=${JOULEMAP_E2E_TIMEOUT:-45}

# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
require_tools Xvfb openbox trayer xdotool xwininfo dbus-daemon sqlite3
private_session
x11_desktop
trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false \
    >"$work/trayer.log" 2>&1 &
trayer_pid=$!
pids+=("$trayer_pid")
wait_for 30 xdotool search --class trayer || { echo "trayer did not start"; exit 1; }
# The tray takes its selection a moment after its window appears.
sleep 1

export QT_QPA_PLATFORM=xcb
started_ms=$(date +%s%3N)
"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")

# The tray icon is one of our windows embedded in the tray: small, with our class.
tray_icon() {
    # awk reads to the end: leaving early would break xwininfo's pipe, which pipefail reports.
    xwininfo -root -tree | awk '/\("joulemap" "Joulemap"\)/ && !found {
        split($(NF-1), size, "x"); if (size[1] + 0 <= 64 && size[1] + 0 > 1) { print $NF; found = 1 } }' | grep .
}
main_window() { xdotool search --name '^焦图$' | awk 'NR == 1' | grep .; }
window_named() { xdotool search --name "^$1\$" | awk 'NR == 1' | grep .; }
viewable() { xwininfo -id "$1" | grep IsViewable >/dev/null; }
size_of() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

if wait_for "$timeout_s" tray_icon; then pass "tray icon appears"; else fail "tray icon appears"; fi

if wait_for "$timeout_s" main_window; then
    main=$(main_window)
    echo "main window after $(($(date +%s%3N) - started_ms)) ms"
    size=$(size_of "$main")
    if [[ $size == 1000x620 ]]; then pass "main window 焦图 at 1000x620"; else fail "main window size is $size"; fi
else
    fail "main window appears"
    exit 1
fi
# Let the first figures arrive before the picture.
sleep 3
"$grab" "$artefacts/main-window.png" "$main" || fail "screenshot of the main window"
# The tray with our icon in it, as drawn at the size the host gives it.
icon_id=$(xwininfo -root -tree | awk '/\("joulemap" "Joulemap"\)/ && $(NF-1) ~ /^[0-9]x|^[1-6][0-9]x/ { print $1; exit }')
[[ -n $icon_id ]] && "$grab" "$artefacts/tray-icon.png" "$icon_id"

# The header's buttons sit at its right end: history, changelog, settings. Their height depends on
# the header's layout, so a few rows are tried.
open_from_header() {
    local x=$1 title=$2 y
    for y in 36 30 42 26 48; do
        xdotool mousemove --window "$main" "$x" "$y" click 1
        wait_for 4 window_named "$title" && return 0
    done
    return 1
}
settings_x=$((1000 - 18 - 14))
if open_from_header "$settings_x" 设置; then
    pass "settings button opens 设置"
    sleep 1
    "$grab" "$artefacts/settings-window.png" "$(window_named 设置)"
else
    fail "settings button opens 设置"
fi
if open_from_header $((settings_x - 38)) 更新日志; then
    sleep 1
    "$grab" "$artefacts/changelog-window.png" "$(window_named 更新日志)"
else
    fail "changelog button opens 更新日志"
fi
if open_from_header $((settings_x - 76)) 功率历史; then
    sleep 1
    "$grab" "$artefacts/history-window.png" "$(window_named 功率历史)"
else
    fail "history button opens 功率历史"
fi

# The panel: a popup of our class, 360 wide.
panel_line() { xwininfo -root -tree | awk '/\("joulemap" "Joulemap"\)/ && $(NF-1) ~ /^360x/ && !found { print; found = 1 }' | grep .; }
xdotool windowminimize "$main"
wait_for 10 bash -c "! xwininfo -id $main | grep IsViewable >/dev/null"
# A busy machine may lose a click between the pointer moving and the tray icon noticing; the click
# is repeated until the panel shows.
open_panel() {
    local icon attempt
    icon=$(tray_icon) || return 1
    read -r icon_x icon_y <<<"$(echo "$icon" | tr '+' ' ')"
    for attempt in 1 2 3; do
        xdotool mousemove $((icon_x + 8)) $((icon_y + 8))
        sleep 0.5
        xdotool click 1
        wait_for 8 panel_line && return 0
    done
    return 1
}
if open_panel; then
    pass "tray click opens the panel"
    sleep 1
    line=$(panel_line)
    panel_id=$(echo "$line" | awk '{print $1}')
    read -r panel_w panel_h <<<"$(echo "$line" | awk '{print $(NF-1)}' | tr 'x+' '  ' | awk '{print $1, $2}')"
    read -r panel_x panel_y <<<"$(echo "$line" | awk '{print $NF}' | tr '+' ' ')"
    "$grab" "$artefacts/panel.png" "$panel_id"
    xdotool mousemove $((panel_x + 40)) $((panel_y + panel_h - 18)) click 1
    if wait_for 10 viewable "$main"; then pass "打开主窗口 raises the main window"; else fail "打开主窗口 raises the main window"; fi
else
    fail "tray click opens the panel"
fi

# A second launch hands over to the running instance and leaves.
xdotool windowminimize "$main"
wait_for 10 bash -c "! xwininfo -id $main | grep IsViewable >/dev/null"
second_ms=$(date +%s%3N)
timeout 30 "$app" >"$work/second.log" 2>&1
second_status=$?
echo "second launch done after $(($(date +%s%3N) - second_ms)) ms"
if [[ $second_status == 0 ]]; then pass "second launch exits 0"; else fail "second launch exits $second_status"; fi
if wait_for 10 viewable "$main"; then pass "second launch raises the window"; else fail "second launch raises the window"; fi
count=$(xdotool search --name '^焦图$' | wc -l)
if [[ $count == 1 ]] && kill -0 "$app_pid" 2>/dev/null; then pass "still one instance"; else fail "$count main windows"; fi

# The history database gets its first row within 30 s of the start.
database=$XDG_DATA_HOME/Joulemap/history.db
wait_for 60 test -s "$database" || fail "history database written"

# The export reads beside the running writer, without a display; mistakes get one line and a failure.
wait_for 60 bash -c "(unset DISPLAY; '$app' --export-csv '$work/export' --days 1) >'$work/export.log' 2>&1"
lines() { [[ -f $1 ]] && grep -c $'\r$' "$1" || echo 0; }
if [[ $(lines "$work/export/samples.csv") -ge 2 && $(lines "$work/export/apps.csv") -ge 2 && -f $work/export/alerts.csv ]]; then
    pass "--export-csv writes the samples and the energy per application"
else
    fail "--export-csv: $(cat "$work/export.log")"
fi
for bad in "--export-csv $work/export --days zero" "--export-csv /proc/joulemap" "--days 3"; do
    # shellcheck disable=SC2086
    (unset DISPLAY; "$app" $bad) >"$work/bad.out" 2>"$work/bad.err"
    status=$?
    if [[ $status != 0 && $(wc -l <"$work/bad.err") == 1 ]]; then
        pass "$bad: $(cat "$work/bad.err")"
    else
        fail "$bad exits $status with: $(cat "$work/bad.err")"
    fi
done
kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
if [[ $status == 0 ]]; then pass "SIGTERM ends with 0"; else fail "SIGTERM ends with $status"; fi
if [[ -f $database ]]; then
    check=$(sqlite3 "$database" 'PRAGMA integrity_check;')
    if [[ $check == ok ]]; then pass "database integrity"; else fail "database integrity: $check"; fi
fi

# Sends the key to the main window until the process ends (a busy machine may lose one), then
# checks it ended with 0.   key_quits PID KEY LABEL
key_quits() {
    local attempt status=0
    for attempt in 1 2 3; do
        xdotool windowactivate --sync "$(main_window)" key --clearmodifiers "$2"
        if wait_for 10 bash -c "! kill -0 $1"; then
            wait "$1" || status=$?
            if [[ $status == 0 ]]; then pass "$3 quits with 0"; else fail "$3 quits with $status"; fi
            return
        fi
    done
    fail "$3 quits"
}

# Without a tray (the host gone), the main window says so and closing it ends the program.
kill "$trayer_pid" 2>/dev/null
wait_for 10 bash -c '! xdotool search --class trayer'
"$app" >"$work/notray.log" 2>&1 &
notray_pid=$!
pids+=("$notray_pid")
if wait_for "$timeout_s" main_window; then
    pass "without a tray the main window opens"
    sleep 2
    "$grab" "$artefacts/main-window-no-tray.png" "$(main_window)"
    key_quits "$notray_pid" alt+F4 "closing the main window without a tray"
else
    fail "without a tray the main window opens"
fi

# A hidden start without a tray would leave a process nobody can reach: the window opens anyway, and
# Ctrl+Q in it quits.
JOULEMAP_START_HIDDEN=1 "$app" >"$work/notray-hidden.log" 2>&1 &
hidden_pid=$!
pids+=("$hidden_pid")
main_window_shown() { local id; id=$(main_window) && viewable "$id"; }
if wait_for "$timeout_s" main_window_shown; then
    pass "a hidden start without a tray opens the main window"
    key_quits "$hidden_pid" ctrl+q "Ctrl+Q in the main window"
else
    fail "a hidden start without a tray opens the main window"
fi

# At login the program may start before the panel: the icon appears once a tray does.
"$app" >"$work/late-tray.log" 2>&1 &
late_pid=$!
pids+=("$late_pid")
wait_for "$timeout_s" main_window || fail "a start before the tray opens the main window"
sleep 3
trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false \
    >"$work/trayer-late.log" 2>&1 &
pids+=($!)
if wait_for "$timeout_s" tray_icon; then pass "a tray started after the program gets its icon"; else fail "a tray started after the program gets its icon"; fi
sleep 1
"$grab" "$artefacts/main-window-late-tray.png" "$(main_window)"
kill -TERM "$late_pid"
status=0
wait "$late_pid" || status=$?
[[ $status == 0 ]] || fail "the late-tray instance ends with $status"

echo "screenshots in $artefacts"
exit $((failures > 0))
