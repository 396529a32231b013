#!/usr/bin/env bash
# The help page names every page and dialog of the program, and every picture it links is
# there: in the sources, beside the built program (what "ヘルプ" opens under `make run`),
# and no picture is kept that the page does not link.
# Arguments: <build dir> <wine dir> <source dir>
set -euo pipefail
build=$1 source=$3
page="$source/resources/help/Orvela.htm"
fail() { echo "FAIL: $*"; exit 1; }

# The page captions as the window has them, and the captions of the modal dialogs.
captions=$(sed -n '/kPageCaptions = {/,/};/p' "$source/src/app/page_frame.h" | grep -o '"[^"]*"' | tr -d '"')
[ "$(wc -l <<<"$captions")" -eq 6 ] || fail "the page captions were not found in page_frame.h"
dialogs=$(grep -rho 'CreateFrame(Wide("[^"]*")' "$source/src" | sed 's/^CreateFrame(Wide("\(.*\)")$/\1/')
while IFS= read -r caption; do
  grep -qF "$caption" "$page" || fail "the help does not name \"$caption\""
done <<<"$captions"$'\n'"$dialogs"

linked=$(grep -o 'src="images/[^"]*"' "$page" | sed 's/^src="images\/\(.*\)"$/\1/' | sort -u)
[ -n "$linked" ] || fail "the help shows no pictures"
for image in $linked; do
  [ -s "$source/resources/help/images/$image" ] || fail "the help links images/$image, which is not there"
  cmp -s "$source/resources/help/images/$image" "$build/bin/Help/images/$image" ||
    fail "images/$image is not beside the built program"
done
kept=$(cd "$source/resources/help/images" && ls | sort)
[ "$kept" = "$linked" ] || fail "pictures no page links: $(comm -13 <(echo "$linked") <(echo "$kept") | tr '\n' ' ')"
# Links inside the page lead to anchors that exist.
for anchor in $(grep -o 'href="#[^"]*"' "$page" | sed 's/^href="#\(.*\)"$/\1/' | sort -u); do
  grep -q "id=\"$anchor\"" "$page" || fail "the link #$anchor leads nowhere"
done
echo "help: $(wc -l <<<"$captions") pages, $(wc -l <<<"$dialogs") dialogs, $(wc -w <<<"$linked") pictures"
