#!/usr/bin/env bash
# Builds and runs every test: the native portable core (sanitizers) and the Windows build
# under Wine (unit, integration and end-to-end tests).
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh || exit 1

jobs="$(nproc)"
status=0
summary=()

run_ctest() {
  local name="$1" dir="$2" log
  shift 2
  log="$(mktemp)"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  if [ -n "$line" ]; then
    local failed total
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")"
    summary+=("$name $((total - failed)) $failed")
  else
    summary+=("$name 0 0")
  fi
  rm -f "$log"
  [ "$rc" -eq 0 ] || status=1
}

# The Wine prefix (about 700 MB, tens of seconds on a fresh clone) is made while the trees build.
( source scripts/wine-env.sh && lumoka_prepare_prefix ) >/dev/null 2>&1 &
prefix_job=$!

echo "== native build (portable core, ASan + UBSan) at ${SECONDS} s"
if cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMOKA_SANITIZE=ON >/dev/null &&
   cmake --build build/native -j"$jobs"; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  run_ctest native build/native
else
  echo "native build failed"; status=1
fi

echo "== fuzz target (clang + libFuzzer, ASan + UBSan): a short fixed-count run at ${SECONDS} s"
if cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMOKA_SANITIZE=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMOKA_FUZZ=ON >/dev/null &&
   cmake --build build/fuzz -j"$jobs" --target config_fuzz; then
  run_ctest fuzz build/fuzz -L fuzz
else
  echo "fuzz build failed"; status=1
fi

echo "== Windows build (MinGW-w64) and tests under Wine at ${SECONDS} s"
if cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null &&
   cmake --build build/windows -j"$jobs"; then
  wait "$prefix_job"
  (
    source scripts/wine-env.sh
    lumoka_prepare_prefix
    trap 'wineserver -k >/dev/null 2>&1; lumoka_stop_screens; lumoka_stop_display' EXIT
    # The tests that show windows or read the screen get a display and a desktop each.
    lumoka_start_screens "$jobs" || { echo "screens could not be started"; exit 1; }
    lumoka_ensure_display
    # One warm wineserver for the whole run: each Wine start then costs a fraction of a second.
    lumoka_warm_wine
    lumoka_register_devices
    echo "== Windows tests at ${SECONDS} s"
    run_ctest windows build/windows --resource-spec-file "$LUMOKA_SCREENS/resources.json"
    printf '%s\n' "${summary[@]}" >build/.wine-summary
    exit $status
  ) || status=1
  [ -f build/.wine-summary ] && mapfile -t summary <build/.wine-summary && rm -f build/.wine-summary
else
  echo "Windows build failed"; status=1
fi

wait "$prefix_job" 2>/dev/null
passed=0; failed=0
for s in "${summary[@]}"; do
  read -r _ p f <<<"$s"
  passed=$((passed + p)); failed=$((failed + f))
done
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "tests: $passed passed, $failed failed (${SECONDS} s)"
exit "$status"
