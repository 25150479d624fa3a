# Sourced: start_xvfb WORK_FOLDER [SCREEN] starts a virtual screen on a free
# display, exports DISPLAY and stops the screen (and $app, when set) at exit.
start_xvfb() {
  local work=$1 screen=${2:-1024x768x24}
  # Xvfb picks a free display itself and writes its number to fd 3.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  app=
  trap '[ -z "$app" ] || kill "$app" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || return 1
  export DISPLAY=:$(cat "$work/display")
}
