#!/usr/bin/env bash
# The multiple-copies "No Stamp" command on real parts. With "PageSetUpTrue" in the page-setup
# file, the Page Setup dialog and then the Print dialog come up; accepting both prints the
# selection as PDF, gives the user's clipboard back and mousepad the front. Cancelling the
# Print dialog prints nothing and still gives the clipboard back. With "PrintDialogTrue" the
# Print dialog comes alone. The Preferences window, clicked and closed, writes both files.
set -euo pipefail
. "$TAPSEL_ROOT/tests/e2e/lib.sh"
tmp=$TAPSEL_E2E_TMP

# The driver keeps its preference files beside itself.
prefs="$TAPSEL_BUILD/tests/Tapsel Resources"
page_file="$prefs/PageSetUp Preference"
printer_file="$prefs/PrinterDialog Preference"
mkdir -p "$tmp/prefs-before"
had_prefs=0
if [ -d "$prefs" ]; then had_prefs=1; cp -a "$prefs/." "$tmp/prefs-before/"; fi
restore_prefs() {
    rm -rf "$prefs"
    if [ "$had_prefs" = 1 ]; then mkdir -p "$prefs" && cp -a "$tmp/prefs-before/." "$prefs/"; fi
}
set_prefs() { # page-setup keyword, print-dialog keyword
    mkdir -p "$prefs"
    printf '%s\n' "$1" >"$page_file"
    printf '%s\n' "$2" >"$printer_file"
}

printf 'Tide table for the north pier\nHigh water 06:12 and 18:40\nLow water 00:05 and 12:27\n' >"$tmp/selection.txt"
printf 'The user own clipboard text\nwith two lines' >"$tmp/user.txt"
convert -size 8x8 xc:green "png:$tmp/user.png"
head -c 300 /dev/urandom >"$tmp/user.bin"
formats=("text/plain=$tmp/user.txt" "image/png=$tmp/user.png" "application/x-tapsel-test=$tmp/user.bin")

DRIVER_PID=
run_driver() { # driver arguments...; in the background
    "$TAPSEL_BUILD/tests/tapsel_driver" --stay --timeout 120 "$@" >"$tmp/driver.out" 2>"$tmp/driver.err" &
    DRIVER_PID=$!
}
wait_idle() {
    e2e_wait 600 grep -q '^idle' "$tmp/driver.out" || { cat "$tmp/driver.err" >&2; e2e_fail "the command did not finish"; }
}
stop_driver() {
    [ -n "$DRIVER_PID" ] && { kill "$DRIVER_PID" 2>/dev/null || true; wait "$DRIVER_PID" 2>/dev/null || true; }
    DRIVER_PID=
}
trap 'stop_driver; stop_mousepad; kill ${CLIPBOARD_OWNER_PID:-0} 2>/dev/null || true; restore_prefs' EXIT

# Waits for a visible window of the driver titled exactly $1; prints its id.
dialog() {
    local title=$1 id
    for _ in $(seq 450); do
        id=$(xdotool search --onlyvisible --pid "$DRIVER_PID" --name "^$title\$" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# Answers a dialog with a key, once it has the keyboard.
answer() { # title key
    local id
    id=$(dialog "$1") || e2e_fail "no $1 dialog came up"
    sleep 0.5
    xdotool windowactivate --sync "$id" 2>/dev/null || true
    e2e_wait 50 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$id\" ]" || e2e_fail "the $1 dialog did not get the keyboard"
    xdotool key --clearmodifiers "$2"
    # A cold start of the Print dialog (CUPS, PPD, fonts) can hold the loop for seconds, and
    # with it the unmapping of the dialog just answered.
    e2e_wait 300 sh -c "! xdotool search --onlyvisible --pid $DRIVER_PID --name '^$1\$'" \
        || { screenshot "$tmp/not-closed.png"; e2e_fail "the $1 dialog did not close; see $tmp/not-closed.png"; }
    e2e_log "$1 dialog answered with $2"
}
no_window() { # title: none of the driver's windows has it
    [ -z "$(xdotool search --onlyvisible --pid "$DRIVER_PID" --name "^$1\$" 2>/dev/null)" ]
}

start_mousepad "$tmp/selection.txt"

# 1. Page Setup and Print accepted.
set_prefs PageSetUpTrue PrintDialogFalse
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
run_driver --load-preferences PMPrintMultpleCopiesNoStamp
answer "Page Setup" Return
answer "Print" Return
wait_idle
text=$(pdf_text)
e2e_log "printed: $text"
lines=$(grep -v '^[[:space:]]*$' <<<"$text" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
[ "$lines" = "$(cat "$tmp/selection.txt")" ] || e2e_fail "the PDF's text is not the selection"
grep -q 'FrontMostApp=Mousepad' "$tmp/driver.out" || e2e_fail "front application not recorded"
check_clipboard "${formats[@]}"
e2e_wait 30 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$MOUSEPAD_WINDOW\" ]" || e2e_fail "mousepad did not get the front back"
stop_driver
e2e_log "both dialogs accepted: the selection printed, the clipboard and the front given back"

# 2. Page Setup accepted, Print cancelled: nothing printed, the clipboard still back.
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
run_driver --load-preferences PMPrintMultpleCopiesNoStamp
answer "Page Setup" Return
answer "Print" Escape
wait_idle
no_pdf 3 || e2e_fail "printed although the Print dialog was cancelled"
check_clipboard "${formats[@]}"
e2e_wait 30 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$MOUSEPAD_WINDOW\" ]" || e2e_fail "mousepad did not get the front back"
stop_driver
e2e_log "Print dialog cancelled: nothing printed, the clipboard and the front given back"

# 3. The Print dialog alone, accepted.
set_prefs PageSetUpFalse PrintDialogTrue
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
run_driver --load-preferences PMPrintMultpleCopiesNoStamp
answer "Print" Return
no_window "Page Setup" || e2e_fail "a Page Setup dialog came up"
wait_idle
grep -q 'Tide table for the north pier' <<<"$(pdf_text)" || e2e_fail "the Print dialog alone printed nothing"
check_clipboard "${formats[@]}"
stop_driver
e2e_log "Print dialog alone: printed"

# 4. The Preferences window: a click on the page-setup box, closed, writes both files.
rm -rf "$prefs"
run_driver --show-preferences
window=$(dialog "Tapsel Preferences") || e2e_fail "the Preferences window did not come up"
sleep 0.5
screenshot "$tmp/preferences.png"
eval "$(xdotool getwindowgeometry --shell "$window")"
# The page-setup box's first line: 60 points from the left, 47 from the top of a window
# 290 points wide.
xdotool mousemove "$((X + (60 * WIDTH / 290) + 8))" "$((Y + (47 * WIDTH / 290) + 8))" click 1
sleep 0.3
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key --clearmodifiers alt+F4
wait_idle
[ "$(cat "$page_file")" = PageSetUpTrue ] || e2e_fail "page-setup file holds '$(cat "$page_file" 2>/dev/null)'"
[ "$(cat "$printer_file")" = PrintDialogFalse ] || e2e_fail "print-dialog file holds '$(cat "$printer_file" 2>/dev/null)'"
stop_driver
e2e_log "Preferences: the click and the close wrote both files; screenshot $tmp/preferences.png"
