#!/usr/bin/env bash
# A second start on the same display raises the first window and exits 1,
# whether the first window is behind another one or minimised.
source "$(dirname "$0")/lib.sh"

start_service
"$TOOL" &
first=$!
wait_for "the settings window" tool_window
window=$(tool_window)

# Another client takes the focus.
xlogo -geometry 300x300+10+10 &
other=$!
wait_for "the other window" "xdotool search --onlyvisible --class xlogo"
other_window=$(xdotool search --onlyvisible --class xlogo | sed -n 1p)
# A busy window manager can let an activation lapse: ask again until it holds.
for _ in $(seq 1 20); do
    xdotool windowactivate "$other_window" 2>/dev/null || true
    sleep 0.2
    [ "$(active_window 2>/dev/null)" = "$other_window" ] && break
done
[ "$(active_window)" != "$window" ] || fail "the other window did not take the focus"

status=0
"$TOOL" || status=$?
[ "$status" -eq 1 ] || fail "second start exited $status, expected 1"
wait_for "the first window to become active" 'test "$(active_window)" = "$window"'
[ "$(xdotool search --onlyvisible --name '^凯沃输入法$' | wc -l)" -eq 1 ] || fail "a second window appeared"

xdotool windowminimize --sync "$window"
wait_for "the window to be iconic" 'test "$(window_state "$window")" = Iconic'
status=0
"$TOOL" || status=$?
[ "$status" -eq 1 ] || fail "second start while minimised exited $status"
wait_for "the window to be restored" 'test "$(window_state "$window")" = Normal'
wait_for "the restored window to be active" 'test "$(active_window)" = "$window"'

kill -0 "$first" || fail "the first instance died"
kill "$other" "$first" "$SERVICE_PID"
