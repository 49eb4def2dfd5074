#!/usr/bin/env bash
# The one-copy "No Stamp" command on real parts: the selection in mousepad prints as PDF
# and the user's clipboard, with every format it held, comes back byte for byte.
set -euo pipefail
. "$TAPSEL_ROOT/tests/e2e/lib.sh"
tmp=$TAPSEL_E2E_TMP

printf 'Quarterly report for the harbour master\nSecond line with tabs\tand more\nLast line: 42\n' >"$tmp/selection.txt"
printf 'The user own clipboard text\nwith two lines' >"$tmp/user.txt"
convert -size 8x8 xc:red "png:$tmp/user.png"
head -c 300 /dev/urandom >"$tmp/user.bin"
formats=("text/plain=$tmp/user.txt" "image/png=$tmp/user.png" "application/x-tapsel-test=$tmp/user.bin")

run_driver() { # buttons...
    "$TAPSEL_BUILD/tests/tapsel_driver" --stay --timeout 60 "$@" >"$tmp/driver.out" 2>"$tmp/driver.err" &
    DRIVER_PID=$!
    e2e_wait 600 grep -q '^idle' "$tmp/driver.out" || { cat "$tmp/driver.err" >&2; e2e_fail "the command did not finish"; }
}
stop_driver() { kill "$DRIVER_PID" 2>/dev/null || true; wait "$DRIVER_PID" 2>/dev/null || true; }
trap 'stop_driver; stop_mousepad; kill ${CLIPBOARD_OWNER_PID:-0} 2>/dev/null || true' EXIT

start_mousepad "$tmp/selection.txt"
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
run_driver PMPrintOneCopyNoStamp

text=$(pdf_text)
e2e_log "printed: $text"
grep -q 'Quarterly report for the harbour master' <<<"$text" || e2e_fail "first line missing"
grep -q 'Last line: 42' <<<"$text" || e2e_fail "last line missing"
grep -q 'FrontMostApp=Mousepad' "$tmp/driver.out" || e2e_fail "front application not recorded"
check_clipboard "${formats[@]}"
stop_driver
e2e_log "printed the selection and gave back all three formats"

# No printer: nothing printed, nothing shown, the clipboard still comes back.
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
saved=$CUPS_SERVER
export CUPS_SERVER=$tmp/no-such-cups.sock
run_driver PMPrintOneCopyNoStamp
export CUPS_SERVER=$saved
no_pdf 2 || e2e_fail "printed without a printer"
check_clipboard "${formats[@]}"
stop_driver
e2e_log "no printer: nothing printed, clipboard back"
