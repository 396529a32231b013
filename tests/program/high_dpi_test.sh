#!/usr/bin/env bash
# The main window on a 144-DPI screen: started in a prefix of its own (a copy of the
# template set to 144 DPI, so the other tests keep 96), its size and a row's height read
# from outside, a picture saved (build/screenshots/test-main-144.png).
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
dpi_dir="$(dirname "$wine_dir")/dpi144"
rm -rf "$dpi_dir"
cp -a "$(dirname "$wine_dir")/template" "$dpi_dir"
. "$source/scripts/wine-env.sh" "$dpi_dir"
. "$source/tests/program/windows.sh"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Every Wine command here reads and writes /dev/null: the services the first one starts
# outlive it and would otherwise keep CTest's pipe open.
quiet wine reg add 'HKCU\Software\Ｖ＆Ｌ\Orvela' /f
quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
quiet wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
  /v LogPixels /t REG_DWORD /d 144 /f
# The DPI is taken when the server starts.
quiet wineserver -k || true
quiet wineserver -w || true

folder="$WINEPREFIX/drive_c/orvela-dpi"
mkdir -p "$folder/data"
cp "$build/bin/Orvela.exe" "$build/fixtures/sample-mailer.exe" "$folder/"
# Two rows to look at: one with version texts, one whose program is missing (a program
# that does nothing, should Wine start it).
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
quiet wine reg add "$run" /v 'メール通知' /d 'C:\orvela-dpi\sample-mailer.exe /min' /f
quiet wine reg add "$run" /v 'ない道具' /d '"C:\Tools\tool.exe" /q' /f
wine 'C:\orvela-dpi\Orvela.exe' </dev/null >/dev/null 2>&1 &
window=$(window_titled Orvela 30 2)
report=$(wine "$build/fixtures/window-probe.exe" </dev/null 2>/dev/null | tr -d '\r')
shot="$build/../screenshots/test-main-144.png"
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
echo "$report"
echo "screenshot $shot ($(identify -format '%wx%h' "$shot"))"
close_orvela || true

# 672 x 489 and rows of 42 at 96 DPI.
grep -qx 'window 1008x734' <<<"$report" || { echo "FAIL: the window is not 1008 x 734"; exit 1; }
grep -qx 'row 63' <<<"$report" || { echo "FAIL: the rows are not 63 pixels high"; exit 1; }
