#!/usr/bin/env bash
# Builds the window and saves a picture of each page of 选择夹1 (and of the other two sub-pages of
# "岚枫阁计划") as build/default/screenshots/page-N.png, drawn in a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target planviewer_screenshots

out=build/default/screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x800x24" build/default/src/gui/planviewer_screenshots "$out"
ls "$out"
