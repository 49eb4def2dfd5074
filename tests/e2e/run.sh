#!/usr/bin/env bash
# Runs every end-to-end script on a private desktop (Xvfb, openbox) with a private CUPS
# whose default queue writes PDF.   tests/e2e/run.sh BUILD_DIR [PATTERN]
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
pattern=${2:-}
tmp=$(mktemp -d /tmp/tapsel-e2e.XXXXXX)
chmod 755 "$tmp" # the print spooler runs its backend as another user

cleanup() {
    "$root/scripts/e2e/cups.sh" stop "$tmp/cups" >/dev/null 2>&1 || true
    "$root/scripts/e2e/desktop.sh" stop "$tmp/desktop" >/dev/null 2>&1 || true
}
trap cleanup EXIT

desktop_env=$("$root/scripts/e2e/desktop.sh" start "$tmp/desktop") || { echo "no desktop" >&2; exit 1; }
eval "$desktop_env"
cups_env=$("$root/scripts/e2e/cups.sh" start "$tmp/cups") || { echo "no CUPS" >&2; exit 1; }
eval "$cups_env"
export TAPSEL_BUILD=$build TAPSEL_ROOT=$root QT_QPA_PLATFORM=xcb

passed=0
failed=0
failures=()

# The tests of the real services need this desktop and this CUPS too.
if [ -z "$pattern" ]; then
    echo "=== tests of the real services"
    (cd "$build" && ctest -L linux --output-on-failure) || failed=$((failed + 1))
fi
for script in "$root"/tests/e2e/e2e_*.sh; do
    name=$(basename "$script" .sh)
    [ -n "$pattern" ] && [[ $name != *$pattern* ]] && continue
    export TAPSEL_E2E_TMP="$tmp/$name"
    mkdir -p "$TAPSEL_E2E_TMP"
    rm -f "$TAPSEL_PDF_OUT"
    echo "=== $name"
    if timeout 600 bash "$script" >"$tmp/$name.log" 2>&1; then
        echo "    ok"
        passed=$((passed + 1))
    else
        echo "    FAILED; its output:"
        sed 's/^/    | /' "$tmp/$name.log"
        failed=$((failed + 1))
        failures+=("$name")
    fi
    # Nothing a script left running may leak into the next one.
    pkill -f "$build/tapsel" 2>/dev/null || true
    pkill -f "$build/tests/tapsel_driver" 2>/dev/null || true
done

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
