#!/usr/bin/env bash
# Wine test harness: one private Wine prefix and one Xvfb display per build tree.
#
#   wine-harness.sh up   STATE_DIR              start Xvfb, create/refresh the prefix
#   wine-harness.sh exec STATE_DIR PROGRAM ARGS run a Windows program there
#   wine-harness.sh down STATE_DIR              stop the wineserver and Xvfb
#
# Wine's helper processes inherit the standard handles of the process that starts
# them; every Wine process is therefore started with its output in files, which are
# copied to our own output afterwards, so nobody waiting on our pipes can hang.
set -u
cmd=${1:?usage: wine-harness.sh up|exec|down STATE_DIR ...}
state=${2:?state directory}
shift 2
mkdir -p "$state"
state=$(cd "$state" && pwd)

WINE=${KELMARD_WINE:-/usr/lib/wine/wine64}
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset WINELOADERNOEXEC

display_of() { cat "$state/display" 2>/dev/null; }

start_xvfb() {
  if [ -s "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null && [ -s "$state/display" ]; then
    return 0
  fi
  rm -f "$state/display" "$state/display.tmp"
  # -displayfd lets Xvfb pick a free display number and tell us which.
  setsid Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix \
      9>"$state/display.tmp" >"$state/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    if [ -s "$state/display.tmp" ]; then break; fi
    sleep 0.1
  done
  if ! [ -s "$state/display.tmp" ]; then
    echo "wine-harness: Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; return 1
  fi
  echo ":$(tr -d '\n' <"$state/display.tmp")" >"$state/display"
}

run_logged() { # run a Wine command with its output in a log file
  "$@" >>"$state/wine.log" 2>&1 </dev/null
}

case "$cmd" in
up)
  start_xvfb || exit 1
  export DISPLAY=$(display_of)
  if ! [ -f "$WINEPREFIX/.kelmard-ready-2" ]; then
    run_logged "$WINE" wineboot -i
    # A crash ends the process at once instead of starting the debugger.
    run_logged "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d "" /f
    run_logged "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Auto /t REG_SZ /d 1 /f
    run_logged "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    # Xvfb runs no window manager: with managed windows Wine waits up to two
    # seconds for one at every top-level window that goes away.
    run_logged "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    touch "$WINEPREFIX/.kelmard-ready-2"
  fi
  ;;
exec)
  [ $# -ge 1 ] || { echo "wine-harness: exec needs a program" >&2; exit 2; }
  d=$(display_of)
  if [ -z "$d" ]; then
    # Started without the fixture (a lone ctest -R): bring the harness up first.
    "$0" up "$state" || exit 1
    d=$(display_of)
  fi
  export DISPLAY=$d
  out=$(mktemp "$state/out.XXXXXX"); err=$(mktemp "$state/err.XXXXXX")
  "$WINE" "$@" >"$out" 2>"$err" </dev/null &
  child=$!
  trap 'kill -9 $child 2>/dev/null; cat "$out"; cat "$err" >&2; rm -f "$out" "$err"; echo "wine-harness: stopped" >&2; exit 124' TERM INT
  wait $child
  rc=$?
  trap - TERM INT
  cat "$out"; cat "$err" >&2
  rm -f "$out" "$err"
  exit $rc
  ;;
down)
  WINESERVER=${KELMARD_WINESERVER:-/usr/lib/wine/wineserver}
  "$WINESERVER" -k >/dev/null 2>&1
  for _ in $(seq 50); do "$WINESERVER" -k >/dev/null 2>&1 || break; sleep 0.1; done
  if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/display" "$state/display.tmp"
  ;;
*)
  echo "usage: wine-harness.sh up|exec|down STATE_DIR ..." >&2; exit 2 ;;
esac
