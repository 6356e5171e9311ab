#!/usr/bin/env bash
# Builds the Debian packages, installs the viewer's package with apt-get as a user would, and
# checks its menu entry, its icon and that the installed command starts and keeps running.
# Removes the package again at the end.
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

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends "./$viewer_deb" >/dev/null
trap 'apt-get remove -y planviewer >/dev/null 2>&1 || true' EXIT

for f in /usr/bin/planviewer /usr/share/applications/planviewer.desktop \
    /usr/share/icons/hicolor/128x128/apps/planviewer.png; do
    [ -s "$f" ] || { echo "package test: $f is missing"; exit 1; }
done
grep -qx 'Exec=planviewer' /usr/share/applications/planviewer.desktop
command -v desktop-file-validate >/dev/null &&
    desktop-file-validate /usr/share/applications/planviewer.desktop

# The installed command must bring up its window and stay up until it is stopped.
set +e
QT_QPA_PLATFORM=offscreen timeout 5 planviewer
rc=$?
set -e
if [ $rc -ne 124 ]; then
    echo "package test: the installed planviewer ended by itself with $rc"
    exit 1
fi
echo "package test: installed, menu entry and icon in place, the command starts"
