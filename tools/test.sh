#!/usr/bin/env bash
# The test command: installs what is missing, builds the three presets and runs
# every test: the shipped 32-bit DLL's checks, the native cores under the
# sanitizers, and the x86_64 build's tests under wine64 with Xvfb.
set -u
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1

harness_down() { bash tools/wine-harness.sh down build/win64/wine >/dev/null 2>&1; }
trap harness_down EXIT

# Each preset's settings (build folder, compilers, test timeouts and jobs) live
# in CMakePresets.json; this runs its configure, build and test presets.
status=0
for preset in win32 native win64; do
  echo "=== $preset: configure and build"
  mkdir -p build/$preset
  log=build/$preset/build.log
  if ! { cmake --preset "$preset" >"$log" 2>&1 && cmake --build --preset "$preset" >>"$log" 2>&1; }; then
    tail -n 60 "$log"; echo "=== $preset: build failed"; status=1; continue
  fi
  echo "=== $preset: test"
  ctest --preset "$preset" || status=1
done
exit $status
