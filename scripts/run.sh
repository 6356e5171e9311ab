#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it against the demo origin.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR="$PWD"
cmake --preset default >/dev/null
cmake --build --preset default

build=build/default
if [ ! -x "$build/src/gui/planviewer" ]; then
    echo "built; the window is not part of this build yet"
    exit 0
fi

origin_pid=""
if [ -x "$build/origin/planviewer-origin" ]; then
    "$build/origin/planviewer-origin" &
    origin_pid=$!
    trap '[ -n "$origin_pid" ] && kill "$origin_pid" 2>/dev/null || true' EXIT
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # No desktop session: run in a virtual X server.
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/src/gui/planviewer"
else
    "$build/src/gui/planviewer"
fi
