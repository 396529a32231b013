#!/usr/bin/env bash
# make run: installs what is missing, builds Orvela.exe, prepares the private Wine prefix
# under $BUILD/wine/run (never the user's own), does what the installer will do, and starts
# the program. Without $DISPLAY it runs under Xvfb and saves a screenshot of the main window.
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
export BUILD=$build

bash "$repo/scripts/build.sh" app
bin="$build/win/bin"

headless=""
[ -z "${DISPLAY:-}" ] && headless=1
. "$repo/scripts/display.sh"
new_prefix=""
[ -d "$build/wine/run/prefix" ] || new_prefix=1
bash "$repo/scripts/make-prefix.sh" "$build" run
bash "$repo/scripts/install-into-prefix.sh" "$build/wine/run" "$bin"
. "$repo/scripts/wine-env.sh" "$build/wine/run"
# One Wine session for seeding and running: Wine runs (and empties) the RunOnce key when a
# session starts, so the sample RunOnce entry is written inside the session that shows it.
wineserver -w
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
seed_args=()
[ -n "$new_prefix" ] || seed_args=(--run-once-only)
wine "$build/win/fixtures/seed-demo.exe" "Z:$(echo "$build/win/fixtures" | tr / '\\')" "${seed_args[@]}" \
  >/dev/null 2>&1 || echo "make run: the sample entries could not be made"

if [ -z "$headless" ]; then
  echo "Orvela: $bin/Orvela.exe (Wine prefix $WINEPREFIX)"
  wine "$bin/Orvela.exe" || true
  wineserver -k >/dev/null 2>&1 || true
  exit 0
fi

# Headless: a virtual desktop, so the window gets its frame and caption from Wine.
bash "$repo/scripts/screenshot.sh" "$build/wine/run" "$bin/Orvela.exe" "$build/screenshots/main.png"
orvela_stop_display
echo "Screenshot of the main window: $build/screenshots/main.png"
