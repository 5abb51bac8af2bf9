#!/usr/bin/env bash
# The core (serving, the log, the settings and what grows on them), the serving-only program and
# the platform include nothing of the window: no ui/, no window layer, no Qt. Names every
# include that does, and fails then.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=()
for folder in src/server src/eventlog src/settings src/units src/mqtt src/app/serve src/platform; do
    if [ -d "$folder" ]; then folders+=("$folder"); fi
done
if grep -rnE '#include\s*[<"](ui/|Q[A-Z][A-Za-z]*|qt)' "${folders[@]}"; then
    echo "The core includes the window, its layer or Qt (above): it must stand apart." >&2
    exit 1
fi
echo "The core includes nothing of the window."
