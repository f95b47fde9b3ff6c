#!/usr/bin/env bash
# A program the tool starts (the browser behind the About page's link) gets
# the user's environment, not what the tool set for itself: the tool turns
# OpenGL off for its own windows only.
source "$(dirname "$0")/lib.sh"

start_service
browser="$KAIWO_SCRATCH/browser"
cat >"$browser" <<'SCRIPT'
#!/bin/sh
env >"$KAIWO_SCRATCH/browser-env"
printf '%s\n' "$1" >"$KAIWO_SCRATCH/browser-url"
SCRIPT
chmod +x "$browser"
# The tool marks the session as GNOME, so xdg-open hands links to gio, which
# asks the user's default handler; BROWSER serves a bare xdg-open.
export BROWSER="$browser"
mkdir -p "$HOME/.local/share/applications" "$HOME/.config"
cat >"$HOME/.local/share/applications/test-browser.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Test browser
Exec=$browser %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
DESKTOP
printf '[Default Applications]\nx-scheme-handler/https=test-browser.desktop\nx-scheme-handler/http=test-browser.desktop\n' \
    >"$HOME/.config/mimeapps.list"
unset QT_XCB_GL_INTEGRATION

"$TOOL" &
pid=$!
wait_for "the settings window" tool_window
window=$(tool_window)
sleep 0.3
xdotool mousemove --window "$window" 73 383 click 1 # 关于
sleep 0.3
xdotool mousemove --window "$window" 600 42 click 1 # 进入官网(G)
wait_for "the browser" 'test -s "$KAIWO_SCRATCH/browser-url"'
grep -q '^http' "$KAIWO_SCRATCH/browser-url" || fail "the browser got: $(cat "$KAIWO_SCRATCH/browser-url")"
wait_for "the browser's environment" 'test -s "$KAIWO_SCRATCH/browser-env"'
! grep -q '^QT_XCB_GL_INTEGRATION=' "$KAIWO_SCRATCH/browser-env" ||
    fail "the browser inherited the tool's QT_XCB_GL_INTEGRATION"

kill "$pid" "$SERVICE_PID"
