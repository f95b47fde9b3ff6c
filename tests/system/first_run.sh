#!/usr/bin/env bash
# First start provisions env.ini, Correction.ini and Fuzzy.dat from the
# shipped copies; later starts never overwrite what the user has. HOME holds
# spaces, quotes, a dollar sign and Chinese characters.
source "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=offscreen
export HOME="$KAIWO_SCRATCH/home 'single' \"double\" \$(touch pwned) 用户"
mkdir -p "$HOME"
user="$HOME/.config/KaiwoShell/usr/PCPYDict"
shipped="$KAIWOIMEBS_DATA_ROOT/KaiwoShell/dict/PCPYDict"

# Fuzzy.dat is provisioned last, so once it is there the tool is past the
# step under test.
run_tool_once() {
    "$TOOL" &
    local pid=$!
    wait_for "provisioning" 'test -f "$user/Fuzzy.dat"'
    kill "$pid"
    wait "$pid" || true
}

start_service
[ -d "$user" ] || fail "the service did not create the per-user folder"
run_tool_once
for f in env.ini Correction.ini Fuzzy.dat; do
    cmp "$shipped/$f" "$user/$f" || fail "$f was not provisioned byte for byte"
done

printf '[Setting]\nQuanPin=0\n' >"$user/env.ini"
printf 'edited\n' >"$user/Correction.ini"
rm "$user/Fuzzy.dat"
run_tool_once
[ "$(cat "$user/env.ini")" = "$(printf '[Setting]\nQuanPin=0')" ] || fail "env.ini was overwritten"
[ "$(cat "$user/Correction.ini")" = "edited" ] || fail "Correction.ini was overwritten"
cmp "$shipped/Fuzzy.dat" "$user/Fuzzy.dat" || fail "a missing Fuzzy.dat was not provisioned again"
[ ! -e pwned ] && [ ! -e "$HOME/pwned" ] || fail "a path reached a shell unquoted"

kill "$SERVICE_PID"
