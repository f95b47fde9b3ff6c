#!/usr/bin/env bash
# Two copies started at the same moment on one display, twenty times: each
# round leaves exactly one window, and the copy that lost exits with 1.
source "$(dirname "$0")/lib.sh"

start_service
name="com.kaiwoimeservice_configtool.hotel_$(display_number)"

for round in $(seq 1 20); do
    "$TOOL" &
    first=$!
    "$TOOL" &
    second=$!
    wait_for "a window in round $round" tool_window
    # The loser leaves by itself; the winner keeps running.
    for _ in $(seq 1 100); do
        kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$first" 2>/dev/null; then winner=$first loser=$second; else winner=$second loser=$first; fi
    status=0
    wait_exit "$loser" 10 || status=$?
    [ "$status" -eq 1 ] || fail "round $round: the second copy exited $status, expected 1"
    kill -0 "$winner" 2>/dev/null || fail "round $round: both copies ended"
    windows=$(xdotool search --onlyvisible --name '^凯沃输入法$' | wc -l)
    [ "$windows" -eq 1 ] || fail "round $round: $windows windows"

    kill "$winner"
    wait "$winner" 2>/dev/null || true
    wait_for "the bus to drop the name after round $round" '! has_bus_name "$name"'
done

kill "$SERVICE_PID"
