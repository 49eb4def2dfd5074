# Shared helpers for the end-to-end scripts; sourced by tests/e2e/e2e_*.sh.
# The runner sets DISPLAY, CUPS_SERVER, TAPSEL_PDF_OUT, TAPSEL_BUILD, TAPSEL_E2E_TMP, TAPSEL_ROOT.

e2e_log() { echo "[$(basename "$0")] $*" >&2; }
e2e_fail() { e2e_log "FAIL: $*"; exit 1; }

# Waits up to $1 tenths of a second for a command to succeed.
e2e_wait() {
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# Opens FILE in mousepad, brings it to the front and selects all its text.
# Sets MOUSEPAD_PID and MOUSEPAD_WINDOW.
start_mousepad() {
    local file=$1
    GSETTINGS_BACKEND=memory mousepad --disable-server "$file" >"$TAPSEL_E2E_TMP/mousepad.log" 2>&1 &
    MOUSEPAD_PID=$!
    local name
    # The title holds the file name, or its whole path, as mousepad's settings say.
    name="$(basename "$file") - Mousepad"
    e2e_wait 150 xdotool search --name "(^|/)$name\$" || e2e_fail "mousepad did not open $file"
    MOUSEPAD_WINDOW=$(xdotool search --name "(^|/)$name\$" | head -n 1)
    focus_mousepad
    xdotool key --clearmodifiers ctrl+a
    sleep 0.3
}

focus_mousepad() {
    xdotool windowactivate --sync "$MOUSEPAD_WINDOW" 2>/dev/null || true
    e2e_wait 50 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$MOUSEPAD_WINDOW\" ]" \
        || e2e_fail "mousepad did not come to the front"
}

stop_mousepad() {
    [ -n "${MOUSEPAD_PID:-}" ] && kill "$MOUSEPAD_PID" 2>/dev/null || true
    wait "$MOUSEPAD_PID" 2>/dev/null || true
    MOUSEPAD_PID=
}

# Puts several formats on the clipboard at once, each TYPE=FILE; the owner stays until
# clear_clipboard_owner. Sets CLIPBOARD_OWNER_PID.
set_clipboard() {
    local owner="$TAPSEL_BUILD/tests/clipboard_owner"
    [ -x "$owner" ] || e2e_fail "no clipboard owner at $owner"
    "$owner" "$@" >"$TAPSEL_E2E_TMP/owner.log" 2>&1 &
    CLIPBOARD_OWNER_PID=$!
    local first=${1%%=*}
    e2e_wait 100 sh -c "xclip -o -selection clipboard -t TARGETS | grep -qx '$first'" \
        || e2e_fail "the clipboard owner did not take the clipboard"
}

# Checks that every TYPE=FILE is on the clipboard byte for byte.
check_clipboard() {
    local pair type file
    for pair in "$@"; do
        type=${pair%%=*}
        file=${pair#*=}
        xclip -o -selection clipboard -t "$type" >"$TAPSEL_E2E_TMP/back.bin" 2>/dev/null \
            || e2e_fail "clipboard format $type is gone"
        cmp -s "$file" "$TAPSEL_E2E_TMP/back.bin" || e2e_fail "clipboard format $type differs"
    done
}

clear_pdf() { rm -f "$TAPSEL_PDF_OUT"; }

# Waits for the print queue to finish and prints the PDF's text.
pdf_text() {
    "$TAPSEL_ROOT/scripts/e2e/cups.sh" wait-pdf "$(dirname "$(dirname "$TAPSEL_PDF_OUT")")" "${1:-60}" >/dev/null \
        || e2e_fail "no PDF was printed"
    pdftotext -layout "$TAPSEL_PDF_OUT" - 2>/dev/null
}

# True when no job is printing and no PDF came out.
no_pdf() {
    sleep "${1:-3}"
    [ ! -s "$TAPSEL_PDF_OUT" ] && [ -z "$(lpstat -o 2>/dev/null)" ]
}

# A screenshot of the whole screen, as PNG.
screenshot() { import -window root "$1" 2>/dev/null || xwd -root -silent | convert xwd:- "$1"; }
