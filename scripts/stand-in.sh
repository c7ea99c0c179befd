# Sourced: start_stand_in [options...] starts the stand-in services on 127.0.0.1:8730 (WHOIS on
# 127.0.0.1:8743) with the given options, points the program's settings file at its registries
# and waits until they answer; stop_stand_in ends them. Needs "build".
standin=""
standin_port=8730
standin_whois_port=8743

# Sets [registry] bootstrap and whois in $XDG_CONFIG_HOME/morrowcatch/morrowcatch.conf (default
# ~/.config), keeping every other group and key of the file as it was.
point_program_at_stand_in() {
    local conf="${XDG_CONFIG_HOME:-$HOME/.config}/morrowcatch/morrowcatch.conf"
    mkdir -p "$(dirname "$conf")"
    /usr/bin/python3 - "$conf" "http://127.0.0.1:$standin_port/rdap/dns.json" \
        "127.0.0.1:$standin_whois_port" <<'PY'
import configparser, os, sys
path, bootstrap, whois = sys.argv[1:4]
# The program writes this file with QSettings: keys keep their case, "=" is the only delimiter,
# no interpolation of "%".
settings = configparser.RawConfigParser(strict=False, delimiters=("=",))
settings.optionxform = str
settings.read(path, encoding="utf-8")
if not settings.has_section("registry"):
    settings.add_section("registry")
settings.set("registry", "bootstrap", bootstrap)
settings.set("registry", "whois", whois)
with open(path + ".tmp", "w", encoding="utf-8") as out:
    settings.write(out, space_around_delimiters=False)
os.replace(path + ".tmp", path)
PY
}

start_stand_in() {
    point_program_at_stand_in
    "$build/morrowcatch-sandbox" --port "$standin_port" --whois-port "$standin_whois_port" "$@" &
    standin=$!
    for _ in $(seq 100); do
        curl -s -o /dev/null "http://127.0.0.1:$standin_port/check/check_ac1.cgi?domain=ready.com" &&
            return
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
