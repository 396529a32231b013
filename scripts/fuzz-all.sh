#!/usr/bin/env bash
# fuzz-all.sh <native build dir> <seconds>: runs every fuzz target for the given time each
# (`make fuzz`). Fails when any of them found something.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
native=$1
seconds=$2
status=0
for src in "$repo"/fuzz/*_fuzz.cpp; do
  [ -e "$src" ] || continue
  name=$(basename "$src" .cpp)
  echo "== $name ($seconds s)"
  bash "$repo/scripts/fuzz.sh" "$native" "$name" "$seconds" || status=1
done
exit $status
