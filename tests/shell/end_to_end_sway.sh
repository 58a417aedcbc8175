#!/usr/bin/env bash
# The real application on Wayland: sway (headless) with waybar, whose tray module hosts
# StatusNotifierItems, and Joulemap on Qt's wayland platform. Screenshots come from grim; clicks from
# a virtual pointer (virtual_pointer.py), as the headless output has no input devices.
# sway refuses to run as root: as root, the script creates an unprivileged user and runs itself
# as that user.
#
#   end_to_end_sway.sh JOULEMAP ARTEFACT-DIR SYSFS-FIXTURES
#
# Exit 77 means a tool is missing.
set -uo pipefail

app=$1
artefacts=$2
fixtures=$3
timeout_s=${JOULEMAP_E2E_TIMEOUT:-45}
user=joulemap-e2e

if [[ $EUID == 0 ]]; then
    for tool in sway waybar grim swaymsg dbus-daemon dbus-send python3 runuser; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (tools/dev.sh installs it)"; exit 77; }
    done
    id "$user" >/dev/null 2>&1 || useradd --system --create-home --shell /bin/bash "$user" || exit 1
    mkdir -p "$artefacts" && chown "$user" "$artefacts"
    # The checkout may sit where that user cannot read (root's home): the program, these scripts
    # and the fixture are copied to a folder it can.
    stage=$(mktemp -d)
    trap 'rm -rf "$stage"' EXIT
    chmod 755 "$stage"
    cp "$app" "$stage/joulemap" && cp "$(dirname "$0")"/{end_to_end_sway.sh,e2e_lib.sh,wayland_wire.py,activation_token.py,virtual_pointer.py} "$stage/" &&
        cp -r "$fixtures/acpi-laptop-discharging" "$stage/" && chmod -R a+rX "$stage" || exit 1
    runuser -u "$user" -- env PATH="$PATH" JOULEMAP_E2E_TIMEOUT="$timeout_s" \
        bash "$stage/end_to_end_sway.sh" "$stage/joulemap" "$artefacts" "$stage"
    exit
fi

# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
require_tools sway waybar grim swaymsg dbus-daemon dbus-send python3
private_session
unset DISPLAY
export JOULEMAP_SYSFS_ROOT=$fixtures/acpi-laptop-discharging

mkdir -p "$XDG_CONFIG_HOME/waybar"
cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x800 position 0,0
exec waybar -c $XDG_CONFIG_HOME/waybar/config -s $XDG_CONFIG_HOME/waybar/style.css >$work/waybar.log 2>&1
CONF
cat >"$XDG_CONFIG_HOME/waybar/config" <<'CONF'
{ "layer": "top", "position": "top", "height": 28, "modules-left": ["sway/workspaces"],
  "modules-center": ["clock"], "modules-right": ["tray"], "tray": { "icon-size": 22, "spacing": 6 } }
CONF
# Plain boxes, so our item, the only one in the tray, sits at 1252..1274 x 3..25.
cat >"$XDG_CONFIG_HOME/waybar/style.css" <<'CSS'
* { font-family: sans-serif; font-size: 13px; border: none; border-radius: 0; min-height: 0; margin: 0; }
window#waybar { background-color: #2b303b; color: #ffffff; }
#tray { padding: 0 6px; }
CSS
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
wait_for 30 bash -c "ls $XDG_RUNTIME_DIR/wayland-* $XDG_RUNTIME_DIR/sway-ipc.*" || { echo "sway did not start"; cat "$work/sway.log"; exit 1; }
WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n1)")
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.* | head -n1)
export WAYLAND_DISPLAY SWAYSOCK
watcher() { dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.kde.StatusNotifierWatcher | grep -q true; }
wait_for "$timeout_s" watcher || { fail "waybar's tray watcher appears"; exit 1; }

