#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Idempotent:
# packages already present are skipped. Run as root (or with sudo available).
set -eu
packages=(
  cmake ninja-build
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine xvfb xauth
  googletest
  clang libclang-rt-14-dev
  lld llvm doxygen
  libgl1 libgl1-mesa-dri libglx-mesa0
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
