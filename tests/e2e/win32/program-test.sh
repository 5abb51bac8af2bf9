#!/usr/bin/env bash
# NR-QD8K.exe itself, run as a Windows operator runs it, in the Wine session and on the display
# scripts/wine-ctest.sh prepared. Copied into a folder of its own whose name ends in 表 (its
# second byte is '\'), it starts from its pointer file, serves, logs and ends on Escape. Installed
# (its folder not writable), it refuses a %LOCALAPPDATA%\NR-QD8K it cannot use (a file of that
# name) with a message captioned with its name, then finds the folder there once it is one and
# serves from it.
# Usage: program-test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
packages=$(dirname "$0")/../../package
source "$packages/checks.sh"
source "$packages/windows-checks.sh"

scratch=$(mktemp -d)
local_data=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then kill -KILL "$program_pid" 2>/dev/null || true; fi
    chmod -R u+w "$scratch"
    rm -rf "$scratch" "$local_data/NR-QD8K"
}
trap cleanup EXIT

portable=$scratch/ソムあポ表
mkdir "$portable"
cp "$build/NR-QD8K.exe" "$build/nr-unit.exe" "$portable/"
prepare_settings "$portable"
serve_two_reports "$portable/NR-QD8K.exe" "$portable/nr-unit.exe" portable
check_csv "$portable" DI1

installed=$scratch/installed
mkdir "$installed"
cp "$build/NR-QD8K.exe" "$build/nr-unit.exe" "$installed/"
chmod a-w "$installed"
rm -rf "$local_data/NR-QD8K"
touch "$local_data/NR-QD8K"
win "$installed/NR-QD8K.exe" </dev/null >/dev/null 2>&1 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --classname '^nr-qd8k\.exe$' | head -1)
[ -n "$window" ] || fail "refused: no message"
caption=$(xdotool getwindowname "$window")
[ "$caption" = NR-QD8K ] || fail "refused: the message's caption reads $caption"
xdotool windowfocus --sync "$window" key Return
within 20 ended || fail "refused: still running 20 s after the message"
wait "$program_pid" || fail "refused: exit status $?"

rm "$local_data/NR-QD8K"
prepare_settings "$local_data/NR-QD8K"
serve_two_reports "$installed/NR-QD8K.exe" "$installed/nr-unit.exe" installed
check_csv "$local_data/NR-QD8K" DI1
program_pid=
echo "NR-QD8K.exe served and logged from its own folder and, installed, from %LOCALAPPDATA%"
