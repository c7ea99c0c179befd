#!/usr/bin/env bash
# Runs the notification test against a real notification service: dunst on a virtual display,
# on a session bus of its own that starts no other service. Dunst writes what it shows to a file
# for the test to read. Needs a build with the tests (BUILD_DIR, default build/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT

if [ -z "${MORROWCATCH_NOTIFICATION_BUS:-}" ]; then
    cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    # The bus lives as long as this script's second run; the trap above cleans up after it.
    MORROWCATCH_NOTIFICATION_BUS=1 dbus-run-session --config-file="$work/bus.conf" -- \
        bash "$0" "$@"
    exit
fi

source "$root/scripts/virtual-display.sh"
record="$work/shown"
cat >"$work/record.sh" <<EOF
#!/bin/sh
# Application name, summary, body, icon and urgency, written whole so a reader never sees half.
printf '%s\0' "\$1" "\$2" "\$3" "\$4" "\$5" >"$record.part" && mv "$record.part" "$record"
EOF
chmod +x "$work/record.sh"
cat >"$work/dunstrc" <<EOF
[global]
    # As in Debian's own dunstrc: bodies are read as markup.
    markup = full
[record]
    summary = "*"
    script = $work/record.sh
EOF
dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
pids+=($!)
service_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
        grep -q 'boolean true'
}
for _ in $(seq 300); do
    service_up && break
    sleep 0.1
done
service_up || { echo "dunst did not start:" >&2; cat "$work/dunst.log" >&2; exit 1; }
echo "notification service capabilities:" $(dbus-send --session --print-reply \
    --dest=org.freedesktop.Notifications /org/freedesktop/Notifications \
    org.freedesktop.Notifications.GetCapabilities | grep -o '"[^"]*"')

log="$work/test.log"
MORROWCATCH_REAL_NOTIFICATIONS=1 MORROWCATCH_NOTIFICATION_RECORD="$record" QT_QPA_PLATFORM=xcb \
    "$build/tests/app/app_tests" --gtest_filter='RealNotificationService.*' | tee "$log"
# The test must have run here, not skipped.
grep -q '^\[       OK \] RealNotificationService.aFreeNameIsShown' "$log" || {
    echo "the notification test did not run against the service" >&2
    exit 1
}
echo "notification tests passed"
