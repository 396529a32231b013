#!/usr/bin/env bash
# screenshot.sh <wine dir> <exe> <png> [seconds]: starts the program in a Wine virtual desktop
# on the current $DISPLAY, waits for its main window, saves a picture of the window's area
# and ends the prefix's processes.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
. "$scripts/wine-env.sh" "$1"
exe=$2 png=$3 settle=${4:-3}
mkdir -p "$(dirname "$png")"
# The desktop is 900 x 640; the 672 x 489 window is centred in it.
wine explorer /desktop=Orvela,900x640 "$exe" >/dev/null 2>&1 &
found=""
for _ in $(seq 150); do
  if xdotool search --name '^Orvela$' >/dev/null 2>&1; then found=1; break; fi
  sleep 0.2
done
sleep "$settle"
import -window root -crop 688x528+106+56 +repage "$png" 2>/dev/null
wineserver -k >/dev/null 2>&1 || true
[ -n "$found" ]
