# Sourced: starts a virtual X display with a window manager and a notification area host, sets
# DISPLAY, and adds their process ids to the array "pids" for the caller to end.
display=":$((90 + RANDOM % 50))"
export DISPLAY="$display"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype request --height 24 --transparent false \
    --tint 0x303030 --SetDockType true >/dev/null 2>&1 &
pids+=($!)
# The notification area is there once trayer's window is.
for _ in $(seq 50); do
    xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
    sleep 0.1
done
