#!/usr/bin/env bash
# Builds the native tree without sanitizers (Release) in build/bench and runs every benchmark
# (the `bench` target). The frame pipeline's results also go to build/bench/pipeline.json.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DLUMOKA_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target bench -j2
