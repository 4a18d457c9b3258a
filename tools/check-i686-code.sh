#!/usr/bin/env bash
# Checks the shipped 32-bit code as compiled: the object files of the library's
# own sources and of the sample stage (not the statically linked compiler
# runtime, which comes in only at link time).
#   check-i686-code.sh OBJDUMP DIR...
#
# 1. No x87 arithmetic: floating-point work is done in SSE2, as in the tested
#    x86_64 build. Loading and storing through the x87 stack stays allowed: the
#    32-bit calling convention returns float and double in st(0).
# 2. No aligned SSE move (movaps/movapd/movdqa) with a stack operand in a
#    function that has not realigned its stack first: 32-bit Windows promises
#    callers only 4-byte alignment.
set -u
objdump=${1:?usage: check-i686-code.sh OBJDUMP DIR...}
shift
objects=$(find "$@" -name '*.obj' | sort)
[ -n "$objects" ] || { echo "check-i686-code: no object files under $*"; exit 1; }

fail=0
count=0
for obj in $objects; do
  count=$((count + 1))
  report=$("$objdump" -d --no-show-raw-insn -M att "$obj" | awk -v file="$obj" '
    /^[0-9a-f]+ <.*>:$/ { fn = $2; sub(/:$/, "", fn); realigned = 0; next }
    {
      # "   12:\tmnemonic operands"
      split($0, part, "\t")
      insn = part[2]
      if (insn == "") next
      mnemonic = insn; sub(/[ \t].*/, "", mnemonic)
      operands = insn; sub(/^[^ \t]+[ \t]*/, "", operands)
      if (mnemonic ~ /^and/ && operands ~ /^\$0xf+0,%esp$/) realigned = 1
      if (mnemonic ~ /^f(add|sub|subr|mul|div|divr)p?$/ ||
          mnemonic ~ /^fi(add|sub|subr|mul|div|divr|st|stp|sttp|com|comp)[slq]?$/ ||
          mnemonic ~ /^f(sqrt|prem|prem1|scale|rndint|sin|cos|sincos|patan|ptan|yl2x|yl2xp1|f2xm1|chs|abs|xtract)$/ ||
          mnemonic ~ /^fu?com(p|pp|i|ip)?$/)
        printf "%s %s: x87 arithmetic: %s\n", file, fn, insn
      if (mnemonic ~ /^(movaps|movapd|movdqa)$/ && operands ~ /\(%e(sp|bp)\)/ && !realigned)
        printf "%s %s: aligned SSE move on an unaligned stack: %s\n", file, fn, insn
    }')
  if [ -n "$report" ]; then
    printf '%s\n' "$report"
    fail=1
  fi
done
[ $fail -eq 0 ] && echo "$count objects: no x87 arithmetic, no aligned SSE stack access without realignment"
exit $fail
