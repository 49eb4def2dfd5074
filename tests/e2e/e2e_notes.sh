#!/usr/bin/env bash
# The one-copy "W/Date+Note" flow on real parts: the palette button opens the note window over
# mousepad, the user types a note of two lines and presses "Add Note"; the PDF holds the
# selection, the note and the stamp, with the separator line last, and mousepad is in front.
set -euo pipefail
. "$TAPSEL_ROOT/tests/e2e/lib.sh"
tmp=$TAPSEL_E2E_TMP
export LC_ALL=C.UTF-8 LANG=C.UTF-8
separator='---------------------------Selection--------------------------'

printf 'Invoice 2207 for the ferry repairs\nTotal due: 1,450.00\n' >"$tmp/selection.txt"

DRIVER_PID=
stop_driver() { [ -n "$DRIVER_PID" ] && { kill "$DRIVER_PID" 2>/dev/null || true; wait "$DRIVER_PID" 2>/dev/null || true; }; DRIVER_PID=; }
trap 'stop_driver; stop_mousepad' EXIT

driver_windows() { xdotool search --onlyvisible --pid "$DRIVER_PID" 2>/dev/null || true; }

start_mousepad "$tmp/selection.txt"
clear_pdf
"$TAPSEL_BUILD/tests/tapsel_driver" --timeout 120 PrintOneCopyWNote >"$tmp/driver.out" 2>"$tmp/driver.err" &
DRIVER_PID=$!
e2e_wait 150 sh -c "xdotool search --onlyvisible --pid $DRIVER_PID --name '^Add a Note to Your Selection\$'" \
    || { cat "$tmp/driver.err" >&2; e2e_fail "the note window did not come up"; }
note=$(xdotool search --onlyvisible --pid "$DRIVER_PID" --name '^Add a Note to Your Selection$' | head -n 1)
geometry=$(xdotool getwindowgeometry "$note")
e2e_log "note window: $(tr '\n' ' ' <<<"$geometry")"
# Tapsel came forward with the window; the keys go to its note field.
e2e_wait 50 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$note\" ]" || e2e_fail "the note window is not in front"
size=$(sed -n 's/.*Geometry: //p' <<<"$geometry")
width=${size%x*}
height=${size#*x}
position=$(sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' <<<"$geometry")
x=${position%,*}
y=${position#*,}
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
((x >= 0 && y >= 0 && x + width <= ${screen%x*} && y + height <= ${screen#*x})) \
    || e2e_fail "the note window at $x,$y ($size) is not on the $screen screen"

xdotool type --delay 20 'Call Ann back about the minutes.'
xdotool key Return
xdotool type --delay 20 'Second line: ask for the signed copy.'
sleep 0.3
screenshot "$tmp/note.png"
e2e_log "screenshot $tmp/note.png"

# "Add Note" is centred at (240, 282) points in a window 300 points wide; it acts on the press.
xdotool mousemove --window "$note" $((240 * width / 300)) $((282 * width / 300)) click 1
e2e_wait 300 sh -c "[ -z \"\$(xdotool search --onlyvisible --pid $DRIVER_PID 2>/dev/null)\" ]" \
    || { screenshot "$tmp/stuck.png"; e2e_fail "the note window did not close after Add Note (see $tmp/stuck.png)"; }
wait "$DRIVER_PID" || { cat "$tmp/driver.err" >&2; e2e_fail "the driver failed"; }
DRIVER_PID=

text=$(pdf_text)
e2e_log "printed: $text"
lines=$(grep -v '^[[:space:]]*$' <<<"$text" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
expected_order=('Invoice 2207 for the ferry repairs' 'Total due: 1,450.00' 'Call Ann back about the minutes.' \
    'Second line: ask for the signed copy.')
previous=0
for line in "${expected_order[@]}"; do
    at=$(grep -nxF -- "$line" <<<"$lines" | head -n 1 | cut -d: -f1)
    [ -n "$at" ] || e2e_fail "'$line' is not printed"
    ((at > previous)) || e2e_fail "'$line' is out of order"
    previous=$at
done
day=$(date +'%-d %b %Y')
[ "$(tail -n 1 <<<"$lines")" = "$separator" ] || e2e_fail "the separator is not the last line"
stamp=$(tail -n 2 <<<"$lines" | head -n 1)
[[ $stamp =~ ^$day[[:space:]]+[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || e2e_fail "stamp line '$stamp' is not '$day  HH:MM:SS'"
(($(grep -c '' <<<"$lines") == previous + 2)) || e2e_fail "something stands between the note and the stamp"
grep -q 'FrontMostApp=Mousepad' "$tmp/driver.out" || e2e_fail "front application not recorded"
[ "$(xdotool getactivewindow)" = "$MOUSEPAD_WINDOW" ] || e2e_fail "mousepad is not in front after the print"
e2e_log "printed the selection, the two-line note and '$stamp' with the separator last"
