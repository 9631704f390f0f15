#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine (on the current display, else on Xvfb),
# with the virtual capture devices registered and a first profile that names the test card.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
jobs="$(nproc)"
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j"$jobs"

source scripts/wine-env.sh
lumoka_prepare_prefix
lumoka_register_devices
bin="$LUMOKA_BUILD/windows/bin"
if [ ! -f "$bin/Profile.ini" ] && [ -x "$LUMOKA_ROOT/scripts/first-profile.sh" ]; then
  "$LUMOKA_ROOT/scripts/first-profile.sh" "$bin/Profile.ini"
fi
trap 'lumoka_stop_display' EXIT
lumoka_ensure_display
echo "Lumoka2 runs on display $DISPLAY; close its window (or right-click > 終了) to end."
wine "$bin/Lumoka2.exe"
wineserver -w
