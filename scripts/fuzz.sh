#!/usr/bin/env bash
# fuzz.sh <native build dir> <target name> <seconds>: runs one libFuzzer target for a
# bounded time on a copy of its corpus (the committed corpus stays as it is) and prints
# how many inputs it ran. A finding is saved under <native build dir>/fuzz-findings/.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
native=$(cd "$1" && pwd)
name=$2
seconds=$3
exe="$native/$name"
[ -x "$exe" ] || { echo "fuzz.sh: $exe not built (the native build needs clang)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$native/fuzz-findings"
corpus="$repo/fuzz/corpus/${name%_fuzz}"
[ -d "$corpus" ] && cp -r "$corpus/." "$work/corpus/"

set +e
"$exe" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
  -artifact_prefix="$native/fuzz-findings/$name-" "$work/corpus" >"$work/log" 2>&1
rc=$?
set -e
if [ $rc -ne 0 ]; then
  tail -n 60 "$work/log"
else
  grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' "$work/log" || true
fi
echo "fuzz.sh: $name ran $seconds s, exit code $rc"
exit $rc
