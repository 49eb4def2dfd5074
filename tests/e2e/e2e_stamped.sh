#!/usr/bin/env bash
# The one-copy "W/Date Stamp" command on real parts: the selection in mousepad prints as PDF,
# followed by the date-and-time stamp and the separator line; mousepad stays in front. A
# clipboard holding only a picture brings up the floating no-text warning instead.
set -euo pipefail
. "$TAPSEL_ROOT/tests/e2e/lib.sh"
tmp=$TAPSEL_E2E_TMP
# A known locale, so the stamp's short date and time forms are known: "11 Dec 2026  12:07:46"
# (pdftotext shows the two spaces between them as one).
export LC_ALL=C.UTF-8 LANG=C.UTF-8
separator='---------------------------Selection--------------------------'

printf 'Minutes of the harbour board\nItem 1: dredging\nItem 2: lights\n' >"$tmp/selection.txt"

DRIVER_PID=
stop_driver() { [ -n "$DRIVER_PID" ] && { kill "$DRIVER_PID" 2>/dev/null || true; wait "$DRIVER_PID" 2>/dev/null || true; }; DRIVER_PID=; }
trap 'stop_driver; stop_mousepad; kill ${CLIPBOARD_OWNER_PID:-0} 2>/dev/null || true' EXIT

start_mousepad "$tmp/selection.txt"
clear_pdf
day=$(date +'%-d %b %Y')
before=$(date +%H:%M:%S)
"$TAPSEL_BUILD/tests/tapsel_driver" --timeout 60 PMPrintOneCopy >"$tmp/driver.out" 2>"$tmp/driver.err" \
    || { cat "$tmp/driver.err" >&2; e2e_fail "the driver failed"; }
after=$(date +%H:%M:%S)

text=$(pdf_text)
e2e_log "printed: $text"
lines=$(grep -v '^[[:space:]]*$' <<<"$text" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
grep -qx 'Minutes of the harbour board' <<<"$lines" || e2e_fail "the selection's first line is missing"
grep -qx 'Item 2: lights' <<<"$lines" || e2e_fail "the selection's last line is missing"
[ "$(tail -n 1 <<<"$lines")" = "$separator" ] || e2e_fail "the separator is not the last line"
stamp=$(tail -n 2 <<<"$lines" | head -n 1)
[[ $stamp =~ ^$day[[:space:]]+([0-9]{2}:[0-9]{2}:[0-9]{2})$ ]] || e2e_fail "stamp line '$stamp' is not '$day  HH:MM:SS'"
time=${BASH_REMATCH[1]}
# Taken when the command began: not before the driver started, not after it ended.
[[ ! $time < $before && ! $time > $after ]] || e2e_fail "stamp time $time is outside $before..$after"
# The stamp comes after the selection.
[ "$(grep -n 'Item 2: lights' <<<"$lines" | cut -d: -f1)" -lt "$(grep -c '' <<<"$lines")" ] \
    || e2e_fail "the stamp is not after the selection"
grep -q 'FrontMostApp=Mousepad' "$tmp/driver.out" || e2e_fail "front application not recorded"
[ "$(xdotool getactivewindow)" = "$MOUSEPAD_WINDOW" ] || e2e_fail "mousepad is no longer in front"
[ "$(xclip -o -selection clipboard)" = "$(cat "$tmp/selection.txt")" ] \
    || e2e_fail "the clipboard does not hold the copied selection"
e2e_log "printed the selection, then '$stamp' and the separator; mousepad still in front"

# Nothing selected and only a picture on the clipboard: the warning, no print.
convert -size 8x8 xc:blue "png:$tmp/picture.png"
focus_mousepad
xdotool key --clearmodifiers ctrl+End
set_clipboard "image/png=$tmp/picture.png"
focus_mousepad
clear_pdf
"$TAPSEL_BUILD/tests/tapsel_driver" --timeout 60 PMPrintOneCopy >"$tmp/driver2.out" 2>"$tmp/driver2.err" &
DRIVER_PID=$!
# The palette stays hidden: the driver's one visible window is the warning.
e2e_wait 150 sh -c "[ -n \"\$(xdotool search --onlyvisible --pid $DRIVER_PID 2>/dev/null)\" ]" \
    || e2e_fail "no warning window came up"
sleep 0.5
warning=$(xdotool search --onlyvisible --pid "$DRIVER_PID" | head -n 1)
e2e_log "warning window: $(xdotool getwindowgeometry "$warning" | tr '\n' ' ')"
screenshot "$tmp/warning.png"
e2e_log "warning window $warning; screenshot $tmp/warning.png"
no_pdf 1 || e2e_fail "printed although the clipboard held no text"
# "OK": the window goes, and the driver, with nothing left open, ends.
size=$(xdotool getwindowgeometry "$warning" | sed -n 's/.*Geometry: //p')
width=${size%x*}
# "OK" is centred at (157, 120) points in a window 310 points wide.
xdotool mousemove --window "$warning" $((157 * width / 310)) $((120 * width / 310)) click 1
e2e_wait 100 sh -c "[ -z \"\$(xdotool search --onlyvisible --pid $DRIVER_PID 2>/dev/null)\" ]" \
    || e2e_fail "the warning did not close on OK"
wait "$DRIVER_PID" || e2e_fail "the driver failed after the warning"
DRIVER_PID=
check_clipboard "image/png=$tmp/picture.png"
e2e_log "the no-text warning came up, printed nothing, and closed on OK"
