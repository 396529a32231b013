# Sourced by the shell tests (after wine-env.sh, with $build set): the program's windows as
# a person sees them.

# quiet <command...>: a command whose output does not matter.
quiet() { "$@" </dev/null >/dev/null 2>&1; }
# drive <verb> ...: the window driver (tests/fixtures/window_driver.cpp) on the main window.
drive() { wine "$build/fixtures/window-driver.exe" "$@" </dev/null >/dev/null 2>&1; }

# close_orvela asks every Orvela window to close, as taskkill without /F does (the program
# then writes its files), and waits up to 15 s until no window titled Orvela is left, so the
# next test's program is not taken for a second instance.
# wait_for_exit <pid>: true once the process has ended, false after 10 seconds.
wait_for_exit() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

close_orvela() {
  wine taskkill /IM Orvela.exe </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 75); do
    xdotool search --name "^Orvela\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  echo "FAIL: Orvela did not close"
  return 1
}

# window_titled <title> [seconds] [settle]: prints the window with exactly that title (a
# pattern) once it has been there `settle` seconds (1) to fill and paint; waits up to
# `seconds` (10), else ends the test with a failure.
window_titled() {
  local found=""
  for _ in $(seq $((${2:-10} * 5))); do
    found=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && break
    sleep 0.2
  done
  [ -n "$found" ] || { echo "FAIL: no window titled $1" >&2; exit 1; }
  sleep "${3:-1}"
  echo "$found"
}
