#!/usr/bin/env bash
# The bottom bar and the window manager's close, seen from outside: what the
# process returns and what the service hears.
source "$(dirname "$0")/lib.sh"

start_service
envini="$HOME/.config/KaiwoShell/usr/PCPYDict/env.ini"

run_and_act() { # ACTION: ok, cancel, close
    : >"$JOURNAL"
    open_tool
    case "$1" in
    ok) close_tool "${OK_BUTTON[@]}" ;;
    cancel) close_tool "${CANCEL_BUTTON[@]}" ;;
    close) # A key sent while the window manager is still busy can be lost.
        local window
        window=$(tool_window)
        for _ in 1 2 3 4 5; do
            kill -0 "$TOOL_PID" 2>/dev/null || break
            xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null || true
            for _ in $(seq 1 20); do kill -0 "$TOOL_PID" 2>/dev/null && sleep 0.1 || break; done
        done
        STATUS=0
        wait_exit "$TOOL_PID" 20 || STATUS=$? ;;
    esac
}

run_and_act ok
[ "$STATUS" -eq 0 ] || fail "OK exited $STATUS"
[ "$(journal)" = "$(printf 'ReloadConfig\nRebuildKeyMap')" ] || fail "OK sent: $(journal)"
[ -f "$envini" ] || fail "no per-user env.ini after OK"
before=$(md5sum <"$envini")

run_and_act cancel
[ "$STATUS" -eq 0 ] || fail "Cancel exited $STATUS"
[ -z "$(journal)" ] || fail "Cancel sent: $(journal)"
[ "$(md5sum <"$envini")" = "$before" ] || fail "Cancel changed env.ini"

run_and_act close
[ "$STATUS" -eq 0 ] || fail "closing the window exited $STATUS"
[ -z "$(journal)" ] || fail "closing sent: $(journal)"
[ "$(md5sum <"$envini")" = "$before" ] || fail "closing changed env.ini"

kill "$SERVICE_PID"
