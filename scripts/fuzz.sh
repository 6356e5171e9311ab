#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ and runs each under afl-fuzz for a bounded time, starting from
# its seed corpus. Fails when any target crashed, hung or broke a check; the inputs that did it
# stay under build/fuzz/findings/<target>/default/{crashes,hangs}/, and
#     build/fuzz/fuzz_<target> <file>
# replays one.
#
#   FUZZ_SECONDS   time per target (default 25)
#   FUZZ_TARGETS   which targets (default: all of them)
#   FUZZ_KEEP=1    go on from the corpus of the previous run instead of the seeds
#   FUZZ_OUT       where the findings go (default build/fuzz/findings)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-25}
read -r -a targets <<<"${FUZZ_TARGETS:-text_ops text_between addresses_cookies header_tail code_pages regex draw_list status_lines blog}"

if ! command -v afl-fuzz >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends afl++
fi

export CCACHE_BASEDIR="$PWD"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build/fuzz --target "${targets[@]/#/fuzz_}"

# The sanitizers must end the process with a signal for afl-fuzz to count a finding; leaks are
# left to the test suite (a persistent loop never exits between inputs).
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
export AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_QUIET=1
export AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_SKIP_CRASHES=1

failed=()
for target in "${targets[@]}"; do
    out=${FUZZ_OUT:-build/fuzz/findings}/$target
    input=fuzz/seeds/$target
    if [ "${FUZZ_KEEP:-0}" = 1 ] && [ -d "$out/default/queue" ]; then
        input=-  # resume
    else
        rm -rf "$out"
        mkdir -p "$(dirname "$out")"
    fi
    echo "== fuzz $target for ${seconds}s"
    # -V bounds the run; the outer timeout only guards against afl-fuzz itself not ending.
    timeout --kill-after=10 $((seconds + 120)) \
        afl-fuzz -V "$seconds" -m none -t 2000 -i "$input" -o "$out" -- "build/fuzz/fuzz_$target" \
        >"build/fuzz/$target.log" 2>&1 || true
    stats=$out/default/fuzzer_stats
    if [ ! -f "$stats" ]; then
        echo "   afl-fuzz did not run; see build/fuzz/$target.log"
        failed+=("$target")
        continue
    fi
    awk -F' *: *' '$1 ~ /^(execs_done|execs_per_sec|corpus_count|saved_crashes|saved_hangs)$/ {
        printf "   %s %s\n", $1, $2 }' "$stats"
    findings=$(find "$out/default/crashes" "$out/default/hangs" -type f -name 'id:*' | wc -l)
    [ "$findings" -eq 0 ] || failed+=("$target")
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: no findings"
