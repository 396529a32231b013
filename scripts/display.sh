# Sourced: makes sure $DISPLAY names a running X server, starting Xvfb when there is none.
# Wine decides at its first process whether windows can be made, so source this before Wine runs.
# Sets ORVELA_XVFB_PID when it started a server (stop it with orvela_stop_display).
ORVELA_XVFB_PID=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ORVELA_XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    break
  done
fi
orvela_stop_display() {
  [ -n "$ORVELA_XVFB_PID" ] && kill "$ORVELA_XVFB_PID" 2>/dev/null
  ORVELA_XVFB_PID=""
}
