# Sourced: starts a virtual X display with a window manager and a notification area host, sets
# DISPLAY, and adds their process ids to the array "pids" for the caller to end.
# Xvfb picks a free display number itself and writes it once it accepts connections.
display_fifo="$(mktemp -u)"
mkfifo "$display_fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_fifo" >/dev/null 2>&1 &
pids+=($!)
read -r -t 30 display_number <"$display_fifo" || { echo "Xvfb did not start" >&2; exit 1; }
rm -f "$display_fifo"
export DISPLAY=":$display_number"
openbox >/dev/null 2>&1 &
pids+=($!)
trayer_log="$(mktemp)"
trayer --edge top --align right --widthtype request --height 24 --transparent false \
    --tint 0x303030 --SetDockType true >"$trayer_log" 2>&1 &
pids+=($!)
# The notification area is there once trayer owns the tray selection and its window shows.
if ! /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/tray-owner.py" 60; then
    echo "no notification area on $DISPLAY; trayer said:" >&2
    cat "$trayer_log" >&2
    exit 1
fi
for _ in $(seq 300); do
    xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
    sleep 0.1
done
rm -f "$trayer_log"
