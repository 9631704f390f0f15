#!/usr/bin/env bash
# The package as a Windows user gets it: made by scripts/package.sh from the build, its
# executables importing system DLLs only, its device script registering and unregistering the
# test card, and the program run from the unzipped folder (the working folder elsewhere) writing
# its two files beside itself and nowhere else.
# Usage: package_test.sh <build folder of the Windows tree>
set -uo pipefail
build="$(realpath "$1")"
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/wine-env.sh"
lumoka_use_screen
lumoka_prepare_prefix
trap 'lumoka_stop_display; rm -rf "$tmp"' EXIT
lumoka_ensure_display

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

tmp="$(mktemp -d /tmp/lumoka-package-test.XXXXXX)"
zip="$(bash "$root/scripts/package.sh" --no-build --build "$build" --out "$tmp/dist" | tail -n1)"
version="$(sed -nE 's/^#define LUMOKA2_VERSION_TEXT "Lumoka2 ver([^ ]*) .*/\1/p' "$root/src/app/Version.h")"
[ "$(basename "$zip")" = "Lumoka2-$version-win64.zip" ] || fail "zip named $(basename "$zip")"
[ -f "$zip" ] || { fail "no zip"; exit 1; }

unzipped="$tmp/Lumoka2" work="$tmp/work"
mkdir -p "$unzipped" "$work"
(cd "$unzipped" && cmake -E tar xf "$zip") || fail "the zip does not extract"
listing="$(cd "$unzipped" && find . -type f | sort | tr '\n' ' ')"
expected="./Lumoka2-guide-en.html ./Lumoka2-guide.html ./Lumoka2.exe ./LumokaProbe.exe \
./TestDevices/LumokaTestDevices.dll ./TestDevices/README.txt ./TestDevices/register.cmd "
[ "$listing" = "$expected" ] || fail "contents: $listing"
echo "package: $(basename "$zip") $(stat -c %s "$zip") bytes"

# Self-contained: every imported DLL is one the system provides (Wine's system folder holds
# the system's DLLs and none of the compiler's runtime DLLs).
system32="$WINEPREFIX/drive_c/windows/system32"
for exe in Lumoka2.exe LumokaProbe.exe TestDevices/LumokaTestDevices.dll; do
  imports="$(x86_64-w64-mingw32-objdump -p "$unzipped/$exe" | sed -n 's/^\s*DLL Name: //p')"
  [ -n "$imports" ] || fail "$exe: no imports read"
  for dll in $imports; do
    if [ -z "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
      fail "$exe imports $dll, which is not a system DLL"
    fi
  done
done

# The device script: unregistering removes the test card from the catalogue, registering
# brings it back (from the unzipped folder). The build's DLL is registered again at the end,
# since the other tests of this prefix use it.
probe_lists_card() {
  (cd "$work" && wine "$unzipped/LumokaProbe.exe" devices 2>/dev/null) | grep -q "Lumoka Test Card"
}
script="$(winepath -w "$unzipped/TestDevices/register.cmd" 2>/dev/null)"
(cd "$work" && wine cmd /c "$script" /u >/dev/null 2>&1) || fail "register.cmd /u failed"
probe_lists_card && fail "the test card is still listed after register.cmd /u"
(cd "$work" && wine cmd /c "$script" >/dev/null 2>&1) || fail "register.cmd failed"
probe_lists_card || fail "the test card is not listed after register.cmd"
lumoka_register_devices

# The program run from another working folder, then closed as the user closes it.
marker="$tmp/started"
touch "$marker"
sleep 1  # file times have a resolution of a second on some file systems
(cd "$work" && exec wine "$unzipped/Lumoka2.exe") &
app=$!
if wait_for 60 xdotool search --name " - Lumoka2\$" >/dev/null 2>&1; then
  (cd "$work" && wine taskkill /im Lumoka2.exe >/dev/null 2>&1)
  wait_for 60 bash -c "! kill -0 $app 2>/dev/null" || fail "the program did not end after WM_CLOSE"
else
  fail "no window within 60 s"
fi
kill "$app" 2>/dev/null; wait "$app" 2>/dev/null

for f in Lumoka2.ini Profile.ini; do
  [ -f "$unzipped/$f" ] || fail "$f not written beside the program"
done
strays="$(find "$work" "$build" "$WINEPREFIX/drive_c/users" "$HOME" -newer "$marker" \
          \( -iname Lumoka2.ini -o -iname Profile.ini \) -print 2>/dev/null)"
[ -z "$strays" ] || fail "written elsewhere: $strays"

[ "$failures" -eq 0 ] && echo "package test passed"
exit $((failures > 0))
