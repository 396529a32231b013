#!/usr/bin/env bash
# install-into-prefix.sh <wine dir> <program folder>
# Does what the program's installer will do: creates the settings key and the data folder.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
. "$scripts/wine-env.sh" "$1"
wine reg add 'HKCU\Software\Ｖ＆Ｌ\Orvela' /f >/dev/null 2>&1
mkdir -p "$2/data"
