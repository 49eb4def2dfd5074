#!/usr/bin/env bash
# Tapsel as a user runs it: the real program, copied from the build into a folder of its own
# (its "Tapsel Resources" live there), started on the desktop with mousepad in front.
#  - Ctrl+Alt+P prints mousepad's selection at once and gives the user's clipboard back;
#    with no tray host there is one line saying so, the hot key works all the same, and a
#    second launch opens Tapsel's menu at the pointer instead.
#  - A tray host (trayer, when installed) shows the icon; its menu offers the five items and
#    the application-menu items, "Print Your Selection" prints, "About Tapsel..." shows the
#    About window (screenshots of both in the test's folder).
#  - With "PageSetUpTrue" the hot key brings up Page Setup, then Print, then prints.
#  - Ctrl+Alt+P held by another program: one diagnostic line, and Tapsel runs on.
#  - A second launch exits 0 and leaves the first running; SIGTERM ends it with "App.Close",
#    the Preferences window made at start-up saving both files on the way out.
#  - The X server going away ends Tapsel cleanly: exit status 0, no abort, no core.
# Tapsel's diagnostic log is syslog with LOG_PERROR: every line also reaches its standard
# error, which this test reads.
set -euo pipefail
. "$TAPSEL_ROOT/tests/e2e/lib.sh"
tmp=$TAPSEL_E2E_TMP

app=$tmp/app
mkdir -p "$app"
cp "$TAPSEL_BUILD/tapsel" "$app/tapsel"
resources="$app/Tapsel Resources"
log=$tmp/tapsel.log
: >"$log"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$tmp/runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

TAPSEL_PID=
TRAYER_PID=
LOST_X_PID=
cleanup() {
    local status=$? pid
    if [ "$status" != 0 ]; then screenshot "$tmp/failure.png" || true; fi
    for pid in "$TAPSEL_PID" "$TRAYER_PID" "$LOST_X_PID" "${CLIPBOARD_OWNER_PID:-}"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    for pid in "$TAPSEL_PID" "$TRAYER_PID" "$LOST_X_PID"; do
        if [ -n "$pid" ]; then wait "$pid" 2>/dev/null || true; fi
    done
    stop_mousepad
}
trap cleanup EXIT

# Lines Tapsel wrote to the diagnostic log ("Tapsel[pid]: text" on its standard error).
logged() { sed -n 's/^Tapsel\[[0-9]*\]: //p' "$log"; }
logged_count() { logged | grep -cxF -- "$1" || true; }
socket_up() { compgen -G "$XDG_RUNTIME_DIR/tapsel-$(id -u)-*.socket" >/dev/null; }

# Starts Tapsel (here always without a tray host) and waits until it answers a second launch,
# which then opens its menu at the pointer; SHOT, if given, is a screenshot of that menu.
start_tapsel() { # [SHOT]
    "$app/tapsel" >>"$tmp/tapsel.out" 2>>"$log" &
    TAPSEL_PID=$!
    e2e_wait 100 socket_up || e2e_fail "tapsel did not start"
    local rapp menus
    rapp=$(logged_count "HandleAppleEvent: aevt rapp")
    menus=$(logged_count "Create Dock Tile Menu")
    "$app/tapsel" 2>>"$tmp/second.log" || e2e_fail "a second tapsel exited with $?"
    e2e_wait 50 sh -c "[ \$(sed -n 's/^Tapsel\[[0-9]*\]: //p' '$log' | grep -cx 'HandleAppleEvent: aevt rapp') -gt $rapp ]" \
        || e2e_fail "the running tapsel did not hear the second launch"
    kill -0 "$TAPSEL_PID" || e2e_fail "the first tapsel is gone after a second launch"
    e2e_wait 50 sh -c "[ \$(sed -n 's/^Tapsel\[[0-9]*\]: //p' '$log' | grep -cx 'Create Dock Tile Menu') -gt $menus ]" \
        || e2e_fail "without a tray, the second launch did not open the menu"
    sleep 0.5
    if [ -n "${1:-}" ]; then screenshot "$1"; fi
    xdotool key Escape
}

stop_tapsel() { # SIGTERM; prints how long the end took
    local t0 t1 rc=0
    t0=$(date +%s%N)
    kill -TERM "$TAPSEL_PID"
    wait "$TAPSEL_PID" || rc=$?
    t1=$(date +%s%N)
    TAPSEL_PID=
    [ "$rc" = 0 ] || e2e_fail "tapsel ended with status $rc after SIGTERM"
    e2e_log "SIGTERM: ended after $(((t1 - t0) / 1000000)) ms"
}

