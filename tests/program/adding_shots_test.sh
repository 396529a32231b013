#!/usr/bin/env bash
# Adding a running application to the startup entries, as a person does it: the list of
# running applications (Notepad and Minesweeper started first), a row chosen, the add
# dialog answered with OK; a shortcut appears in the user's Startup folder. Pictures:
# build/screenshots/test-adding-{running,dialog}.png.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
shots="$build/../screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/orvela-adding-shot"
# The user's Startup folder, "StartUp" in Wine's spelling (Linux tells case apart).
startup=$(find "$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs" \
  -maxdepth 1 -iname startup | head -n 1)
[ -n "$startup" ] || { echo "FAIL: no Startup folder in the prefix"; exit 1; }
rm -rf "$folder"
mkdir -p "$folder/data"
cp "$build/bin/Orvela.exe" "$folder/"
before=$(find "$startup" -name '*.lnk' | sort)

pids=()
cleanup() {
  close_orvela || true
  wine taskkill /IM notepad.exe /IM winemine.exe </dev/null >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
wine notepad </dev/null >/dev/null 2>&1 & pids+=($!)
wine winemine </dev/null >/dev/null 2>&1 & pids+=($!)
wine 'C:\orvela-adding-shot\Orvela.exe' </dev/null >/dev/null 2>&1 & pids+=($!)
window=$(window_titled Orvela 30 2)
shot() { import -window "$1" "$shots/test-adding-$2.png"; echo "screenshot $shots/test-adding-$2.png"; }

drive menu 2007    # スタートアップに追加 / 実行中のアプリから選択する
running=$(window_titled '実行中のアプリケーション一覧')
drive row TUnInstKeepDlg 100
sleep 1
shot "$running" running
drive ok TUnInstKeepDlg
added=$(window_titled 'スタートアップの追加')
shot "$added" dialog
drive ok TOKBottomDlg
new=""
for _ in $(seq 75); do  # a busy machine may take a while
  after=$(find "$startup" -name '*.lnk' | sort)
  new=$(comm -13 <(echo "$before") <(echo "$after") | grep . || true)
  [ -n "$new" ] && break
  sleep 0.2
done
[ "$(echo "$new" | grep -c .)" = 1 ] || { echo "FAIL: expected one new shortcut, got: $new"; exit 1; }
echo "added: $new"
rm -f "$new"
for name in running dialog; do
  [ -s "$shots/test-adding-$name.png" ] || { echo "FAIL: no picture $name"; exit 1; }
done
