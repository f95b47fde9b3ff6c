#!/usr/bin/env bash
# HOME with a newline, backticks, $(...), quotes, Chinese characters and 200
# characters; a read-only HOME; a per-user folder that is a file. The window
# opens, OK saves what can be saved and exits 0, nothing a path names is
# ever run, and nothing the tool could not write is harmed.
source "$(dirname "$0")/lib.sh"

start_service
cd "$KAIWO_SCRATCH"
# run_ok HOME: OK with that HOME; STATUS holds the exit status.
run_ok() {
    : >"$JOURNAL"
    open_and_press_ok "$1"
}

# 200 characters and more, in components a file system takes.
long="long"
while [ ${#long} -lt 220 ]; do long="$long/$(printf '长%.0s' $(seq 1 20))$(printf 'x%.0s' $(seq 1 20))"; done
for name in \
    "new
line \`touch pwned-backtick\` \$(touch pwned-dollar)" \
    "quotes 'single' \"double\" ; touch pwned-semicolon & 用户" \
    "$long"; do
    home="$KAIWO_SCRATCH/$name"
    mkdir -p "$home"
    run_ok "$home"
    [ "$STATUS" -eq 0 ] || fail "OK with HOME '$name' exited $STATUS"
    envini="$home/.config/KaiwoShell/usr/PCPYDict/env.ini"
    grep -q '^QuanPin=' "$envini" || fail "OK did not save into HOME '$name'"
    [ "$(journal | cut -f1)" = "$(printf 'ReloadConfig\nRebuildKeyMap')" ] ||
        fail "OK with HOME '$name' sent: $(journal)"
done
pwned=$(find "$KAIWO_SCRATCH" -name 'pwned*' | head -1)
[ -z "$pwned" ] || fail "a path reached a shell unquoted: $pwned"

# A per-user folder that is a file stays that file.
home="$KAIWO_SCRATCH/folder is a file"
mkdir -p "$home/.config/KaiwoShell/usr"
printf 'keep me\n' >"$home/.config/KaiwoShell/usr/PCPYDict"
run_ok "$home"
[ "$STATUS" -eq 0 ] || fail "OK with a file for the per-user folder exited $STATUS"
[ "$(cat "$home/.config/KaiwoShell/usr/PCPYDict")" = "keep me" ] || fail "the file was harmed"

# A read-only HOME, made so in a mount namespace of this test (root ignores
# file modes). Skipped where no mount namespace can be made.
if unshare --mount true 2>/dev/null; then
    home="$KAIWO_SCRATCH/read-only home"
    mkdir -p "$home/.config/KaiwoShell/usr/PCPYDict"
    printf '[Setting]\nQuanPin=0\n' >"$home/.config/KaiwoShell/usr/PCPYDict/env.ini"
    before=$(find "$home" -type f -exec md5sum {} + | sort)
    # shellcheck disable=SC2016 # expanded by the inner shell
    unshare --mount --propagation private -- bash -c '
        mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" "$1"
        source "$2/lib.sh"
        open_and_press_ok "$1"
        [ "$STATUS" -eq 0 ] || fail "OK with a read-only HOME exited $STATUS"
        echo "read-only HOME: OK exited 0"
    ' read_only "$home" "$(dirname "$0")"
    [ "$(find "$home" -type f -exec md5sum {} + | sort)" = "$before" ] ||
        fail "a read-only HOME changed"
fi

kill "$SERVICE_PID"
