#!/usr/bin/env bash
# Runs a Windows program of the cross builds under wine: the test programs
# (ctest, GoogleTest's discovery) and vsthost.exe.
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# PREFIX is the build tree's own wine prefix, made on first use (a lock keeps
# parallel first uses apart) with wine's crash dialog turned off, so that a
# crashing program ends with an error instead of waiting for a click. A
# persistent wineserver is started so that each program ends at once instead
# of waiting for the server to linger out; `wineserver -k` ends it (CI does).
# No display is needed: programs that open no window run headless.
set -euo pipefail
prefix=$(realpath -m "$1") # wine takes only an absolute prefix
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No downloads or install dialogs for the .NET and HTML engines.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ ! -e "$prefix/.nimbrel-ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -e "$prefix/.nimbrel-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.nimbrel-ready"
    fi
  ) 9>"$prefix.lock" </dev/null >/dev/null 2>&1
fi
# The persistent server and wine's own service processes must not hold our
# caller's output open (ctest and pipes would wait for them): start them from
# a process whose descriptors all lead to /dev/null. When they already run,
# this costs one short program start.
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
exec wine "$@"
