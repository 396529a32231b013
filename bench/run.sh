#!/usr/bin/env bash
# make bench: builds the program and the bench programs, makes a fresh private Wine prefix
# under $BUILD/wine/bench, seeds it inside one Wine session (Wine would start every seeded
# entry at a session start), times the program against a blank window and the raw
# enumeration, page by page, then the recent-files fill against a bare folder walk
# (bench/recent_bench.sh), and keeps the figures in bench/results/<time>-<commit>.txt.
#   SIZES=0,200,2000 RUNS=7      the startup page's entry counts and runs per count
#   UNINSTALL_SIZES=0,1000       uninstall keys
#   RECENT_SIZES=0,10000         shortcuts in the Recent folder
#   PAGES=startup,uninstall,recent,recent-fill,slow   what to measure (slow: the startup and
#                                recent-files pages with a look-up that takes 5 s now and then)
#   BASELINE_EXE=<Orvela.exe>    also time that (older) program's full fill and keep it as
#                                bench/results/baseline.txt, the figure the ratios use
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
export BUILD=$build
sizes=${SIZES:-0,200,2000}
uninstall_sizes=${UNINSTALL_SIZES:-0,1000}
recent_sizes=${RECENT_SIZES:-0,10000}
pages=",${PAGES:-startup,uninstall,recent,recent-fill,slow},"
runs=${RUNS:-7}
largest=${sizes##*,}

bash "$repo/scripts/build.sh" app
cmake --build "$build/win" -j"$(nproc)" --target bench-program bench-blank bench-raw bench-driver bench-slow-orvela 2>&1 |
  grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler|^Scanning dependencies' || true
bin="$build/win/bench"
for exe in bench-program bench-blank bench-raw bench-driver bench-slow-orvela; do
  [ -f "$bin/$exe.exe" ] || { echo "bench: $exe.exe was not built" >&2; exit 1; }
done

. "$repo/scripts/display.sh"
bash "$repo/scripts/make-prefix.sh" "$build" bench fresh
bash "$repo/scripts/install-into-prefix.sh" "$build/wine/bench" "$build/win/bin"
. "$repo/scripts/wine-env.sh" "$build/wine/bench"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
driver() { wine "$bin/bench-driver.exe" "$@" 2>/dev/null | tr -d '\r'; }
cleanup() {
  driver clear-all >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  orvela_stop_display
}
trap cleanup EXIT
wineserver -w
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
# Xvfb runs no window manager, and Wine waits two seconds for one to withdraw each closing
# top-level window (a question box, a dialog) while the window's thread waits with it. The
# bench's windows are left unmanaged: on a desktop that answer comes at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

results="$repo/bench/results"
mkdir -p "$results"
commit=$(git -C "$repo" rev-parse HEAD)
changes=""
git -C "$repo" diff --quiet HEAD -- src bench CMakeLists.txt || changes=" (with uncommitted changes)"
out="$results/$(date -u +%Y%m%d-%H%M%S)-${commit:0:7}.txt"
common=(--page startup --program "$(winpath "$bin/bench-program.exe")")

if [ -n "${BASELINE_EXE:-}" ]; then
  {
    echo "Baseline: $BASELINE_EXE, measured $(date -u '+%Y-%m-%d %H:%M UTC') at commit $commit$changes"
    driver baseline "${common[@]}" --size "$largest" --runs "${BASELINE_RUNS:-2}" --orvela "$(winpath "$BASELINE_EXE")"
  } | tee "$results/baseline.txt"
fi
full_fill=""
[ -f "$results/baseline.txt" ] && full_fill=$(awk '/^full-fill-seconds/ {print $2}' "$results/baseline.txt")

programs=(--program "$(winpath "$bin/bench-program.exe")" --orvela "$(winpath "$build/win/bin/Orvela.exe")"
  --blank "$(winpath "$bin/bench-blank.exe")" --raw "$(winpath "$bin/bench-raw.exe")" --runs "$runs")
{
  echo "Orvela bench at commit $commit$changes"
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(wine --version), $runs runs; pages ${pages:1:-1};" \
    "startup $sizes, uninstall $uninstall_sizes, recent $recent_sizes; load average $(cut -d' ' -f1-3 /proc/loadavg)"
  if [[ $pages == *,startup,* ]]; then
    echo; echo "=== startup page ==="
    [ -f "$results/baseline.txt" ] && head -n 1 "$results/baseline.txt" | sed 's/^/today'"'"'s full fill from /'
    driver measure --page startup --sizes "$sizes" "${programs[@]}" ${full_fill:+--full-fill "$full_fill"}
  fi
  if [[ $pages == *,uninstall,* ]]; then
    echo; echo "=== uninstall page ==="
    driver measure --page uninstall --sizes "$uninstall_sizes" "${programs[@]}"
  fi
  if [[ $pages == *,recent,* ]]; then
    echo; echo "=== recent-files page ==="
    driver measure --page recent --sizes "$recent_sizes" "${programs[@]}"
  fi
  if [[ $pages == *,slow,* ]]; then
    echo; echo "=== a look-up that takes 5 s now and then ==="
    for page in startup recent; do
      driver slow-lookups --page "$page" --size 200 --program "$(winpath "$bin/bench-program.exe")" \
        --orvela "$(winpath "$bin/bench-slow-orvela.exe")"
    done
  fi
  echo "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$out"
if [[ $pages == *,recent-fill,* ]]; then
  # In a prefix of its own, in-process: its exit code tells the target, its figures go on.
  { echo; echo "=== recent-files fill against a bare walk of the folder ==="; } | tee -a "$out"
  bash "$repo/bench/recent_bench.sh" "${recent_sizes##*,}" 2>"$build/bench-recent-build.log" | tee -a "$out" || true
fi
echo "bench: figures kept in ${out#"$repo/"}"
