#!/usr/bin/env bash
# The real application with a StatusNotifierItem host on X11: Xvfb, openbox and xfce4-panel, whose
# systray plugin hosts StatusNotifierItems. Joulemap starts first and the panel a few seconds later,
# as an autostarted program at login often does. The item is clicked with the pointer (xdotool).
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

# A panel of our own along the top: an expanding space, then the tray, so our item, the only one,
# sits in the top right corner. xfconfd reads this when the panel first asks for its settings.
channel=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$channel"
cat >"$channel/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
XML

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

# The tray plugin runs in a process of its own (class wrapper-2.0). Inside the panel (y 0) its
# window holds our item alone, once the item is drawn; the menu it shows is one of its top-level
# windows, below the panel. Both print as "ID WIDTH HEIGHT X Y".
wrapper_windows() {
    xwininfo -root -tree | awk '/\("wrapper-2.0" "Wrapper-2.0"\)/ {
        split($(NF-1), size, "[x+-]"); split($NF, at, "+"); print $1, size[1], size[2], at[2], at[3] }'
}
tray_item() { wrapper_windows | awk '$5 == 0 && $2 >= 20 && $2 <= 60 && !found { print; found = 1 }' | grep .; }
tray_menu() {
    local id w h x y
    while read -r id w h x y; do
        ((h >= 40 && y >= 20)) && viewable "$id" && { echo "$id $w $h $x $y"; return; }
    done < <(wrapper_windows)
    return 1
}
wait_for "$timeout_s" tray_item || fail "the item shows in the tray"
read -r _ item_w item_h item_x item_y <<<"$(tray_item)"
item_x=$((item_x + item_w / 2)) item_y=$((item_y + item_h / 2))
panel_window=$(xdotool search --class xfce4-panel | while read -r id; do
    [[ $(xwininfo -id "$id" | awk '/Width:/ {print $2}') -gt 400 ]] && { echo "$id"; break; }; done)
[[ -n $panel_window ]] && "$grab" "$artefacts/xfce-panel.png" "$panel_window"

tooltip=$(dbus-send --session --print-reply --dest="$item" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierItem string:ToolTip 2>&1)
if grep -q '73 %' <<<"$tooltip"; then pass "the tooltip carries the charge"; else fail "tooltip: $tooltip"; fi

# Right click on the item, then a click on one of the menu's two rows (1 "打开主窗口", 2 "退出").
menu_click() {
    local id w h x y
    xdotool mousemove "$item_x" "$item_y" click 3
    wait_for 15 tray_menu || { fail "a right click shows the tray menu"; return 1; }
    read -r id w h x y <<<"$(tray_menu)"
    [[ -n ${2:-} ]] && "$grab" "$artefacts/$2" && pass "a right click shows the tray menu (${w}x$h at $x,$y)"
    xdotool mousemove $((x + w / 2)) $((y + h * (2 * $1 - 1) / 4)) click 1
}

# Our panel: a popup of our class, 360 wide.
panel_line() { xwininfo -root -tree | awk '/\("joulemap" "Joulemap"\)/ && $(NF-1) ~ /^360x/ && !found { print; found = 1 }' | grep .; }
xdotool windowminimize "$(main_window)"
xdotool mousemove "$item_x" "$item_y" click 1
if wait_for 15 panel_line; then
    pass "a left click on the item opens the panel"
    sleep 1
    line=$(panel_line)
    echo "panel at $(echo "$line" | awk '{print $(NF-1), $NF}') for a click at $item_x,$item_y"
    "$grab" "$artefacts/xfce-joulemap-panel.png" "$(echo "$line" | awk '{print $1}')"
else
    fail "a left click on the item opens the panel"
fi
# Our panel holds the pointer while it is open; Escape closes it first.
xdotool key Escape
menu_click 1 xfce-menu.png
if wait_for 15 viewable "$(main_window)"; then pass "打开主窗口 from the menu raises the window"; else fail "打开主窗口 raises the window"; fi

kill "$panel_pid"
wait "$panel_pid" 2>/dev/null
start_panel
if wait_for "$timeout_s" registered; then pass "the item comes back after the panel restarts"; else fail "the item comes back after a restart"; fi

second_launch_exits_zero "$app"

wait_for "$timeout_s" tray_item || fail "the item shows in the restarted tray"
menu_click 2 && quits_with_zero "$app_pid"
echo "screenshots in $artefacts"
exit $((failures > 0))
