# Sourced by the shell tests: close_orvela asks every Orvela window to close, as taskkill
# without /F does (the program then writes its files), and waits up to 15 s until no window
# titled Orvela is left, so the next test's program is not taken for a second instance.
close_orvela() {
  wine taskkill /IM Orvela.exe </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 75); do
    xdotool search --name '^Orvela$' >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  echo "FAIL: Orvela did not close"
  return 1
}
