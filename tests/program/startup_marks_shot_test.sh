#!/usr/bin/env bash
# The startup page with a 32-bit program's Run entry (written with reg's /reg:32), an entry
# Windows' own switch has off and one that came back after it was disabled: a picture
# (build/screenshots/test-startup-marks.png), then the 32-bit entry disabled from the row
# menu, which must leave the 32-bit key and stand in data\startup.txt.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
shots="$build/../screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/orvela-marks-shot"
rm -rf "$folder"
mkdir -p "$folder/data"
cp "$build/bin/Orvela.exe" "$folder/"
mailer='C:\windows\notepad.exe'

user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
cleanup() {
  quiet wine reg delete "$user_run" /v 'マーク Windows で無効' /f || true
  quiet wine reg delete "$user_run" /v 'マーク 復活' /f || true
  quiet wine reg delete "$machine_run" /v 'マーク 32ビット' /f /reg:32 || true
  quiet wine reg delete "$approved" /v 'マーク Windows で無効' /f || true
  close_orvela || true
}
trap cleanup EXIT
quiet wine reg add "$user_run" /v 'マーク Windows で無効' /d "$mailer /tray" /f
quiet wine reg add "$approved" /v 'マーク Windows で無効' /t REG_BINARY /d 030000000000056936C0D501 /f
quiet wine reg add "$user_run" /v 'マーク 復活' /d "$mailer /update" /f
quiet wine reg add "$machine_run" /v 'マーク 32ビット' /d "$mailer" /f /reg:32
# The returned entry's line, as a disable of an earlier run left it (UTF-8 with a BOM).
printf '\xef\xbb\xbfUser@マーク 復活=%s /update\r\n' "$mailer" >"$folder/data/startup.txt"

wine 'C:\orvela-marks-shot\Orvela.exe' </dev/null >/dev/null 2>&1 &
window=$(window_titled Orvela 30 2)
# The first row is the one Windows has off: the status bar gives the date it was turned off.
drive select 1301 0 || { echo "FAIL: the driver found no list"; exit 1; }
sleep 1.5
import -window "$window" "$shots/test-startup-marks.png"
echo "screenshot $shots/test-startup-marks.png"
[ -s "$shots/test-startup-marks.png" ] || { echo "FAIL: no picture"; exit 1; }

drive select 1301 last   # the 32-bit entry, listed after the machine's RunOnce entries
sleep 1
# The row Windows has off, now unselected, in its muted colours.
import -window "$window" "$shots/test-startup-marks-muted.png"
echo "screenshot $shots/test-startup-marks-muted.png"

# The box file is written in the ANSI code page when every character fits.
box() { iconv -f CP932 -t UTF-8 <"$folder/data/startup.txt" 2>/dev/null || true; }
drive menu 2001   # 無効にする
for _ in $(seq 50); do
  box | grep -q 'Machine32@マーク 32ビット=' && break
  sleep 0.2
done
box | grep -qF 'Machine32@マーク 32ビット=C:\windows\notepad.exe' ||
  { echo "FAIL: no Machine32@ line"; box; exit 1; }
if quiet wine reg query "$machine_run" /v 'マーク 32ビット' /reg:32; then
  echo "FAIL: the value is still in the 32-bit key"; exit 1
fi
echo "ok"
