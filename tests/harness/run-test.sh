#!/usr/bin/env bash
# Runs one test in isolation: a fresh HOME, a private copy of the shipped
# data, and — by mode — its own session bus (bus) or its own X server with
# openbox plus a session bus (x11).
#   run-test.sh plain|bus|x11 COMMAND [ARGS...]
set -euo pipefail
mode=$1
shift

scratch=$(mktemp -d /tmp/kaiwo-test.XXXXXX)
cleanup() {
    # Whatever the test left running dies with it; a stray child holding
    # ctest's output pipe would hang the whole run.
    [ -n "${test_sid:-}" ] && pkill -KILL -s "$test_sid" 2>/dev/null || true
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -n "${tee_pid:-}" ] && wait "$tee_pid" 2>/dev/null || true
    # An AddressSanitizer or LeakSanitizer report from any process of the
    # test fails it, also one from a child whose exit status nobody looks at
    # or whose stderr was thrown away; the report goes into the test's output.
    local reports=0
    for report in "$scratch"/sanitizer/*; do
        [ -f "$report" ] || continue
        echo "==== sanitizer report ${report##*/}" >&2
        cat "$report" >&2
        reports=$((reports + 1))
    done
    # UndefinedBehaviorSanitizer ignores log_path when it shares the process
    # with AddressSanitizer: its reports are found in the test's stderr.
    if [ -n "${stderr_copy:-}" ] && grep -q "runtime error:" "$stderr_copy" 2>/dev/null; then
        echo "==== UndefinedBehaviorSanitizer reported (above)" >&2
        reports=$((reports + 1))
    fi
    rm -rf "$scratch"
    [ "$reports" -eq 0 ] || exit 1
}
trap cleanup EXIT

export HOME="$scratch/home"
mkdir -p "$HOME"
export KAIWOIMEBS_DATA_ROOT="$scratch/data"
mkdir -p "$KAIWOIMEBS_DATA_ROOT"
(cd "$KAIWO_SOURCE_DIR/data" && tar --exclude=CMakeLists.txt --exclude='*.md' -cf - .) |
    (cd "$KAIWOIMEBS_DATA_ROOT" && tar -xf -)
# The catalogues are built, not shipped in data/.
if [ -d "$KAIWO_BUILD_DIR/i18n" ]; then cp -r "$KAIWO_BUILD_DIR/i18n" "$KAIWOIMEBS_DATA_ROOT/"; fi
export KAIWO_SCRATCH="$scratch"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export PATH="$KAIWO_BUILD_DIR/bin:$PATH"
if [ -n "${ASAN_OPTIONS:-}" ]; then
    mkdir -p "$scratch/sanitizer"
    export ASAN_OPTIONS="$ASAN_OPTIONS:log_path=$scratch/sanitizer/report:log_exe_name=1"
    stderr_copy="$scratch/stderr.log"
fi

# run_in_own_session COMMAND...: runs it as the leader of a new session so
# cleanup can end everything it started.
run_in_own_session() {
    if [ -n "${stderr_copy:-}" ]; then
        # The copying tee is this shell's child, not the test's: tests
        # check that they leave no children behind.
        exec 4> >(tee "$stderr_copy" >&2)
        tee_pid=$!
        setsid "$@" 2>&4 4>&- &
        exec 4>&-
    else
        setsid "$@" &
    fi
    test_sid=$!
    local status=0
    wait "$test_sid" || status=$?
    return $status
}

# start_x_and_openbox: one try at an X server of our own with openbox
# managing it; fails if either does not come up.
start_x_and_openbox() {
    local display=""
    exec 3<> <(:)
    Xvfb ":$((RANDOM % 900 + 100))" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        >"$scratch/xvfb.log" 2>&1 &
    x_pid=$!
    for _ in $(seq 1 100); do
        if read -r -t 0.1 display <&3 && [ -n "$display" ]; then break; fi
        kill -0 "$x_pid" 2>/dev/null || break
    done
    exec 3>&-
    [ -n "$display" ] || return 1
    export DISPLAY=":$display"
    openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
    wm_pid=$!
    # A window mapped before openbox runs is never managed by it, so the test
    # starts only once it does. Openbox names itself before it lists what it
    # supports; xdotool refuses to activate windows until _NET_ACTIVE_WINDOW
    # is listed.
    for _ in $(seq 1 300); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
            xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW' && wm_ready=1 && return 0
        kill -0 "$wm_pid" 2>/dev/null && kill -0 "$x_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

stop_x_and_openbox() {
    local pid
    for pid in ${wm_pid:-} ${x_pid:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    wm_pid="" x_pid=""
}

case "$mode" in
plain)
    unset DBUS_SESSION_BUS_ADDRESS
    run_in_own_session "$@"
    ;;
bus)
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    run_in_own_session dbus-run-session -- "$@"
    ;;
x11)
    unset QT_QPA_PLATFORM
    # Each try takes a random display number rather than the lowest free one:
    # a number another test has just given up can still have its dying
    # server's socket and lock behind, and two tests starting together would
    # race for the same lowest number. A try counts only once openbox manages
    # the screen, so whatever went wrong, the next try starts afresh.
    wm_ready=""
    for _ in 1 2 3 4 5; do
        start_x_and_openbox && break
        stop_x_and_openbox
        sleep 0.$((RANDOM % 5 + 1))
    done
    [ -n "$wm_ready" ] || {
        echo "Xvfb with openbox did not start" >&2
        cat "$scratch/xvfb.log" "$scratch/openbox.log" >&2
        exit 1
    }
    run_in_own_session dbus-run-session -- "$@"
    ;;
*)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