# The seat has a pointer once the virtual one exists.
mkfifo "$work/pointer"
python3 "$(dirname "$0")/virtual_pointer.py" "$work/pointer" 1280 800 >"$work/pointer.log" 2>&1 &
pids+=($!)
click() { timeout 10 bash -c "echo click $* >$work/pointer"; }
seat_has_pointer() { swaymsg -t get_seats | python3 -c '
import json, sys
sys.exit(not any(seat["capabilities"] & 1 for seat in json.load(sys.stdin)))'; }
if wait_for 15 seat_has_pointer; then pass "the seat offers a pointer"; else fail "the seat offers a pointer"; fi

export QT_QPA_PLATFORM=wayland
"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
item=org.kde.StatusNotifierItem-$app_pid-1
registered() { sni_registered "$item"; }
if wait_for "$timeout_s" registered; then pass "the item registers with waybar"; else fail "the item registers with waybar"; fi

# Our windows in sway's tree: "app_id title WxH+X+Y" per line.
windows() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("pid") and n.get("type") in ("con", "floating_con"):
        r = n["rect"]
        print(n.get("app_id"), n.get("name"), "%dx%d+%d+%d" % (r["width"], r["height"], r["x"], r["y"]), n.get("visible"))
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
main_shown() { windows | grep -q ' 焦图 .* True$'; }
if wait_for "$timeout_s" main_shown; then pass "the main window opens"; else fail "the main window opens"; fi
sleep 4
grim "$artefacts/sway-desktop.png" || fail "grim takes a screenshot"

# Whether the part "X,Y WxH" of the screen shows more than one colour.
drawn() { grim -g "$1" -t ppm - | python3 -c '
import sys
pixels = sys.stdin.buffer.read().split(b"\n", 3)[3]
sys.exit(len({pixels[i : i + 3] for i in range(0, len(pixels), 3)}) < 2)'; }
wait_for "$timeout_s" drawn "1252,3 22x22" || fail "the item shows in the tray"
panel_shown() { windows | grep -v ' 焦图 ' | grep -q 'True$'; }
panel_gone() { ! panel_shown; }
click 1263 14 left
if wait_for 15 panel_shown; then
    pass "a left click on the item opens the panel"
    sleep 1
    line=$(windows | grep -v ' 焦图 ' | grep 'True$' | head -n1)
    echo "panel: $line for a click at 1263,14"
    grim "$artefacts/sway-panel.png"
    # Below the bar (28 high) and under the click, as on a desktop that places its popups.
    read -r px py <<<"$(awk '{print $3}' <<<"$line" | tr 'x+' '  ' | awk '{print $3, $4}')"
    if ((px <= 1263 && px + 360 >= 1263 && py >= 28 && py <= 40)); then
        pass "the panel opens under the tray"
    else
        fail "the panel opens at $px,$py, not under the tray (click at 1263,14)"
    fi
    click 1263 14 left
    if wait_for 15 panel_gone; then pass "a second click closes the panel"; else fail "a second click closes the panel"; fi
else
    fail "a left click on the item opens the panel"
fi

second_launch_exits_zero "$app"

# A second launch with the token a launcher hands it brings the main window forward from another
# workspace. sway's default for an activation (focus_on_window_activation urgent) marks the window
# urgent; with "focus", as a user may set, it switches to it.
main_state() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("type") == "workspace": walk.workspace = n["name"]
    if n.get("name") == "焦图" and n.get("pid"):
        print(walk.workspace, "urgent" if n.get("urgent") else "-", "focused" if n.get("focused") else "-")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
main_is() { [[ $(main_state) == "$1" ]]; }
launch_with_token() {
    local token
    token=$(timeout 10 python3 "$(dirname "$0")/activation_token.py") || { fail "the compositor hands out a token"; return 1; }
    XDG_ACTIVATION_TOKEN=$token timeout 30 "$app" >>"$work/second.log" 2>&1 || fail "second launch with a token exits 0"
}
swaymsg '[title="^焦图$"] move container to workspace 2' >/dev/null && swaymsg workspace 1 >/dev/null
if main_is "2 - -"; then
    launch_with_token
    if wait_for 10 main_is "2 urgent -"; then
        pass "a launch with a token marks the main window urgent"
    else
        fail "a launch with a token marks the main window urgent ($(main_state))"
    fi
    swaymsg focus_on_window_activation focus >/dev/null && swaymsg workspace 1 >/dev/null
    launch_with_token
    if wait_for 10 main_is "2 - focused"; then
        pass "with focus_on_window_activation focus, a launch with a token focuses the main window"
    else
        fail "a launch with a token focuses the main window ($(main_state))"
    fi
    grim "$artefacts/sway-activated.png"
else
    fail "the main window moves to workspace 2 ($(main_state))"
fi

# waybar shows the item's menu on a right click. On the empty workspace 1 it is what stands out from
# the background below the bar: "X Y W H".
menu_box() { grim -g "880,28 400x300" -t ppm - | python3 -c '
import sys
_, size, _, pixels = sys.stdin.buffer.read().split(b"\n", 3)
width = int(size.split()[0])
background = pixels[-3:]
hits = [(i // 3 % width, i // 3 // width) for i in range(0, len(pixels), 3) if pixels[i : i + 3] != background]
if len(hits) < 1000: sys.exit(1)
xs, ys = [x for x, _ in hits], [y for _, y in hits]
print(880 + min(xs), 28 + min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)' | grep .; }
swaymsg workspace 1 >/dev/null
click 1263 14 right
if wait_for 15 menu_box; then
    read -r mx my mw mh <<<"$(menu_box)"
    pass "a right click shows the tray menu (${mw}x$mh at $mx,$my)"
    grim "$artefacts/sway-menu.png"
    # The second of its two rows is "退出".
    click $((mx + mw / 2)) $((my + mh * 3 / 4)) left
    quits_with_zero "$app_pid"
else
    fail "a right click shows the tray menu"
fi
grep -i "qt.qpa\|wayland" "$work/app.log" | head -5
echo "screenshots in $artefacts"
exit $((failures > 0))
