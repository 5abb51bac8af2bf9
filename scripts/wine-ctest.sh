#!/usr/bin/env bash
# Runs the cross-built tests of BUILD_DIR through ctest under Wine, in a fresh prefix and the
# Japanese locale (code page 932). Wine's services start before ctest: started by the first
# test, they would inherit ctest's output pipe, and ctest would wait for them for ever.
set -euo pipefail
build_dir=$1
shift

prefix=$(mktemp -d "${TMPDIR:-/tmp}/nr-qd8k-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL

stop() {
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap stop EXIT

wineserver -p
wine wineboot --init </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build_dir"
ctest "$@"
