#!/usr/bin/env bash
# The recent-files page's fill against a bare walk of the same Recent folder (10,000
# shortcuts by default), in a Wine prefix of its own under $BUILD/wine/bench-recent.
# Usage: bash bench/recent_bench.sh [number of shortcuts]. Prints the figures; exit code 1
# when the fill is over 1.1 times the walk or the first screen looks up unseen rows.
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
export BUILD=$build
count=${1:-10000}

bash "$repo/scripts/build.sh" win >&2
win="$build/win"
exe="$win/bench/recent-fill-bench.exe"
mkdir -p "$(dirname "$exe")"
# Built here against the program's own libraries, so the build files stay as they are.
includes=$(tr '\n' ' ' < "$win/CMakeFiles/orvela_win.dir/includes_CXX.rsp" 2>/dev/null || echo "-I$repo/src")
x86_64-w64-mingw32-g++ -std=c++20 -O2 -municode -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 \
  -DWINVER=0x0601 $includes -I"$repo/src" "$repo/bench/recent_fill_bench.cpp" \
  "$win/CMakeFiles/orvela_resources.dir/resources/orvela.rc.res" \
  -Wl,--start-group "$win/liborvela_win.a" "$win/liborvela_core.a" -Wl,--end-group \
  -lcomctl32 -lshell32 -lole32 -loleaut32 -luuid -ladvapi32 -luser32 -lgdi32 -lversion -lwininet -lpsapi \
  -lshlwapi -lcomdlg32 -lmsimg32 -static -o "$exe"

. "$repo/scripts/display.sh"
bash "$repo/scripts/make-prefix.sh" "$build" bench-recent
. "$repo/scripts/wine-env.sh" "$build/wine/bench-recent"
trap 'wineserver -k >/dev/null 2>&1 || true; orvela_stop_display' EXIT
wine reg add 'HKCU\Software\Ｖ＆Ｌ\Orvela' /f </dev/null >/dev/null 2>&1
out="$build/bench-recent.txt"
set +e
wine "$exe" "$count" </dev/null >"$out" 2>/dev/null
rc=$?
set -e
tr -d '\r' < "$out"
exit "$rc"
