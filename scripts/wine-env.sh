# Sourced with the tree (win32 or win64): a private Wine prefix per tree and, on request or
# without a display, a private Xvfb. wine_env_stop stops everything started here (the run and test
# scripts call it from a trap, so also on failure).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
qv_tree=${1:-win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ "$qv_tree" = win64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
fi
export WINEPREFIX="$root/build/wineprefix-$qv_tree"
export WINESERVER=/usr/lib/wine/wineserver
qv_xvfb_pid=""

# True when this machine can execute 32-bit x86 code; some kernels (and sandboxes) cannot, and
# then neither 32-bit Wine nor its WoW64 mode starts a 32-bit program.
wine_env_can_run_win32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

wine_env_start_display() {
  local display tries
  for display in $(seq 90 140); do
    { [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; } && continue
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    qv_xvfb_pid=$!
    for tries in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && { export DISPLAY=":$display"; return 0; }
      kill -0 "$qv_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$qv_xvfb_pid" 2>/dev/null; qv_xvfb_pid=""
  done
  echo "could not start Xvfb" >&2
  return 1
}

wine_env_start() {
  mkdir -p "$root/build"
  if [ "${1:-}" = private-display ] || [ -z "${DISPLAY:-}" ]; then wine_env_start_display || return 1; fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once) ..."
    "$WINELOADER" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    # No sound: the tests run on machines without audio devices.
    "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
    "$WINESERVER" -w
  fi
  "$WINESERVER" -p   # one persistent server for the whole run
  # Start the desktop process now, detached from our output: started by the first test program,
  # it would inherit that program's output pipe and keep the test runner waiting for its end.
  "$WINELOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
}

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$qv_xvfb_pid" ]; then kill "$qv_xvfb_pid" 2>/dev/null; wait "$qv_xvfb_pid" 2>/dev/null; fi
  qv_xvfb_pid=""
  return 0
}
