#!/usr/bin/env bash
# The keyboard alone, with real key presses, read from another process as assistive
# technology reads it (the focus of the window's thread, each control's standard accessible
# object): focus starts in the startup list's first row and follows every page change, the
# row menu opened from the keyboard is the shown page's, focus is back in the list once a
# message box is answered, and every button has a name a screen reader can say.
# Pictures: build/screenshots/test-keyboard-*.png.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 wine_dir=$2 source=$3
. "$source/scripts/wine-env.sh" "$wine_dir"
. "$source/tests/program/windows.sh"
shots="$build/../screenshots"
mkdir -p "$shots"
folder="$WINEPREFIX/drive_c/orvela-keyboard"
rm -rf "$folder"
mkdir -p "$folder"
cp "$build/bin/Orvela.exe" "$build/fixtures/sample-mailer.exe" "$folder/"
sendto=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/SendTo | grep -v /Public/ | head -n 1)
item="$sendto/キーボード確認.txt"
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
cleanup() {
  quiet wine reg delete "$run" /v 'キーボード確認' /f || true
  rm -f "$item"
  close_orvela || true
  # The next test starts its own copy: this one must be gone, not only its window. Under
  # Xvfb that takes about two seconds a shown window: Wine waits that long for a window
  # manager to withdraw each one before it destroys it (src/app/NOTES.md, Tests).
  wait_for_exit "${program:-0}" && return 0
  wine taskkill /F /IM Orvela.exe </dev/null >/dev/null 2>&1 || true
}
trap cleanup EXIT
quiet wine reg add "$run" /v 'キーボード確認' /d '"C:\orvela-keyboard\sample-mailer.exe" /min' /f
echo x >"$item"

fail() { echo "FAIL: $*"; exit 1; }
probe() { wine "$build/fixtures/accessibility-probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
press() { xdotool windowfocus --sync "$window"; xdotool key --window "$window" "$@"; sleep 1.5; }
# focus_on <control id> <when>: the focused control as the probe reads it.
focus_on() {
  local got
  got=$(probe focus)
  echo "focus $2: $got"
  [ "${got%% *}" = "$1" ] || fail "$2: the focus is on '$got', not on control $1"
}
shot() { import -window "$window" "$shots/test-keyboard-$1.png"; echo "screenshot $shots/test-keyboard-$1.png"; }
names() {
  probe buttons | sed 's/^/button: /' || fail "a button without a name on the $1 page"
}

wine 'C:\orvela-keyboard\Orvela.exe' </dev/null >/dev/null 2>&1 &
program=$!
window=$(window_titled Orvela 30 2)
focus_on 1301 "at start"
names startup
shot startup

press ctrl+Tab
focus_on 1302 "after Ctrl+Tab"
shot sendto
# The row menu from the keyboard, its command by its access key: D is the SendTo page's
# delete, whose question names the SendTo menu; Escape answers it.
press shift+F10
probe menu || fail "Shift+F10 opened no menu"
press d
question=$(probe box) || fail "the menu's delete asked nothing"
echo "question: $question"
[[ $question == *この送るメニューを削除してよろしいですか* ]] || fail "Shift+F10 opened another page's menu"
press Escape
! probe box >/dev/null || fail "Escape left the question open"
[ -f "$item" ] || fail "the question answered with Escape deleted the item"
focus_on 1302 "after the question"

# One key at a time: a key pressed while a page fills reaches the list, not the window.
press ctrl+Tab
press ctrl+Tab
focus_on 1304 "on the recent-files page"
names recent-files
shot recent
for _ in 1 2 3; do press ctrl+shift+Tab; done
focus_on 1301 "back on the startup page"
