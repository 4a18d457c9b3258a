#!/usr/bin/env bash
# The main job: builds the x86_64 library and the demo host, installs the demo
# (DestDir in the registry of the demo's own Wine prefix), and plays the road.
set -u
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
build=build/win64
cmake --preset win64 >/dev/null && cmake --build --preset win64 >/dev/null || {
  echo "demo: build failed"; exit 1; }
state=$build/demo-wine
trap 'bash tools/wine-harness.sh down "$state" >/dev/null 2>&1' EXIT
bash tools/wine-harness.sh up "$state" || exit 1
bin=$build/bin
bash tools/wine-harness.sh exec "$state" "$bin/kelmard-demo.exe" install || exit 1
# The debug build's library traces arrive through Wine's debug channel.
WINEDEBUG=-all,+debugstr bash tools/wine-harness.sh exec "$state" "$bin/kelmard-demo.exe" \
    2>"$state/traces.log"
rc=$?
echo
echo "== The library's traces (debug build; the shipped build compiles them out) =="
sed -n 's/^\([0-9a-f]*\):[a-z]*:debugstr:OutputDebugStringA "\(.*\)\\n"$/  [thread \1] \2/p' "$state/traces.log"
echo
echo "Pictures: $build/demo-out/"
exit $rc
