# Sourced by every script that starts a Wine process: the private prefix under the build
# folder, the Japanese locale (code page 932), a display, and the warm wineserver.
# Functions: lumoka_prepare_prefix, lumoka_ensure_display, lumoka_stop_display,
#            lumoka_register_devices.

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

# Creates the prefix on first use (serialised, so parallel tests may call it).
lumoka_prepare_prefix() {
  mkdir -p "$LUMOKA_BUILD" "$HOME"
  if [ ! -f "$HOME/.asoundrc" ]; then
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
  fi
  (
    flock 9
    if [ -f "$WINEPREFIX/.lumoka-ready" ]; then
      exit 0
    fi
    echo "wine-env: creating the Wine prefix in $WINEPREFIX" >&2
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # A crashing program must exit at once instead of waiting in winedbg.
    lumoka_wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
    # Japanese glyphs in menus and dialogs: link the UI fonts to IPA Gothic.
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    for face in "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
      lumoka_wine_reg "$link" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic'
    done
    lumoka_wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /t REG_SZ /d IPAGothic
    wineserver -w
    touch "$WINEPREFIX/.lumoka-ready"
  ) 9>"$LUMOKA_BUILD/.wineprefix.lock"
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
  local fifo
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
  LUMOKA_XVFB_PID=$!
  local num
  read -r num <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$num"
}

lumoka_stop_display() {
  if [ -n "$LUMOKA_XVFB_PID" ]; then
    kill "$LUMOKA_XVFB_PID" 2>/dev/null || true
    wait "$LUMOKA_XVFB_PID" 2>/dev/null || true
    LUMOKA_XVFB_PID=""
  fi
}
