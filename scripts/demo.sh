#!/usr/bin/env bash
# Opens the installed tool with the stand-in service running. Without a
# display it starts Xvfb with openbox and saves a screenshot of the window.
set -euo pipefail
shot=${KAIWO_SCREENSHOT:-/tmp/kaiwo-configtool.png}
cleanup() { kill ${pids[@]+"${pids[@]}"} 2>/dev/null || true; }
trap cleanup EXIT
pids=()

if [ -z "${DISPLAY:-}" ]; then
    headless=1
    # -displayfd: Xvfb picks a free display and tells us its number.
    exec 3<> <(:)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 10 number <&3
    export DISPLAY=":$number"
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
fi
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    eval "$(dbus-launch --sh-syntax)"
    pids+=("$DBUS_SESSION_BUS_PID")
fi

kaiwoimebs-service &
pids+=($!)
sleep 0.5

if [ -n "${headless:-}" ]; then
    kaiwoIme-configtool &
    pids+=($!)
    for _ in $(seq 1 50); do
        xdotool search --name '^凯沃输入法$' >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    # import composes every window, override-redirect ones included.
    import -window root "$shot"
    echo "Screenshot of the settings window: $shot"
else
    kaiwoIme-configtool || true
fi
