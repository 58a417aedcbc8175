#!/usr/bin/env bash
# The real application with a StatusNotifierItem host on X11: Xvfb, openbox and xfce4-panel, whose
# systray plugin hosts StatusNotifierItems. Joulemap starts first and the panel a few seconds later,
# as an autostarted program at login often does.
#
#   end_to_end_xfce.sh JOULEMAP GRABBER ARTEFACT-DIR SYSFS-FIXTURES
#
# The battery is a fake sysfs tree (a notebook at 73 % on battery), so the item has a charge to draw.
# Exit 77 means a tool is missing.
set -uo pipefail

app=$1
grab=$2
artefacts=$3
export JOULEMAP_SYSFS_ROOT=$4/acpi-laptop-discharging
timeout_s=${JOULEMAP_E2E_TIMEOUT:-45}

# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
require_tools Xvfb openbox xfce4-panel xdotool xwininfo dbus-daemon dbus-send
private_session
x11_desktop
export QT_QPA_PLATFORM=xcb

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
main_window() { xdotool search --name '^焦图$' | awk 'NR == 1' | grep .; }
viewable() { xwininfo -id "$1" | grep IsViewable >/dev/null; }
wait_for "$timeout_s" main_window || { fail "main window appears"; exit 1; }
sleep 4

start_panel() {
    xfce4-panel >"$work/xfce4-panel.log" 2>&1 &
    panel_pid=$!
    pids+=("$panel_pid")
}
start_panel

item=org.kde.StatusNotifierItem-$app_pid-1
registered() { sni_registered "$item"; }
if wait_for "$timeout_s" registered; then pass "the item registers with a panel started later"; else fail "the item registers"; fi
sleep 2
panel_window=$(xdotool search --class xfce4-panel | while read -r id; do
    [[ $(xwininfo -id "$id" | awk '/Width:/ {print $2}') -gt 400 ]] && { echo "$id"; break; }; done)
[[ -n $panel_window ]] && "$grab" "$artefacts/xfce-panel.png" "$panel_window"

tooltip=$(dbus-send --session --print-reply --dest="$item" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierItem string:ToolTip 2>&1)
if grep -q '73 %' <<<"$tooltip"; then pass "the tooltip carries the charge"; else fail "tooltip: $tooltip"; fi

call() { sni_call "$item" "$@"; }
# Our panel: a popup of our class, 360 wide.
panel_line() { xwininfo -root -tree | awk '/\("joulemap" "Joulemap"\)/ && $(NF-1) ~ /^360x/ && !found { print; found = 1 }' | grep .; }
xdotool windowminimize "$(main_window)"
if call /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:1500 int32:10 && wait_for 10 panel_line; then
    pass "Activate opens the panel"
    sleep 1
    line=$(panel_line)
    echo "panel at $(echo "$line" | awk '{print $(NF-1), $NF}') for a click at 1500,10"
    "$grab" "$artefacts/xfce-joulemap-panel.png" "$(echo "$line" | awk '{print $1}')"
else
    fail "Activate opens the panel"
fi
# Menu item 1 is "打开主窗口".
call /MenuBar com.canonical.dbusmenu.Event int32:1 string:clicked variant:int32:0 uint32:0
if wait_for 10 viewable "$(main_window)"; then pass "打开主窗口 from the menu raises the window"; else fail "打开主窗口 raises the window"; fi

kill "$panel_pid"
wait "$panel_pid" 2>/dev/null
start_panel
if wait_for "$timeout_s" registered; then pass "the item comes back after the panel restarts"; else fail "the item comes back after a restart"; fi

second_launch_exits_zero "$app"

menu_quit_ends "$app_pid" "$item"
echo "screenshots in $artefacts"
exit $((failures > 0))
