#!/usr/bin/env bash
# The Appearance page drives fcitx's real candidate window: after OK in the
# settings tool, a screenshot of the window while typing shows the chosen
# orientation, colours, size and skin, and the page's preview of the same
# settings agrees with it.
source "$(dirname "$0")/../system/lib.sh"
source "$(dirname "$0")/fcitx-lib.sh"

SHOTS="$KAIWO_SCRATCH/shots"
mkdir -p "$SHOTS"

input_window() { xdotool search --onlyvisible --name '^Fcitx Input Window$' 2>/dev/null | head -1; }

# shoot NAME KEY...: types the keys, saves the candidate window as NAME.png
# and the preview of the same settings as NAME-preview.png.
shoot() {
    local name=$1
    shift
    xdotool key --delay 40 Escape Escape
    xdotool key --delay 60 "$@"
    wait_for "the candidate window" '[ -n "$(input_window)" ]'
    sleep 0.5 # the window is drawn once the last key's candidates are in
    import -window "$(input_window)" "$SHOTS/$name.png"
    kaiwo-skin-preview --env "$ENV_INI" "$SHOTS/$name-preview.png" 2>/dev/null
    [ -n "${KAIWO_KEEP_SHOTS:-}" ] && cp "$SHOTS/$name.png" "$SHOTS/$name-preview.png" "$KAIWO_KEEP_SHOTS/"
    xdotool key Escape
}

# measure FILE COLOUR...: the width and height of the picture, then for
# each RRGGBB colour the count of its pixels and the box they fill
# (count x1 y1 x2 y2), all on one line.
measure() {
    convert "$1" -alpha off -depth 8 txt:- | awk -v colours="${*:2}" '
        NR == 1 { split($5, size, ","); n = split(colours, want, " "); next }
        { split($1, at, "[,:]"); c = substr($3, 2)
          if (!(c in count)) { x1[c] = y1[c] = 1e9; x2[c] = y2[c] = -1 }
          count[c]++; x1[c] = at[1] < x1[c] ? at[1] : x1[c]; x2[c] = at[1] > x2[c] ? at[1] : x2[c]
          y1[c] = at[2] < y1[c] ? at[2] : y1[c]; y2[c] = at[2] > y2[c] ? at[2] : y2[c] }
        END { printf "%d %d", size[1], size[2]
              for (i = 1; i <= n; i++) { c = want[i]
                  if (c in count) printf " %d %d %d %d %d", count[c], x1[c], y1[c], x2[c], y2[c]
                  else printf " 0 0 0 0 0" }
              print "" }'
}

start_fcitx
start_pad
apply_with_tool

# Colours of our own, so no skin or background holds them by chance.
apply_settings IgnoreSkinColorSetting 1 ColorPinyin $((0xFFC00000)) ColorPrimary $((0xFF00A000)) \
    ColorNonPrimary $((0xFF0000C0))
shoot horizontal n i h a o
read -r w h pinyin px1 py1 px2 py2 first fx1 fy1 fx2 fy2 others ox1 oy1 ox2 oy2 \
    < <(measure "$SHOTS/horizontal.png" C00000 00A000 0000C0)
[ "$w" -gt "$h" ] || fail "a horizontal list ${w}x$h is not wider than tall"
[ "$pinyin" -gt 10 ] && [ "$first" -gt 10 ] && [ "$others" -gt "$first" ] ||
    fail "the window lacks the chosen colours (code $pinyin, first $first, others $others)"
[ "$py2" -lt "$fy1" ] || fail "the code is not above the candidates"
[ "$fx2" -lt "$ox2" ] && [ "$ox2" -gt $((fx2 + 40)) ] || fail "the other candidates are not right of the first"

