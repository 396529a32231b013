#!/usr/bin/env bash
# The main window as a person sees it: started from outside, found by its title, saved
# as a picture (build/screenshots/test-main.png), closed the way Windows closes programs.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
folder="$WINEPREFIX/drive_c/orvela-shot"
rm -rf "$folder"
mkdir -p "$folder/data"
cp "$build/bin/Orvela.exe" "$folder/"
wine 'C:\orvela-shot\Orvela.exe' >/dev/null 2>&1 &
program=$!

window=$(window_titled Orvela 30 2)
shot="$build/../screenshots/test-main.png"
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
size=$(identify -format '%wx%h' "$shot")
echo "screenshot $shot ($size)"

# taskkill without /F asks the window to close: FormClose writes the Disabled Box files.
close_orvela
wait_for_exit "$program" || { echo "FAIL: the program did not close"; exit 1; }
[ -f "$folder/data/startup.txt" ] || { echo "FAIL: closing did not write data/startup.txt"; exit 1; }
[ -d "$folder/data/uninst" ] || { echo "FAIL: data/uninst was not made at start"; exit 1; }
case "$size" in 6[0-9][0-9]x4[0-9][0-9]) ;; *) echo "FAIL: unexpected window size $size"; exit 1 ;; esac
