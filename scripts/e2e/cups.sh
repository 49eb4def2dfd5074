#!/usr/bin/env bash
# A private CUPS for the tests: its own cupsd on a local socket, with a queue "tapsel-pdf"
# that writes every job as PDF to DIR/out/tapsel.pdf. The system's cupsd is left alone.
#   eval "$(scripts/e2e/cups.sh start DIR [--no-queue])"   prints export lines
#   scripts/e2e/cups.sh wait-pdf DIR [TIMEOUT_SECONDS]       waits for the finished PDF, prints its path
#   scripts/e2e/cups.sh stop DIR
# Safe to repeat, and to run at once in different DIRs.
set -euo pipefail

usage() { echo "usage: $0 start DIR [--no-queue] | wait-pdf DIR [TIMEOUT] | stop DIR" >&2; exit 2; }
cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || usage
case "$dir" in
*[[:space:]\"\']*) echo "cups.sh: DIR must not contain spaces or quotes: $dir" >&2; exit 2 ;;
esac
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

sock=$dir/cups.sock
pdf=$dir/out/tapsel.pdf
queue=tapsel-pdf
ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
export CUPS_SERVER=$sock
# The queue must be the default whatever the caller's environment says.
unset PRINTER LPDEST

# One start or stop at a time per DIR.
exec 9>"$dir/.lock"
flock 9

pid_of_ours() { # prints the pid of this DIR's cupsd when it runs
    local pid
    [ -f "$dir/cupsd.pid" ] || return 1
    pid=$(cat "$dir/cupsd.pid")
    [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "-c $dir/cupsd.conf" || return 1
    echo "$pid"
}

stop() {
    local pid
    if pid=$(pid_of_ours); then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$dir/cupsd.pid" "$sock"
}

answers() { lpstat -r 2>/dev/null | grep -q "is running"; }
alive_and_answers() { # fails at once when cupsd has died
    pid_of_ours >/dev/null || return 2
    answers
}

wait_for() { # tries command...: tenths of a second
    local tries=$1
    shift
    local rc
    for _ in $(seq "$tries"); do
        rc=0
        "$@" >/dev/null 2>&1 || rc=$?
        [ $rc = 0 ] && return 0
        [ $rc = 2 ] && return 1
        sleep 0.1
    done
    return 1
}

write_config() {
    # As root, cupsd runs its filters as lp; otherwise all of it runs as the caller.
    local user=lp group=lp system="root lpadmin"
    if [ "$(id -u)" != 0 ]; then
        user=$(id -un)
        group=$(id -gn)
        system=root
    fi
    mkdir -p "$dir/etc/ppd" "$dir/etc/ssl" "$dir/spool/tmp" "$dir/cache" "$dir/state/certs" "$dir/log" "$dir/out"
    # Filters run as lp: they must reach the spool and the PPD through DIR.
    chmod 755 "$dir" "$dir/etc" "$dir/etc/ppd" "$dir/state" "$dir/log" "$dir/out"
    chmod 700 "$dir/etc/ssl"
    chmod 710 "$dir/spool"
    chmod 1770 "$dir/spool/tmp"
    chmod 770 "$dir/cache"
    chmod 511 "$dir/state/certs"
    if [ "$(id -u)" = 0 ]; then
        chgrp lp "$dir/etc" "$dir/spool" "$dir/spool/tmp" "$dir/cache" "$dir/state"
        if command -v runuser >/dev/null && ! runuser -u lp -- test -x "$dir/spool"; then
            echo "cups.sh: user lp cannot reach $dir (a parent folder is closed to it); choose another DIR" >&2
            exit 1
        fi
    fi
    cat >"$dir/cups-files.conf" <<EOF
User $user
Group $group
SystemGroup $system
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/etc/ssl
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
LogFileGroup $group
Printcap $dir/state/printcap
FileDevice Yes
EOF
    cat >"$dir/cupsd.conf" <<EOF
LogLevel warn
Listen $sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
PreserveJobHistory No
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    chmod 644 "$dir/cups-files.conf" "$dir/cupsd.conf"
}

start() {
    local with_queue=$1
    if [ ${#sock} -ge 100 ]; then
        echo "cups.sh: socket path too long for a local socket: $sock" >&2
        exit 1
    fi
    if ! pid_of_ours >/dev/null || ! answers; then
        stop
        write_config
        /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
            </dev/null >"$dir/log/cupsd.out" 2>&1 9>&- &
        echo $! >"$dir/cupsd.pid"
        if ! wait_for 150 alive_and_answers; then
            echo "cups.sh: cupsd did not start in $dir" >&2
            cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
            stop
            exit 1
        fi
    fi
    if [ "$with_queue" = yes ]; then
        if ! lpstat -a "$queue" >/dev/null 2>&1; then
            # lpadmin warns that printer drivers are deprecated; the queue is made all the same.
            # A job that fails must not stop the queue for the jobs after it.
            lpadmin -p "$queue" -E -v "file://$pdf" -P "$ppd" -o printer-error-policy=abort-job \
                2>"$dir/log/lpadmin.out" \
                || { cat "$dir/log/lpadmin.out" >&2; exit 1; }
        fi
        lpadmin -d "$queue"
        wait_for 100 sh -c "lpstat -a $queue | grep -q 'accepting requests'" \
            || { echo "cups.sh: queue $queue does not accept jobs" >&2; exit 1; }
        cupsenable "$queue"
    fi
    echo "export CUPS_SERVER='$sock'"
    echo "export TAPSEL_PDF_OUT='$pdf'"
}

pdf_complete() {
    [ -s "$pdf" ] && tail -c 1024 "$pdf" | grep -q '%%EOF' && pdfinfo "$pdf" >/dev/null 2>&1
}

wait_pdf() {
    local timeout=${1:-30} jobs
    for _ in $(seq $((timeout * 10))); do
        jobs=$(lpstat -o "$queue" 2>/dev/null || true)
        if [ -z "$jobs" ] && lpstat -p "$queue" 2>/dev/null | grep -q "is idle" && pdf_complete; then
            echo "$pdf"
            return 0
        fi
        sleep 0.1
    done
    echo "cups.sh: no complete PDF at $pdf after ${timeout}s" >&2
    return 1
}

case "$cmd" in
start)
    case "${3:-}" in
    "") start yes ;;
    --no-queue) start no ;;
    *) usage ;;
    esac
    ;;
wait-pdf)
    flock -u 9
    wait_pdf "${3:-30}"
    ;;
stop) stop ;;
*) usage ;;
esac