read -r pw ph ppinyin _ _ _ _ pfirst _ _ _ _ pothers _ < <(measure "$SHOTS/horizontal-preview.png" C00000 00A000 0000C0)
[ "$pw" -gt "$ph" ] && [ "$ppinyin" -gt 10 ] && [ "$pfirst" -gt 10 ] && [ "$pothers" -gt "$pfirst" ] ||
    fail "the preview does not agree with the window"

apply_settings CandStyle 1 PageSize 9
shoot vertical n i h a o
read -r w h _ _ _ _ _ first fx1 fy1 fx2 fy2 others ox1 oy1 ox2 oy2 < <(measure "$SHOTS/vertical.png" C00000 00A000 0000C0)
[ "$h" -gt "$w" ] || fail "a vertical list ${w}x$h is not taller than wide"
[ "$oy2" -gt $((fy2 + 100)) ] || fail "the other candidates are not below the first"
read -r pw ph _ < <(measure "$SHOTS/vertical-preview.png")
[ "$ph" -gt "$pw" ] || fail "the preview of a vertical list is ${pw}x$ph"
vertical_height=$h

apply_settings IgnoreSkinFontSizeSetting 1 FontSize 32
shoot large n i h a o
read -r w h _ < <(measure "$SHOTS/large.png")
[ "$h" -gt $((vertical_height * 3 / 2)) ] || fail "font size 32 is not taller: $h against $vertical_height"

# A skin: its background and its own colours, the page's overrides off.
apply_settings CandStyle 0 PageSize 5 IgnoreSkinFontSizeSetting 0 IgnoreSkinColorSetting 0 \
    SkinEnabled 1 ActiveSkinName Blue
shoot blue n i h a o
read -r w h _ _ _ _ _ first _ < <(measure "$SHOTS/blue.png" 1D4F91 1565C0)
bluebg=$(convert "$SHOTS/blue.png" -crop "1x1+$((w / 2))+$((h - 4))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')
[ "$first" -gt 10 ] && [[ $bluebg == \#D[0-9A-F]E[0-9A-F]F[0-9A-F] ]] || fail "no Blue skin: $first px, $bluebg"

# A broken skin falls back to Default and says so in fcitx's log.
mkdir -p "$KAIWOIMEBS_DATA_ROOT/Resources/PC/skin/Broken"
printf '[Skin]\nColorPrimary=blue-ish\n' >"$KAIWOIMEBS_DATA_ROOT/Resources/PC/skin/Broken/skin.ini"
apply_settings ActiveSkinName Broken
shoot broken n i h a o
read -r _ _ first _ < <(measure "$SHOTS/broken.png" 0000FF)
[ "$first" -gt 10 ] || fail "a broken skin did not fall back to Default's colours"
grep -q "Broken/skin.ini: ColorPrimary" "$KAIWO_SCRATCH/fcitx.log" || fail "no log line for the broken skin"

# The window follows the text cursor, or stays where it first appeared.
window_x_after() {
    xdotool key --delay 60 "$@"
    wait_for "the candidate window" '[ -n "$(input_window)" ]'
    sleep 0.3
    xdotool getwindowgeometry "$(input_window)" | sed -n 's/.*Position: \([0-9]*\),.*/\1/p'
}
# positions: the window's x for a word typed at the start of the field and
# after three words.
positions() {
    xdotool key --delay 40 Escape Escape
    local first
    first=$(window_x_after n i h a o)
    xdotool key --delay 60 space n i h a o space n i h a o space
    wait_for "the window to close" '[ -z "$(input_window)" ]'
    echo "$first $(window_x_after n i h a o)"
    xdotool key Escape
}
apply_settings SkinEnabled 0
read -r start later < <(positions)
[ "$later" -gt $((start + 40)) ] || fail "the window did not follow the cursor: $start, then $later"
apply_settings CursorFollow 0
read -r start later < <(positions)
[ "$later" -eq "$start" ] || fail "the window moved with the cursor: $start, then $later"
echo "ok: the window follows the cursor, or stays"

kill "$FCITX_PID"
