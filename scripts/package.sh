#!/usr/bin/env bash
# Makes the zip a Windows user unzips and runs: build/dist/Lumoka2-<version>-win64.zip with
# Lumoka2.exe, LumokaProbe.exe, the user guide and, in TestDevices\, the virtual capture devices
# with a script that registers (or, with /u, unregisters) them through regsvr32. The version is
# the one the version dialog shows (src/app/Version.h). The zip is written with `cmake -E tar`,
# so no zip tool is needed.
#
#   bash scripts/package.sh [--no-build] [--build DIR] [--out DIR]
#     --no-build   package what DIR (default build/windows) holds, without building it first
#     --out DIR    write the zip there instead of build/dist
# Prints the zip's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="$root/build/windows"
out="$root/build/dist"
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) do_build=0 ;;
    --build) build="$(realpath -m "$2")"; shift ;;
    --out) out="$(realpath -m "$2")"; shift ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

version="$(sed -nE 's/^#define LUMOKA2_VERSION_TEXT "Lumoka2 ver([0-9][0-9A-Za-z.]*).*/\1/p' \
           src/app/Version.h)"
if [ -z "$version" ]; then
  echo "package.sh: no version found in src/app/Version.h" >&2
  exit 1
fi

if [ "$do_build" = 1 ]; then
  bash scripts/bootstrap.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target Lumoka2 LumokaProbe LumokaTestDevices lumoka_user_guide
fi

bin="$build/bin"
files=(Lumoka2.exe LumokaProbe.exe Lumoka2-guide.html Lumoka2-guide-en.html LumokaTestDevices.dll)
for f in "${files[@]}"; do
  if [ ! -f "$bin/$f" ]; then
    echo "package.sh: $bin/$f is missing (build first, or leave out --no-build)" >&2
    exit 1
  fi
done

# Staged beside the zip and removed afterwards, so an earlier package leaves nothing behind.
mkdir -p "$out"
stage="$(mktemp -d "$out/.stage.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/TestDevices"
cp "$bin/Lumoka2.exe" "$bin/LumokaProbe.exe" "$bin/Lumoka2-guide.html" \
   "$bin/Lumoka2-guide-en.html" "$stage/"
cp "$bin/LumokaTestDevices.dll" "$stage/TestDevices/"
# The users' copies carry no symbol tables (the build's keep theirs for debugging).
x86_64-w64-mingw32-strip -s "$stage/Lumoka2.exe" "$stage/LumokaProbe.exe" \
  "$stage/TestDevices/LumokaTestDevices.dll"
# Windows text files: CR LF line ends.
sed 's/$/\r/' scripts/package/register.cmd >"$stage/TestDevices/register.cmd"
sed 's/$/\r/' scripts/package/README.txt >"$stage/TestDevices/README.txt"

zip="$out/Lumoka2-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip -- *)
echo "$zip"
