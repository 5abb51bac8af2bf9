# Sourced by the scripts that run windows on a display of their own. start_display starts a
# private Xvfb display with openbox and exports DISPLAY; start_wine makes a fresh Wine prefix
# with code page 932 and the Japanese fonts and starts its services; stop_session ends both.
# The caller traps EXIT with stop_session.

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/nr-qd8k-session.XXXXXX")
xvfb_pid=
wm_pid=
wine_started=

start_display() {
    # Xvfb picks a free display and names it on the descriptor it is given.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$session_dir/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$session_dir/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$session_dir/display")"
    openbox >/dev/null 2>&1 &
    wm_pid=$!
}

# Wine's services start here: started by a program under test, they would inherit its output
# pipes, and whoever reads them (ctest) would wait for ever.
start_wine() {
    export WINEPREFIX=$session_dir/prefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
    unset LC_ALL
    mkdir -p "$WINEPREFIX"
    wine_started=1
    # Root writes where the write bits say no. Wine's server, which opens the files for every
    # Windows program, runs without root's capabilities, so that a folder without them is refused
    # as it is to a user.
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --inh-caps=-all --bounding-set=-all --); fi
    "${as_user[@]}" wineserver -p
    wine wineboot --init </dev/null >/dev/null 2>&1
    local fonts='HKCU\Software\Wine\Fonts\Replacements'
    wine reg add "$fonts" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1
    wine reg add "$fonts" /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1
    # The desktop of every window, started here: started by the first windowed program once the
    # prefix has settled, it costs over ten seconds.
    wine explorer.exe /desktop=Default </dev/null >/dev/null 2>&1 &
}

stop_session() {
    if [ -n "$wine_started" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$session_dir"
}
