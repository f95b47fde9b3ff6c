#!/usr/bin/env bash
# No IME service and a brand-new HOME without ~/.config: the tool makes the
# per-user folders itself, provisions the default files, starts both engine
# shells and opens the window; OK still ends the process normally.
source "$(dirname "$0")/lib.sh"
export QT_LOGGING_RULES="kaiwo.configtool.debug=true"
log="$KAIWO_SCRATCH/tool.log"
[ ! -e "$HOME/.config" ] || fail "the test needs a HOME without .config"
"$TOOL" >"$log" 2>&1 &
TOOL_PID=$!
wait_for "the settings window" tool_window
shipped="$KAIWOIMEBS_DATA_ROOT/KaiwoShell/dict/PCPYDict"
for f in env.ini Correction.ini Fuzzy.dat; do
    cmp "$shipped/$f" "$HOME/.config/KaiwoShell/usr/PCPYDict/$f" || fail "$f was not provisioned"
done
! grep -q "copy fail" "$log" || fail "a copy failed: $(cat "$log")"
grep -q "InitShell: true" "$log" && grep -q "InitWBShell: true" "$log" ||
    fail "the engine shells did not start: $(cat "$log")"
close_tool "${OK_BUTTON[@]}"
[ "$STATUS" -eq 0 ] || fail "OK without a service exited $STATUS"
