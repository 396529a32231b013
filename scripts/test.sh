#!/usr/bin/env bash
# Builds everything and runs every suite through one CTest run, in a fresh private
# Wine prefix under $BUILD/wine/test. CTest's summary is the last thing printed.
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
export BUILD=$build

bash "$repo/scripts/build.sh" all

# Xvfb before any Wine process: the first one decides whether windows can exist.
. "$repo/scripts/display.sh"
bash "$repo/scripts/make-prefix.sh" "$build" test fresh
bash "$repo/scripts/install-into-prefix.sh" "$build/wine/test" "$build/win/bin"
. "$repo/scripts/wine-env.sh" "$build/wine/test"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  orvela_stop_display
}
trap cleanup EXIT
# Start the server and its services outside CTest, or they inherit CTest's pipe and it hangs.
wineserver -w
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true

set +e
ctest --test-dir "$build/win" --output-on-failure ${CTEST_ARGS:-}
rc=$?
set -e
exit $rc
