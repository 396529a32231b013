#!/usr/bin/env bash
# The installer and the uninstaller as a person runs them: each page in a picture
# (build/screenshots/test-setup-*.png), the default button pressed on every page: the
# installer, with "Orvela を起動する" ticked, ends by having the shell start Orvela (not
# itself); the uninstaller asks about the data folder, and closing the question keeps it.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
setup="$(dirname "$build")/Orvela-setup.exe"
[ -f "$setup" ] || { echo "FAIL: $setup is not built"; exit 1; }
dir="$(dirname "$wine_dir")/installer-pages"
rm -rf "$dir"
cp -a "$(dirname "$wine_dir")/template" "$dir"
. "$source/scripts/wine-env.sh" "$dir"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
shots="$(dirname "$build")/screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/Program Files/Orvela"

# The window of that title, waited for (up to 30 s).
window_titled() {
  local found=""
  for _ in $(seq 150); do
    found=$(xdotool search --name "^$1\$" 2>/dev/null | tail -n 1 || true)
    [ -n "$found" ] && break
    sleep 0.2
  done
  [ -n "$found" ] || fail "no window titled $1"
  echo "$found"
}
shot() { sleep 1.5; import -window "$1" "$shots/test-setup-$2.png"; echo "screenshot $shots/test-setup-$2.png"; }
# The default button of the window in front.
press() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"; sleep 0.3; xdotool key "${2:-Return}"; }
press_enter() { press "$1"; }
# "<parent id> <id>" of every running process of that name.
processes() { wine wmic process get Name,ParentProcessId,ProcessId </dev/null 2>/dev/null |
              iconv -f UTF-16LE -t UTF-8 | tr -d '\r' | awk -v name="$1" '$1 == name { print $2, $3 }'; }

setup_title="Orvela $(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' "$source/resources/orvela.rc") セットアップ"
wine "$setup" </dev/null >/dev/null 2>&1 &
w=$(window_titled "$setup_title")
shot "$w" welcome
press_enter "$w"
shot "$w" folder
press_enter "$w"
for _ in $(seq 100); do [ -f "$folder/uninstall.exe" ] && break; sleep 0.2; done
shot "$w" finish
[ -f "$folder/Orvela.exe" ] || fail "the installer did not install"
# "Orvela を起動する" ticked (Alt+R), then "完了": the program starts, and not as the
# installer's child, which would hand it the installer's rights. It is closed as Windows closes it.
setup_id=$(processes Orvela-setup.exe | awk '{ print $2 }')
press "$w" alt+r
press_enter "$w"
main='Orvela( \[ .* \])?'   # the main window's title, not the installer's
window_titled "$main" >/dev/null
sleep 2
parent=$(processes Orvela.exe | awk '{ print $1 }')
[ -n "$setup_id" ] && [ -n "$parent" ] && [ "$parent" != "$setup_id" ] || fail "Orvela was started by the installer itself"
wine taskkill /IM Orvela.exe </dev/null >/dev/null 2>&1 || true
for _ in $(seq 100); do xdotool search --name "^$main\$" >/dev/null 2>&1 || break; sleep 0.2; done
! xdotool search --name "^$main\$" >/dev/null 2>&1 || fail "Orvela did not close"

# A Disabled Box to keep.
printf 'User@Tool=C:\\Tools\\tool.exe /q\r\n' >"$folder/data/startup.txt"
wine 'C:\Program Files\Orvela\uninstall.exe' </dev/null >/dev/null 2>&1 &
u=$(window_titled "Orvela .* アンインストール ?")
shot "$u" uninstall
press_enter "$u"
# The question about the data folder (a message box titled like the uninstaller).
question=""
for _ in $(seq 100); do
  question=$(xdotool search --name "アンインストール" 2>/dev/null | grep -vx "$u" | tail -n 1 || true)
  [ -n "$question" ] && break
  sleep 0.2
done
[ -n "$question" ] || fail "the uninstaller did not ask about the data folder"
shot "$question" question
press "$question" Escape   # closed without an answer
for _ in $(seq 100); do [ ! -f "$folder/Orvela.exe" ] && break; sleep 0.2; done
sleep 2   # the page repaints where the question was
shot "$u" uninstalled
press_enter "$u"
[ ! -e "$folder/Orvela.exe" ] || fail "the uninstaller left Orvela.exe"
[ "$(cat "$folder/data/startup.txt")" = "$(printf 'User@Tool=C:\\Tools\\tool.exe /q\r')" ] ||
  fail "the question closed without an answer did not keep the data folder"
echo "installer and uninstaller pages: Orvela started by the shell; the data kept without a Yes"
