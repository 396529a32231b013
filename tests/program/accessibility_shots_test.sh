#!/usr/bin/env bash
# The startup page as keyboard and high-contrast users see it: a row focused from the
# keyboard (build/screenshots/test-startup-focused.png) and the page in a high-contrast
# black theme (test-startup-high-contrast.png). Wine cannot switch high contrast on, so the
# program is told by ORVELA_TEST_HIGH_CONTRAST and the driver sets the theme's colours.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
shots="$build/../screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/orvela-access-shot"
rm -rf "$folder"
mkdir -p "$folder"
cp "$build/bin/Orvela.exe" "$build/fixtures/sample-mailer.exe" "$build/fixtures/sample-updater.exe" "$folder/"
kept='C:\orvela-access-shot\colours.bin'

run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
cleanup() {
  [ -f "$folder/colours.bin" ] && drive colours restore "$kept" || true
  quiet wine reg delete "$run" /v 'メール通知' /f || true
  quiet wine reg delete "$run" /v '見当たらないツール' /f || true
  quiet wine reg delete "$machine_run" /v '更新チェック' /f || true
  close_orvela || true
}
trap cleanup EXIT
quiet wine reg add "$run" /v 'メール通知' /d '"C:\orvela-access-shot\sample-mailer.exe" /min' /f
quiet wine reg add "$run" /v '見当たらないツール' /d 'no-such-tool.exe -q' /f
quiet wine reg add "$machine_run" /v '更新チェック' /d '"C:\orvela-access-shot\sample-updater.exe"' /f

start() {  # start [environment...]: the program, its window found and filled
  env "$@" wine 'C:\orvela-access-shot\Orvela.exe' </dev/null >/dev/null 2>&1 &
  window=$(window_titled Orvela 30 2)
}
shot() { import -window "$1" "$shots/test-startup-$2.png"; echo "screenshot $shots/test-startup-$2.png"; }
# A key as a user presses it in the list, which has the keyboard focus (Down: 40).
keys() {
  drive focus 1301 || { echo "FAIL: the list took no focus"; exit 1; }
  drive key 1301 "$1"
  sleep 1.5
}

start
drive select 1301 0
keys 40
shot "$window" focused
close_orvela || true
sleep 2

drive colours hc "$kept"
start ORVELA_TEST_HIGH_CONTRAST=1
drive select 1301 1
keys 40
shot "$window" high-contrast
for name in focused high-contrast; do
  [ -s "$shots/test-startup-$name.png" ] || { echo "FAIL: no picture $name"; exit 1; }
done
