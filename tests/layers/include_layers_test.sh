#!/usr/bin/env bash
# The include-direction check passes on the tree and fails on a planted upward include (a page,
# or a room above, included from below), a page that includes another page, and a folder
# outside every layer.
# Argument: the source folder of the project.
set -uo pipefail
source=$1
check="$source/scripts/check-layers.sh"
bash "$check" "$source/src" || { echo "FAIL: the tree itself breaks the include layers"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
plant() {  # plant <file> <include>: a copy of src with one more include, which must fail
  rm -rf "$scratch/src"
  cp -r "$source/src" "$scratch/src"
  mkdir -p "$(dirname "$scratch/src/$1")"
  printf '#include "%s"\n' "$2" >>"$scratch/src/$1"
  if out=$(bash "$check" "$scratch/src"); then
    echo "FAIL: $1 including $2 was not caught"
    exit 1
  fi
  grep -q "$1" <<<"$out" || { echo "FAIL: the report does not name $1: $out"; exit 1; }
}
plant system/locations.cpp startup/startup_page_win.h
plant window/controls_win.cpp rows/list_rows_win.h
plant platform/utf.cpp regfile/registry_accessor.h
plant startup/startup_entries.cpp app/form1_win.h
plant sendto/sendto_page_win.cpp startup/startup_row_win.h
plant startup/startup_entries.cpp tools/anything.h
echo "include layers: 6 planted includes caught"
