#!/usr/bin/env bash
# Runs the cross-built tests of BUILD_DIR through ctest under Wine, in a fresh prefix, the
# Japanese locale (code page 932) and the Japanese fonts, on a private X display with a window
# manager for the window tests. Wine's services start before ctest: started by the first test,
# they would inherit ctest's output pipe, and ctest would wait for them for ever.
set -euo pipefail
build_dir=$1
shift

prefix=$(mktemp -d "${TMPDIR:-/tmp}/nr-qd8k-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL

xvfb_pid=
wm_pid=
stop() {
    wineserver -k 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$prefix"
}
trap stop EXIT

# Xvfb picks a free display and names it on the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$prefix/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$prefix/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$prefix/display")"
openbox >/dev/null 2>&1 &
wm_pid=$!

wineserver -p
wine wineboot --init </dev/null >/dev/null 2>&1
fonts='HKCU\Software\Wine\Fonts\Replacements'
wine reg add "$fonts" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1
wine reg add "$fonts" /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1
# Keeps the desktop of every window for the whole run.
wine "$build_dir/nr-desktop-keeper.exe" </dev/null >/dev/null 2>&1 &
cd "$build_dir"
ctest "$@"
