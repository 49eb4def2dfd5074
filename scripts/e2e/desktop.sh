#!/usr/bin/env bash
# A private X desktop for the end-to-end tests: Xvfb, openbox and a D-Bus session bus.
#   eval "$(scripts/e2e/desktop.sh start DIR [DISPLAY_NUMBER])"   prints export lines
#   scripts/e2e/desktop.sh stop DIR
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR [DISPLAY_NUMBER]" >&2; exit 2; }

stop() {
    if [ -f "$dir/pids" ]; then
        # Newest first: the window manager before its server.
        tac "$dir/pids" | while read -r pid; do kill "$pid" 2>/dev/null || true; done
        sleep 0.3
        tac "$dir/pids" | while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done
        rm -f "$dir/pids"
    fi
}

wait_for() { # tries command...
    local tries=$1; shift
    for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

case "$cmd" in
stop) stop; exit 0 ;;
start) ;;
*) echo "unknown command $cmd" >&2; exit 2 ;;
esac

mkdir -p "$dir"
stop
n=${3:-}
if [ -z "$n" ]; then
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
fi
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
echo $! >>"$dir/pids"
wait_for 100 xdpyinfo -display ":$n" || { echo "Xvfb :$n did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$n"

dbus-daemon --session --fork --print-address=1 --print-pid=3 >"$dir/dbus.addr" 3>"$dir/dbus.pid"
cat "$dir/dbus.pid" >>"$dir/pids"
bus=$(head -n 1 "$dir/dbus.addr")

DBUS_SESSION_BUS_ADDRESS=$bus openbox --sm-disable >"$dir/openbox.log" 2>&1 &
echo $! >>"$dir/pids"
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || { echo "openbox did not start" >&2; exit 1; }

echo "export DISPLAY=:$n"
echo "export DBUS_SESSION_BUS_ADDRESS='$bus'"
echo "export XDG_RUNTIME_DIR='$dir/runtime'"
mkdir -p "$dir/runtime" && chmod 700 "$dir/runtime"
