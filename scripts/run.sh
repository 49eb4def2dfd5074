#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tapsel in the user's X session. Without a
# display (DISPLAY unset) it shows the main job on a virtual desktop instead: a sample text
# selected in mousepad, Ctrl+Alt+P, and the PDF that a private CUPS queue printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
"$root/scripts/build.sh" "$root/build" -DTAPSEL_TESTS=OFF -DTAPSEL_BENCH=OFF

if [ -n "${DISPLAY:-}" ]; then
    exec "$root/build/tapsel"
fi

demo=$(mktemp -d /tmp/tapsel-demo.XXXXXX)
chmod 755 "$demo" # the print spooler runs its backend as another user
cleanup() {
    [ -n "${tapsel_pid:-}" ] && kill "$tapsel_pid" 2>/dev/null
    [ -n "${mousepad_pid:-}" ] && kill "$mousepad_pid" 2>/dev/null
    "$root/scripts/e2e/cups.sh" stop "$demo/cups" >/dev/null 2>&1 || true
    "$root/scripts/e2e/desktop.sh" stop "$demo/desktop" >/dev/null 2>&1 || true
}
trap cleanup EXIT
echo "No display: showing Tapsel on a virtual desktop (Xvfb, openbox, a private CUPS queue)."
eval "$("$root/scripts/e2e/desktop.sh" start "$demo/desktop")"
eval "$("$root/scripts/e2e/cups.sh" start "$demo/cups")"

# An installed-like copy, so its preferences live beside it in the demo folder.
mkdir -p "$demo/app" && cp "$root/build/tapsel" "$demo/app/"
printf 'Tapsel prints what you selected.\nSelect text in any program, press Ctrl+Alt+P,\nand this page comes out of the printer.\n' >"$demo/sample.txt"
GSETTINGS_BACKEND=memory mousepad --disable-server "$demo/sample.txt" >/dev/null 2>&1 &
mousepad_pid=$!
for _ in $(seq 100); do xdotool search --name 'sample.txt - Mousepad' >/dev/null 2>&1 && break; sleep 0.1; done
window=$(xdotool search --name 'sample.txt - Mousepad' | head -n 1)
"$demo/app/tapsel" >"$demo/tapsel.log" 2>&1 &
tapsel_pid=$!
sleep 2
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers ctrl+a
sleep 0.3
echo "Pressing Ctrl+Alt+P in mousepad..."
xdotool key ctrl+alt+p
pdf=$("$root/scripts/e2e/cups.sh" wait-pdf "$demo/cups" 60)
echo "Printed: $pdf"
echo "----- its text -----"
pdftotext -layout "$pdf" -
echo "--------------------"
trap - EXIT
kill "$tapsel_pid" "$mousepad_pid" 2>/dev/null || true
"$root/scripts/e2e/cups.sh" stop "$demo/cups" >/dev/null 2>&1 || true
"$root/scripts/e2e/desktop.sh" stop "$demo/desktop" >/dev/null 2>&1 || true
echo "The PDF stays at $pdf"
