#!/usr/bin/env bash
# Builds the Debian packages, installs the viewer's package with apt-get as a user would, and
# checks its menu entry, its icon, its software-centre entry and its example settings file.
# Then it starts the demo origin on other ports than the compiled defaults, writes a user
# settings file that points the installed command there, and checks that the command's start-up
# requests arrive and that it keeps running. Removes the package again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR="$PWD"
build=build/default
cmake --preset default >/dev/null
cmake --build --preset default --target planviewer planviewer-origin planviewer_icon
rm -f "$build"/planviewer*.deb
(cd "$build" && cpack -G DEB >/dev/null)
viewer_deb=$(ls "$build"/planviewer_*.deb)
origin_deb=$(ls "$build"/planviewer-origin_*.deb)
echo "packages: $viewer_deb $origin_deb"

work=$(mktemp -d)
origin_pid=""
cleanup() {
    [ -n "$origin_pid" ] && kill "$origin_pid" 2>/dev/null && wait "$origin_pid" 2>/dev/null
    rm -rf "$work"
    apt-get remove -y planviewer >/dev/null 2>&1 || true
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends "./$viewer_deb" >/dev/null

metainfo=/usr/share/metainfo/example.planviewer.planviewer.metainfo.xml
example=/usr/share/doc/planviewer/planviewer.conf.example
for f in /usr/bin/planviewer /usr/share/applications/planviewer.desktop \
    /usr/share/icons/hicolor/128x128/apps/planviewer.png "$metainfo" "$example"; do
    [ -s "$f" ] || { echo "package test: $f is missing"; exit 1; }
done
grep -qx 'Exec=planviewer' /usr/share/applications/planviewer.desktop
command -v desktop-file-validate >/dev/null &&
    desktop-file-validate /usr/share/applications/planviewer.desktop
# There is no outside network: the screenshot addresses are checked for form only.
appstreamcli validate --no-net "$metainfo"
for key in plan_server plan_server_port plan_page_site draw_site publisher_site counter_site \
    counter_id counter_image_prefix blog_site; do
    grep -q "^# $key = " "$example" || { echo "package test: $example lacks $key"; exit 1; }
done

# The demo origin on the first free block of six ports from a few candidates.
base=""
for candidate in 24310 25310 26310 27310 28310; do
    "$build/origin/planviewer-origin" --port-base "$candidate" >"$work/origin.log" 2>&1 &
    origin_pid=$!
    for _ in $(seq 100); do
        grep -q serving "$work/origin.log" && break
        kill -0 "$origin_pid" 2>/dev/null || break
        sleep 0.1
    done
    if grep -q serving "$work/origin.log"; then
        base=$candidate
        break
    fi
    kill "$origin_pid" 2>/dev/null || true
    wait "$origin_pid" 2>/dev/null || true
    origin_pid=""
done
[ -n "$base" ] || { echo "package test: no free ports for the demo origin"; exit 1; }
echo "package test: demo origin on 127.0.0.1:$base-$((base + 5))"

# The user's settings file, as a user would write it from the example.
config="$work/config"
mkdir -p "$config/planviewer"
cat >"$config/planviewer/planviewer.conf" <<CONF
[sites]
plan_server = 127.0.0.1
plan_server_port = $base
plan_page_site = http://127.0.0.1:$((base + 1))
draw_site = http://127.0.0.1:$((base + 2))
publisher_site = http://127.0.0.1:$((base + 3))
counter_site = http://127.0.0.1:$((base + 4))
counter_image_prefix = http://127.0.0.1:$((base + 4))
blog_site = http://127.0.0.1:$((base + 5))
CONF

# The count of visits the origin's counter has had beyond its start, this request included.
visits() {
    local digits
    digits=$(curl -s --max-time 5 "http://127.0.0.1:$((base + 4))/count/count.asp?id=1&ys=43" |
        grep -o '/img/43/[0-9]\.gif' | sed 's|/img/43/||; s|\.gif||' | tr -d '\n')
    echo $((10#${digits:-0} - 1000))
}

# The installed command must bring up its window, make its start-up requests at the origin and
# stay up until it is stopped.
XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen timeout 8 planviewer 2>"$work/viewer.log" &
viewer_pid=$!
polls=0
seen=no
for _ in $(seq 60); do
    polls=$((polls + 1))
    if [ "$(visits)" -gt "$polls" ]; then
        seen=yes
        break
    fi
    sleep 0.1
done
set +e
wait "$viewer_pid"
rc=$?
set -e
if [ $seen != yes ]; then
    echo "package test: the installed planviewer's visit did not reach the origin on $base"
    cat "$work/viewer.log"
    exit 1
fi
if [ $rc -ne 124 ]; then
    echo "package test: the installed planviewer ended by itself with $rc"
    cat "$work/viewer.log"
    exit 1
fi
if grep -q '^settings:' "$work/viewer.log"; then
    echo "package test: the settings file was not taken whole:"
    grep '^settings:' "$work/viewer.log"
    exit 1
fi
if [ "$(cd "$config" && find . -type f)" != "./planviewer/planviewer.conf" ]; then
    echo "package test: the program wrote into its settings folder"
    exit 1
fi
echo "package test: installed; menu entry, icon, metainfo and example in place; the command" \
    "follows its settings file to the origin on $base and keeps running"
