#!/usr/bin/env bash
# Builds the x86_64 benchmarks and runs each under wine64; each prints ratios
# against a floor measured in the same run.
set -u
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
# Measured in a release build: traces compiled out, as shipped.
build=${KELMARD_BUILD_DIR:-build}/win64-release
cmake --preset win64 -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null &&
  cmake --build "$build" >/dev/null || exit 1
state=$build/bench-wine
trap 'bash tools/wine-harness.sh down "$state" >/dev/null 2>&1' EXIT
bash tools/wine-harness.sh up "$state" || exit 1
for b in "$build"/bin/kelmard-bench-*.exe; do
  echo "== $(basename "$b" .exe)"
  bash tools/wine-harness.sh exec "$state" "$b"
done
# Native benchmarks of the portable cores, where there are any.
native=${KELMARD_BUILD_DIR:-build}/native-release
if [ -f CMakeLists.txt ]; then
  cmake --preset native -B "$native" -DCMAKE_BUILD_TYPE=Release -DKELMARD_SANITIZE=OFF \
      -DBUILD_TESTING=OFF >/dev/null && cmake --build "$native" >/dev/null || exit 1
  for b in "$native"/bin/kelmard-bench-*; do
    [ -x "$b" ] && { echo "== $(basename "$b") (native)"; "$b"; }
  done
fi
