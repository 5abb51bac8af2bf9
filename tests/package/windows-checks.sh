# What the tests that run the Windows programs under Wine share, beside checks.sh: Wine without
# root's powers, settings that start the server, and a run of the window program as an operator
# makes it. Sourced, after `set -euo pipefail`.

# Root writes where the write bits say no; without its capabilities it is refused as a user is.
unprivileged=()
if [ "$(id -u)" -eq 0 ]; then unprivileged=(setpriv --inh-caps=-all --bounding-set=-all --); fi
win() { "${unprivileged[@]}" wine "$@"; }

# Settings in HOME that start the server at once on a free port and log; the program must find
# them there, or nothing listens.
prepare_settings() {
    local home=$1
    port=$(perl -MIO::Socket::INET -e 'print IO::Socket::INET->new(LocalAddr => "127.0.0.1:0", Listen => 1)->sockport')
    mkdir -p "$home"
    printf '#$PORT=%s\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n' "$port" >"$home/line.qd"
    printf 'line.qd\r\n' >"$home/NR-QD8K.ini"
}

ended() { ! kill -0 "$program_pid" 2>/dev/null; }
# Runs PROGRAM, serves two reports through UNIT, then closes the window as an operator does.
serve_two_reports() {
    local program=$1 unit=$2 name=$3
    win "$program" </dev/null >/dev/null 2>&1 &
    program_pid=$!
    within 20 listens || fail "$name: nothing listens on $port"
    local reply
    reply=$(win "$unit" --host 127.0.0.1 --port "$port" 01 15 | tr -d '\r')
    [ "$reply" = "01 15" ] || fail "$name: reply to 01 15: $reply"
    reply=$(win "$unit" --host 127.0.0.1 --port "$port" --three 02 0a | tr -d '\r')
    [ "$reply" = "02 0a" ] || fail "$name: reply to fa 02 0a: $reply"

    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --classname '^nr-qd8k\.exe$' | head -1)
    [ -n "$window" ] || fail "$name: no window"
    if [ -n "${NR_SCREENSHOTS:-}" ]; then import -window root "$NR_SCREENSHOTS/$name.png"; fi
    xdotool windowfocus --sync "$window" key Escape
    within 20 ended || fail "$name: still running 20 s after Escape"
    wait "$program_pid" || fail "$name: exit status $?"
}
