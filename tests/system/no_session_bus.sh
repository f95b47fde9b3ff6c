#!/usr/bin/env bash
# Without a session bus the tool cannot keep to one instance: it exits 1
# before it shows anything. No service and no per-user folders: it still
# opens, and says the copies failed.
source "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=offscreen

for address in "unix:path=$KAIWO_SCRATCH/no-such-socket" ""; do
    status=0
    if [ -n "$address" ]; then
        DBUS_SESSION_BUS_ADDRESS=$address DISPLAY= timeout 20 "$TOOL" 2>/dev/null || status=$?
    else
        env -u DBUS_SESSION_BUS_ADDRESS DISPLAY= timeout 20 "$TOOL" 2>/dev/null || status=$?
    fi
    [ "$status" -eq 1 ] || fail "with bus address '$address' the tool exited $status, expected 1"
done
