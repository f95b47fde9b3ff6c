#!/usr/bin/env bash
# The display number is part of both bus names: on ":1" the tool claims
# ...configtool.hotel_1 and calls ...hotel_1; a copy on ":2" runs beside it.
source "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=offscreen

DISPLAY=:1 "$TOOL" 2>/dev/null &
one=$!
wait_for "hotel_1" "has_bus_name com.kaiwoimeservice_configtool.hotel_1"
DISPLAY=:2 "$TOOL" 2>/dev/null &
two=$!
wait_for "hotel_2 beside hotel_1" "has_bus_name com.kaiwoimeservice_configtool.hotel_2"
set +e
DISPLAY=:1 timeout 20 "$TOOL" 2>/dev/null
status=$?
set -e
[ "$status" -eq 1 ] || fail "a second copy on :1 exited $status"
kill -0 "$one" && kill -0 "$two" || fail "a first copy died"
kill "$one" "$two"
