#!/usr/bin/env bash
# make-prefix.sh <build dir> <name> [fresh]
# Makes the private Wine prefix <build>/wine/<name> from a template prefix that is
# booted once (<build>/wine/template). With "fresh" an existing prefix is replaced.
# $DISPLAY must already be set (scripts/display.sh).
set -euo pipefail
build=$1 name=$2 fresh=${3:-}
scripts=$(cd "$(dirname "$0")" && pwd)
template="$build/wine/template"
target="$build/wine/$name"

if [ ! -f "$template/ready" ]; then
  rm -rf "$template"
  mkdir -p "$template/home"
  (
    . "$scripts/wine-env.sh" "$template"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # The user's folders are symlinks into $HOME after wineboot: make them real folders.
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
    done
    # Japanese faces for the names the program asks for. IPA P Gothic has the metrics of
    # the proportional Gothic face the rows are laid out for; Noto is the fallback.
    for face in "ＭＳ Ｐゴシック" "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "IPAPGothic" /f >/dev/null 2>&1
    done
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "ＭＳ ゴシック" /d "IPAGothic" /f >/dev/null 2>&1
    # A crash prints its backtrace and ends the process: the crash dialog would wait for a
    # click nobody gives, until the test's time runs out.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
  )
  touch "$template/ready"
fi

if [ -n "$fresh" ] || [ ! -d "$target/prefix" ]; then
  rm -rf "$target"
  cp -a "$template" "$target"
  rm -f "$target/ready"
fi
