#!/usr/bin/env bash
# Runs the cross-built tests of BUILD_DIR through ctest under Wine, in a fresh prefix, the
# Japanese locale (code page 932) and the Japanese fonts, on a private X display with a window
# manager for the window tests.
set -euo pipefail
build_dir=$1
shift

. "$(dirname "$0")/display-session.sh"
trap stop_session EXIT
start_display
start_wine
# Wine ends the desktop a while after its last window closes, and each window program after that
# waits over ten seconds for it: a window nobody sees keeps it for the whole run.
wine "$build_dir/nr-desktop-keeper.exe" </dev/null >/dev/null 2>&1 &
cd "$build_dir"
ctest "$@"
