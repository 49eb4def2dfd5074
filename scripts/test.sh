#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the behaviour tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), the tests of the real services and the
# end-to-end tests on a private desktop with a private CUPS.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh" || exit 1
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true QT_QPA_PLATFORM=offscreen

status=0
step() { echo; echo "##### $*"; }

step "build"
"$root/scripts/build.sh" "$root/build" -DTAPSEL_TESTS=ON -DTAPSEL_BENCH=ON -DTAPSEL_SANITIZE=OFF || exit 1

step "behaviour tests"
(cd "$root/build" && ctest -L unit --output-on-failure -j2) || status=1

step "behaviour tests under AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTAPSEL_SANITIZE=ON -DTAPSEL_TESTS=ON -DTAPSEL_BENCH=OFF || exit 1
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest -L unit --output-on-failure -j2) || status=1

step "real services and end-to-end tests"
"$root/tests/e2e/run.sh" "$root/build" || status=1

exit $status
