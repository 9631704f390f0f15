# Sourced by every script that starts a Wine process: the private prefix under the build
# folder, the Japanese locale (code page 932), a display, and the warm wineserver.
# Functions: lumoka_prepare_prefix, lumoka_ensure_display, lumoka_stop_display,
#            lumoka_register_devices, lumoka_warm_wine, lumoka_start_screens,
#            lumoka_stop_screens, lumoka_use_screen.

LUMOKA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${LUMOKA_BUILD:=$LUMOKA_ROOT/build}"
export LUMOKA_BUILD
export WINEPREFIX="$LUMOKA_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the ANSI code page from the locale: ja_JP gives 932, so the program's files are
# written as a Japanese user's system writes them.
export LC_ALL=ja_JP.UTF-8
export LANG=ja_JP.UTF-8
# A home of our own: holds the ALSA null device that lets the audio renderers be created
# on a machine without sound hardware, and keeps Wine's user folders out of the real home.
if [ -z "${LUMOKA_WINE_HOME_SET:-}" ]; then
  # A real X session finds its cookie through the original home.
  if [ -n "${HOME:-}" ] && [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then
    export XAUTHORITY="$HOME/.Xauthority"
  fi
  export HOME="$LUMOKA_BUILD/winehome"
  export LUMOKA_WINE_HOME_SET=1
fi

lumoka_wine_reg() {
  wine reg add "$@" /f >/dev/null 2>&1
}

# The settings below are applied again, without recreating the prefix, whenever this number
# differs from the one the prefix's marker holds.
LUMOKA_PREFIX_SETTINGS=2

# Creates the prefix on first use and keeps its settings current (serialised, so parallel tests
# may call it).
lumoka_prepare_prefix() {
  mkdir -p "$LUMOKA_BUILD" "$HOME"
  if [ ! -f "$HOME/.asoundrc" ]; then
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
  fi
  (
    flock 9
    local marker="$WINEPREFIX/.lumoka-ready"
    if [ -f "$marker" ] && [ "$(cat "$marker")" = "$LUMOKA_PREFIX_SETTINGS" ]; then
      exit 0
    fi
    if [ ! -f "$marker" ]; then
      echo "wine-env: creating the Wine prefix in $WINEPREFIX" >&2
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
    fi
    lumoka_prefix_settings
    wineserver -w
    rm -f "$marker"
    echo "$LUMOKA_PREFIX_SETTINGS" >"$marker"
  ) 9>"$LUMOKA_BUILD/.wineprefix.lock"
}

lumoka_prefix_settings() {
  # A crashing program must exit at once instead of waiting in winedbg.
  lumoka_wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # Japanese glyphs in menus and dialogs: link the UI fonts to IPA Gothic.
  local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' face
  for face in "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    lumoka_wine_reg "$link" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic'
  done
  lumoka_wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /t REG_SZ /d IPAGothic
  # Top-level windows unmanaged: there is no window manager on Xvfb, and for a managed window
  # Wine waits about 2 s for one whenever the window is hidden or destroyed. Wine then draws
  # every window's frame and caption itself, into the X window.
  lumoka_wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
}

# Registers the project's DLLs (virtual devices, stand-ins) that exist in the Windows build.
lumoka_register_devices() {
  local bin="$LUMOKA_BUILD/windows/bin" dll
  for dll in LumokaTestDevices.dll LumokaInfTeeStandIn.dll; do
    if [ -f "$bin/$dll" ]; then
      wine regsvr32 /s "$bin/$dll" >/dev/null 2>&1 || echo "wine-env: registering $dll failed" >&2
    fi
  done
}

# Keeps one wineserver alive for the whole run and starts Wine's own service processes
# (services, explorer, device hosts) with their output on /dev/null: started by a test, they
# would inherit CTest's output pipe and keep it open, so CTest would wait for them forever.
lumoka_warm_wine() {
  wineserver -p
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Starts Xvfb when there is no display; lumoka_stop_display stops only what we started.
LUMOKA_XVFB_PID=""
lumoka_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local started
  started="$(lumoka_start_xvfb)" || return 1
  export DISPLAY="${started%% *}"
  LUMOKA_XVFB_PID="${started#* }"
}

# Starts an Xvfb on a free display number; prints ":number pid".
lumoka_start_xvfb() {
  local fifo num
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  read -r num <"$fifo"
  rm -f "$fifo"
  [ -n "$num" ] || return 1
  echo ":$num $pid"
}

lumoka_stop_display() {
  if [ -n "$LUMOKA_XVFB_PID" ]; then
    kill "$LUMOKA_XVFB_PID" 2>/dev/null || true
    wait "$LUMOKA_XVFB_PID" 2>/dev/null || true
    LUMOKA_XVFB_PID=""
  fi
}

# Screens: displays of their own for the tests that show windows or read the screen (label
# `screen`, CTest resource `screens`). Each screen is an Xvfb display with a Wine prefix of its
# own (see lumoka_clone_prefix), so it has its own wineserver and with it its own Windows
# desktop: the foreground window, the cursor position and the window order are per desktop,
# and one test's keys, clicks and topmost windows must not reach another's.
LUMOKA_SCREENS="$LUMOKA_BUILD/screens"
LUMOKA_SCREEN_PIDS=()

# Copies a prefix in a second: hard links for the Windows system files, which Wine only reads,
# real copies of what it rewrites in place (the registry and the other files at the top, the
# ini files, the user folders).
lumoka_clone_prefix() {
  local from="$1" to="$2" f
  rm -rf "$to"
  cp -al "$from" "$to"
  for f in "$to"/* "$to"/.[!.]* "$to"/drive_c/windows/*.ini; do
    [ -f "$f" ] && cp --remove-destination "$from${f#"$to"}" "$f"
  done
  rm -rf "$to/drive_c/users"
  cp -a "$from/drive_c/users" "$to/drive_c/users"
  touch "$to/.lumoka-ready"
}

# Starts count screens and writes the resource file CTest takes for its screen pool.
lumoka_start_screens() {
  local count="$1" i
  rm -rf "$LUMOKA_SCREENS"
  mkdir -p "$LUMOKA_SCREENS"
  local ids=() warming=()
  for ((i = 0; i < count; i++)); do
    local prefix="$LUMOKA_BUILD/wineprefix-screen$i"
    if [ ! -f "$prefix/.lumoka-ready" ] || [ "$WINEPREFIX/.lumoka-ready" -nt "$prefix/.lumoka-ready" ]; then
      lumoka_clone_prefix "$WINEPREFIX" "$prefix"
    fi
    local display
    display="$(lumoka_start_xvfb)" || return 1
    LUMOKA_SCREEN_PIDS+=("${display#* }")
    display="${display%% *}"
    printf '%s %s\n' "$display" "$prefix" >"$LUMOKA_SCREENS/$i"
    ids+=("{\"id\":\"$i\",\"slots\":1}")
    (
      export DISPLAY="$display" WINEPREFIX="$prefix"
      lumoka_warm_wine
      lumoka_register_devices
    ) &
    warming+=($!)
  done
  wait "${warming[@]}"
  local IFS=,
  printf '{"version":{"major":1,"minor":0},"local":[{"screens":[%s]}]}\n' "${ids[*]}" \
    >"$LUMOKA_SCREENS/resources.json"
}

lumoka_stop_screens() {
  local f pid
  for f in "$LUMOKA_SCREENS"/[0-9]*; do
    [ -f "$f" ] || continue
    local display prefix
    read -r display prefix <"$f"
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${LUMOKA_SCREEN_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  LUMOKA_SCREEN_PIDS=()
  rm -rf "$LUMOKA_SCREENS"
}

# In a test given a screen by CTest (CTEST_RESOURCE_GROUP_0_SCREENS="id:N,slots:1"), moves this
# shell to that screen's display and prefix. Without one (a test started by hand, without the
# resource file) the test stays on the shared display.
lumoka_use_screen() {
  local given="${CTEST_RESOURCE_GROUP_0_SCREENS:-}"
  [ -n "$given" ] || return 0
  local id="${given#id:}"
  id="${id%%,*}"
  local display prefix
  if read -r display prefix <"$LUMOKA_SCREENS/$id" 2>/dev/null; then
    export DISPLAY="$display" WINEPREFIX="$prefix"
  fi
}
