#!/usr/bin/env bash
# Takes both Windows packages as an operator would, under Wine on a virtual display: the zip
# unpacked must keep its files beside the program; the installed copy, whose folder a user may
# not write, must keep them in %LOCALAPPDATA%\NR-QD8K, and its uninstaller must leave them.
# Each serves two reports from a unit and logs them, with its window and without (nr-serve, which
# prints its trace and ends on Ctrl+C).
# Usage: windows-package-test.sh BUILD_DIR   (NR_SCREENSHOTS=DIR keeps a picture of each window)
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/checks.sh"
source "$(dirname "$0")/windows-checks.sh"

zip=$(echo "$build"/NR-QD8K-*-win64.zip)
setup=$(echo "$build"/NR-QD8K-*-win64-setup.exe)
[ -f "$zip" ] && [ -f "$setup" ] || fail "no packages in $build"
version=${zip##*/NR-QD8K-}
version=${version%-win64.zip}

scratch=$(mktemp -d)
xvfb_pid= wm_pid= program_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    for pid in $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT

# Code page 932 comes from the Japanese locale. No menu entries for the desktop of this machine.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
unset LC_ALL

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
within 20 test -s "$scratch/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$scratch/display")
openbox >/dev/null 2>&1 &
wm_pid=$!

# A fresh Windows for each package, with the Japanese fonts the program asks for.
new_prefix() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k; fi
    export WINEPREFIX=$scratch/$1
    mkdir "$WINEPREFIX"
    win wineboot --init </dev/null >/dev/null 2>&1
    win reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
    win reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null
    local_data=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local
    [ -d "$local_data" ] || fail "no $local_data"
}

# The same without a window: nr-serve prints its trace in the system's code page and ends on
# Ctrl+C, which Wine hands a console program as the interrupt signal.
serve_two_reports_without_window() {
    local program=$1 unit=$2 name=$3
    # exec: the signal goes to the program itself, not to a shell around it.
    (exec "${unprivileged[@]}" wine "$program" </dev/null >"$scratch/$name.out" 2>&1) &
    program_pid=$!
    within 20 listens || fail "$name: nothing listens on $port"
    [ "$(win "$unit" --host 127.0.0.1 --port "$port" 01 15 | tr -d '\r')" = "01 15" ] ||
        fail "$name: no reply to 01 15"
    [ "$(win "$unit" --host 127.0.0.1 --port "$port" --three 02 0a | tr -d '\r')" = "02 0a" ] ||
        fail "$name: no reply to fa 02 0a"
    kill -INT "$program_pid"
    within 20 ended || fail "$name: still running 20 s after Ctrl+C"
    wait "$program_pid" || fail "$name: exit status $?"
    local printed
    printed=$(iconv -f CP932 -t UTF-8 "$scratch/$name.out" | tr -d '\r')
    for line in "cfgファイルが見つかったから処理する" "server start." "Send : 01 15" \
        "Received : fa 02 0a" "server stop."; do
        grep -qF "$line" <<<"$printed" || fail "$name: not printed: $line
$printed"
    done
}

# The zip: one folder, four files, a README Notepad shows right; run where it was unpacked.
folder=NR-QD8K-$version-win64
listing=$(unzip -Z1 "$zip" | sort)
[ "$listing" = "$(printf '%s\n' "$folder/NR-QD8K.exe" "$folder/README.txt" "$folder/nr-serve.exe" "$folder/nr-unit.exe")" ] ||
    fail "zip holds: $listing"
unzip -q "$zip" -d "$scratch/unpacked"
portable=$scratch/unpacked/$folder
[ "$(head -c3 "$portable/README.txt" | od -An -tx1)" = " ef bb bf" ] || fail "README.txt has no BOM"
! LC_ALL=C grep -qv $'\r$' "$portable/README.txt" || fail "README.txt has lines without CR LF"

new_prefix portable
prepare_settings "$portable"
serve_two_reports "$portable/NR-QD8K.exe" "$portable/nr-unit.exe" portable
check_csv "$portable" DI1
rm "$portable/NR-QD8K.csv"
serve_two_reports_without_window "$portable/nr-serve.exe" "$portable/nr-unit.exe" portable-serve
check_csv "$portable" DI1
[ ! -e "$local_data/NR-QD8K" ] || fail "the portable copy wrote to $local_data/NR-QD8K"

# The installer, silent, into a fresh Windows.
new_prefix installed
win "$setup" /S </dev/null >/dev/null 2>&1 || fail "setup /S exit status $?"
installed=$WINEPREFIX/drive_c/Program\ Files/NR-QD8K
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/NR-QD8K.lnk
for file in NR-QD8K.exe nr-serve.exe nr-unit.exe README.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\NR-QD8K'
entry=$(win reg query "$key" | tr -d '\r')
for value in "DisplayName    REG_SZ    NR-QD8K" "DisplayVersion    REG_SZ    $version" \
    "DisplayIcon    REG_SZ    C:\\Program Files\\NR-QD8K\\NR-QD8K.exe,0" \
    "Publisher    REG_SZ    NR-QD8K maintainers"; do
    grep -qF "$value" <<<"$entry" || fail "uninstall entry lacks $value: $entry"
done

# Program Files, as a user sees it: not writable.
chmod a-w "$installed"
user_home=$local_data/NR-QD8K
prepare_settings "$user_home"
serve_two_reports 'C:\Program Files\NR-QD8K\NR-QD8K.exe' 'C:\Program Files\NR-QD8K\nr-unit.exe' installed
check_csv "$user_home" DI1
rm "$user_home/NR-QD8K.csv"
serve_two_reports_without_window 'C:\Program Files\NR-QD8K\nr-serve.exe' \
    'C:\Program Files\NR-QD8K\nr-unit.exe' installed-serve
check_csv "$user_home" DI1
chmod u+w "$installed"

# The uninstaller copies itself away and returns at once: its work is done when the folder goes.
win "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "Uninstall /S exit status $?"
within 20 test ! -e "$installed" || fail "still installed: $(ls "$installed")"
[ ! -e "$shortcut" ] || fail "the Start-menu entry stays"
! win reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays"
check_csv "$user_home" DI1
echo "$(basename "$zip"), $(basename "$setup"): each served two reports with its window and without, and logged them where it should"
