#!/usr/bin/env bash
# make run: installs what is missing, builds Orvela.exe, prepares the private Wine prefix
# under $BUILD/wine/run (never the user's own), does what the installer will do, and starts
# the program. Without $DISPLAY it runs under Xvfb and saves a screenshot of the main window.
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
export BUILD=$build

bash "$repo/scripts/build.sh" win
bin="$build/win/bin"

headless=""
[ -z "${DISPLAY:-}" ] && headless=1
. "$repo/scripts/display.sh"
new_prefix=""
[ -d "$build/wine/run/prefix" ] || new_prefix=1
bash "$repo/scripts/make-prefix.sh" "$build" run
bash "$repo/scripts/install-into-prefix.sh" "$build/wine/run" "$bin"
if [ -n "$new_prefix" ] && [ -f "$repo/scripts/seed-demo.sh" ]; then
  bash "$repo/scripts/seed-demo.sh" "$build/wine/run" "$build"
fi
. "$repo/scripts/wine-env.sh" "$build/wine/run"

if [ -z "$headless" ]; then
  echo "Orvela: $bin/Orvela.exe (Wine prefix $WINEPREFIX)"
  wine "$bin/Orvela.exe"
  exit 0
fi

# Headless: a virtual desktop, so the window gets its frame and caption from Wine.
shots="$build/screenshots"
mkdir -p "$shots"
wine explorer /desktop=Orvela,900x640 "$bin/Orvela.exe" >/dev/null 2>&1 &
for _ in $(seq 100); do
  xdotool search --name '^Orvela$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 3
import -window root -crop 688x528+106+56 +repage "$shots/main.png" 2>/dev/null || import -window root "$shots/main.png"
wineserver -k >/dev/null 2>&1 || true
orvela_stop_display
echo "Screenshot of the main window: $shots/main.png"
