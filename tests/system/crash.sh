#!/usr/bin/env bash
# A fault appends a trace to the crash log in 512-byte blocks and ends every
# running copy of the tool. The handler kills by name, so this runs in a PID
# namespace of its own where no other process can be hit.
source "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=offscreen
# Under AddressSanitizer the tool's own handlers must see the fault, not
# the sanitizer's (later options override earlier ones; without the
# sanitizer nothing reads this).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}handle_segv=0:handle_sigill=0:handle_abort=0"

if [ "${1:-}" != "--inside" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "needs root for a PID namespace; skipped"; exit 77; }
    exec unshare --pid --fork --mount-proc "$0" --inside
fi

log="$HOME/.config/kaiwoimebs/config-crash.log"
mkdir -p "$(dirname "$log")"
printf 'earlier' >"$log"

copies() { pgrep -x -c kaiwoIme-config || true; }

# The handlers are installed after the bus name is claimed; "InitShell:"
# is logged later still, so once it is there a fault reaches the handler.
QT_LOGGING_RULES="kaiwo.configtool.debug=true" "$TOOL" 2>"$KAIWO_SCRATCH/first.log" &
first=$!
# A second copy on a bus of its own, so single-instance does not stop it.
dbus-run-session -- "$TOOL" 2>/dev/null &
wait_for "two copies running" 'test "$(copies)" -eq 2'
wait_for "the first copy's start-up" 'grep -q "InitShell:" "$KAIWO_SCRATCH/first.log"'

kill -SEGV "$first"
status=0
wait_exit "$first" 20 || status=$?
[ "$status" -eq 137 ] || [ "$status" -eq 139 ] || fail "the crashed copy ended with status $status"
wait_for "every copy to end" 'test "$(copies)" -eq 0'

size=$(stat -c %s "$log")
body=$((size - 7))
[ "$(head -c 7 "$log")" = "earlier" ] || fail "the log was not appended to"
[ $((body % 512)) -eq 0 ] || fail "log body of $body bytes is not whole 512-byte blocks"
blocks=$((body / 512))
[ "$blocks" -ge 2 ] && [ "$blocks" -le 21 ] || fail "$blocks blocks: want a header and 1 to 20 frames"

block() { # the 512 bytes of block N after the earlier content
    dd if="$log" iflag=skip_bytes,count_bytes skip=$((7 + 512 * $1)) count=512 bs=512 status=none
}
block_text() { # the text of block N, up to its first NUL
    block "$1" | tr '\0' '\n' | sed -n 1p
}
header="!!!--- received signal: 11=$(python3 -c 'import signal; print(signal.strsignal(11))')! Stack trace"
[ "$(block_text 0)" = "$header" ] || fail "header block reads '$(block_text 0)'"
for i in $(seq 1 $((blocks - 1))); do
    text=$(block_text "$i")
    [[ $text =~ ^$((i - 1))\ .+\ $ ]] || fail "frame block $i reads '$text'"
done
# Each block is its text padded with NUL bytes to the full 512.
header_bytes=${#header}
padding=$(block 0 | tail -c $((512 - header_bytes - 1)) | tr -d '\0' | wc -c)
[ "$padding" -eq 0 ] || fail "header block not NUL-padded"
exit 0
