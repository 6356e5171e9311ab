#!/usr/bin/env bash
# Fails when a library's sources include a header of a library above it or beside it, when a
# library's CMakeLists.txt links one it may not use, or when a Qt header reaches a Qt-free
# library. The include roots already make such an include fail to compile; this names the
# offending line in one place.
set -uo pipefail
root="$1"
src="$root/src"

declare -A allowed=(
    [core]="core"
    [web]="web core"
    [catalogue]="catalogue core"
    [plans]="plans catalogue web core"
    [killplans]="killplans plans catalogue web core"
    [draw]="draw web core"
    [publisher]="publisher web core"
    [check]="check catalogue core"
    [app]="app check plans killplans draw publisher catalogue web core"
    [gui]="gui app check plans killplans draw publisher catalogue web core"
    [origin]="origin catalogue core"
)

# Names each include of $2 (a folder) that reaches a folder outside allowed[$1].
check_includes() {
    local folder=$1 dir=$2 hit file target
    while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "${file#$root/}: includes $target/, which $folder may not use"
            status=1
        fi
    done < <(grep -rHE '^\s*#\s*include\s+"[a-z_]+/' "$dir")
}

# Names each library of a folder that $2 (a CMakeLists.txt) links outside allowed[$1].
check_links() {
    local folder=$1 file=$2 target
    for target in $(grep -oE 'planviewer_[a-z_]+' "$file" | sed 's/^planviewer_//' | sort -u); do
        [[ $target == origin_* ]] && target=origin
        [ -z "${allowed[$target]+x}" ] && continue  # not a library of a folder
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "${file#$root/}: links planviewer_$target, which $folder may not use"
            status=1
        fi
    done
}

status=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    if [ -z "${allowed[$folder]+x}" ]; then
        echo "src/$folder: a folder with no place in the layers"
        status=1
        continue
    fi
    check_includes "$folder" "$dir"
    check_links "$folder" "$dir/CMakeLists.txt"
    if [ "$folder" != gui ] && grep -rHnE '^\s*#\s*include\s+<(Q[A-Za-z]|qt)' "$dir"; then
        echo "src/$folder is Qt-free: the lines above include Qt"
        status=1
    fi
done
check_includes origin "$root/origin"
check_links origin "$root/origin/CMakeLists.txt"
if grep -rHnE '^\s*#\s*include\s+<(Q[A-Za-z]|qt)' "$root/origin"; then
    echo "origin is Qt-free: the lines above include Qt"
    status=1
fi
if grep -HnE '^\s*#\s*include\s+<(Q[A-Za-z]|qt)' "$root"/tests/support/fake_*; then
    echo "the fakes are Qt-free: the lines above include Qt"
    status=1
fi
# Tests share helpers through tests/support alone.
if grep -rHnE '^\s*#\s*include\s+"\.\./' "$root/tests"; then
    echo "tests include files of other test folders: the lines above"
    status=1
fi
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
