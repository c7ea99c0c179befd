#!/usr/bin/env bash
# Drives the real window on a virtual X display with a window manager and a notification area:
# search, check, filter, minimise to the icon, a right click that does nothing, restore by a left
# click on the icon, close. Saves a screenshot of each step and checks that the home page was
# opened exactly once, through a stub browser.
#
# Then the watch list: a name listed for deletion today is watched while the stand-in's clock
# stands before its drop, the stand-in's clock passes the drop, and the name found free is
# announced in the notification area.
#
# Needs a build (BUILD_DIR, default build/); starts the stand-in services on 127.0.0.1:8730.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
shots="${SCREENSHOT_DIR:-$root/screenshots}"
work="$(mktemp -d)"
mkdir -p "$shots"
pids=()
source "$root/scripts/stand-in.sh"
cleanup() {
    stop_stand_in
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

source "$root/scripts/virtual-display.sh"
start_stand_in

# The default browser, as far as Qt asks for one, is a stub that records what it was given.
mkdir -p "$work/bin"
cat > "$work/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$1" >> "$work/opened.txt"
STUB
chmod +x "$work/bin/xdg-open"

PATH="$work/bin:$PATH" XDG_CURRENT_DESKTOP= "$build/morrowcatch" > "$work/window.log" 2>&1 &
app=$!
pids+=($app)

window=""
for _ in $(seq 100); do
    window="$(xdotool search --name '^Morrowcatch1\.2' 2>/dev/null | head -1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5

shot() { import -window root "$shots/$1.png"; echo "screenshot $shots/$1.png"; }
# Clicks a point given in the window's own pixels.
click_at() { xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"; sleep 0.2; }
type_into() { click_at "$1" "$2"; xdotool key --clearmodifiers ctrl+a; xdotool type --delay 20 "$3"; }

shot 01-start
# Names of up to three characters holding an "a": two pages on the stand-in.
type_into 116 81 "a"
click_at 44 24                 # 开始搜索
sleep "${SEARCH_SECONDS:-6}"
shot 02-searched
click_at 140 24                # 验证是否被注册
sleep "${CHECK_SECONDS:-12}"
shot 03-checked
click_at 244 24                # 过滤已被注册
sleep 0.5
shot 04-filtered

xdotool windowminimize "$window"
sleep 1
shot 05-minimised
tray="$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -1 || true)"
if [ -z "$tray" ]; then echo "no notification area host" >&2; exit 1; fi
eval "$(xdotool getwindowgeometry --shell "$tray")"
icon_x=$((X + 12)); icon_y=$((Y + 12))
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 1
shot 06-right-click-does-nothing
if xdotool search --onlyvisible --name '^Morrowcatch1\.2' >/dev/null 2>&1; then
    echo "a right click on the icon brought the window back" >&2; exit 1
fi
xdotool mousemove "$icon_x" "$icon_y" click 1
sleep 1
shot 07-restored
xdotool search --onlyvisible --name '^Morrowcatch1\.2' >/dev/null || {
    echo "a left click on the icon did not bring the window back" >&2; exit 1; }

wmctrl -c Morrowcatch1.2 || xdotool key --window "$window" alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "the program did not end after closing" >&2; exit 1; fi
shot 08-closed
opened=$(wc -l < "$work/opened.txt" 2>/dev/null || echo 0)
echo "home page opened $opened time(s): $(cat "$work/opened.txt" 2>/dev/null)"
[ "$opened" -eq 1 ] || { echo "the home page should open exactly once" >&2; exit 1; }
echo "scripted run passed"
