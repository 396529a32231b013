#!/usr/bin/env bash
# The uninstall page as a person sees it: pictures of the list in both views, the details
# dialog and the saved-information dialog (build/screenshots/test-uninstall-*.png), the
# window put in each state by a driver from outside.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
shots="$build/../screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/orvela-uninstall-shot"
rm -rf "$folder"
mkdir -p "$folder/data/uninst"
cp "$build/bin/Orvela.exe" "$folder/"

machine='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
user='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entry() {  # entry <key> <title> <command> <publisher> <date> [/reg:32]
  quiet wine reg add "$1" /v DisplayName /d "$2" /f ${6:-}
  quiet wine reg add "$1" /v UninstallString /d "$3" /f ${6:-}
  quiet wine reg add "$1" /v Publisher /d "$4" /f ${6:-}
  [ -z "$5" ] || quiet wine reg add "$1" /v InstallDate /d "$5" /f ${6:-}
}
cleanup() {
  for key in "$machine\\OrvelaShotSelf" "$machine\\OrvelaShotNotepad" "$machine\\OrvelaShotRegedit" "$user\\OrvelaShotConfig" \
             "$machine\\OrvelaShotUpdate"; do quiet wine reg delete "$key" /f || true; done
  quiet wine reg delete "$machine\\OrvelaShotOld" /f /reg:32 || true
  close_orvela || true
}
trap cleanup EXIT
# The program's own entry: its icon, and "アンインストール(&U)" not offered for it.
entry "$machine\\OrvelaShotSelf" 'Orvela' 'C:\orvela-uninstall-shot\Orvela.exe /uninstall' 'Ｖ＆Ｌ' 20241201
entry "$machine\\OrvelaShotNotepad" 'メモ帳 サンプル 1.0' 'C:\windows\notepad.exe /uninstall' 'Orvela サンプル株式会社' 20240115
entry "$machine\\OrvelaShotRegedit" 'レジストリ ツール' '"C:\windows\regedit.exe" /remove' '星ソフトウェア' ''
entry "$user\\OrvelaShotConfig" '設定ツール (ユーザー)' 'C:\windows\system32\winecfg.exe' 'Wine サンプル' ''
entry "$machine\\OrvelaShotOld" '旧 32ビット ツール' 'MsiExec.exe /X{12345678-ABCD}' '古い会社' 20190301 /reg:32
entry "$machine\\OrvelaShotUpdate" 'Windows 更新プログラム (KB1234567)' 'MsiExec.exe /X{87654321}' 'Microsoft' 20230510
# Two saved entries for the saved-information dialog.
for title in '削除したツール 2.0' 'Sample Tool 1.0'; do
  printf '\xef\xbb\xbf\xef\xbc\xb6\xef\xbc\x86\xef\xbc\xac Registry Text Data Version 1.1\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvelaShotSaved]\r\n"DisplayName"="%s"\r\n' "$title" \
    >"$folder/data/uninst/$title.reg"
done

wine 'C:\orvela-uninstall-shot\Orvela.exe' </dev/null >/dev/null 2>&1 &
window=$(window_titled Orvela 30 2)
shot() { import -window "$1" "$shots/test-uninstall-$2.png"; echo "screenshot $shots/test-uninstall-$2.png"; }

drive page 2 || { echo "FAIL: the driver found no window"; exit 1; }
sleep 2
shot "$window" list
drive click 1305   # 他の情報も表示
drive select 1303 1
sleep 1.5
shot "$window" detailed
drive menu 2301    # 詳細
details=$(window_titled '詳細')
drive row TOKBottomDlg1 100 last
sleep 1
shot "$details" details
drive close TOKBottomDlg1
sleep 1
drive menu 2307    # バックアップ情報(&B)
saved=$(window_titled '削除した情報')
drive row TUnInstKeepDlg 100
sleep 1
shot "$saved" saved
drive close TUnInstKeepDlg
sleep 1
for name in list detailed details saved; do
  [ -s "$shots/test-uninstall-$name.png" ] || { echo "FAIL: no picture $name"; exit 1; }
done
