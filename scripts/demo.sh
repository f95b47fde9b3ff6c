#!/usr/bin/env bash
# Shows the installed product: fcitx 4 running the kaiwo input method, a
# text field to type Chinese into, and the settings tool. Without a display
# it starts Xvfb with openbox, types "nihao" into the field and saves a
# screenshot of the tool beside the candidate window.
#
# fcitx runs in a private demo HOME (KAIWO_DEMO_HOME, a new folder by
# default) so that your own fcitx and Kaiwo settings stay as they are.
set -euo pipefail
shot=${KAIWO_SCREENSHOT:-/tmp/kaiwo-configtool.png}
here=$(cd "$(dirname "$0")/.." && pwd)
pad=${KAIWO_TYPING_PAD:-$here/build/bin/kaiwo-typing-pad}
cleanup() { kill ${pids[@]+"${pids[@]}"} 2>/dev/null || true; }
trap cleanup EXIT
pids=()

export HOME=${KAIWO_DEMO_HOME:-$(mktemp -d /tmp/kaiwo-demo.XXXXXX)}
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    # -displayfd: Xvfb picks a free display and tells us its number.
    exec 3<> <(:)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
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

# A first run shows the Blue skin in a vertical list, so the screenshot has
# the Appearance page beside the window it produced.
settings="$HOME/.config/KaiwoShell/usr/PCPYDict/env.ini"
if [ ! -e "$settings" ]; then
    mkdir -p "$(dirname "$settings")"
    printf '[Setting]\nSkinEnabled=1\nActiveSkinName=Blue\nCandStyle=1\n' >"$settings"
fi
mkdir -p "$HOME/.config/fcitx"
printf '[Profile]\nIMName=kaiwo\nEnabledIMList=fcitx-keyboard-us:True,kaiwo:True\n' \
    >"$HOME/.config/fcitx/profile"
printf '[Program]\nDelayStart=0\nDefaultInputMethodState=Active\nShareStateAmongWindow=All\n[Hotkey]\nSwitchKey=Disabled\n' \
    >"$HOME/.config/fcitx/config"
fcitx -D -s 0 >"$HOME/fcitx.log" 2>&1 &
pids+=($!)
name="com.kaiwoimeservice.hotel_${DISPLAY#*:}"
name=${name%%.*}
for _ in $(seq 1 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.ListNames 2>/dev/null | grep -q "\"$name\"" && break
    sleep 0.1
done

QT_IM_MODULE=fcitx GTK_IM_MODULE=fcitx XMODIFIERS=@im=fcitx "$pad" "$HOME/typed.txt" &
pids+=($!)
QT_IM_MODULE=fcitx kaiwoIme-configtool &
tool=$!
pids+=($tool)
for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^凯沃输入法$' >/dev/null 2>&1 &&
        xdotool search --onlyvisible --name '^kaiwo-typing-pad$' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 1
window=$(xdotool search --onlyvisible --name '^凯沃输入法$' | head -1)
xdotool windowmove --sync "$window" 480 120
# The Appearance category, third in the window's side bar.
xdotool mousemove --sync 555 275 click 1

if [ -n "${headless:-}" ]; then
    xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^kaiwo-typing-pad$' | head -1)"
    sleep 1
    xdotool type --delay 80 nihao
    sleep 0.5
    # import composes every window, override-redirect ones included.
    import -window root "$shot"
    xdotool key space
    sleep 0.3
    echo "Typed n i h a o and space; the field holds: $(cat "$HOME/typed.txt")"
    echo "Screenshot of the settings window and the candidate window: $shot"
else
    echo "Type into the text field; close the settings window to end the demo."
    wait "$tool" || true
fi
