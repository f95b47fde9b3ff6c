#!/usr/bin/env bash
# Start-up of the settings tool against a bare Qt 5 window, under a private
# Xvfb + openbox + session bus with the service stand-in running.
#   startup.sh BUILD_DIR [RUNS]
# Each run has a fresh HOME; the two programs alternate, one warm-up each,
# then RUNS (default 15) timed runs each. map_watch times exec -> MapNotify
# and reads the peak RSS (see map_watch.cpp). Then the OK round trip: RUNS
# runs of the tool clicked on "确定" 300 ms after mapping, timed from the
# click to the process's exit, each checked to have saved and sent
# ReloadConfig and RebuildKeyMap to the service.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
tool="$build/bin/kaiwoIme-configtool"
bare="$build/bench/bare_window"
watch="$build/bench/map_watch"
service="$build/bin/kaiwoimebs-service"

if [ -z "${KAIWO_BENCH_INNER:-}" ]; then
    scratch=$(mktemp -d /tmp/kaiwo-startup.XXXXXX)
    cleanup() {
        [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
        [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
        wait 2>/dev/null || true
        rm -rf "$scratch"
    }
    trap cleanup EXIT
    unset QT_QPA_PLATFORM
    exec 3<> <(:)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
    x_pid=$!
    display=""
    for _ in $(seq 1 100); do
        if read -r -t 0.1 display <&3 && [ -n "$display" ]; then break; fi
    done
    [ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$display"
    openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    KAIWO_BENCH_INNER=$scratch dbus-run-session -- "$0" "$build" "$runs"
    exit
fi

scratch=$KAIWO_BENCH_INNER
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export KAIWOIMEBS_DATA_ROOT="$scratch/data"
mkdir -p "$KAIWOIMEBS_DATA_ROOT"
(cd "$source_dir/data" && tar --exclude=CMakeLists.txt --exclude='*.md' -cf - .) |
    (cd "$KAIWOIMEBS_DATA_ROOT" && tar -xf -)
export QT_LOGGING_RULES="kaiwo.configtool.debug=false"

"$service" --journal "$scratch/journal.log" 2>/dev/null &
service_pid=$!
trap 'kill $service_pid 2>/dev/null || true' EXIT
bus="com.kaiwoimeservice.hotel_${DISPLAY#:}"
for _ in $(seq 1 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames | grep -q "\"$bus\"" && break
    sleep 0.1
done

# The bus drops a dead process's names a moment after it exits; a tool
# started before that would find "itself" running and leave at once.
wait_tool_gone() {
    for _ in $(seq 1 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.ListNames | grep -q "configtool.hotel_${DISPLAY#:}\"" || return 0
        sleep 0.02
    done
}

run_once() { # PROGRAM [WATCH OPTIONS] -> "map_ms rss_kb"
    wait_tool_gone
    local home program=$1
    shift
    home=$(mktemp -d "$scratch/home.XXXXXX")
    local line
    line=$(HOME=$home "$watch" "$@" "$program")
    rm -rf "$home"
    case "$line" in
    *exit=0 | *exit=0\ *) ;;
    *) echo "run of $1 failed: $line" >&2; exit 1 ;;
    esac
    [[ $line == *click_exit_ms=* ]] && { echo "${line##*click_exit_ms=}"; return; }
    line=${line#map_ms=}
    echo "${line%% rss_kb=*} $(echo "$line" | sed 's/.*rss_kb=\([0-9]*\).*/\1/')"
}

run_once "$bare" >/dev/null
run_once "$tool" >/dev/null
: >"$scratch/bare" && : >"$scratch/tool"
for _ in $(seq 1 "$runs"); do
    run_once "$bare" >>"$scratch/bare"
    run_once "$tool" >>"$scratch/tool"
done

# stats FILE COLUMN -> "median min max"
stats() {
    cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f %.1f\n", m, v[1], v[NR] }'
}
read -r bm bmin bmax <<<"$(stats "$scratch/bare" 1)"
read -r tm tmin tmax <<<"$(stats "$scratch/tool" 1)"
read -r br _ _ <<<"$(stats "$scratch/bare" 2)"
read -r tr _ _ <<<"$(stats "$scratch/tool" 2)"
cpus=$(nproc)
echo "start-up, exec -> window mapped, $runs runs each after one warm-up ($cpus cores):"
printf '  bare Qt window   median %6.1f ms  min %6.1f  max %6.1f  peak RSS %6.1f MB\n' \
    "$bm" "$bmin" "$bmax" "$(awk "BEGIN{print $br/1024}")"
printf '  settings tool    median %6.1f ms  min %6.1f  max %6.1f  peak RSS %6.1f MB\n' \
    "$tm" "$tmin" "$tmax" "$(awk "BEGIN{print $tr/1024}")"
awk -v t="$tm" -v b="$bm" -v tr="$tr" -v br="$br" 'BEGIN {
    ratio = t / b; extra = (tr - br) / 1024
    printf "  ratio of medians %.2f (target <= 1.25): %s\n", ratio, ratio <= 1.25 ? "PASS" : "FAIL"
    printf "  extra peak RSS %.1f MB (target <= 15 MB): %s\n", extra, extra <= 15 ? "PASS" : "FAIL"
}'

# OK round trip; OK sits at (441, 514) of the window.
: >"$scratch/ok"
for _ in $(seq 1 "$runs"); do
    : >"$scratch/journal.log"
    run_once "$tool" --click 441,514 >>"$scratch/ok"
    [ "$(cut -f1 "$scratch/journal.log")" = "$(printf 'ReloadConfig\nRebuildKeyMap')" ] ||
        { echo "OK did not reach the service: $(cat "$scratch/journal.log")" >&2; exit 1; }
done
read -r om omin omax <<<"$(stats "$scratch/ok" 1)"
printf '  OK round trip    median %6.1f ms  min %6.1f  max %6.1f (target < 50 ms): %s\n' \
    "$om" "$omin" "$omax" "$(awk -v m="$om" 'BEGIN{print m < 50 ? "PASS" : "FAIL"}')"
