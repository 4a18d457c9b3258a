#!/usr/bin/env bash
# Builds the x86_64 benchmarks and runs each under wine64; each prints ratios
# against a floor measured in the same run.
set -u
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
# Measured in a release build: traces compiled out, as shipped.
build=build/win64-release
cmake --preset win64-release >/dev/null && cmake --build --preset win64-release >/dev/null || exit 1
state=$build/bench-wine
trap 'bash tools/wine-harness.sh down "$state" >/dev/null 2>&1' EXIT
bash tools/wine-harness.sh up "$state" || exit 1
for b in "$build"/bin/kelmard-bench-*.exe; do
  echo "== $(basename "$b" .exe)"
  bash tools/wine-harness.sh exec "$state" "$b"
done
# Native benchmarks of the portable cores, where there are any.
cmake --preset native-release >/dev/null && cmake --build --preset native-release >/dev/null || exit 1
for b in build/native-release/bin/kelmard-bench-*; do
  [ -x "$b" ] && { echo "== $(basename "$b") (native)"; "$b"; }
done
