#!/usr/bin/env bash
# No IME service and no per-user folders: the window still opens, the copies
# are reported as failed, and OK still ends the process normally.
source "$(dirname "$0")/lib.sh"
export QT_LOGGING_RULES="kaiwo.configtool.debug=true"
log="$KAIWO_SCRATCH/tool.log"
"$TOOL" >"$log" 2>&1 &
pid=$!
wait_for "the settings window" tool_window
for f in env.ini Correction.ini Fuzzy.dat; do
    grep -q "$f copy fail" "$log" || fail "no '$f copy fail' line"
done
grep -q "InitShell: false" "$log" || fail "the pinyin shell started without its folder"
! grep -q "InitWBShell" "$log" || fail "the Wubi shell was started after the pinyin shell failed"
window=$(tool_window)
sleep 0.3
click_until_exit "$pid" "$window" $((146 + 250 + 45)) $((540 - 51 + 7 + 18))
status=0
wait_exit "$pid" 30 || status=$?
[ "$status" -eq 0 ] || fail "OK without a service exited $status"
