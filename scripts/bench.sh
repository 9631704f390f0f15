#!/usr/bin/env bash
# Builds the frame pipeline benchmark without sanitizers (Release) in build/bench and runs it;
# with --wine also builds it with MinGW in build/bench-windows and runs it under Wine, the code
# users run. Each run prints its table and writes pipeline.json in its build folder. Other
# arguments go to the benchmark (e.g. --regime hot, --only Blend, --rounds 21).
#
#   bash scripts/bench.sh latency [--frames N] [--seconds N] [--only filter|screen]
# runs the latency benchmark instead (scripts/latency-bench.sh): the transform filter's
# residence time per mode and the screen latency per renderer, tee and filter mode, under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "latency" ]; then
  shift
  exec bash scripts/latency-bench.sh "$@"
fi
wine=0
args=()
for a in "$@"; do
  if [ "$a" = "--wine" ]; then wine=1; else args+=("$a"); fi
done

cmake -S . -B build/bench -G Ninja -DLUMOKA_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target pipeline_bench -j2 >/dev/null
echo "== native build"
build/bench/bin/pipeline_bench --json build/bench/pipeline.json "${args[@]}"

if [ "$wine" = 1 ]; then
  cmake -S . -B build/bench-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/bench-windows --target pipeline_bench -j2 >/dev/null
  echo "== Windows build under Wine"
  (
    source scripts/wine-env.sh
    lumoka_prepare_prefix
    wine build/bench-windows/bin/pipeline_bench.exe \
      --json "Z:$LUMOKA_ROOT/build/bench-windows/pipeline.json" "${args[@]}"
  )
fi
