# Shared by the end-to-end scripts; sourced, never run.
set -euo pipefail

TOOL="$KAIWO_BUILD_DIR/bin/kaiwoIme-configtool"
SERVICE="$KAIWO_BUILD_DIR/bin/kaiwoimebs-service"
JOURNAL="$KAIWO_SCRATCH/journal.log"
export QT_LOGGING_RULES="kaiwo.configtool.debug=false"

# A command that stops the script under "set -e" says where it was.
trap 'echo "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND" >&2' ERR

# Background processes of a script end with it, also when it fails early.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for DESCRIPTION CONDITION: polls for up to ten seconds. CONDITION is
# a string evaluated afresh each time, so "$(...)" inside it must be quoted
# with single quotes by the caller.
wait_for() {
    for _ in $(seq 1 100); do
        if eval "$2" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    fail "timed out waiting for $1"
}

# Pipelines ending in "grep -q" are avoided: with pipefail, the writer's
# SIGPIPE would turn a match into a failure.
has_bus_name() {
    [[ $(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames) == *"\"$1\""* ]]
}

start_service() {
    "$SERVICE" --journal "$JOURNAL" "$@" &
    SERVICE_PID=$!
    wait_for "the service" "has_bus_name com.kaiwoimeservice.hotel_$(display_number)"
}

display_number() { local d=${DISPLAY:-:0}; d=${d#*:}; echo "${d%%.*}"; }

tool_window() { xdotool search --onlyvisible --name '^凯沃输入法$' | sed -n 1p; }

active_window() { xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //' | xargs printf '%d\n'; }

window_state() { xprop -id "$1" WM_STATE | sed -n 's/.*window state: //p'; }

journal() { cat "$JOURNAL" 2>/dev/null || true; }

# wait_exit PID SECONDS: the process's exit status, or fail if it outlives
# the time.
wait_exit() {
    local pid=$1 limit=$2 status=0
    for _ in $(seq 1 $((limit * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$pid" 2>/dev/null || { kill -9 "$pid"; fail "process $pid still running after ${limit}s"; }
    wait "$pid" || status=$?
    return $status
}

# tool_window_sized WxH: the tool's visible window of that size (the main
# window and every dialog carry the same title).
tool_window_sized() {
    local id
    for id in $(xdotool search --onlyvisible --name '^凯沃输入法$' 2>/dev/null); do
        [[ $(xdotool getwindowgeometry "$id") == *"Geometry: $1"* ]] && { echo "$id"; return 0; }
    done
    return 1
}

# click_until WxH X Y CONDITION: clicks at X,Y in the tool's window of that
# size until CONDITION (as wait_for takes it) holds. A click that lands while
# the window manager is still mapping the window can be lost; it is repeated.
click_until() {
    local size=$1 x=$2 y=$3 condition=$4
    wait_for "the tool's $size window" "tool_window_sized $size"
    sleep 0.3
    for _ in 1 2 3 4 5; do
        xdotool mousemove --window "$(tool_window_sized "$size")" "$x" "$y" click 1 2>/dev/null || true
        for _ in $(seq 1 30); do
            if eval "$condition" >/dev/null 2>&1; then return 0; fi
            sleep 0.1
        done
    done
    fail "clicking $x,$y in the tool's $size window did not bring: $condition"
}

# The main window's OK and Cancel.
OK_BUTTON=(441 514)
CANCEL_BUTTON=(541 514)

# open_tool [HOME]: starts the tool, in this HOME unless another is named,
# and waits for its window; sets TOOL_PID.
open_tool() {
    HOME="${1:-$HOME}" "$TOOL" &
    TOOL_PID=$!
    wait_for "the settings window" tool_window
}

# close_tool X Y: clicks the main window's button at X,Y until the tool
# exits; sets STATUS to its exit status.
close_tool() {
    click_until 700x540 "$1" "$2" '! kill -0 $TOOL_PID'
    STATUS=0
    wait_exit "$TOOL_PID" 20 || STATUS=$?
}

# open_and_press_ok HOME [STEP...]: starts the tool with that HOME, runs the
# steps (commands that drive its windows) once its window is up, presses OK
# and sets STATUS to the tool's exit status.
open_and_press_ok() {
    open_tool "$1"
    shift
    local step
    for step in "$@"; do eval "$step"; done
    close_tool "${OK_BUTTON[@]}"
}
