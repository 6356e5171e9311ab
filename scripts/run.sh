#!/usr/bin/env bash
# Installs what is missing, builds the viewer and the demo origin (nothing else), starts the
# origin, waits until it answers and starts the viewer against it. With no display both run in a
# virtual X server: the viewer's pages are saved as pictures once the data has arrived, and the
# script ends.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR="$PWD"
build=build/default
cmake --preset default >/dev/null
cmake --build --preset default --target planviewer planviewer-origin planviewer_screenshots

"$build/origin/planviewer-origin" >"$build/origin.log" 2>&1 &
origin_pid=$!
config=$(mktemp -d)
trap 'kill "$origin_pid" 2>/dev/null || true; wait "$origin_pid" 2>/dev/null || true; rm -rf "$config"' EXIT

# A settings file of this run's own names the origin's sites, so that neither the user's nor the
# system-wide settings file sends the viewer elsewhere.
mkdir -p "$config/planviewer"
cat >"$config/planviewer/planviewer.conf" <<'CONF'
[sites]
plan_server = 127.0.0.1
plan_server_port = 2200
plan_page_site = http://127.0.0.1:2201
draw_site = http://127.0.0.1:2202
publisher_site = http://127.0.0.1:2203
counter_site = http://127.0.0.1:2204
counter_image_prefix = http://127.0.0.1:2204
blog_site = http://127.0.0.1:2205
CONF
export XDG_CONFIG_HOME="$config"

# The origin plays every site on ports 2200 to 2205; the viewer starts once the last answers.
for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/2205) 2>/dev/null && break
    kill -0 "$origin_pid" 2>/dev/null || { cat "$build/origin.log"; exit 1; }
    sleep 0.1
done
echo "demo origin running on 127.0.0.1:2200-2205 (log: $build/origin.log)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "starting the viewer; close its window (or press Ctrl+C here) to stop both"
    "$build/src/gui/planviewer"
else
    out="$build/screenshots/live"
    echo "no display: running the viewer in a virtual X server to take pictures of its pages"
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/src/gui/planviewer_screenshots" --live "$out"
    echo "pictures of every page with live data: $out/"
    ls "$out"
fi
