#!/usr/bin/env bash
# The Windows-settings page as a person sees it, with the tuning values of a Windows XP
# machine: each of its sheets in front ("ネットワーク", which has no tab, only here), saved as
# build/screenshots/test-settings-{memory,network,other}.png. In a prefix of its own, so the
# settings key holds the default ping target and speed-test page.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
sheets_dir="$(dirname "$wine_dir")/sheets"
rm -rf "$sheets_dir"
cp -a "$(dirname "$wine_dir")/template" "$sheets_dir"
. "$source/scripts/wine-env.sh" "$sheets_dir"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
mkdir -p "$build/../screenshots"
for sheet in memory network other; do
  wine "$build/fixtures/settings-sheets.exe" "$sheet" </dev/null >/dev/null 2>&1 &
  program=$!
  window=""
  for _ in $(seq 150); do
    window=$(xdotool search --name '^Orvela \[ Windowsの設定 \]$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "FAIL: no settings page for $sheet"; exit 1; }
  sleep 2
  shot="$build/../screenshots/test-settings-$sheet.png"
  import -window "$window" "$shot"
  echo "screenshot $shot ($(identify -format '%wx%h' "$shot"))"
  wine taskkill /IM settings-sheets.exe </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program" 2>/dev/null; then echo "FAIL: the $sheet window did not close"; exit 1; fi
  # A picture of a window that drew nothing is one flat colour.
  colours=$(convert "$shot" -format '%k' info:)
  [ "$colours" -gt 50 ] || { echo "FAIL: the $sheet picture has only $colours colours"; exit 1; }
done
