#!/usr/bin/env bash
# Checks a built KELMARD.DLL: every name of the .def file is exported exactly
# (undecorated), nothing decorated is exported, and only system DLLs are imported
# (a plug-in's machine has no compiler runtime).
#   check-exports.sh OBJDUMP DLL DEF_FILE
set -u
objdump=$1 dll=$2 def=$3
fail=0
dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
exported=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
expected=$(sed -n '/^EXPORTS/,$p' "$def" | sed '1d' | awk 'NF {print $1}')
for name in $expected; do
  if ! printf '%s\n' "$exported" | grep -qx "$name"; then
    echo "missing export: $name"; fail=1
  fi
done
while read -r name; do
  [ -z "$name" ] && continue
  case "$name" in
    *@*|_*|\?*) echo "decorated export: $name"; fail=1 ;;
  esac
  if ! printf '%s\n' "$expected" | grep -qx "$name"; then
    echo "export not in $def: $name"; fail=1
  fi
done <<<"$exported"
system='^(kernel32|user32|gdi32|advapi32|msvcrt|ole32|oleaut32|comdlg32|comctl32|shell32|uuid|windowscodecs|opengl32|msimg32|shlwapi|version|uxtheme)\.dll$'
while read -r imp; do
  [ -z "$imp" ] && continue
  if ! printf '%s\n' "$imp" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
    echo "imports a non-system DLL: $imp"; fail=1
  fi
done < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
count=$(printf '%s\n' "$expected" | grep -c .)
if [ $fail -eq 0 ]; then
  echo "$(basename "$dll"): $count exports by undecorated name, system imports only"
fi
exit $fail
