#!/usr/bin/env bash
# The latency benchmark (run by `bash scripts/bench.sh latency`), under Wine, in two parts:
#  1. filter residence: filter_latency_bench, the transform filter's time from an input
#     sample's arrival to the delivery of its output, per mode at 720x480 and 1920x1080 on one
#     processor; table printed and written to build/bench-windows/latency.json.
#  2. screen: `LumokaProbe latency` for VMR-7 and VMR-9 (RGB32, which Wine draws correctly),
#     without the transform filter and with it in Copy, Blend and Blend Double, on the Smart Tee
#     path and the Infinite Pin Tee path (under Wine our stand-in, LumokaInfTeeStandIn.dll), at
#     720x480 and 1280x720 (the card's RGB32 sizes), on a virtual display of 2560x1600 of its
#     own; table written to build/bench-windows/screen-latency.json. The screen is sampled about
#     once a millisecond, so the figures' resolution is about one sample.
# Options: --frames N (filter part), --seconds N (screen part, per case), --only filter|screen.
set -euo pipefail
cd "$(dirname "$0")/.."
frames=300 seconds=5 only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --frames) frames="$2"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --only) only="$2"; shift ;;
    *) echo "latency-bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
out=build/bench-windows
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j2 --target filter_latency_bench LumokaProbe LumokaTestDevices \
      LumokaInfTeeStandIn >/dev/null
export LUMOKA_BUILD="$PWD/build/bench-wine"  # a prefix of its own, with this tree's devices
source scripts/wine-env.sh
lumoka_prepare_prefix

if [ "$only" != "screen" ]; then
  echo "== filter residence (one processor)"
  wine "$out/bin/filter_latency_bench.exe" --frames "$frames" --json "Z:$PWD/$out/latency.json"
fi
[ "$only" = "filter" ] && exit 0

echo "== screen latency (LumokaProbe latency, ${seconds} s per case)"
fifo="$(mktemp -u)"
mkfifo "$fifo"
Xvfb -displayfd 7 -screen 0 2560x1600x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null' EXIT
read -r number <"$fifo"
rm -f "$fifo"
export DISPLAY=":$number"
# A server left from the first part knows no display: start one that stays for this part.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p
for dll in LumokaTestDevices.dll LumokaInfTeeStandIn.dll; do
  wine regsvr32 /s "$out/bin/$dll" >/dev/null 2>&1
done

profile="$out/latency-profile.ini"
write_profile() {  # format index, width, height, renderer, sync, transform, copy, frame
  {
    printf '[Common]\r\nFileVersion=4\r\n\r\n[Profile]\r\nSelected=0\r\n\r\n[Profile:00]\r\n'
    printf 'Video.FriendlyName=Lumoka Test Card\r\nVideo.DevicePath=lumoka-testcard-0\r\n'
    printf 'Video.Format.Index=%s\r\nVideo.Format.Width=%s\r\nVideo.Format.Height=%s\r\n' "$1" "$2" "$3"
    printf 'Video.Format.AvgTimePerFrame=333667\r\nPreview.VideoRenderer=%s\r\n' "$4"
    printf 'Preview.VideoSync=%s\r\nPreview.Transform=%s\r\n' "$5" "$6"
    printf 'Preview.Transform.Copy=%s\r\nPreview.Transform.Frame=%s\r\n' "$7" "$8"
  } >"$profile"
}
value() { sed -n "s/^$1: //p" <<<"$2"; }

json="$out/screen-latency.json"
rows=()
printf '%-6s %-9s %-8s %-13s %8s %6s %6s %6s %7s %7s %7s %7s\n' renderer size tee filter \
  produced shown never twice p50_ms p95_ms max_ms fps
for size in "7 720 480" "8 1280 720"; do
  read -r index width height <<<"$size"
  for renderer in "0 VMR-7" "2 VMR-9"; do
    read -r rid rname <<<"$renderer"
    for tee in "1 Smart" "0 InfTee"; do
      read -r sync tname <<<"$tee"
      for mode in "0 0 0 none" "1 0 0 Copy" "1 4 0 Blend" "1 4 2 Blend-Double"; do
        read -r transform copy frame mname <<<"$mode"
        write_profile "$index" "$width" "$height" "$rid" "$sync" "$transform" "$copy" "$frame"
        r="$(wine "$out/bin/LumokaProbe.exe" latency "Z:$PWD/$profile" 0 "$seconds" 2>&1 | tr -d '\r')" || true
        if [ "$(value result "$r")" != ok ]; then
          printf '%-6s %-9s %-8s %-13s  (%s)\n' "$rname" "${width}x$height" "$tname" "$mname" \
            "$(value result "$r" | head -n1)${r:+; }$(grep -m1 -v '^result' <<<"$r")"
          continue
        fi
        printf '%-6s %-9s %-8s %-13s %8s %6s %6s %6s %7s %7s %7s %7s\n' "$rname" "${width}x$height" \
          "$tname" "$mname" "$(value 'frames produced' "$r")" "$(value 'frames shown' "$r")" \
          "$(value 'frames never shown' "$r")" "$(value 'frames shown twice' "$r")" \
          "$(value 'latency p50 ms' "$r")" "$(value 'latency p95 ms' "$r")" \
          "$(value 'latency max ms' "$r")" "$(value 'displayed fps' "$r")"
        rows+=("$(printf '{"renderer": "%s", "width": %s, "height": %s, "tee": "%s", "filter": "%s", "produced": %s, "shown": %s, "never_shown": %s, "shown_twice": %s, "p50_ms": %s, "p95_ms": %s, "max_ms": %s, "fps": %s, "sample_ms": %s}' \
          "$rname" "$width" "$height" "$tname" "$mname" "$(value 'frames produced' "$r")" \
          "$(value 'frames shown' "$r")" "$(value 'frames never shown' "$r")" \
          "$(value 'frames shown twice' "$r")" "$(value 'latency p50 ms' "$r")" \
          "$(value 'latency p95 ms' "$r")" "$(value 'latency max ms' "$r")" \
          "$(value 'displayed fps' "$r")" "$(value 'sample interval ms' "$r")")")
      done
    done
  done
done
{
  printf '{\n  "what": "test card stamp to first appearance on screen, under Wine",\n'
  printf '  "inftee": "LumokaInfTeeStandIn (Wine has no Infinite Pin Tee)",\n  "rows": [\n'
  for i in "${!rows[@]}"; do
    printf '    %s%s\n' "${rows[$i]}" "$([ "$i" -lt $((${#rows[@]} - 1)) ] && echo ,)"
  done
  printf '  ]\n}\n'
} >"$json"
echo "written: $json"
