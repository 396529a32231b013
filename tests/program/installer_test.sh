#!/usr/bin/env bash
# The release as a user gets it: Orvela-setup.exe installed silently into a fresh prefix (a
# copy of the template), into a folder that already holds files of its own; what it made
# checked (files, data folder, settings key, shortcut, every value of the Uninstall entry);
# the installed program started and its uninstall page looked at (the uninstaller refuses
# while it runs), an entry disabled; the setup run again with its defaults updates the same
# folder, and the program, started by a user without a settings key, makes one and shows the
# entry in its Disabled Box; then the silent uninstall:
# everything it made gone, the foreign files and the data folder with the Disabled Box as
# they were. A second install into the default folder leaves nothing behind.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
setup="$(dirname "$build")/Orvela-setup.exe"
[ -f "$setup" ] || { echo "FAIL: $setup is not built"; exit 1; }
dir="$(dirname "$wine_dir")/installer"
rm -rf "$dir"
cp -a "$(dirname "$wine_dir")/template" "$dir"
. "$source/scripts/wine-env.sh" "$dir"
. "$source/tests/program/windows.sh"
trap 'wine taskkill /IM Orvela.exe </dev/null >/dev/null 2>&1 || true; wineserver -k >/dev/null 2>&1 || true' EXIT
# Every Wine command reads and writes /dev/null: the services the first one starts outlive
# it and would otherwise keep CTest's pipe open.
fail() { echo "FAIL: $*" >&2; exit 1; }
# A value of a key as `reg query` prints it (in the ANSI code page when piped).
value() { wine reg query "$1" /v "$2" </dev/null 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' |
          sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)\$/\1 \2/p"; }
expect_value() {  # key name "TYPE data"
  local got
  got=$(value "$1" "$2" || true)   # a missing key is told, not a silent end
  [ "$got" = "$3" ] || fail "$2 of $1 is '$got', not '$3'"
}
# Waits up to 30 s for a condition (the uninstaller returns before it has done its work).
wait_for() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.2; done; return 1; }

