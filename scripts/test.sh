#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: plain, under AddressSanitizer with
# UndefinedBehaviorSanitizer, and the threaded tests under ThreadSanitizer; runs each fuzz target
# for a short while; then builds the Debian package and checks that it installs and starts.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
export CCACHE_BASEDIR="$PWD"

for preset in default asan; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset tests"
    ctest --preset "$preset"
done

echo "== tsan build"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
echo "== tsan tests (the tests with threads)"
ctest --preset tsan

echo "== fuzzing"
bash scripts/fuzz.sh

echo "== package"
bash scripts/package.sh
