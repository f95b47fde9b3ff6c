#!/usr/bin/env bash
# Plants each fault of scripts/mutants.list in turn, rebuilds what the
# covering tests need and runs them: a fault the tests miss "survived".
#   scripts/mutants.sh [ID...]     (default: every fault in the list)
# Works in the checkout and build/ (configured beforehand); the mutated file
# is put back even when interrupted, and build/ is rebuilt clean at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=scripts/mutants.list
build=${KAIWO_MUTANT_BUILD:-build}
[ -f "$build/CMakeCache.txt" ] || { echo "configure $build first" >&2; exit 2; }

backup=$(mktemp /tmp/kaiwo-mutant.XXXXXX)
log=$(mktemp /tmp/kaiwo-mutant-log.XXXXXX)
current=
restore() {
    if [ -n "$current" ]; then
        cp -p "$backup" "$current"
        # A newer time stamp makes the next build recompile the real file.
        touch "$current"
        current=
    fi
}
trap 'restore; rm -f "$backup" "$log"' EXIT
trap 'exit 130' INT TERM

targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
has_target() { grep -qx "$1" <<<"$targets"; }
# The programs the end-to-end tests start.
programs="kaiwoIme-configtool kaiwoimebs-service KaiwoShell KaiwoWbShell kaiwo-typing-pad"
has_target fcitx-kaiwo && programs+=" fcitx-kaiwo"

caught=0 survived=0 survivors=() unbuilt=()
while IFS= read -r line; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    awk -F ' @@ ' '{ exit !(NF == 4 || NF == 5) }' <<<"$line" || { echo "bad line: $line" >&2; exit 2; }
    id=$(awk -F ' @@ ' '{ print $1 }' <<<"$line")
    file=$(awk -F ' @@ ' '{ print $2 }' <<<"$line")
    tests=$(awk -F ' @@ ' '{ print $3 }' <<<"$line")
    if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$id"; then
        continue
    fi
    from=$(awk -F ' @@ ' '{ print $4 }' <<<"$line")
    to=$(awk -F ' @@ ' '{ print $5 }' <<<"$line")
    count=$(FROM=$from perl -0777 -ne 'print scalar(() = /\Q$ENV{FROM}\E/g)' "$file")
    if [ "$count" != 1 ]; then
        echo "$id: the text occurs $count times in $file; fix the list" >&2
        exit 2
    fi

    cp -p "$file" "$backup"
    current=$file
    FROM=$from TO=$to perl -0777 -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$file"

    names=$(cd "$build" && ctest -N -R "$tests" | sed -n 's/^ *Test *#[0-9]*: //p')
    if [ -z "$names" ]; then
        echo "$id: no test matches $tests" >&2
        exit 2
    fi
    build_targets=$programs
    for name in $names; do
        has_target "$name" && build_targets+=" $name"
    done
    # shellcheck disable=SC2086
    if ! nice -n 10 cmake --build "$build" -j2 --target $build_targets >"$log" 2>&1; then
        verdict="does not build: fix the list"
    elif (cd "$build" && ctest -j2 --timeout 120 -R "$tests" >"$log" 2>&1); then
        verdict=survived
    else
        verdict="caught by $(sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(.*\)$/\1/p' "$log" | sort -u | paste -sd' ' -)"
    fi
    restore
    if [ "$verdict" = survived ]; then
        survived=$((survived + 1))
        survivors+=("$id")
    elif [[ "$verdict" == does* ]]; then
        unbuilt+=("$id")
    else
        caught=$((caught + 1))
    fi
    printf '%-28s %s\n' "$id" "$verdict"
done <"$list"

echo "$caught caught, $survived survived${survivors:+: ${survivors[*]}}"
[ ${#unbuilt[@]} -eq 0 ] || echo "did not build (neither caught nor survived): ${unbuilt[*]}"
nice -n 10 cmake --build "$build" -j2 >/dev/null
