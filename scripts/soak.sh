#!/usr/bin/env bash
# Runs the program through a whole simulated day of draws against the demo origin (a few
# minutes): every trigger, refresh and scrape, with its threads, descriptors, live locks and
# resident memory counted after the first hour and at the end. Arguments go to the soak, e.g.
#   bash scripts/soak.sh --start "2017-03-06 09:00:00" --hours 24 --ms-per-second 20
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR="$PWD"
cmake --preset default >/dev/null
cmake --build --preset default --target planviewer_soak

QT_QPA_PLATFORM=offscreen build/default/tests/e2e/planviewer_soak "$@"
