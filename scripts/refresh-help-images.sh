#!/usr/bin/env bash
# refresh-help-images.sh: copies the pictures the tests took of each page and dialog
# ($BUILD/screenshots) into resources/help/images under the names the help page uses,
# as PNG. Run it after `make test` (and `make run` without a display, which saves the startup
# page with its demo entries as main.png) when a window changed; look at them; commit them.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
shots="$build/screenshots"
images="$repo/resources/help/images"
mkdir -p "$images"
# help picture <- test picture
pairs=(
  startup.png:main.png
  uninstall.png:test-uninstall-list.png
  uninstall-detailed.png:test-uninstall-detailed.png
  uninstall-details.png:test-uninstall-details.png
  uninstall-saved.png:test-uninstall-saved.png
  recent-files.png:test-recent-files.bmp
  programs.png:test-programs.bmp
  settings-memory.png:test-settings-memory.png
  settings-other.png:test-settings-other.png
  version-box.png:test-version-box.bmp
  adding-running.png:test-adding-running.png
  adding-dialog.png:test-adding-dialog.png
  startup-marks.png:test-startup-marks.png
)
for pair in "${pairs[@]}"; do
  name=${pair%%:*} shot=$shots/${pair#*:}
  [ -f "$shot" ] || { echo "refresh-help-images: no $shot (run make test first)" >&2; exit 1; }
  convert "$shot" -strip "$images/$name"
  echo "$images/$name"
done
