# Sourced by tools/check and tools/demo: gives the run a display, a private Xvfb when there is none.
# Sets DISPLAY, and PRIVATE_DISPLAY=1 when it started its own X server (stopped on exit).
PRIVATE_DISPLAY=
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local display
  for display in $(seq 90 130); do
    if [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; then continue; fi
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    _xvfb_pid=$!
    trap 'kill "$_xvfb_pid" 2>/dev/null; true' EXIT
    export DISPLAY=":$display"
    PRIVATE_DISPLAY=1
    local _
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$display" ] && return 0
      sleep 0.1
    done
    echo "Xvfb did not start on :$display" >&2
    return 1
  done
  echo "no free display number for Xvfb" >&2
  return 1
}
