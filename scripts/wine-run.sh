#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix scripts/wine-session.sh prepared (or a
# given WINEPREFIX), quietly and without the Mono or Gecko prompts.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/nr-qd8k-wine}"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
