# Sourced by the shell tests: waits up to 30 s for the window titled Orvela, then gives it
# a moment to fill and paint. Sets $window, or ends the test with a failure.
window=""
for _ in $(seq 150); do
  window=$(xdotool search --name '^Orvela$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "FAIL: no window titled Orvela"; exit 1; }
sleep 2
