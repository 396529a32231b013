#!/usr/bin/env bash
# The prefix of the rights tests: a copy of the template whose machine Run, RunOnce and
# Uninstall keys (both views), and one Uninstall entry with its subkey, let the user read
# them only, as a user who is no administrator finds them on Windows. It is a prefix of its
# own, so no other test meets those access lists.
#   rights_prefix.sh setup <wine dir> <source dir> <fixture dir>   makes it, seeds, exports
#   rights_prefix.sh run   <wine dir> <source dir> <program> <arguments...>   runs a test program
#   rights_prefix.sh check <wine dir> <source dir>   the locked keys are byte for byte as before
set -euo pipefail
mode=$1 dir=$2 source=$3
shift 3
. "$source/scripts/wine-env.sh" "$dir"
quiet() { "$@" </dev/null >/dev/null 2>&1; }
fail() { echo "FAIL: $*" >&2; exit 1; }
cv='Software\Microsoft\Windows\CurrentVersion'
locked_entry="$cv\\Uninstall\\OrvelaRights Locked"
# Every key the access list is put on, and exported before and after.
locked_keys=("$cv\\Run" "$cv\\RunOnce" "$cv\\Uninstall" "$locked_entry" "$locked_entry\\Parts")
locked_keys32=("$cv\\Run" "$cv\\RunOnce" "$cv\\Uninstall" "$cv\\Uninstall\\OrvelaRights Old")

export_keys() {  # <folder>
  mkdir -p "$1"
  local key i=0
  for key in "${locked_keys[@]/#/64:}" "${locked_keys32[@]/#/32:}"; do
    quiet wine reg export "HKLM\\${key#*:}" "Z:${1//\//\\}\\$i.reg" /y "/reg:${key%%:*}" ||
      fail "HKLM\\${key#*:} (${key%%:*}) could not be exported"
    i=$((i + 1))
  done
}

case $mode in
  setup)
    fixtures=$1
    quiet wineserver -k || true
    rm -rf "$dir"
    cp -a "$(dirname "$dir")/template" "$dir"
    # The server and its services outlive this script: they must not hold CTest's output.
    quiet wineserver -p
    quiet wine cmd /c exit
    add() { quiet wine reg add "HKLM\\$1" /v "$2" /d "$3" /f /reg:$4 || fail "$1 $2 not written"; }
    for view in 64 32; do
      add "$cv\\Run" "OrvelaRights Agent $view" 'C:\agent.exe' $view
      add "$cv\\RunOnce" "OrvelaRights Once $view" 'C:\once.exe' $view
    done
    add "$locked_entry" DisplayName "OrvelaRights Locked" 64
    add "$locked_entry" UninstallString '"C:\Locked\uninst.exe" /x' 64
    add "$locked_entry" Publisher 'Ｖ＆Ｌ' 64
    add "$locked_entry\\Parts" Part one 64
    add "$cv\\Uninstall\\OrvelaRights Old" DisplayName "OrvelaRights Old" 32
    add "$cv\\Uninstall\\OrvelaRights Old" UninstallString 'C:\Old\uninst.exe' 32
    quiet wine reg add "HKCU\\$cv\\Run" /v "OrvelaRights Mine" /d 'C:\mine.exe' /f || fail "no user Run value"
    quiet wine "$fixtures/key-access.exe" "${locked_keys[@]}" || fail "the 64-bit keys kept their access"
    quiet wine "$fixtures/key-access.exe" /reg:32 "${locked_keys32[@]}" || fail "the 32-bit keys kept their access"
    export_keys "$dir/before"
    ;;
  run)
    quiet wine cmd /c exit   # the server, if it went, comes back without CTest's output
    exec wine "$@" </dev/null
    ;;
  check)
    export_keys "$dir/after"
    quiet wineserver -k || true
    for file in "$dir"/before/*.reg; do
      cmp -s "$file" "$dir/after/$(basename "$file")" || fail "$(basename "$file") changed: $(diff <(iconv -f UTF-16 -t UTF-8 "$file") <(iconv -f UTF-16 -t UTF-8 "$dir/after/$(basename "$file")"))"
    done
    echo "every locked key is as it was"
    ;;
  *) fail "unknown mode $mode" ;;
esac
