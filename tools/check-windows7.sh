#!/usr/bin/env bash
# Checks that shipped DLLs import nothing newer than Windows 7, the oldest
# Windows the library supports.
#   check-windows7.sh OBJDUMP CC LIST DLL...
#
# 1. Every imported system function (the C runtime aside) is in LIST, the
#    reviewed list of functions Windows 7 has.
# 2. Every one of them is declared by the Windows headers when compiled for
#    Windows 7 (_WIN32_WINNT=0x0601): the headers hide most later functions,
#    which catches an entry added to LIST by mistake.
set -u
objdump=${1:?usage: check-windows7.sh OBJDUMP CC LIST DLL...}
cc=${2:?compiler}
list=${3:?list of Windows 7 functions}
shift 3

imports=$(for dll in "$@"; do
  "$objdump" -p "$dll" | awk '
    /DLL Name:/ { lib = tolower($3); next }
    lib != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print lib, $3 }'
done | grep -v '^msvcrt\.dll ' | sort -u)
[ -n "$imports" ] || { echo "check-windows7: no imports read from $*"; exit 1; }

fail=0
known=$(grep -v '^#' "$list" | awk 'NF == 2' | sort -u)
missing=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$known"))
if [ -n "$missing" ]; then
  printf 'imported, not in %s (check that Windows 7 has it, then add it):\n%s\n' "$list" "$missing"
  fail=1
fi

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
{
  echo '#define _WIN32_WINNT 0x0601'
  echo '#define WINVER 0x0601'
  echo '#include <windows.h>'
  echo '#include <commdlg.h>'
  echo '#include <commctrl.h>'
  echo '#include <ole2.h>'
  echo '#include <olectl.h>'
  echo '#include <GL/gl.h>'
  printf '%s\n' "$imports" | awk '{ printf "void* use_%d = (void*)&%s;\n", NR, $2 }'
} >"$probe/probe.c"
if ! LC_ALL=C "$cc" -fsyntax-only -w "$probe/probe.c" 2>"$probe/errors"; then
  echo "not declared for Windows 7 (_WIN32_WINNT=0x0601):"
  grep -o "'[A-Za-z0-9_]*' undeclared" "$probe/errors" | sort -u
  grep -q "undeclared" "$probe/errors" || cat "$probe/errors"
  fail=1
fi
count=$(printf '%s\n' "$imports" | grep -c .)
[ $fail -eq 0 ] && echo "$count system functions imported, all present in Windows 7"
exit $fail