check_printed() { # FIRST_LINE LAST_LINE
    local text
    text=$(pdf_text)
    grep -qF -- "$1" <<<"$text" || e2e_fail "'$1' missing from the PDF: $text"
    grep -qF -- "$2" <<<"$text" || e2e_fail "'$2' missing from the PDF: $text"
}

# Tapsel refuses to print the same material twice in a row: each print gets a text of its own.
select_new_text() { # LINE...
    focus_mousepad
    xdotool key --clearmodifiers ctrl+a
    local line
    for line in "$@"; do xdotool type --delay 5 "$line" && xdotool key Return; done
    xdotool key --clearmodifiers ctrl+a
    sleep 0.3
}

printf 'Harbour memo of the board\nSecond line\twith a tab\nLast line: 42\n' >"$tmp/selection.txt"
printf 'The user own clipboard\nwith two lines' >"$tmp/user.txt"
convert -size 8x8 xc:green "png:$tmp/user.png"
formats=("text/plain=$tmp/user.txt" "image/png=$tmp/user.png")

# --- the hot key, with no tray host yet
start_mousepad "$tmp/selection.txt"
start_tapsel "$tmp/menu-without-tray.png"
[ "$(logged | grep -c 'No system tray')" = 1 ] || e2e_fail "expected one line about the missing tray"
set_clipboard "${formats[@]}"
focus_mousepad
clear_pdf
xdotool key ctrl+alt+p
check_printed 'Harbour memo of the board' 'Last line: 42'
check_clipboard "${formats[@]}"
[ "$(xdotool getactivewindow)" = "$MOUSEPAD_WINDOW" ] || e2e_fail "mousepad is no longer in front"
e2e_log "hot key: printed the selection, clipboard back, no tray"

# --- the tray
if command -v trayer >/dev/null; then
    width=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
    trayer --edge top --align right --widthtype pixel --width 32 --height 32 \
        --transparent false --tint 0x333333 >"$tmp/trayer.log" 2>&1 &
    TRAYER_PID=$!
    sleep 2 # the icon docks once the tray has announced itself
    open_tray_menu() {
        local before
        before=$(logged_count "Create Dock Tile Menu")
        xdotool mousemove $((width - 16)) 16 click 3
        e2e_wait 50 sh -c "[ \$(sed -n 's/^Tapsel\[[0-9]*\]: //p' '$log' | grep -cx 'Create Dock Tile Menu') -gt $before ]" \
            || e2e_fail "the tray menu did not open"
        sleep 0.5
    }
    open_tray_menu
    screenshot "$tmp/tray-menu.png"
    xdotool key Escape
    e2e_log "tray menu: screenshot in $tmp/tray-menu.png"

    # "Print Your Selection", with mousepad still the active window.
    set_clipboard "${formats[@]}"
    select_new_text 'Chosen from the tray menu' 'Its last line: 7'
    clear_pdf
    open_tray_menu
    xdotool key Down Return
    check_printed 'Chosen from the tray menu' 'Its last line: 7'
    check_clipboard "${formats[@]}"
    logged | grep -q '^Process Command with ID 54657374 (Test) on index 1 in handle [0-9A-F]*\.$' \
        || e2e_fail "the command was not logged"
    e2e_log "tray: Print Your Selection printed"

    # "About Tapsel...": below the five items and the separator.
    open_tray_menu
    xdotool key Down Down Down Down Down Down Return
    e2e_wait 50 xdotool search --onlyvisible --name '^About Tapsel 2.0$' || e2e_fail "no About window"
    sleep 0.5
    screenshot "$tmp/about.png"
    about=$(xdotool search --onlyvisible --name '^About Tapsel 2.0$' | head -n 1)
    xdotool windowactivate --sync "$about" key alt+F4
    e2e_wait 50 sh -c "! xdotool search --onlyvisible --name '^About Tapsel 2.0\$'" || e2e_fail "the About window did not close"
    e2e_log "About window: screenshot in $tmp/about.png"
    kill "$TRAYER_PID" 2>/dev/null || true
    TRAYER_PID=
