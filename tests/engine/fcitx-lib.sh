# Starts fcitx 4 with the kaiwo input method from the build tree in this
# test's HOME, and a text field to type into. Sourced after lib.sh.

PAD="$KAIWO_BUILD_DIR/bin/kaiwo-typing-pad"
TYPED="$KAIWO_SCRATCH/typed.txt"
ENV_INI="$HOME/.config/KaiwoShell/usr/PCPYDict/env.ini"

# A failure shows what fcitx and the engine logged last.
fail() {
    echo "FAIL: $*" >&2
    tail -n 30 "$KAIWO_SCRATCH/fcitx.log" >&2 2>/dev/null || true
    exit 1
}

start_fcitx() {
    mkdir -p "$HOME/.config/fcitx/addon" "$HOME/.config/fcitx/lib"
    cp "$KAIWO_BUILD_DIR"/share/fcitx/addon/fcitx-kaiwo*.conf "$HOME/.config/fcitx/addon/"
    ln -sf "$KAIWO_BUILD_DIR/lib/fcitx/fcitx-kaiwo.so" "$HOME/.config/fcitx/lib/"
    printf '[Profile]\nIMName=kaiwo\nEnabledIMList=fcitx-keyboard-us:True,kaiwo:True\n' \
        >"$HOME/.config/fcitx/profile"
    # Shift alone belongs to the input method's own switch, not to fcitx.
    printf '[Program]\nDelayStart=0\nDefaultInputMethodState=Active\nShareStateAmongWindow=All\n[Hotkey]\nSwitchKey=Disabled\n' \
        >"$HOME/.config/fcitx/config"
    local preload="" asan=${ASAN_OPTIONS:-}
    if [ -n "$asan" ]; then
        # An instrumented addon needs the sanitizer's runtime loaded first;
        # fcitx's own allocations that live until exit are not ours to report.
        preload=$(gcc -print-file-name=libasan.so)
        asan="$asan:detect_leaks=0"
    fi
    LD_PRELOAD="$preload" ASAN_OPTIONS="$asan" fcitx -D -s 0 >"$KAIWO_SCRATCH/fcitx.log" 2>&1 &
    FCITX_PID=$!
    wait_for "the IME service" "has_bus_name com.kaiwoimeservice.hotel_$(display_number)"
}

start_pad() {
    QT_IM_MODULE=fcitx "$PAD" "$TYPED" &
    wait_for "the text field" 'xdotool search --onlyvisible --name "^kaiwo-typing-pad$"'
    PAD_WINDOW=$(xdotool search --onlyvisible --name '^kaiwo-typing-pad$' | sed -n 1p)
    focus_pad
    sleep 1 # the client needs a moment before fcitx sends it text
}

focus_pad() {
    xdotool windowactivate --sync "$PAD_WINDOW" 2>/dev/null || xdotool windowfocus --sync "$PAD_WINDOW"
    wait_for "the text field's focus" '[ "$(active_window)" = "$PAD_WINDOW" ]'
}

# set_setting KEY VALUE...: what the tool's pages write into env.ini.
set_setting() {
    while [ $# -gt 1 ]; do
        sed -i "s/^$1=.*/$1=$2/" "$ENV_INI"
        grep -q "^$1=$2\$" "$ENV_INI" || fail "env.ini has no key $1"
        shift 2
    done
}

# apply_with_tool [STEP...]: opens the settings tool, takes the steps in it
# and presses OK: it saves every page and tells the engine, which applies
# the files before the next key.
apply_with_tool() {
    open_and_press_ok "$HOME" "$@"
    [ "$STATUS" -eq 0 ] || fail "the tool exited with $STATUS"
    focus_pad
    sleep 1 # as after start_pad: the focus reaches fcitx a moment after X
}

# apply_settings KEY VALUE...: these settings, then OK in the tool.
apply_settings() { set_setting "$@"; apply_with_tool; }

# typed KEY...: clears the field, presses the keys (xdotool key names) and
# prints what the field then holds.
typed() {
    xdotool key --delay 40 Escape Escape
    wait_for "an empty field" '[ ! -s "$TYPED" ]'
    xdotool key --delay 60 "$@"
    # The field has taken every key once its text stops changing (half a
    # second), however slow the machine.
    local last="" same=0 text
    for _ in $(seq 1 100); do
        sleep 0.1
        text=$(cat "$TYPED")
        if [ "$text" = "$last" ]; then
            same=$((same + 1))
            [ "$same" -ge 5 ] && break
        else
            last=$text same=0
        fi
    done
    cat "$TYPED"
}

# expect TEXT KEY...
expect() {
    local want=$1 got
    shift
    got=$(typed "$@")
    [ "$got" = "$want" ] || fail "keys '$*' typed '$got', expected '$want'"
    echo "ok: $* -> $want"
}
