#!/usr/bin/env bash
# Fails when a library's sources include a header of a library above it, or when a Qt header
# reaches a Qt-free library. The include roots already make such an include fail to compile;
# this names the offending line in one place.
set -uo pipefail
src="$1/src"

declare -A allowed=(
    [core]="core"
    [web]="web core"
    [plans]="plans web core"
    [killplans]="killplans plans web core"
    [draw]="draw plans web core"
    [publisher]="publisher web core"
    [app]="app plans killplans draw publisher web core"
    [gui]="gui app plans killplans draw publisher web core"
)

status=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    if [ -z "${allowed[$folder]+x}" ]; then
        echo "src/$folder: a folder with no place in the layers"
        status=1
        continue
    fi
    while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "${file#$1/}: includes $target/, which src/$folder may not use"
            status=1
        fi
    done < <(grep -rHE '^\s*#\s*include\s+"[a-z_]+/' "$dir")
    if [ "$folder" != gui ] && grep -rHnE '^\s*#\s*include\s+<(Q[A-Za-z]|qt)' "$dir"; then
        echo "src/$folder is Qt-free: the lines above include Qt"
        status=1
    fi
done
if grep -rHnE '^\s*#\s*include\s+<(Q[A-Za-z]|qt)' "$1/tests/fakes"; then
    echo "tests/fakes is Qt-free: the lines above include Qt"
    status=1
fi
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