else
    e2e_log "SKIPPED the tray: no tray host (trayer) installed"
fi

# --- the page-setup preference: the dialogs instead
stop_tapsel
mkdir -p "$resources"
printf 'PageSetUpTrue\n' >"$resources/PageSetUp Preference"
printf 'PrintDialogFalse\n' >"$resources/PrinterDialog Preference"
start_tapsel
set_clipboard "${formats[@]}"
select_new_text 'Printed through the dialogs' 'Dialog last line: 9'
clear_pdf
xdotool key ctrl+alt+p
e2e_wait 100 xdotool search --onlyvisible --name '^Page Setup$' || e2e_fail "no Page Setup dialog"
sleep 0.5
screenshot "$tmp/page-setup.png"
xdotool key Return
e2e_wait 100 xdotool search --onlyvisible --name '^Print$' || e2e_fail "no Print dialog after Page Setup"
sleep 0.5
xdotool key Return
check_printed 'Printed through the dialogs' 'Dialog last line: 9'
check_clipboard "${formats[@]}"
e2e_log "PageSetUpTrue: Page Setup, then Print, then the PDF; clipboard back"

# --- another program holds Ctrl+Alt+P (here a Tapsel of another session): one line, it runs on
mkdir -p "$tmp/other-runtime" && chmod 700 "$tmp/other-runtime"
XDG_RUNTIME_DIR="$tmp/other-runtime" "$app/tapsel" 2>"$tmp/other.log" &
other=$!
e2e_wait 100 grep -q 'Ctrl+Alt+P is taken by another program' "$tmp/other.log" \
    || e2e_fail "no line about the hot key held elsewhere: $(cat "$tmp/other.log")"
kill -0 "$other" || e2e_fail "a refused hot key ended tapsel"
kill -TERM "$other"
rc=0
wait "$other" || rc=$?
[ "$rc" = 0 ] || e2e_fail "the other tapsel ended with status $rc"
[ "$(grep -c 'taken by another program' "$tmp/other.log")" = 1 ] || e2e_fail "more than one line"
e2e_log "hot key held elsewhere: one line, no crash"

# --- quit by SIGTERM: the hidden Preferences window saves, "App.Close" is the last line
rm -f "$resources/PrinterDialog Preference"
stop_tapsel
[ "$(logged | tail -n 2 | head -n 1)" = "HandleAppleEvent: aevt quit" ] || e2e_fail "SIGTERM was not logged as a quit event"
[ "$(logged | tail -n 1)" = "App.Close" ] || e2e_fail "the last line is not App.Close: $(logged | tail -n 1)"
[ "$(cat "$resources/PrinterDialog Preference")" = "PrintDialogFalse" ] || e2e_fail "the Preferences window did not save"
[ "$(cat "$resources/PageSetUp Preference")" = "PageSetUpTrue" ] || e2e_fail "the page-setup preference changed"
socket_up && e2e_fail "the socket outlived tapsel"
e2e_log "SIGTERM: quit event, preferences saved, App.Close"

# --- the X server goes away under a running Tapsel
n=150
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$tmp/lost-xvfb.log" 2>&1 &
LOST_X_PID=$!
e2e_wait 100 xdpyinfo -display ":$n" || e2e_fail "no second X server"
mkdir -p "$tmp/lost-runtime" && chmod 700 "$tmp/lost-runtime"
: >"$tmp/lost.log"
(cd "$tmp" && DISPLAY=":$n" XDG_RUNTIME_DIR="$tmp/lost-runtime" exec "$app/tapsel" 2>"$tmp/lost.log") &
lost=$!
e2e_wait 100 compgen -G "$tmp/lost-runtime/tapsel-*.socket" || e2e_fail "tapsel did not start on :$n"
e2e_wait 50 grep -q 'No system tray' "$tmp/lost.log" || e2e_fail "no line about the missing tray on :$n"
sleep 0.5
kill -9 "$LOST_X_PID"
LOST_X_PID=
rc=0
wait "$lost" || rc=$?
[ "$rc" = 0 ] || e2e_fail "tapsel ended with status $rc when the X server went away: $(cat "$tmp/lost.log")"
grep -q 'The X display went away' "$tmp/lost.log" || e2e_fail "the lost display was not logged"
compgen -G "$tmp/core*" >/dev/null && e2e_fail "a core file was left"
e2e_log "X server gone: tapsel ended with status 0"
