# Sourced: start_stand_in [options...] starts the stand-in services on 127.0.0.1:8730 with the
# given options and waits until they answer; stop_stand_in ends them. Needs "build".
standin=""
start_stand_in() {
    "$build/morrowcatch-sandbox" --port 8730 "$@" &
    standin=$!
    for _ in $(seq 100); do
        curl -s -o /dev/null "http://127.0.0.1:8730/check/check_ac1.cgi?domain=ready.com" && return
        sleep 0.1
    done
    echo "the stand-in services did not start" >&2
    return 1
}
stop_stand_in() {
    [ -n "$standin" ] || return 0
    kill "$standin" 2>/dev/null || true
    wait "$standin" 2>/dev/null || true
    standin=""
}
