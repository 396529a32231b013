#!/usr/bin/env bash
# Includes run one way, from the top:
#   app -> the pages (startup, sendto, uninstall, recent, settings, version) -> rows -> window
#   -> disabled_box -> system -> components and regfile -> platform.
# A file may include its own folder and any folder of a lower layer; a page never includes
# another page. Prints each include that breaks the rule and exits 1 when there is one.
# Argument: the source folder (default: src beside this script).
set -uo pipefail
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}

page_layer=6
layer_of() {
  case $1 in
    platform) echo 0 ;;
    components | regfile) echo 1 ;;
    system) echo 2 ;;
    disabled_box) echo 3 ;;
    window) echo 4 ;;
    rows) echo 5 ;;
    startup | sendto | uninstall | recent | settings | version) echo "$page_layer" ;;
    app) echo 7 ;;
    *) echo "" ;;
  esac
}

status=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  target=$(sed -E 's/^[^"]*"([^"]*)".*/\1/' <<<"${rest#*:}")
  from=${file#"$src"/}
  from=${from%%/*}
  to=${target%%/*}
  [ "$to" = "$target" ] && continue        # a file beside it
  [[ $target == ../../resources/* ]] && continue  # resource ids: plain numbers, below everything
  from_layer=$(layer_of "$from")
  to_layer=$(layer_of "$to")
  if [ -z "$from_layer" ] || [ -z "$to_layer" ]; then
    echo "$file:$line: \"$target\": folder not in any layer"
    status=1
  elif [ "$to_layer" -gt "$from_layer" ]; then
    echo "$file:$line: \"$target\": $from may not include from $to, a layer above it"
    status=1
  elif [ "$to_layer" -eq "$page_layer" ] && [ "$from_layer" -eq "$page_layer" ] && [ "$from" != "$to" ]; then
    echo "$file:$line: \"$target\": the $from page may not include the $to page"
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src" --include='*.h' --include='*.cpp')

[ $status -eq 0 ] && echo "include layers: every include runs downwards"
exit $status
