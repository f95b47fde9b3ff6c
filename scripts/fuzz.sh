#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs
# each for SECONDS_PER_TARGET seconds (default 30) on a copy of its seed
# corpus. Fails when any target finds a crash, a leak or a timeout.
#   FUZZ_TARGETS="fuzz_kcel ..."  runs only those targets
#   FUZZ_JOBS=N                   targets run at once (default: cores, at most 2)
# Findings are kept in build-fuzz/fuzz-artifacts/<target>/; reproduce one with
#   build-fuzz/fuzz/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-30}
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || {
    echo "usage: $0 [SECONDS_PER_TARGET]" >&2
    exit 2
}

# The normal build's packages and what only fuzzing needs: clang and
# libFuzzer's runtime.
scripts/install-deps.sh clang libclang-rt-14-dev

build=$root/build-fuzz
start=$(date +%s)
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE= -DKAIWO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)" >"$build/fuzz-build.log" 2>&1 || {
    tail -n 50 "$build/fuzz-build.log"
    echo "fuzz: build failed (log: $build/fuzz-build.log)"
    exit 1
}
echo "fuzz: built the targets in $(($(date +%s) - start)) s"

# target, dictionary (fuzz/dict/<name>.dict, - for none), -max_len, -rss_limit_mb
table=(
    "fuzz_ini_parser ini 8192 1536"
    "fuzz_settings_store ini 8192 1536"
    "fuzz_fuzzy_file section_key 4096 1536"
    "fuzz_correction_file section_key 4096 1536"
    "fuzz_configtool_xml configtool_xml 4096 1536"
    "fuzz_shuangpin_scheme ini 4096 1536"
    "fuzz_kcdlist kcdlist 4096 1536"
    "fuzz_kcel kcel 16384 1024"
    "fuzz_phrase_binary phrase_binary 16384 1024"
    "fuzz_phrase_text phrase_text 8192 1024"
    "fuzz_dictionary_import dictionary_import 8192 1536"
)
selected=${FUZZ_TARGETS:-}
jobs=${FUZZ_JOBS:-$(nproc)}
[ "$jobs" -le 2 ] || jobs=2

run=$build/fuzz-run
rm -rf "$run"
mkdir -p "$run" "$build/fuzz-artifacts"
# The targets' scratch files: in memory when /dev/shm is there.
scratch=$(mktemp -d "$([ -w /dev/shm ] && echo /dev/shm || echo "$run")/kaiwo-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

run_target() {
    local target=$1 dict=$2 max_len=$3 rss=$4
    local work=$run/$target
    mkdir -p "$work/corpus" "$build/fuzz-artifacts/$target"
    cp "$root/fuzz/corpus/$target/"* "$work/corpus/"
    local args=(-max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb="$rss" -timeout=10
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target/")
    [ "$dict" = - ] || args+=(-dict="$root/fuzz/dict/$dict.dict")
    local began rc=0
    began=$(date +%s)
    TMPDIR=$scratch "$build/fuzz/$target" "${args[@]}" "$work/corpus" >"$work/log" 2>&1 || rc=$?
    echo "$rc $(($(date +%s) - began))" >"$work/result"
}

names=()
for row in "${table[@]}"; do
    read -r target dict max_len rss <<<"$row"
    if [ -n "$selected" ] && [[ " $selected " != *" $target "* ]]; then
        continue
    fi
    names+=("$target")
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    echo "fuzz: $target for $seconds s"
    run_target "$target" "$dict" "$max_len" "$rss" &
done
wait

failed=0
printf '\n%-24s %6s %12s %7s %7s %6s\n' target result executions cov ft time
for target in "${names[@]}"; do
    work=$run/$target
    read -r rc took <"$work/result"
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$work/log" | tail -n 1 || true)
    cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    result=ok
    [ "$rc" -eq 0 ] || result=FAIL
    printf '%-24s %6s %12s %7s %7s %5ss\n' "$target" "$result" "${execs:-?}" "${cov:-?}" \
        "${ft:-?}" "$took"
    if [ "$rc" -ne 0 ]; then
        failed=1
        {
            echo "---- $target (exit $rc), log $work/log:"
            grep -E -A 30 'ERROR: |fuzz invariant broken|runtime error' "$work/log" | head -n 60
            grep -E '^(artifact_prefix|Test unit written)' "$work/log" || true
        } >>"$run/failures"
    fi
done
if [ "$failed" -ne 0 ]; then
    echo
    cat "$run/failures"
    echo "fuzz: FAILED"
    exit 1
fi
echo "fuzz: all targets passed"
