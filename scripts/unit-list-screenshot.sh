#!/usr/bin/env bash
# A picture of the unit list as an operator sees it: the program in a folder of its own on a
# private display under openbox, twenty units from 127.0.0.2 to 127.0.0.21 reporting, .2 and
# .3 gone silent, the list opened from the main window with Shift+F10 and U.
#   scripts/unit-list-screenshot.sh PROGRAM NR-LOAD OUTPUT.png [MAIN.png]
# PROGRAM is NR-QD8K, or NR-QD8K.exe to run under Wine; NR-LOAD is a Linux nr-load. MAIN.png,
# when given, gets the main window as it counts the silent units.
set -euo pipefail
program=$(realpath "$1")
load=$(realpath "$2")
output=$(realpath -m "$3")
main_output=${4:+$(realpath -m "$4")}

. "$(dirname "$0")/display-session.sh"
app_pid=
stop() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    stop_session
}
trap stop EXIT
start_display

home=$session_dir/home
mkdir -p "$home"
cp "$program" "$home/"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
silent=3
printf '#$PORT=%s\r\n#$SERVER=START\r\n#$SILENTSEC=%s\r\n' "$port" "$silent" >"$home/units.qd"
printf 'units.qd' >"$home/NR-QD8K.ini"
cd "$home"
if [[ $program == *.exe ]]; then
    start_wine
    wine "./$(basename "$program")" </dev/null >/dev/null 2>&1 &
else
    QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$session_dir "./$(basename "$program")" </dev/null \
        >/dev/null 2>&1 &
fi
app_pid=$!

report() {  # FIRST UNITS: each unit once, from its own address
    "$load" --port "$port" --from "127.0.0.$1" --units "$2" --burst >/dev/null
}
for _ in $(seq 200); do report 2 20 2>/dev/null && break; sleep 0.1; done
report 2 20
# The others keep reporting while .2 and .3 stay quiet past the silent time.
for _ in $(seq $((silent * 2 + 2))); do
    report 4 18
    sleep 0.5
done
main=$(xdotool search --onlyvisible --name '^NR-QD8K$' | head -1)
xdotool windowactivate --sync "$main"
xdotool key shift+F10
sleep 0.5
xdotool key u
for _ in $(seq 50); do
    list=$(xdotool search --onlyvisible --name 'ユニット一覧' | head -1) && break
    sleep 0.1
done
report 4 18
sleep 1
import -window "$list" -frame "$output"
if [ -n "$main_output" ]; then
    xdotool windowactivate --sync "$main"
    sleep 0.5
    import -window "$main" -frame "$main_output"
fi
echo "$output"
