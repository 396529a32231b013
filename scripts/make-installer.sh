#!/usr/bin/env bash
# make-installer.sh: builds the release from the program in $BUILD/win/bin:
#   $BUILD/Orvela-setup.exe     the installer (NSIS), with the program, the help and its pictures
#   $BUILD/Orvela_Up<nnnn>.zip  the release archive the version box downloads (the installer in it)
# The pictures are the ones the help page names, from resources/help/images.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
# The version is the program's own, from its version resource.
version=$(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' "$repo/resources/orvela.rc")
[ -n "$version" ] || { echo "make-installer: no FILEVERSION in resources/orvela.rc" >&2; exit 1; }
exe="$build/win/bin/Orvela.exe"
[ -f "$exe" ] || { echo "make-installer: $exe is not built" >&2; exit 1; }

stage="$build/release/stage"
rm -rf "$build/release"
mkdir -p "$stage/Help/images"
# The release carries the program without its debugging information (a tenth of the size).
x86_64-w64-mingw32-strip -o "$stage/Orvela.exe" "$exe"
cp "$repo/resources/help/Orvela.htm" "$stage/Help/"
: >"$build/release/files.nsh"
: >"$build/release/unfiles.nsh"
# Every picture the page links, and only those; one that is missing stops the build.
for name in $(grep -o 'src="images/[^"]*"' "$repo/resources/help/Orvela.htm" | sed 's/^src="images\/\(.*\)"$/\1/' | sort -u); do
  cp "$repo/resources/help/images/$name" "$stage/Help/images/"
  echo "File \"$stage/Help/images/$name\"" >>"$build/release/files.nsh"
  echo "Delete \"\$INSTDIR\\Help\\images\\$name\"" >>"$build/release/unfiles.nsh"
done

out="$build/Orvela-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$stage" -DICON="$repo/resources/orvela.ico" -DOUTFILE="$out" \
  -DFILES="$build/release/files.nsh" -DUNFILES="$build/release/unfiles.nsh" \
  "$repo/installer/orvela.nsi"

archive="$build/Orvela_Up${version//./}.zip"
rm -f "$archive"
(cd "$build" && python3 -m zipfile -c "$archive" "$(basename "$out")")
echo "make-installer: $out, $archive"
