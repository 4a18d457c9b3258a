#!/usr/bin/env bash
# The SDK's tests: each uses an installed SDK the way a plug-in developer does.
#   sdk-test.sh install BUILD PREFIX
#       installs BUILD into a fresh PREFIX and checks the layout
#   sdk-test.sh msvc TARGET PREFIX WORK CLANG LLD_LINK READOBJ [HARNESS STATE]
#       msvc_client.c for TARGET (x86_64- or i686-pc-windows-msvc), linked by
#       lld-link against PREFIX/lib/KELMARD.lib alone; checks its import table,
#       and runs it under Wine when HARNESS and STATE are given
#   sdk-test.sh consumer PREFIX WORK TOOLCHAIN HARNESS STATE
#       configures tests/sdk with find_package and TOOLCHAIN, builds it, and
#       runs sdk-consumer under Wine in an installation laid out from the SDK
set -u
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAILED: $*"; exit 1; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

case "${1:-}" in
install)
  build=$2 prefix=$3
  rm -rf "$prefix" && mkdir -p "$(dirname "$prefix")"
  cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; fail "cmake --install"; }
  missing=0
  for f in bin/KELMARD.DLL bin/rfh.exe lib/libKELMARD.dll.a lib/KELMARD.lib include/kelmard.h \
           lib/cmake/Kelmard/KelmardConfig.cmake lib/cmake/Kelmard/KelmardConfigVersion.cmake \
           share/kelmard/Stages/OPENGL.DLL share/kelmard/Presets/TvFormats.cfg share/kelmard/Help/FxHelp.RFH \
           samples/scene/CMakeLists.txt samples/scene/sample_scene.cpp samples/stage/CMakeLists.txt \
           samples/stage/opengl_stage.cpp share/doc/kelmard/html/index.html \
           share/doc/kelmard/writing-a-scene.md share/doc/kelmard/writing-a-stage.md; do
    [ -s "$prefix/$f" ] || { echo "missing from the SDK: $f"; missing=1; }
  done
  [ $missing -eq 0 ] || fail "the SDK's layout"
  # The reference documents every export of the library.
  for name in $(sed -n '/^EXPORTS/,$p' "$here/../../src/kelmard.def" | sed '1d' | awk 'NF {print $1}'); do
    grep -q "$name" "$prefix/share/doc/kelmard/html/kelmard_8h.html" || { echo "not in the reference: $name"; missing=1; }
  done
  [ $missing -eq 0 ] || fail "the reference"
  echo "SDK installed and complete: $prefix"
  ;;
msvc)
  target=$2 prefix=$3 work=$4 clang=$5 lld=$6 readobj=$7 harness=${8:-} state=${9:-}
  rm -rf "$work" && mkdir -p "$work"
  defines=""
  [[ $target == i686-* ]] && defines="-D_X86_"
  # No Windows SDK on this machine: MinGW's Windows headers stand in for it
  # (headers only; nothing of MinGW is linked).
  "$clang" --target="$target" -fno-ms-compatibility $defines -Wall -Wextra -Werror -O1 \
      -I"$prefix/include" -isystem /usr/share/mingw-w64/include \
      -c "$here/msvc_client.c" -o "$work/msvc_client.obj" || fail "compiling for $target"
  "$lld" /nologo /entry:Start /subsystem:console /nodefaultlib /out:"$work/msvc_client.exe" \
      "$work/msvc_client.obj" "$prefix/lib/KELMARD.lib" || fail "lld-link against KELMARD.lib"
  imports=$("$readobj" --coff-imports "$work/msvc_client.exe") || fail "reading the import table"
  dlls=$(printf '%s\n' "$imports" | sed -n 's/^ *Name: //p')
  [ "$dlls" = "KELMARD.DLL" ] || fail "the program imports from: $dlls (expected KELMARD.DLL alone)"
  names=$(printf '%s\n' "$imports" | sed -n 's/^ *Symbol: \([^ ]*\).*/\1/p' | sort)
  if [ "$names" != "$(sort "$here/expected-imports.txt")" ]; then
    printf 'imported:\n%s\n' "$names"; fail "the imported names are not the undecorated exports called"
  fi
  echo "$target: links against KELMARD.lib alone, imports $(echo $names | wc -w) undecorated names from KELMARD.DLL"
  if [ -n "$harness" ]; then
    cp "$prefix/bin/KELMARD.DLL" "$work/" || fail "copying KELMARD.DLL"
    bash "$harness" exec "$state" "$work/msvc_client.exe"
    rc=$?
    [ $rc -eq 0 ] || fail "msvc_client.exe under Wine: exit code $rc (bits of the failed checks)"
    echo "$target: every call answered as the header says"
  fi
  ;;
consumer)
  prefix=$2 work=$3 toolchain=$4 harness=$5 state=$6
  rm -rf "$work" && mkdir -p "$work"
  # Only the SDK under test: no package registry, no other prefix.
  cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" \
      >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configuring the consumer"; }
  cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the consumer"; }
  bin=$work/build/bin
  for f in sdk-consumer.exe KELMARD.DLL SampleScene.DLL OPENGL.DLL; do
    [ -f "$bin/$f" ] || fail "$f was not built or copied"
  done
  # The installation: the SDK's sample installation, with the stage built
  # from the SDK's stage sample.
  cp -r "$prefix/share/kelmard" "$work/install" && cp "$bin/OPENGL.DLL" "$work/install/Stages/OPENGL.DLL" ||
      fail "laying out the installation"
  cd "$bin" && bash "$harness" exec "$state" "$bin/sdk-consumer.exe" "$(winpath "$work/install")" "$(winpath "$work")"
  ;;
*)
  echo "usage: sdk-test.sh install|msvc|consumer ..." >&2; exit 2 ;;
esac