version=$(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' "$source/resources/orvela.rc")
settings='HKCU\Software\Ｖ＆Ｌ\Orvela'
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvela'
mark='HKLM\Software\Ｖ＆Ｌ\Orvela'
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orvela.lnk"
win_folder='C:\ツール表'
folder="$WINEPREFIX/drive_c/ツール表"
help_images=$(grep -o 'src="images/[^"]*"' "$source/resources/help/Orvela.htm" | sed 's/^src="images\/\(.*\)"$/\1/' | sort -u)

# --- silent install into a folder with files of its own (/D= takes no quotes: no blank)
mkdir -p "$folder/Help"
echo mine >"$folder/keep.txt"
echo mine >"$folder/Help/mine.txt"
quiet wine "$setup" /S "/D=$win_folder" || fail "the silent install failed"

cmp -s "$folder/Orvela.exe" "$(dirname "$build")/release/stage/Orvela.exe" || fail "Orvela.exe is not the program staged"
cmp -s "$folder/Help/Orvela.htm" "$source/resources/help/Orvela.htm" || fail "the help page is not installed"
for image in $help_images; do
  cmp -s "$folder/Help/images/$image" "$source/resources/help/images/$image" || fail "no help picture $image"
done
[ -f "$folder/uninstall.exe" ] || fail "no uninstaller"
[ -d "$folder/data" ] || fail "no data folder"
touch "$folder/data/probe" && rm "$folder/data/probe" || fail "the data folder cannot be written"
quiet wine reg query "$settings" || fail "no settings key"
[ -f "$link" ] || fail "no Start-menu shortcut"
# The shortcut names the installed program (its path is stored in UTF-16).
python3 - "$link" 'C:\ツール表\Orvela.exe' <<'EOF' || fail "the shortcut does not name the installed program"
import sys
sys.exit(0 if sys.argv[2].encode('utf-16-le') in open(sys.argv[1], 'rb').read() else 1)
EOF
expect_value "$entry" DisplayName "REG_SZ Orvela"
expect_value "$entry" DisplayVersion "REG_SZ $version"
expect_value "$entry" Publisher "REG_SZ Ｖ＆Ｌ"
expect_value "$entry" InstallLocation "REG_SZ $win_folder"
expect_value "$entry" UninstallString "REG_SZ \"$win_folder\\uninstall.exe\""
expect_value "$entry" DisplayIcon "REG_SZ $win_folder\\Orvela.exe,0"
! quiet wine reg query "$entry" /reg:32 || fail "the Uninstall entry is in the 32-bit view"
expect_value "$mark" InstallDir "REG_SZ $win_folder"
# The size in kilobytes of what was installed (the folder's own files do not count).
size=$(value "$entry" EstimatedSize | sed -n 's/^REG_DWORD 0x\([0-9a-fA-F]*\)$/\1/p')
[ -n "$size" ] || fail "no EstimatedSize"
installed_kb=$(cd "$folder" && stat -c %s Orvela.exe Help/Orvela.htm $(printf 'Help/images/%s ' $help_images) |
               awk '{ sum += $1 } END { print int(sum / 1024) }')
(( 16#$size >= installed_kb && 16#$size <= installed_kb + 64 )) ||
  fail "EstimatedSize $((16#$size)) KB for $installed_kb KB of files"
echo "installed: files, data, settings key, shortcut, Uninstall entry ($((16#$size)) KB)"

# --- the installed program starts, and its uninstall page lists it with its icon
quiet wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v OrvelaProbe /d 'C:\Tools\probe.exe' /f
wine "$win_folder\\Orvela.exe" </dev/null >/dev/null 2>&1 &
window=$(window_titled Orvela 30 2)
probe=$(wine "$build/fixtures/uninstall-row-probe.exe" "$win_folder\\" </dev/null 2>/dev/null | tr -d '\r') ||
  fail "the uninstall page does not list Orvela"
echo "$probe"
grep -qx 'icon same' <<<"$probe" || fail "the row does not show Orvela's icon"
grep -qx 'uninstall not offered' <<<"$probe" || fail "the page offers to uninstall Orvela itself"
drive page 2 || fail "the driver found no window"
sleep 2
shots="$(dirname "$build")/screenshots"
mkdir -p "$shots"
import -window "$window" "$shots/test-installed-uninstall.png"
echo "screenshot $shots/test-installed-uninstall.png"
# "アンインストール(&U)" sent anyway, with the only row selected, starts nothing.
drive select 1303 0
drive menu 2308
sleep 3
[ -f "$folder/uninstall.exe" ] && [ -f "$folder/Orvela.exe" ] || fail "Orvela started its own uninstaller"
# While Orvela runs, the uninstaller refuses and changes nothing.
quiet wine "$win_folder\\uninstall.exe" /S || true
sleep 5
[ -f "$folder/Orvela.exe" ] && quiet wine reg query "$entry" || fail "the uninstaller ran while Orvela was running"
# The only startup entry, disabled into the Disabled Box.
drive page 0
drive select 1301 0
drive menu 2001
wait_for 'grep -q OrvelaProbe "$folder/data/startup.txt" 2>/dev/null' || fail "the entry was not disabled"
close_orvela || true
wait_for '! xdotool search --name "^Orvela" >/dev/null 2>&1' || fail "Orvela did not end"

# --- the update: the setup with its defaults goes over the same folder and keeps data, found
# by the mark, or by the Uninstall entry where a copy from before the mark has none
for by in mark entry; do
  [ "$by" = mark ] || quiet wine reg delete "$mark" /f
  quiet wine "$setup" /S || fail "the update failed"
  [ ! -e "$WINEPREFIX/drive_c/Program Files/Orvela" ] || fail "the update by the $by went to the default folder"
done
expect_value "$entry" InstallLocation "REG_SZ $win_folder"
# A user without a settings key, on a machine with the mark: the program makes the key and runs.
quiet wine reg delete "$settings" /f
wine "$win_folder\\Orvela.exe" </dev/null >/dev/null 2>&1 &
window_titled Orvela 30 2 >/dev/null
quiet wine reg query "$settings" || fail "the program did not make the settings key"
drive click 1002
rows() { wine "$build/fixtures/window-driver.exe" count 1301 </dev/null 2>/dev/null | tr -d '\r'; }
wait_for '[ "$(rows)" = 1 ]' || fail "the Disabled Box view does not show the entry after the update"
close_orvela || true
wait_for '! xdotool search --name "^Orvela" >/dev/null 2>&1' || fail "Orvela did not end"
echo "updated: the same folder, the Disabled Box in view; the settings key made for a new user"

# --- silent uninstall: a Disabled Box (CP932 bytes: 表 is 0x95 0x5C) stays as it was
printf 'User@\x95\x5c\x83\x63\x81\x5b\x83\x8b=C:\\Tools\\tool.exe /q\r\n' >"$folder/data/startup.txt"
before=$(sha256sum <"$folder/data/startup.txt")
quiet wine "$win_folder\\uninstall.exe" /S || fail "the silent uninstall failed"
wait_for '[ ! -e "$folder/uninstall.exe" ]' || fail "the uninstaller did not finish"
for gone in Orvela.exe Help/Orvela.htm Help/images; do [ ! -e "$folder/$gone" ] || fail "$gone is left"; done
[ ! -e "$link" ] || fail "the shortcut is left"
! quiet wine reg query "$entry" || fail "the Uninstall entry is left"
! quiet wine reg query "$settings" || fail "the settings key is left"
! quiet wine reg query 'HKCU\Software\Ｖ＆Ｌ' || fail "the maker's empty key is left"
! quiet wine reg query 'HKLM\Software\Ｖ＆Ｌ' || fail "the machine's mark is left"
[ "$(cat "$folder/keep.txt" "$folder/Help/mine.txt")" = "$(printf 'mine\nmine')" ] || fail "files of the folder were removed"
[ "$(sha256sum <"$folder/data/startup.txt")" = "$before" ] || fail "the Disabled Box did not stay as it was"
echo "uninstalled: the program's files, shortcut and keys gone; foreign files and data kept"

# --- the default folder, installed and removed: nothing is left of it
quiet wine "$setup" /S || fail "the silent install into the default folder failed"
default="$WINEPREFIX/drive_c/Program Files/Orvela"
[ -f "$default/Orvela.exe" ] || fail "the default folder is not under Program Files"
quiet wine 'C:\Program Files\Orvela\uninstall.exe' /S
wait_for '[ ! -e "$default" ]' || fail "the default folder is left: $(cd "$default" && find . | tr '\n' ' ')"

# --- the settings key's name, code unit by code unit, as Wine keeps it (U+FF36 U+FF06 U+FF2C)
quiet wine "$setup" /S "/D=$win_folder"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
grep -qF '[Software\\\xff36\xff06\xff2c\\Orvela]' "$WINEPREFIX/user.reg" ||
  fail "the settings key is not named Software\\Ｖ＆Ｌ\\Orvela in user.reg"
echo "settings key written as Software\\Ｖ＆Ｌ\\Orvela"
