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
cd "$build_dir"
ctest "$@"
