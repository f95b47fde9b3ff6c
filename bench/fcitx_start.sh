#!/usr/bin/env bash
# fcitx start to the IME service's bus name owned, with the kaiwo input
# method from the build tree in a fresh HOME each run; fcitx's own name
# (org.fcitx.Fcitx-N) is printed beside it for comparison. Needs a display
# (starts Xvfb when there is none) and runs on a private session bus.
#   fcitx_start.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${KAIWO_BENCH_INNER:-}" ]; then
    export KAIWO_BENCH_INNER=1
    if [ -z "${DISPLAY:-}" ]; then
        exec 3<> <(:)
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        read -r -t 10 number <&3
        export DISPLAY=":$number"
        trap 'kill $xvfb' EXIT
    fi
    dbus-run-session -- "$0" "$@"
    exit
fi
names() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.ListNames
}
ours=() theirs=()
for run in $(seq 1 7); do
    export HOME=$(mktemp -d /tmp/kaiwo-bench-fcitx.XXXXXX)
    mkdir -p "$HOME/.config/fcitx/addon" "$HOME/.config/fcitx/lib"
    cp "$build"/share/fcitx/addon/fcitx-kaiwo*.conf "$HOME/.config/fcitx/addon/"
    ln -s "$build/lib/fcitx/fcitx-kaiwo.so" "$HOME/.config/fcitx/lib/"
    printf '[Profile]\nIMName=kaiwo\nEnabledIMList=kaiwo:True\n' >"$HOME/.config/fcitx/profile"
    printf '[Program]\nDelayStart=0\n' >"$HOME/.config/fcitx/config"
    start=$(date +%s%N)
    fcitx -D -s 0 >/dev/null 2>&1 &
    pid=$!
    fcitx_ms="" kaiwo_ms=""
    for _ in $(seq 1 1000); do
        list=$(names)
        now=$(date +%s%N)
        [ -z "$fcitx_ms" ] && [[ $list == *'"org.fcitx.Fcitx-'* ]] && fcitx_ms=$(((now - start) / 1000000))
        [[ $list == *'"com.kaiwoimeservice.hotel_'* ]] && { kaiwo_ms=$(((now - start) / 1000000)); break; }
        sleep 0.005
    done
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -rf "$HOME"
    [ "$run" -gt 1 ] || continue # the first run warms the caches
    ours+=("$kaiwo_ms") theirs+=("${fcitx_ms:-0}")
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
m=$(median "${ours[@]}")
echo "fcitx start to com.kaiwoimeservice.hotel_N owned: median $m ms (runs: ${ours[*]}); org.fcitx.Fcitx-N: median $(median "${theirs[@]}") ms  target < 500 ms: $([ "$m" -lt 500 ] && echo PASS || echo FAIL)"
