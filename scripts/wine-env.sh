# Sourced with the tree (win32 or win64): a private Wine prefix per tree and, on request or
# without a display, a private Xvfb. wine_env_stop stops everything started here (the run and test
# scripts call it from a trap, so also on failure).
#
# The test command runs the Windows tests in shards (wine_env_start_shards): each shard has its
# own Xvfb, its own prefix (build/wineprefix-TREE-shardN, hard-linked from the tree's prefix) and
# so its own wine server. A test program claims a free shard for as long as it runs
# (wine_env_claim_shard, called by wine-run.sh), so programs that read pixels back never share a
# screen.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
qv_tree=${1:-win32}
export WINEDEBUG=-all
# No debugger: a test program that crashes ends at once instead of waiting in winedbg until its timeout.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe="
if [ "$qv_tree" = win64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
fi
qv_base_prefix="$root/build/wineprefix-$qv_tree"
export WINEPREFIX="$qv_base_prefix"
export WINESERVER=/usr/lib/wine/wineserver
qv_xvfb_pids=()
qv_shard_prefixes=()

# True when this machine can execute 32-bit x86 code; some kernels (and sandboxes) cannot, and
# then neither 32-bit Wine nor its WoW64 mode starts a 32-bit program.
wine_env_can_run_win32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

wine_env_shard_prefix() { echo "$qv_base_prefix-shard$1"; }

# Starts an Xvfb on a display it picks itself (-displayfd: no race with other servers starting at
# the same time) and exports DISPLAY.
wine_env_start_display() {
  local numberFile tries display
  mkdir -p "$root/build"
  numberFile=$(mktemp "$root/build/xvfb-display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  local pid=$!
  for tries in $(seq 1 100); do
    display=$(head -n 1 "$numberFile")
    if [ -n "$display" ] && [ "$(wc -l <"$numberFile")" -ge 1 ]; then
      rm -f "$numberFile"
      qv_xvfb_pids+=("$pid")
      export DISPLAY=":$display"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  rm -f "$numberFile"
  echo "could not start Xvfb" >&2
  return 1
}

# The tree's prefix, created once; after a Wine upgrade brought up to date first, so that the
# shards hard-linked from it never update their shared files in place.
wine_env_prefix_ready() {
  local version
  version=$("$WINELOADER" --version 2>/dev/null)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once) ..."
    "$WINELOADER" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    # No sound: the tests run on machines without audio devices.
    "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
    "$WINESERVER" -w
  elif [ -f "$WINEPREFIX/.qv-wine-version" ] && [ "$(head -n 1 "$WINEPREFIX/.qv-wine-version")" != "$version" ]; then
    "$WINELOADER" wineboot -u >/dev/null 2>&1
    "$WINESERVER" -w
  fi
  # No window manager runs on the test displays: Wine must not wait for one. A managed window
  # waits up to a second for a window manager on every hide, which made each dialog or window
  # shown and closed in a test cost seconds.
  if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINESERVER" -w
  fi
  wine_env_prefix_fonts
  # The stamp names the settings too (second line), so that shard prefixes made before a setting
  # are made again.
  printf '%s\nunmanaged wine-fonts\n' "$version" >"$WINEPREFIX/.qv-wine-version"
}

# Wine's own fonts (Tahoma for "MS Shell Dlg", MS Sans Serif, and Marlett, which draws the caption
# buttons' symbols) in the prefix's Fonts folder. Debian's Wine does not find them in its data
# folder: without them every dialog font falls back to a font whose glyphs are wider than its
# metrics, so message boxes cut the end of their text and caption, and the caption buttons show
# the letters of Marlett's codes ("0", "1", "r") instead of its symbols.
wine_env_prefix_fonts() {
  local folder source font
  folder="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$folder/marlett.ttf" ] && return 0
  for source in "$(dirname "$WINELOADER")/../../share/wine/fonts" /usr/share/wine/fonts; do
    [ -f "$source/marlett.ttf" ] || continue
    mkdir -p "$folder"
    for font in "$source"/*.ttf "$source"/*.fon; do
      [ -e "$folder/$(basename "$font")" ] || cp "$font" "$folder/"
    done
    return 0
  done
  echo "Wine's own fonts (Debian package fonts-wine) are missing: message boxes will cut their texts" >&2
}

# A shard's prefix: a copy of the tree's prefix in which Wine's own program files (a few hundred
# MB that nothing writes) are hard links and every other file (registry, settings) is the shard's
# own. Kept under build/ and made again only when the tree's prefix stamp (Wine version, settings) changed.
wine_env_shard_prefix_ready() {
  local shard target stamp tmp file
  shard=$1
  target=$(wine_env_shard_prefix "$shard")
  stamp=$(cat "$qv_base_prefix/.qv-wine-version")
  [ -f "$target/system.reg" ] && [ "$(cat "$target/.qv-wine-version" 2>/dev/null)" = "$stamp" ] && return 0
  tmp="$target.new"
  rm -rf "$tmp" "$target"
  cp -al "$qv_base_prefix" "$tmp" || return 1
  while IFS= read -r -d '' file; do
    cp -p --remove-destination "$qv_base_prefix/${file#"$tmp"/}" "$file" || return 1
  done < <(find "$tmp" -type f ! \( -name '*.dll' -o -name '*.exe' -o -name '*.sys' -o -name '*.drv' \
             -o -name '*.nls' -o -name '*.ocx' -o -name '*.cpl' -o -name '*.acm' -o -name '*.tlb' \) -print0)
  mv "$tmp" "$target"
}

# The persistent wine server of the current prefix and its desktop process.
wine_env_start_server() {
  local keeper="$root/build/$qv_tree/tests/support/qv_desktop_keeper.exe"
  "$WINESERVER" -p   # one persistent server for the whole run
  # Start the desktop process now, detached from our output, and keep it: started by a test
  # program, it would inherit that program's error output and keep the test runner waiting for
  # its end. Wine closes a desktop a second after its last program: the keeper (in a tree with
  # its tests) stays until the server is stopped.
  if [ -f "$keeper" ]; then
    local ready tries
    ready=$(mktemp -u "$root/build/desktop-ready.XXXXXX")
    "$WINELOADER" "$keeper" "Z:$ready" </dev/null >/dev/null 2>&1 &
    # The desktop must be up before the first test program starts, or that program starts it.
    for tries in $(seq 1 600); do [ -f "$ready" ] && break; sleep 0.1; done
    rm -f "$ready"
  else
    "$WINELOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
  fi
}

wine_env_start() {
  mkdir -p "$root/build"
  if [ "${1:-}" = private-display ] || [ -z "${DISPLAY:-}" ]; then wine_env_start_display || return 1; fi
  wine_env_prefix_ready
  wine_env_start_server
}

# Starts the given number of shards and exports QV_WINE_SHARDS ("1=:91 2=:92 ...": shard number
# and display), which wine-run.sh reads to claim one.
wine_env_start_shards() {
  local count=$1 shard pids=() failed=0 shards=""
  mkdir -p "$root/build"
  wine_env_prefix_ready
  for shard in $(seq 1 "$count"); do
    wine_env_start_display || return 1
    shards="$shards $shard=$DISPLAY"
    qv_shard_prefixes+=("$(wine_env_shard_prefix "$shard")")
  done
  # The prefixes and servers start side by side; each in its own environment.
  for entry in $shards; do
    ( shard=${entry%%=*}
      export DISPLAY=${entry#*=} WINEPREFIX
      WINEPREFIX=$(wine_env_shard_prefix "$shard")
      wine_env_shard_prefix_ready "$shard" && wine_env_start_server ) &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  [ "$failed" -eq 0 ] || { echo "could not prepare the Wine shards" >&2; return 1; }
  export QV_WINE_SHARDS="${shards# }"
}

# Called by a test program's launcher: waits for a shard no other program is using, takes it
# (file descriptor 9 holds its lock until the caller ends) and points DISPLAY and WINEPREFIX at it.
wine_env_claim_shard() {
  local entry shard
  for (( ; ; )); do
    for entry in $QV_WINE_SHARDS; do
      shard=${entry%%=*}
      exec 9>"$(wine_env_shard_prefix "$shard").lock"
      if flock -n 9; then
        export DISPLAY=${entry#*=}
        WINEPREFIX=$(wine_env_shard_prefix "$shard")
        export WINEPREFIX
        return 0
      fi
      exec 9>&-
    done
    sleep 0.05
  done
}

wine_env_stop() {
  local prefix pid
  "$WINESERVER" -k >/dev/null 2>&1 || true
  for prefix in "${qv_shard_prefixes[@]}"; do
    WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1 || true
  done
  qv_shard_prefixes=()
  for pid in "${qv_xvfb_pids[@]}"; do
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  done
  qv_xvfb_pids=()
  return 0
}
