#!/usr/bin/env bash
# The rights tests' own prefix (a copy of the template, so no other test meets its access lists):
# its machine Run, RunOnce and Uninstall keys (both views) and one Uninstall entry with its
# subkey let the user read them only. Wine keeps access lists only while its server runs, so
# one server lasts from setup to check.
#   setup <wine dir> <source dir> <fixture dir>: makes it, seeds entries, locks and exports keys
#   run <wine dir> <source dir> <program> <arguments...>: runs a test program in it
#   check <wine dir> <source dir>: the locked keys are byte for byte as before
set -euo pipefail
mode=$1 dir=$2 source=$3
shift 3
. "$source/scripts/wine-env.sh" "$dir"
quiet() { "$@" </dev/null >/dev/null 2>&1; }
fail() { echo "FAIL: $*" >&2; exit 1; }
cv='Software\Microsoft\Windows\CurrentVersion'
locked="$cv\\Uninstall\\OrvelaRights Locked" old="$cv\\Uninstall\\OrvelaRights Old"
keys64=("$cv\\Run" "$cv\\RunOnce" "$cv\\Uninstall" "$locked" "$locked\\Parts")
keys32=("$cv\\Run" "$cv\\RunOnce" "$cv\\Uninstall" "$old")
export_keys() {  # <folder>: one file per key and view
  mkdir -p "$1"
  local key i=0
  for key in "${keys64[@]/#/64:}" "${keys32[@]/#/32:}"; do
    quiet wine reg export "HKLM\\${key#*:}" "Z:${1//\//\\}\\$((i++)).reg" /y "/reg:${key%%:*}" || fail "$key not exported"
  done
}
add() { quiet wine reg add "$1" /v "$2" /d "$3" /f "${@:4}" || fail "$1 $2 not written"; }

case $mode in
  setup)
    quiet wineserver -k || true
    rm -rf "$dir"
    cp -a "$(dirname "$dir")/template" "$dir"
    quiet wineserver -p   # the server and its services must not hold CTest's output
    quiet wine cmd /c exit
    for view in 64 32; do
      add "HKLM\\$cv\\Run" "OrvelaRights Agent $view" 'C:\agent.exe' /reg:$view
      add "HKLM\\$cv\\RunOnce" "OrvelaRights Once $view" 'C:\once.exe' /reg:$view
    done
    add "HKLM\\$locked" DisplayName "OrvelaRights Locked"
    add "HKLM\\$locked" UninstallString '"C:\Locked\uninst.exe" /x'
    add "HKLM\\$locked" Publisher 'Ｖ＆Ｌ'
    add "HKLM\\$locked\\Parts" Part one
    add "HKLM\\$old" DisplayName "OrvelaRights Old" /reg:32
    add "HKLM\\$old" UninstallString 'C:\Old\uninst.exe' /reg:32
    add "HKCU\\$cv\\Run" "OrvelaRights Mine" 'C:\mine.exe'
    quiet wine "$1/key-access.exe" "${keys64[@]}" /reg:32 "${keys32[@]}" || fail "keys kept their access lists"
    export_keys "$dir/before"
    ;;
  run)
    quiet wine cmd /c exit   # a server that went comes back without CTest's output
    exec wine "$@" </dev/null
    ;;
  check)
    export_keys "$dir/after"
    quiet wineserver -k || true
    for file in "$dir"/before/*.reg; do
      cmp -s "$file" "$dir/after/${file##*/}" || fail "the key of ${file##*/} changed"
    done
    ;;
  *) fail "unknown mode $mode" ;;
esac
